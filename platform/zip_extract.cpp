#include "platform/zip_extract.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::uint32_t U16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint64_t U64(const std::vector<unsigned char>& b, std::size_t at) {
  return U32(b, at) | (static_cast<std::uint64_t>(U32(b, at + 4)) << 32);
}

struct Entry {
  std::string name;
  std::uint32_t method = 0;
  std::uint32_t crc = 0;
  std::uint64_t packed = 0, size = 0, local = 0;
};

// A name that stays below the target folder: relative, no "..", no drive.
bool SafeName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\' || name.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

// The entries of the central directory; false (with `error`) when it cannot be read.
bool ReadDirectory(const std::vector<unsigned char>& b, std::vector<Entry>& entries, std::string& error) {
  const std::size_t n = b.size();
  if (n < 22) {
    error = "NOT A ZIP ARCHIVE";
    return false;
  }
  std::size_t end = std::string::npos;
  for (std::size_t i = n - 22 + 1; i-- > 0 && n - i <= 22 + 65535;) {
    if (U32(b, i) == 0x06054b50) {
      end = i;
      break;
    }
  }
  if (end == std::string::npos) {
    error = "NOT A ZIP ARCHIVE";
    return false;
  }
  std::uint64_t count = U16(b, end + 10), at = U32(b, end + 16);
  if ((count == 0xFFFF || at == 0xFFFFFFFF) && end >= 20 && U32(b, end - 20) == 0x07064b50) {
    const std::uint64_t z64 = U64(b, end - 20 + 8);
    if (z64 + 56 > n || U32(b, static_cast<std::size_t>(z64)) != 0x06064b50) {
      error = "DAMAGED ZIP ARCHIVE";
      return false;
    }
    count = U64(b, static_cast<std::size_t>(z64) + 32);
    at = U64(b, static_cast<std::size_t>(z64) + 48);
  }
  for (std::uint64_t k = 0; k < count; ++k) {
    if (at + 46 > n || U32(b, static_cast<std::size_t>(at)) != 0x02014b50) {
      error = "DAMAGED ZIP ARCHIVE";
      return false;
    }
    const auto p = static_cast<std::size_t>(at);
    Entry e;
    const std::uint32_t flags = U16(b, p + 8);
    e.method = U16(b, p + 10);
    e.crc = U32(b, p + 16);
    e.packed = U32(b, p + 20);
    e.size = U32(b, p + 24);
    const std::size_t name_length = U16(b, p + 28), extra_length = U16(b, p + 30), comment_length = U16(b, p + 32);
    e.local = U32(b, p + 42);
    if (p + 46 + name_length + extra_length > n) {
      error = "DAMAGED ZIP ARCHIVE";
      return false;
    }
    e.name.assign(reinterpret_cast<const char*>(b.data()) + p + 46, name_length);
    // Sizes and offset too large for their fields stand in the ZIP64 extra field.
    for (std::size_t x = p + 46 + name_length; x + 4 <= p + 46 + name_length + extra_length;) {
      const std::uint32_t id = U16(b, x), length = U16(b, x + 2);
      std::size_t v = x + 4;
      const std::size_t v_end = std::min(v + length, p + 46 + name_length + extra_length);
      if (id == 0x0001) {
        for (std::uint64_t* field : {&e.size, &e.packed, &e.local}) {
          if (*field != 0xFFFFFFFF) continue;
          if (v + 8 > v_end) break;
          *field = U64(b, v);
          v += 8;
        }
      }
      x += 4 + length;
    }
    if ((flags & 1) != 0) {
      error = "ENCRYPTED ENTRY " + e.name;
      return false;
    }
    if (e.method != 0 && e.method != 8) {
      error = "UNKNOWN PACKING OF " + e.name;
      return false;
    }
    if (!SafeName(e.name)) {
      error = "UNSAFE NAME " + e.name;
      return false;
    }
    entries.push_back(std::move(e));
    at += 46 + name_length + extra_length + comment_length;
  }
  return true;
}

// Writes one entry's file; false with `error` on any fault.
bool WriteEntry(const std::vector<unsigned char>& b, const Entry& e, const fs::path& file, std::string& error) {
  const std::size_t n = b.size();
  if (e.local + 30 > n || U32(b, static_cast<std::size_t>(e.local)) != 0x04034b50) {
    error = "DAMAGED ZIP ARCHIVE AT " + e.name;
    return false;
  }
  const auto l = static_cast<std::size_t>(e.local);
  const std::uint64_t data = e.local + 30 + U16(b, l + 26) + U16(b, l + 28);
  if (data + e.packed > n) {
    error = "DAMAGED ZIP ARCHIVE AT " + e.name;
    return false;
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    error = "CANNOT WRITE " + file.string();
    return false;
  }
  const unsigned char* in = b.data() + data;
  uLong crc = crc32(0L, Z_NULL, 0);
  std::uint64_t written = 0;
  bool ok = true;
  if (e.method == 0) {
    ok = e.packed == e.size && std::fwrite(in, 1, static_cast<std::size_t>(e.size), out) == e.size;
    crc = crc32_z(crc, in, static_cast<z_size_t>(e.size));
    written = e.size;
  } else {
    z_stream z{};
    ok = inflateInit2(&z, -MAX_WBITS) == Z_OK;
    std::vector<unsigned char> chunk(1 << 18);
    std::uint64_t left = e.packed;
    int rc = Z_OK;
    while (ok && rc != Z_STREAM_END) {
      if (z.avail_in == 0) {
        const auto take = static_cast<uInt>(std::min<std::uint64_t>(left, 1u << 30));
        z.next_in = const_cast<unsigned char*>(in + (e.packed - left));
        z.avail_in = take;
        left -= take;
      }
      z.next_out = chunk.data();
      z.avail_out = static_cast<uInt>(chunk.size());
      rc = inflate(&z, Z_NO_FLUSH);
      const std::size_t got = chunk.size() - z.avail_out;
      if (rc != Z_OK && rc != Z_STREAM_END) ok = false;
      if (rc == Z_OK && got == 0 && z.avail_in == 0 && left == 0) ok = false;  // the stream ends early
      if (ok && got > 0) {
        ok = std::fwrite(chunk.data(), 1, got, out) == got;
        crc = crc32_z(crc, chunk.data(), got);
        written += got;
      }
    }
    inflateEnd(&z);
  }
  ok = std::fclose(out) == 0 && ok;
  if (!ok || written != e.size || crc != e.crc) {
    error = "DAMAGED ENTRY " + e.name;
    std::error_code ec;
    fs::remove(file, ec);
    return false;
  }
  return true;
}

}  // namespace

bool ExtractZip(const fs::path& zip, const fs::path& into, std::string* error, int threads) {
  std::string why;
  auto fail = [&](std::string text) {
    if (error != nullptr) *error = std::move(text);
    return false;
  };
  std::vector<unsigned char> bytes;
  {
    std::ifstream in(zip, std::ios::binary);
    if (!in) return fail("CANNOT READ " + zip.string());
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return fail("CANNOT READ " + zip.string());
  }
  std::vector<Entry> entries;
  if (!ReadDirectory(bytes, entries, why)) return fail(why);

  // The folders first, then the files by several threads.
  std::vector<const Entry*> files;
  std::error_code ec;
  for (const Entry& e : entries) {
    const bool folder = e.name.back() == '/' || e.name.back() == '\\';
    const fs::path target = into / e.name;
    fs::create_directories(folder ? target : target.parent_path(), ec);
    if (ec) return fail("CANNOT MAKE " + (folder ? target : target.parent_path()).string());
    if (!folder) files.push_back(&e);
  }
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex first_error;
  auto work = [&] {
    while (!failed) {
      const std::size_t i = next++;
      if (i >= files.size()) return;
      std::string wrong;
      if (!WriteEntry(bytes, *files[i], into / files[i]->name, wrong)) {
        std::lock_guard<std::mutex> lock(first_error);
        if (!failed.exchange(true)) why = wrong;
      }
    }
  };
  const int n = std::clamp(threads, 1, 16);
  std::vector<std::thread> pool;
  for (int t = 1; t < n; ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  if (failed) return fail(why);
  return true;
}

}  // namespace platform
