// The program's own unpacking of ZIP archives, on archives the test writes itself.
#include "platform/zip_extract.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/zip_writer.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

using zeblon::testing_support::Deflated;
using zeblon::testing_support::Zip64EndOnly;
using Item = zeblon::testing_support::ZipItem;

std::string Zip(const std::vector<Item>& items) { return zeblon::testing_support::ZipArchive(items); }

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
    ASSERT_EQ(ExtractZip(Archive(Zip(items)), dir_ / "into", &error, threads), ZipOutcome::Unpacked) << error;
    for (const Item& it : items) {
      const fs::path p = dir_ / "into" / it.name;
      if (it.name.back() == '/')
        EXPECT_TRUE(fs::is_directory(p)) << it.name;
      else
        EXPECT_EQ(Read(p), it.bytes) << it.name;
    }
  }
}

TEST_F(ZipExtract, FaultyArchivesAreRefusedBeforeAnythingIsWritten) {
  constexpr std::uint64_t kNear64 = ~std::uint64_t{0} - 7;  // a sum with it wraps past zero
  const std::string bomb(4 << 20, '\0');
  struct Case {
    const char* what;
    std::string archive;
    const char* error;
    ZipOutcome outcome = ZipOutcome::Refused;
  };
  const Case cases[] = {
      {"not an archive", "PK but nothing more of an archive", "NOT A ZIP ARCHIVE", ZipOutcome::NotAZip},
      {"empty file", "", "NOT A ZIP ARCHIVE", ZipOutcome::NotAZip},
      {"cut short", Zip({{"U33/CUT.BMP", std::string(5000, 'a')}}).substr(0, 40), "DAMAGED ZIP ARCHIVE"},
      {"a name that climbs out", Zip({{"U33/../../ESCAPED.TXT", "x"}}), "UNSAFE NAME U33/../../ESCAPED.TXT"},
      {"an absolute name", Zip({{"/tmp/ESCAPED.TXT", "x"}}), "UNSAFE NAME /tmp/ESCAPED.TXT"},
      {"a NUL in a name", Zip({{std::string("U33/A\0/../X", 11), "x"}}), "UNSAFE NAME U33/A?/../X"},
      {"a link", Zip({{.name = "U33/LOG", .bytes = "/tmp", .unixMode = 0120777}}), "UNSAFE LINK U33/LOG"},
      {"an encrypted entry", Zip({{.name = "U33/SECRET.TXT", .bytes = "x", .flags = 1}}),
       "ENCRYPTED ENTRY U33/SECRET.TXT"},
      {"a wrong checksum", Zip({{.name = "U33/BAD.BMP", .bytes = "some bytes", .crcFault = 1}}),
       "DAMAGED ENTRY U33/BAD.BMP"},
      {"a file named twice", Zip({{"U33/A.TXT", "one"}, {"U33/B.TXT", "b"}, {"U33/A.TXT", "two"}}),
       "NAME TWICE IN ARCHIVE U33/A.TXT"},
      {"a file named twice, spelled apart", Zip({{"U33/A.TXT", "one"}, {"U33//./A.TXT", "two"}}),
       "NAME TWICE IN ARCHIVE U33//./A.TXT"},
      {"a file and a folder of one name", Zip({{"U33/A", "one"}, {"U33/A/", "", false}}),
       "NAME TWICE IN ARCHIVE U33/A/"},
      {"100 bytes declared, megabytes packed", Zip({{.name = "U33/BOMB.BMP", .bytes = bomb, .declaredSize = 100}}),
       "ENTRY LARGER THAN DECLARED U33/BOMB.BMP"},
      {"folders sharing one record",
       Zip({{"U33/", "", false},
            {.name = "U33/A/", .bytes = "", .deflate = false, .sharesRecordOf = 0},
            {.name = "U33/B/", .bytes = "", .deflate = false, .sharesRecordOf = 0}}),
       "OVERLAPPING ENTRIES IN ARCHIVE U33/A/"},
      {"the ZIP64 end record near the end of the address space", Zip64EndOnly(kNear64, 0), "DAMAGED ZIP ARCHIVE"},
      {"the directory near the end of the address space", Zip64EndOnly(0, kNear64), "DAMAGED ZIP ARCHIVE"},
      {"a local record near the end of the address space",
       Zip({{.name = "U33/A.BMP", .bytes = "x", .deflate = false, .zip64Local = kNear64}}),
       "DAMAGED ZIP ARCHIVE AT U33/A.BMP"},
      {"a packed size near the end of the address space",
       Zip({{.name = "U33/A.BMP", .bytes = "x", .deflate = false, .zip64Size = kNear64, .zip64Packed = kNear64}}),
       "DAMAGED ZIP ARCHIVE AT U33/A.BMP"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ExtractZip(Archive(c.archive), dir_ / "into", &error), c.outcome) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
    // No refused, damaged or cut file stays, and no link is made.
    for (const auto& e : fs::recursive_directory_iterator(dir_ / "into")) {
      EXPECT_TRUE(e.is_directory() && !e.is_symlink()) << c.what << ": " << e.path();
    }
  }
  EXPECT_FALSE(fs::exists(dir_ / "ESCAPED.TXT"));
  std::string error;
  EXPECT_EQ(ExtractZip(dir_ / "MISSING.ZIP", dir_ / "into", &error), ZipOutcome::Refused);
  EXPECT_EQ(error, "CANNOT READ " + (dir_ / "MISSING.ZIP").string());
}

// Declared sizes that no disk holds are refused by their sum, before a byte is written.
TEST_F(ZipExtract, AnArchiveLargerThanTheFreeSpaceIsRefused) {
  const std::string archive =
      Zip({{"U33/A.BMP", "a"}, {.name = "U33/HUGE.BMP", .bytes = "x", .zip64Size = 1ull << 50}});
  std::string error;
  EXPECT_EQ(ExtractZip(Archive(archive), dir_ / "into", &error), ZipOutcome::Refused);
  EXPECT_EQ(error.rfind("NOT ENOUGH FREE SPACE: 1073741825 MB NEEDED, ", 0), 0u) << error;
  EXPECT_FALSE(fs::exists(dir_ / "into" / "U33"));
}

}  // namespace
}  // namespace platform
