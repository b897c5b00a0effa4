// ZIP archives written byte by byte, sound or with the faults an unpacker must
// refuse (the tests' and the fuzz seeds' own archives).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zeblon::testing_support {

struct ZipItem {
  std::string name;
  std::string bytes;
  bool deflate = true;
  bool descriptor = false;         // sizes and checksum after the data, zero in the local record
  int crcFault = 0;                // added to the stored checksum
  std::uint32_t flags = 0;         // more general purpose flags (1: encrypted)
  std::uint32_t unixMode = 0;      // the mode a Unix packer stores (0120777: a link), 0 for none
  std::int64_t declaredSize = -1;  // the size the records name, when not the bytes' own
  std::uint64_t zip64Size = 0;     // a size and an offset standing in the ZIP64 extra field,
  std::uint64_t zip64Packed = 0;   // when not 0 (the 32-bit fields then hold 0xFFFFFFFF)
  std::uint64_t zip64Local = 0;
  int sharesRecordOf = -1;  // no local record of its own: the central one names this item's
};

inline void ZipPut16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void ZipPut32(std::string& s, std::uint64_t v) {
  ZipPut16(s, v & 0xFFFF);
  ZipPut16(s, (v >> 16) & 0xFFFF);
}
inline void ZipPut64(std::string& s, std::uint64_t v) {
  ZipPut32(s, v & 0xFFFFFFFF);
  ZipPut32(s, v >> 32);
}

// Raw deflate of `in`, as a ZIP archive holds it.
inline std::string Deflated(const std::string& in) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, in.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// The archive of `items`, in their order, with its central directory and end record.
inline std::string ZipArchive(const std::vector<ZipItem>& items) {
  std::string file, central;
  std::vector<std::uint64_t> offsets;
  for (const ZipItem& it : items) {
    const std::string data = it.deflate ? Deflated(it.bytes) : it.bytes;
    const std::uint64_t crc =
        (crc32(0, reinterpret_cast<const Bytef*>(it.bytes.data()), static_cast<uInt>(it.bytes.size())) + it.crcFault) &
        0xFFFFFFFF;
    const std::uint64_t size = it.declaredSize >= 0 ? static_cast<std::uint64_t>(it.declaredSize) : it.bytes.size();
    const unsigned method = it.deflate ? 8 : 0, flags = (it.descriptor ? 8 : 0) | it.flags;
    std::uint64_t offset = file.size();
    if (it.sharesRecordOf >= 0) {
      offset = offsets.at(static_cast<std::size_t>(it.sharesRecordOf));
    } else {
      ZipPut32(file, 0x04034b50);
      ZipPut16(file, 20);
      ZipPut16(file, flags);
      ZipPut16(file, method);
      ZipPut32(file, 0);
      ZipPut32(file, it.descriptor ? 0 : crc);
      ZipPut32(file, it.descriptor ? 0 : data.size());
      ZipPut32(file, it.descriptor ? 0 : size);
      ZipPut16(file, it.name.size());
      ZipPut16(file, 0);
      file += it.name + data;
      if (it.descriptor) {
        ZipPut32(file, 0x08074b50);
        ZipPut32(file, crc);
        ZipPut32(file, data.size());
        ZipPut32(file, size);
      }
    }
    offsets.push_back(offset);
    std::string extra;
    if (it.zip64Size != 0) ZipPut64(extra, it.zip64Size);
    if (it.zip64Packed != 0) ZipPut64(extra, it.zip64Packed);
    if (it.zip64Local != 0) ZipPut64(extra, it.zip64Local);
    if (!extra.empty()) {
      const std::string values = extra;
      extra.clear();
      ZipPut16(extra, 0x0001);
      ZipPut16(extra, values.size());
      extra += values;
    }
    ZipPut32(central, 0x02014b50);
    ZipPut16(central, it.unixMode != 0 ? (3 << 8) | 20 : 20);
    ZipPut16(central, 20);
    ZipPut16(central, flags);
    ZipPut16(central, method);
    ZipPut32(central, 0);
    ZipPut32(central, crc);
    ZipPut32(central, it.zip64Packed != 0 ? 0xFFFFFFFF : data.size());
    ZipPut32(central, it.zip64Size != 0 ? 0xFFFFFFFF : size);
    ZipPut16(central, it.name.size());
    ZipPut16(central, extra.size());
    ZipPut16(central, 0);
    ZipPut16(central, 0);
    ZipPut16(central, 0);
    ZipPut32(central, static_cast<std::uint64_t>(it.unixMode) << 16);
    ZipPut32(central, it.zip64Local != 0 ? 0xFFFFFFFF : offset);
    central += it.name + extra;
  }
  std::string end;
  ZipPut32(end, 0x06054b50);
  ZipPut32(end, 0);
  ZipPut16(end, items.size());
  ZipPut16(end, items.size());
  ZipPut32(end, central.size());
  ZipPut32(end, file.size());
  ZipPut16(end, 0);
  return file + central + end;
}

// An archive of end records only: its ZIP64 end record stands at 0 and names
// `directory` as the start of the central directory (of one record); the locator
// names `end64` as the ZIP64 end record's place (0 to find it).
inline std::string Zip64EndOnly(std::uint64_t end64, std::uint64_t directory) {
  std::string s;
  ZipPut32(s, 0x06064b50);  // the ZIP64 end record at 0
  ZipPut64(s, 44);
  ZipPut16(s, 45);
  ZipPut16(s, 45);
  ZipPut32(s, 0);
  ZipPut32(s, 0);
  ZipPut64(s, 1);
  ZipPut64(s, 1);
  ZipPut64(s, 46);
  ZipPut64(s, directory);
  ZipPut32(s, 0x07064b50);  // its locator
  ZipPut32(s, 0);
  ZipPut64(s, end64);
  ZipPut32(s, 1);
  ZipPut32(s, 0x06054b50);  // the end record, its fields left to the ZIP64 record
  ZipPut32(s, 0);
  ZipPut16(s, 0xFFFF);
  ZipPut16(s, 0xFFFF);
  ZipPut32(s, 0xFFFFFFFF);
  ZipPut32(s, 0xFFFFFFFF);
  ZipPut16(s, 0);
  return s;
}

}  // namespace zeblon::testing_support
