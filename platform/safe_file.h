// Files replaced whole: the one way both programs rewrite a file.
//
// The new bytes go into a temporary file beside the target, named after it with
// ".tmp" and the writing process's id ("ZEBLON.INI.tmp4711"). The temporary file is
// flushed to the disk, renamed over the target, and the folder is flushed, so a
// crash or a power loss leaves either the old file or the whole new one.
//
// A process killed between the two steps leaves its temporary file behind. Such
// leftovers are recognised by their name, beside the file they were to replace,
// and removed once the process that made them no longer runs
// (RemoveLeftoverTemporaryFiles), at the start of the work that rewrites the files
// of a folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The temporary file a write of `target` by this process uses.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& target);

// Replaces `target` with `bytes` as described above. False when any step fails:
// the target is then as it was and no temporary file stays; `error` (when given)
// receives "CANNOT WRITE <target> (<reason>)". With `flush` false the disk flushes
// are left out (scratch copies that nothing relies on after a crash).
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes, std::string* error = nullptr,
                         bool flush = true);
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr, bool flush = true);

// True for a file name of the form <name>.tmp<process id>; the id in *pid.
bool IsTemporaryFileName(std::string_view file_name, long* pid = nullptr);

// Removes the temporary files (see above) in `folder`, not below it, whose process
// no longer runs and whose target file <name> is there; those of running
// processes, this one's too, stay, and so does a lone name of that form. Returns how
// many were removed; a folder that cannot be read removes nothing.
int RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder);

}  // namespace platform
