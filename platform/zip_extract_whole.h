// An archive unpacked into a folder whole or not at all.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Unpacks `archive` into `folder`. The entries are first written into a fresh
// folder of their own, the stage (UnpackStage), and moved into `folder` only when
// every entry came out whole, the one named `last` after all the others; existing
// files of `folder` are replaced. The stage goes when the unpack has finished: an
// unpack that failed leaves it empty, one that was interrupted leaves it as it
// was, and either way it marks the unpack as still to be done.
//
// A ZIP archive is unpacked by ExtractZip, and its refusal stands. Only an archive
// of another format goes to the outside unpacker `7za`, when there is one, and only
// when its listing shows safe names, no link, no encrypted entry and a size that
// fits the free space; what it wrote is looked over again and refused when it
// holds a link. Nothing is ever written outside `folder`, and no link is made.
// False, with `error` saying why, when nothing was unpacked.
bool UnpackArchiveWhole(const std::filesystem::path& archive, const std::filesystem::path& folder,
                        const std::string& last, std::string* error = nullptr);

// The stage of an unpack of `archive` into `folder`: `folder`/<archive's name>.PART.
std::filesystem::path UnpackStage(const std::filesystem::path& archive, const std::filesystem::path& folder);

}  // namespace platform
