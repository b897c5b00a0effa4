// Folders and file names as the programs see them.
//
// Stored settings and user input may carry Windows paths ("C:\MAP\U33\",
// "..\LOG"). They are mapped to Linux paths by one rule, WindowsPathToLinux:
//   - every "\" becomes "/";
//   - a leading drive with the program's own folder ("C:\ZEBLON\U33") becomes the
//     program folder (<program folder>/U33);
//   - any other leading drive ("C:" or "C:\") becomes the folder "drive_c" (the letter
//     in lower case) below the program folder, so "C:\MAP\U33" is
//     <program folder>/drive_c/MAP/U33;
//   - anything else (a Linux path, a relative path) stays as it is.
// File and folder names that users or stored data supply are then matched
// case-insensitively against what is on the disk (ResolveCaseInsensitive).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

namespace fs = std::filesystem;

// The program folder: $ZEBLON_PROGRAM_FOLDER when set (tests), otherwise the folder
// of the running executable.
fs::path ProgramFolder();

// The rule above; `program_folder` is where drive folders live.
std::string WindowsPathToLinux(std::string_view path, const fs::path& program_folder);

// Finds an existing path whose components equal `path`'s apart from letter case
// (ASCII letters). The part of `path` that exists as typed is taken as it is; each
// further component is looked up in its folder. Returns nullopt when some
// component is missing. An exact match always wins over a case-folded one.
std::optional<fs::path> ResolveCaseInsensitive(const fs::path& path);

// The existing path if there is one, else `path` itself (for files about to be created,
// with the existing folders resolved case-insensitively).
fs::path ResolveOrSame(const fs::path& path);

// Upper-cases ASCII letters only (file names, calls, keys).
std::string UpperAscii(std::string_view text);

// A folder typed into the start window as the settings keep it: a Windows path (a
// drive letter, "C:" or "C:\TEMP", or one with a backslash) upper-cased, a Linux
// path ("/tmp/maps") in its own letter case, since Linux tells the cases apart.
std::string UpperWindowsPath(std::string_view path);

// True when both name the same file or folder on disk (compared as real paths).
bool SamePath(const fs::path& a, const fs::path& b);
// True when `inner` is `outer` or lies below it (as real paths).
bool PathInside(const fs::path& inner, const fs::path& outer);

}  // namespace platform
