#include <gtest/gtest.h>

#include "fixture.h"
#include "geodesy/text.h"
#include "map/map_tile.h"
#include "talmor/file_converters.h"

namespace {

using namespace talmor_test;
using talmor::RunEnd;

const std::string kMark = "\xFE";

// A StationRecord with the position mark at column 13 and RT90 km at 14-31.
std::string Record(const std::string& north, const std::string& east) {
  std::string r = "240501 1230 " + kMark + north + east + "'SM5XYZ-9 " + std::string(48, ' ') + "_";
  return r;
}

std::string Utm(double rt90_north_km, double rt90_east_km) {
  double n = 0, e = 0;
  EXPECT_TRUE(talmor::ConvertRt90PointToUtm33(rt90_north_km * 1000, rt90_east_km * 1000, n, e));
  return talmor::DataFieldText(n) + talmor::DataFieldText(e);
}

TEST(DataFields, FieldText) {
  const struct {
    double metres;
    const char* text;
  } cases[] = {
      {6581234.9, " 6581.234"}, {512345.6, "  512.345"},  {10000000, " 9999.990"},  {9999990.7, " 9999.990"},
      {-123456, " -123.456"},   {-123455.5, " -123.456"}, {-20000000, "-9999.999"}, {5, "     .005"},
  };
  for (const auto& c : cases) EXPECT_EQ(talmor::DataFieldText(c.metres), c.text) << c.metres;
}

TEST(DataFields, ColumnsByExtension) {
  EXPECT_EQ(talmor::PositionColumn("SM5XYZ.TXT"), 14);
  EXPECT_EQ(talmor::PositionColumn("home.poi"), 2);
  EXPECT_EQ(talmor::PositionColumn("20240501.TRK"), 2);  // where ZEBLON writes track positions
  EXPECT_EQ(talmor::PositionColumn("X.DOC"), 0);
}

TEST(DataFields, Lines) {
  const std::string utm = Utm(6581.234, 1628.5);
  const std::string record = Record(" 6581.234", " 1628.500");
  const std::string converted = talmor::ConvertDataLine(record, 14);
  EXPECT_EQ(converted.size(), record.size());
  EXPECT_EQ(converted.substr(0, 13), record.substr(0, 13));
  EXPECT_EQ(converted.substr(13, 18), utm);
  EXPECT_EQ(converted.substr(31), record.substr(31));

  // A chat log line (no position mark at column 13) stays as it is.
  const std::string chat = "SM5XYZ-9 :SM0ABC   :hello there, how are you{12";
  EXPECT_EQ(talmor::ConvertDataLine(chat, 14), chat);

  const std::string poi = kMark + " 6581.234 1628.500 Home {http://x}";
  EXPECT_EQ(talmor::ConvertDataLine(poi, 2), kMark + utm + " Home {http://x}");
  const std::string trk = kMark + " 6581.234 1628.500 20240501 1230";
  EXPECT_EQ(talmor::ConvertDataLine(trk, 2), kMark + utm + " 20240501 1230");

  // Lines without a place for the easting stay; a cut easting is replaced as far as the line goes.
  EXPECT_EQ(talmor::ConvertDataLine("", 2), "");
  EXPECT_EQ(talmor::ConvertDataLine(kMark + " 6581.234", 2), kMark + " 6581.234");
  const std::string cut = kMark + " 6581.234 1628.5";
  EXPECT_EQ(talmor::ConvertDataLine(cut, 2), kMark + utm.substr(0, 16));
}

class FileRun : public ::testing::Test {
 protected:
  void SetUp() override {
    root = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    options.source = root / "RN";
    options.destination = root / "U33";
    fs::create_directories(options.source);
    fs::create_directories(options.destination);
  }
  fs::path root;
  talmor::FileRunOptions options;
  Recorder rec;
};

TEST_F(FileRun, DataFilesInSortedOrder) {
  const std::string record = Record(" 6581.234", " 1628.500");
  WriteText(options.source / "A.POI", kMark + " 6581.234 1628.500 Home\r\n");
  WriteText(options.source / "B.TXT", record + "\r\nchat line\n" + record);  // LF and no last line end
  WriteText(options.source / "C.TRK", kMark + " 6581.234 1628.500 20240501 1230\r\n");
  WriteText(options.source / "d.poi", "");
  WriteText(options.source / "NOTES.DOC", "left alone");
  options.deleteSources = true;
  const auto result = talmor::ConvertDataFiles(options, rec.Hooks());
  ASSERT_EQ(result.end, RunEnd::Ready) << result.message;
  EXPECT_EQ(rec.text,
            "A.POI   1/4  DONE\r\nB.TXT   2/4  DONE\r\nC.TRK   3/4  DONE\r\nd.poi   4/4  DONE\r\n\r\nREADY !\r\n");
  const std::string utm = Utm(6581.234, 1628.5);
  EXPECT_EQ(ReadText(options.destination / "A.POI"), kMark + utm + " Home\r\n");
  const std::string converted = talmor::ConvertDataLine(record, 14);
  EXPECT_EQ(ReadText(options.destination / "B.TXT"), converted + "\r\nchat line\r\n" + converted + "\r\n");
  EXPECT_EQ(ReadText(options.destination / "C.TRK"), kMark + utm + " 20240501 1230\r\n");
  EXPECT_EQ(ReadText(options.destination / "d.poi"), "");
  EXPECT_EQ(FilesIn(options.source), std::vector<std::string>{"NOTES.DOC"});
}

TEST_F(FileRun, DestinationFileOfTheSameNameInAnotherCaseIsReplaced) {
  WriteText(options.source / "HOME.POI", kMark + " 6581.234 1628.500 Home\r\n");
  WriteText(options.destination / "home.poi", "old\r\n");
  ASSERT_EQ(talmor::ConvertDataFiles(options, rec.Hooks()).end, RunEnd::Ready);
  EXPECT_EQ(FilesIn(options.destination), std::vector<std::string>{"home.poi"});
  EXPECT_EQ(ReadText(options.destination / "home.poi"), kMark + Utm(6581.234, 1628.5) + " Home\r\n");
}

TEST_F(FileRun, DataFilesRefusedAndFailed) {
  EXPECT_EQ(talmor::ConvertDataFiles(options, rec.Hooks()).end, RunEnd::NoSourceData);
  EXPECT_EQ(rec.text, "\r\nNO SOURCE DATA FOUND !\r\n");
  WriteText(options.source / "A.POI", kMark + " 6581.234 1628.500 Home\r\n");
  auto same = options;
  same.destination = options.source / ".." / "RN";
  EXPECT_EQ(talmor::ConvertDataFiles(same, rec.Hooks()).message, "SOURCE / DESTINATION  PATHS  HAVE TO BE DIFFERENT !");
  // The destination file cannot be written: reported, the source stays.
  fs::create_directory(options.destination / "A.POI");
  options.deleteSources = true;
  const auto result = talmor::ConvertDataFiles(options, rec.Hooks());
  EXPECT_EQ(result.end, RunEnd::Failed);
  EXPECT_NE(result.message.find("CANNOT WRITE"), std::string::npos);
  EXPECT_TRUE(fs::exists(options.source / "A.POI"));
}

TEST_F(FileRun, MoreThan10000SourceFilesAreRefusedBeforeAnythingIsWritten) {
  for (int i = 0; i <= 10000; ++i) WriteText(options.source / ("L" + std::to_string(i) + ".TXT"), "");
  options.deleteSources = true;
  const auto result = talmor::ConvertDataFiles(options, rec.Hooks());
  EXPECT_EQ(result.end, RunEnd::Refused);
  EXPECT_EQ(result.message, "MORE THAN 10000 SOURCE FILES IN " + options.source.string() + " !");
  EXPECT_TRUE(FilesIn(options.destination).empty());
  EXPECT_EQ(FilesIn(options.source).size(), 10001u);
}

TEST(PictureNames, UtmNameOfTheSquareCentre) {
  for (const char* name : {"60001200", "65801628", "5410@850"}) {
    const auto corner = zeblon::map::TileCornerOfName(name);
    double n = 0, e = 0;
    ASSERT_TRUE(talmor::ConvertRt90PointToUtm33((corner.northKm + 0.5) * 1000, (corner.eastKm + 0.5) * 1000, n, e));
    const auto expected = zeblon::map::TileName(static_cast<std::int64_t>(std::floor(n / 1000)),
                                                static_cast<std::int64_t>(std::floor(e / 1000)));
    EXPECT_EQ(talmor::UtmPictureName(name), expected) << name;
  }
}

TEST_F(FileRun, PicturesCopiedUnderTheirUtmNames) {
  const std::vector<std::uint8_t> a{'B', 'M', 1, 2, 3}, b{'B', 'M', 9};
  WriteBytes(options.source / "65801628.bmp", a);
  WriteBytes(options.source / "65901628.BMP", b);
  WriteBytes(options.source / "65901628X.BMP", b);  // same 8 characters: one entry
  options.deleteSources = true;
  const auto result = talmor::ConvertImageNames(options, rec.Hooks());
  ASSERT_EQ(result.end, RunEnd::Ready) << result.message;
  EXPECT_EQ(rec.text, "65801628.BMP   1/2  DONE\r\n65901628.BMP   2/2  DONE\r\n\r\nREADY !\r\n");
  EXPECT_EQ(ReadBytes(options.destination / talmor::UtmPictureName("65801628")), a);
  EXPECT_EQ(ReadBytes(options.destination / talmor::UtmPictureName("65901628")), b);
  EXPECT_EQ(FilesIn(options.source), std::vector<std::string>{"65901628X.BMP"});
}

TEST_F(FileRun, PicturesThatWouldOverwriteEachOtherAreRefused) {
  // The RT90 and UTM squares differ slightly in size: some neighbouring pair of
  // squares shares one UTM square.
  std::string first, second;
  for (int e = 1200; e < 1900 && first.empty(); ++e) {
    const std::string x = "6100" + std::to_string(e), y = "6100" + std::to_string(e + 1);
    if (talmor::UtmPictureName(x) == talmor::UtmPictureName(y)) first = x, second = y;
  }
  ASSERT_FALSE(first.empty());
  WriteBytes(options.source / (first + ".BMP"), {'B', 'M', 1});
  WriteBytes(options.source / (second + ".BMP"), {'B', 'M', 2});
  options.deleteSources = true;
  const auto result = talmor::ConvertImageNames(options, rec.Hooks());
  EXPECT_EQ(result.end, RunEnd::Refused);
  EXPECT_EQ(result.message, "TWO PICTURES GET THE SAME UTM NAME: " + first + ".BMP AND " + second + ".BMP -> " +
                                talmor::UtmPictureName(first) + " ! NOTHING IS COPIED.");
  EXPECT_TRUE(FilesIn(options.destination).empty());
  EXPECT_EQ(FilesIn(options.source).size(), 2u);
}

TEST_F(FileRun, PictureThatCannotBeWrittenIsReportedAndKept) {
  WriteBytes(options.source / "65801628.BMP", {'B', 'M', 1});
  WriteBytes(options.source / "65901628.BMP", {'B', 'M', 2});
  fs::create_directory(options.destination / talmor::UtmPictureName("65901628"));  // in the way of the copy
  options.deleteSources = true;
  const auto result = talmor::ConvertImageNames(options, rec.Hooks());
  EXPECT_EQ(result.end, RunEnd::Failed);
  EXPECT_EQ(result.message.rfind("CANNOT WRITE", 0), 0u) << result.message;
  // The first picture was copied and then deleted; the second stays where it was.
  EXPECT_EQ(ReadBytes(options.destination / talmor::UtmPictureName("65801628")),
            (std::vector<std::uint8_t>{'B', 'M', 1}));
  EXPECT_EQ(FilesIn(options.source), std::vector<std::string>{"65901628.BMP"});
}

TEST_F(FileRun, PictureMissingUnderItsCutName) {
  WriteBytes(options.source / "65801628X.BMP", {'B', 'M'});
  const auto result = talmor::ConvertImageNames(options, rec.Hooks());
  EXPECT_EQ(result.end, RunEnd::Refused);
  EXPECT_EQ(result.message, "SOURCE FILE 65801628.BMP NOT FOUND (A PICTURE NAME IS 8 CHARACTERS AND .BMP) !");
  EXPECT_TRUE(FilesIn(options.destination).empty());
}

}  // namespace
