// Unpacking of a ZIP archive inside the program, its files written by several
// threads at once (the stock archive holds hundreds of megabytes of map tiles).
#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Unpacks every entry of `zip` below `into` (folders made as needed; existing
// files replaced). Entries stored or deflated, with or without their sizes in a
// data descriptor, are read from the archive's central directory; each file's
// checksum is verified. Refused, with `error` saying why and nothing written for
// the refused entry: an archive that cannot be read or is not a ZIP archive, an
// entry packed by another method or encrypted, a name that is absolute or climbs
// out of `into` (".."), a checksum that does not match. False on any failure.
bool ExtractZip(const std::filesystem::path& zip, const std::filesystem::path& into, std::string* error = nullptr,
                int threads = 4);

}  // namespace platform
