// libFuzzer target: bytes as the stock archive STOCK.ZIP, unpacked by the
// program's own reader into a fresh folder. Whatever the bytes, the unpack ends
// unpacked or refused with a reason; nothing is written beside the folder, no
// link is made, and an unpack never writes more than the bytes can hold packed
// (deflate packs at most 1032 bytes into one), so no archive fills the disk.
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/zip_extract.h"
#include "scratch.h"

using zeblon_fuzz::Check;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path run = zeblon_fuzz::ScratchFolder() / "run";
  const fs::path into = run / "into";
  std::error_code ec;
  fs::remove_all(run, ec);
  fs::create_directories(into);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  // Two threads on every other input: the files written side by side as in the program.
  const platform::ZipOutcome outcome = platform::ExtractZipBytes(bytes, into, &error, 1 + size % 2);
  Check((outcome == platform::ZipOutcome::Unpacked) == error.empty());

  std::uint64_t written = 0;
  for (fs::recursive_directory_iterator it(into, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status s = it->symlink_status(ec);
    Check(fs::is_directory(s) || fs::is_regular_file(s));
    if (fs::is_regular_file(s)) written += fs::file_size(it->path(), ec);
  }
  Check(!ec);
  Check(written <= 1032 * static_cast<std::uint64_t>(size) + 1024);
  for (const auto& e : fs::directory_iterator(run)) Check(e.path() == into);
  return 0;
}
