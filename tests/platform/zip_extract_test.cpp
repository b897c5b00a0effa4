// The program's own unpacking of ZIP archives, on archives the test writes itself.
#include "platform/zip_extract.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace platform {
namespace {

namespace fs = std::filesystem;

struct Item {
  std::string name;
  std::string bytes;
  bool deflate = true;
  bool descriptor = false;  // sizes and checksum after the data, zero in the local header
  int crcFault = 0;         // added to the stored checksum
};

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, unsigned long v) {
  Put16(s, v & 0xFFFF);
  Put16(s, (v >> 16) & 0xFFFF);
}

std::string Deflated(const std::string& in) {
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

std::string Zip(const std::vector<Item>& items) {
  std::string file, central;
  for (const Item& it : items) {
    const std::string data = it.deflate ? Deflated(it.bytes) : it.bytes;
    const unsigned long crc =
        crc32(0, reinterpret_cast<const Bytef*>(it.bytes.data()), static_cast<uInt>(it.bytes.size())) + it.crcFault;
    const unsigned method = it.deflate ? 8 : 0, flags = it.descriptor ? 8 : 0;
    const unsigned long offset = file.size();
    Put32(file, 0x04034b50);
    Put16(file, 20);
    Put16(file, flags);
    Put16(file, method);
    Put32(file, 0);
    Put32(file, it.descriptor ? 0 : crc);
    Put32(file, it.descriptor ? 0 : data.size());
    Put32(file, it.descriptor ? 0 : it.bytes.size());
    Put16(file, it.name.size());
    Put16(file, 0);
    file += it.name + data;
    if (it.descriptor) {
      Put32(file, 0x08074b50);
      Put32(file, crc);
      Put32(file, data.size());
      Put32(file, it.bytes.size());
    }
    Put32(central, 0x02014b50);
    Put16(central, 20);
    Put16(central, 20);
    Put16(central, flags);
    Put16(central, method);
    Put32(central, 0);
    Put32(central, crc);
    Put32(central, data.size());
    Put32(central, it.bytes.size());
    Put16(central, it.name.size());
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, 0);
    Put32(central, offset);
    central += it.name;
  }
  std::string end;
  Put32(end, 0x06054b50);
  Put32(end, 0);
  Put16(end, items.size());
  Put16(end, items.size());
  Put32(end, central.size());
  Put32(end, file.size());
  Put16(end, 0);
  return file + central + end;
}

class ZipExtract : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "into");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Archive(const std::string& bytes) {
    std::ofstream(dir_ / "A.ZIP", std::ios::binary) << bytes;
    return dir_ / "A.ZIP";
  }
  std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir_ = fs::temp_directory_path() / ("zeblon_zip_" + std::to_string(::getpid()));
};

TEST_F(ZipExtract, EveryEntryUnpackedAsStored) {
  std::string tile(500118, '\0');
  for (std::size_t i = 0; i < tile.size(); ++i) tile[i] = static_cast<char>((i / 700) % 16);
  const std::vector<Item> items = {
      {"U33/", "", false},
      {"U33/M0050/65006500.BMP", tile},
      {"U33/M0050/65006550.BMP", tile.substr(0, 1000), false},
      {"U33/LOG/", "", false},
      {"U33/POI/README.TXT", "points\r\n", true, true},
      {"U33/TRK/EMPTY.TRK", "", true},
  };
  // Every thread count, and files that are there already get replaced.
  std::ofstream(dir_ / "into" / "U33_old", std::ios::binary) << "x";
  for (int threads : {1, 3}) {
    std::string error;
    ASSERT_TRUE(ExtractZip(Archive(Zip(items)), dir_ / "into", &error, threads)) << error;
    for (const Item& it : items) {
      const fs::path p = dir_ / "into" / it.name;
      if (it.name.back() == '/')
        EXPECT_TRUE(fs::is_directory(p)) << it.name;
      else
        EXPECT_EQ(Read(p), it.bytes) << it.name;
    }
  }
}

TEST_F(ZipExtract, FaultyArchivesAreRefused) {
  struct Case {
    const char* what;
    std::string archive;
    const char* error;
  };
  const Case cases[] = {
      {"not an archive", "PK but nothing more of an archive", "NOT A ZIP ARCHIVE"},
      {"empty file", "", "NOT A ZIP ARCHIVE"},
      {"a name that climbs out", Zip({{"U33/../../ESCAPED.TXT", "x"}}), "UNSAFE NAME U33/../../ESCAPED.TXT"},
      {"an absolute name", Zip({{"/tmp/ESCAPED.TXT", "x"}}), "UNSAFE NAME /tmp/ESCAPED.TXT"},
      {"a wrong checksum", Zip({{"U33/BAD.BMP", "some bytes", true, false, 1}}), "DAMAGED ENTRY U33/BAD.BMP"},
      {"cut short", Zip({{"U33/CUT.BMP", std::string(5000, 'a')}}).substr(0, 40), "NOT A ZIP ARCHIVE"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ExtractZip(Archive(c.archive), dir_ / "into", &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
  // Nothing was written outside the folder, and no damaged file stays.
  EXPECT_FALSE(fs::exists(dir_ / "ESCAPED.TXT"));
  EXPECT_FALSE(fs::exists(dir_ / "into" / "U33" / "BAD.BMP"));
  std::string error;
  EXPECT_FALSE(ExtractZip(dir_ / "MISSING.ZIP", dir_ / "into", &error));
  EXPECT_EQ(error, "CANNOT READ " + (dir_ / "MISSING.ZIP").string());
}

}  // namespace
}  // namespace platform
