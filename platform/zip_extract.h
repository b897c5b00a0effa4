// Unpacking of a ZIP archive inside the program, its files written by several
// threads at once (the stock archive holds hundreds of megabytes of map tiles).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

// What became of an unpack.
enum class ZipOutcome {
  Unpacked,  // every entry written whole
  NotAZip,   // no ZIP archive at all (an archive of another format, or no archive)
  Refused,   // a ZIP archive refused, or a file that could not be read or written
};

// Unpacks every entry of `zip` below `into` (folders made as needed; existing
// files replaced). Entries stored or deflated, with or without their sizes in a
// data descriptor, are read from the archive's central directory; each file is
// written up to its declared size only and its checksum is verified. Refused, with
// `error` saying why, before any file is written: an entry packed by another method
// or encrypted, a name that is absolute or climbs out of `into` (".."), a symbolic
// link, a name given twice, records that overlap or lie outside the archive, an
// archive larger unpacked than the free space of `into`. A file that does not come
// out whole (checksum, length) is refused while the others are written; the files
// already written then stay. `error` is set whenever the outcome is not Unpacked.
ZipOutcome ExtractZip(const std::filesystem::path& zip, const std::filesystem::path& into, std::string* error = nullptr,
                      int threads = 4);

// The same on the archive's bytes held in memory.
ZipOutcome ExtractZipBytes(const std::string& bytes, const std::filesystem::path& into, std::string* error = nullptr,
                           int threads = 4);

// Why `bytes` (a sum of declared sizes, ~0 for one too large to count) do not fit
// into the free space of `folder`; empty when they fit or the space is unknown.
std::string FreeSpaceProblem(const std::filesystem::path& folder, std::uint64_t bytes);

// A name of an archive entry that stays below the folder it is unpacked into:
// relative, no ".." part, no drive, no NUL.
bool SafeEntryName(const std::string& name);

}  // namespace platform
