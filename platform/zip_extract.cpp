#include "platform/zip_extract.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The archive's bytes; every read lies inside them (callers check with Within first).
struct Bytes {
  const unsigned char* b;
  std::uint64_t n;
  std::uint32_t U16(std::uint64_t at) const { return b[at] | (b[at + 1] << 8); }
  std::uint32_t U32(std::uint64_t at) const {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
  }
  std::uint64_t U64(std::uint64_t at) const { return U32(at) | (static_cast<std::uint64_t>(U32(at + 4)) << 32); }
  // True when `length` bytes from `at` lie inside the archive; no sum can wrap.
  bool Within(std::uint64_t at, std::uint64_t length) const { return at <= n && length <= n - at; }
};

constexpr std::uint32_t kLocalRecord = 0x04034b50, kCentralRecord = 0x02014b50, kEndRecord = 0x06054b50,
                        kEnd64Locator = 0x07064b50, kEnd64Record = 0x06064b50, kSpanMark = 0x08074b50;

struct Entry {
  std::string name;  // as stored
  std::string path;  // the name with "/" between its parts, as written below the target
  bool folder = false;
  std::uint32_t method = 0;
  std::uint32_t crc = 0;
  std::uint64_t packed = 0, size = 0, local = 0, data = 0;
};

const char kDamaged[] = "DAMAGED ZIP ARCHIVE";

// A name as an error text shows it: control characters as "?".
std::string Shown(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return name;
}

// The name's parts joined by "/", without empty and "." parts: the key under which
// two spellings of one file meet.
std::string PathOf(const std::string& name) {
  std::string path;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (!part.empty() && part != ".") {
      if (!path.empty()) path += '/';
      path += part;
    }
    start = end + 1;
  }
  return path;
}

// Where the central directory starts and how many records it has; false when
// there is no end record (no ZIP archive) or it cannot be read (`damaged`).
bool FindDirectory(const Bytes& b, std::uint64_t& at, std::uint64_t& count, bool& damaged) {
  damaged = false;
  if (b.n < 22) return false;
  std::uint64_t end = b.n;
  for (std::uint64_t i = b.n - 22 + 1; i-- > 0 && b.n - i <= 22 + 65535;) {
    if (b.U32(i) == kEndRecord) {
      end = i;
      break;
    }
  }
  if (end == b.n) return false;
  count = b.U16(end + 10);
  at = b.U32(end + 16);
  if ((count == 0xFFFF || at == 0xFFFFFFFF) && end >= 20 && b.U32(end - 20) == kEnd64Locator) {
    const std::uint64_t z64 = b.U64(end - 20 + 8);
    if (!b.Within(z64, 56) || b.U32(z64) != kEnd64Record) {
      damaged = true;
      return false;
    }
    count = b.U64(z64 + 32);
    at = b.U64(z64 + 48);
  }
  return true;
}

// The entries of the central directory, each with its local record checked;
// false (with `error`) when the archive is refused.
bool ReadDirectory(const Bytes& b, std::vector<Entry>& entries, std::string& error, bool& zip) {
  std::uint64_t at = 0, count = 0;
  bool damaged = false;
  zip = FindDirectory(b, at, count, damaged);
  if (!zip) {
    // Without its end record an archive that begins as one is a damaged (cut) archive.
    zip = damaged || (b.n >= 4 && (b.U32(0) == kLocalRecord || b.U32(0) == kEndRecord || b.U32(0) == kSpanMark));
    error = zip ? kDamaged : "NOT A ZIP ARCHIVE";
    return false;
  }
  if (count > b.n / 46) {  // more records than the archive has room for
    error = kDamaged;
    return false;
  }
  std::set<std::string> files, folders;
  entries.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t k = 0; k < count; ++k) {
    if (!b.Within(at, 46) || b.U32(at) != kCentralRecord) {
      error = kDamaged;
      return false;
    }
    const std::uint64_t p = at;
    Entry e;
    const std::uint32_t host = b.b[p + 5], flags = b.U16(p + 8);
    e.method = b.U16(p + 10);
    e.crc = b.U32(p + 16);
    e.packed = b.U32(p + 20);
    e.size = b.U32(p + 24);
    const std::uint64_t name_length = b.U16(p + 28), extra_length = b.U16(p + 30), comment_length = b.U16(p + 32);
    const std::uint32_t mode = b.U32(p + 38) >> 16;
    e.local = b.U32(p + 42);
    if (!b.Within(p + 46, name_length + extra_length + comment_length)) {
      error = kDamaged;
      return false;
    }
    e.name.assign(reinterpret_cast<const char*>(b.b + p + 46), name_length);
    // Sizes and offset too large for their fields stand in the ZIP64 extra field.
    const std::uint64_t extra_end = p + 46 + name_length + extra_length;
    for (std::uint64_t x = p + 46 + name_length; x + 4 <= extra_end;) {
      const std::uint32_t id = b.U16(x), length = b.U16(x + 2);
      std::uint64_t v = x + 4;
      const std::uint64_t v_end = std::min<std::uint64_t>(v + length, extra_end);
      if (id == 0x0001) {
        for (std::uint64_t* field : {&e.size, &e.packed, &e.local}) {
          if (*field != 0xFFFFFFFF) continue;
          if (v + 8 > v_end) break;
          *field = b.U64(v);
          v += 8;
        }
      }
      x += 4 + length;
    }
    if ((flags & 1) != 0) {
      error = "ENCRYPTED ENTRY " + Shown(e.name);
      return false;
    }
    if (e.method != 0 && e.method != 8) {
      error = "UNKNOWN PACKING OF " + Shown(e.name);
      return false;
    }
    if (!SafeEntryName(e.name)) {
      error = "UNSAFE NAME " + Shown(e.name);
      return false;
    }
    if (host == 3 && (mode & 0170000) == 0120000) {  // a symbolic link, from a Unix packer
      error = "UNSAFE LINK " + Shown(e.name);
      return false;
    }
    e.folder = e.name.back() == '/' || e.name.back() == '\\';
    e.path = PathOf(e.name);
    // One name, one entry: a folder may be named twice, a file not (and never both).
    const bool twice = e.folder ? files.count(e.path) != 0 : files.count(e.path) != 0 || folders.count(e.path) != 0;
    if (twice) {
      error = "NAME TWICE IN ARCHIVE " + Shown(e.name);
      return false;
    }
    (e.folder ? folders : files).insert(e.path);
    if (e.folder && e.size != 0) {
      error = kDamaged + (" AT " + Shown(e.name));
      return false;
    }
    // The local record before the data.
    if (!b.Within(e.local, 30) || b.U32(e.local) != kLocalRecord) {
      error = kDamaged + (" AT " + Shown(e.name));
      return false;
    }
    e.data = e.local + 30 + b.U16(e.local + 26) + b.U16(e.local + 28);
    if (!b.Within(e.data, e.packed) || (e.method == 0 && e.packed != e.size)) {
      error = kDamaged + (" AT " + Shown(e.name));
      return false;
    }
    entries.push_back(std::move(e));
    at = p + 46 + name_length + extra_length + comment_length;
  }
  // Each entry's record and data apart from every other's: no bytes are unpacked twice.
  std::vector<const Entry*> order;
  for (const Entry& e : entries) order.push_back(&e);
  std::stable_sort(order.begin(), order.end(), [](const Entry* x, const Entry* y) { return x->local < y->local; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    if (order[i - 1]->data + order[i - 1]->packed > order[i]->local) {
      error = "OVERLAPPING ENTRIES IN ARCHIVE " + Shown(order[i]->name);
      return false;
    }
  }
  return true;
}

// Writes one entry's file, never more bytes than its declared size; false with
// `error` on any fault (the file is then removed).
bool WriteEntry(const Bytes& b, const Entry& e, const fs::path& file, std::string& error) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    error = "CANNOT WRITE " + file.string();
    return false;
  }
  const unsigned char* in = b.b + e.data;
  uLong crc = crc32(0L, Z_NULL, 0);
  std::uint64_t written = 0;
  bool ok = true, stored = true, longer = false;
  if (e.method == 0) {
    stored = std::fwrite(in, 1, static_cast<std::size_t>(e.size), out) == e.size;
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
      if (got > e.size - written) {                                            // more than declared: stopped here
        longer = true;
        ok = false;
      }
      if (ok && got > 0) {
        ok = stored = std::fwrite(chunk.data(), 1, got, out) == got;
        crc = crc32_z(crc, chunk.data(), got);
        written += got;
      }
    }
    inflateEnd(&z);
  }
  stored = std::fclose(out) == 0 && stored;
  if (!ok || !stored || written != e.size || crc != e.crc) {
    error = !stored  ? "CANNOT WRITE " + file.string()
            : longer ? "ENTRY LARGER THAN DECLARED " + Shown(e.name)
                     : "DAMAGED ENTRY " + Shown(e.name);
    std::error_code ec;
    fs::remove(file, ec);
    return false;
  }
  return true;
}

ZipOutcome Unpack(const Bytes& b, const fs::path& into, std::string& why, int threads) {
  std::vector<Entry> entries;
  bool zip = false;
  if (!ReadDirectory(b, entries, why, zip)) return zip ? ZipOutcome::Refused : ZipOutcome::NotAZip;

  // The whole of it must fit.
  std::uint64_t total = 0;
  for (const Entry& e : entries) total = e.size > ~total ? ~std::uint64_t{0} : total + e.size;
  std::error_code ec;
  fs::create_directories(into, ec);
  why = FreeSpaceProblem(into, total);
  if (!why.empty()) return ZipOutcome::Refused;

  // The folders first, then the files by several threads.
  std::vector<const Entry*> files;
  for (const Entry& e : entries) {
    const fs::path target = into / e.path;
    const fs::path folder = e.folder ? target : target.parent_path();
    fs::create_directories(folder, ec);
    if (ec) {
      why = "CANNOT MAKE " + folder.string();
      return ZipOutcome::Refused;
    }
    if (!e.folder) files.push_back(&e);
  }
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex first_error;
  auto work = [&] {
    while (!failed) {
      const std::size_t i = next++;
      if (i >= files.size()) return;
      std::string wrong;
      if (!WriteEntry(b, *files[i], into / files[i]->path, wrong)) {
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
  return failed ? ZipOutcome::Refused : ZipOutcome::Unpacked;
}

}  // namespace

std::string FreeSpaceProblem(const fs::path& folder, std::uint64_t bytes) {
  std::error_code ec;
  const fs::space_info space = fs::space(folder, ec);
  if (ec || bytes <= space.available) return {};
  constexpr std::uint64_t mb = 1 << 20;
  const std::uint64_t needed = bytes / mb + (bytes % mb != 0 ? 1 : 0);
  return "NOT ENOUGH FREE SPACE: " + std::to_string(needed) + " MB NEEDED, " + std::to_string(space.available / mb) +
         " MB FREE IN " + folder.string();
}

bool SafeEntryName(const std::string& name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\' || name.find(':') != std::string::npos ||
      name.find('\0') != std::string::npos)
    return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

ZipOutcome ExtractZipBytes(const std::string& bytes, const fs::path& into, std::string* error, int threads) {
  std::string why;
  const Bytes b{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
  const ZipOutcome outcome = Unpack(b, into, why, threads);
  if (error != nullptr) *error = outcome == ZipOutcome::Unpacked ? std::string() : why;
  return outcome;
}

ZipOutcome ExtractZip(const fs::path& zip, const fs::path& into, std::string* error, int threads) {
  auto fail = [&] {
    if (error != nullptr) *error = "CANNOT READ " + zip.string();
    return ZipOutcome::Refused;
  };
  std::string bytes;
  std::ifstream in(zip, std::ios::binary);
  if (!in) return fail();
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return fail();
  return ExtractZipBytes(bytes, into, error, threads);
}

}  // namespace platform
