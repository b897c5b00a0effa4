// POI files, the POI editor's OK, links, and the TRK file choice.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "map/poi_file.h"
#include "map/track_files.h"
#include "settings/text_files.h"
#include "tests/support/program_folder.h"

namespace zeblon::map {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& f) {
  std::string b;
  ReadWholeFile(f, b);
  return b;
}

TEST(PoiFiles, PositionTexts) {
  const struct {
    double in;
    const char* text;  // nullptr: refused
    double back;
  } cases[] = {
      {6543.2106, " 6543.210", 6543.21}, {456.7, "  456.700", 456.7},      {0, "    0.000", 0},
      {0.0004, "    0.000", 0},          {-12.3456, "-  12.346", -12.346}, {9999.999, " 9999.999", 9999.999},
      {0.05, "     .050", 0.05},         {-0.005, "-    .005", -0.005},    {10000, nullptr, 10000},
      {-10000.5, nullptr, -10000.5},
  };
  for (const auto& c : cases) {
    double v = c.in;
    const auto t = FormatPointPosition(v);
    if (c.text == nullptr) {
      EXPECT_FALSE(t.has_value()) << c.in;
      continue;
    }
    ASSERT_TRUE(t.has_value()) << c.in;
    EXPECT_EQ(*t, c.text) << c.in;
    EXPECT_NEAR(v, c.back, 1e-9) << c.in;
  }
}

TEST(PoiFiles, ListedNamesAndLinks) {
  testing_support::ScratchFolder dir("zeblon_poi");
  for (const char* f : {"walks.poi", "Huts.POI", "notes.txt", "x.POI.bak"}) std::ofstream(dir.path() / f) << "";
  fs::create_directories(dir.path() / "DIR.POI");
  EXPECT_EQ(PoiStore(dir.path()).List(), (std::vector<std::string>{"HUTS", "WALKS"}));

  const struct {
    const char* text;
    const char* link;
  } links[] = {{"hut {ab} x", "ab"},      {"hut {a}", nullptr},
               {"} then {abc}", nullptr}, {"{https://x.se/p}", "https://x.se/p"},
               {"no link", nullptr},      {"{open", nullptr}};
  for (const auto& l : links) {
    const auto got = PoiLink(l.text);
    EXPECT_EQ(got.has_value(), l.link != nullptr) << l.text;
    if (got && l.link) {
      EXPECT_EQ(*got, l.link);
    }
  }
  // Only web addresses and local non-program files.
  const fs::path doc = dir.path() / "guide.pdf";
  const fs::path tool = dir.path() / "tool";
  const fs::path desktop = dir.path() / "evil.desktop";
  std::ofstream(doc) << "%PDF";
  std::ofstream(tool) << "#!/bin/sh\n";
  ::chmod(tool.c_str(), 0755);
  std::ofstream(desktop) << "[Desktop Entry]\n";
  const struct {
    std::string link;
    bool ok;
  } cases[] = {{"https://example.org/a?b=c", true},
               {"HTTP://example.org", true},
               {"http://", false},
               {"https://a b", false},
               {"file://" + doc.string(), true},
               {doc.string(), true},
               {tool.string(), false},
               {"file://" + tool.string(), false},
               {desktop.string(), false},
               {"javascript:alert(1)", false},
               {"mailto:a@b", false},
               {"guide.pdf", false},
               {"C:\\DOCS\\A.PDF", false},
               {(dir.path() / "missing.pdf").string(), false},
               {"; rm -rf /", false},
               {dir.path().string(), true}};
  for (const auto& c : cases) EXPECT_EQ(LinkMayBeOpened(c.link), c.ok) << c.link;
}

class PoiStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<testing_support::ScratchFolder>("zeblon_poistore");
    store_.SetFolder(dir_->path());
  }
  fs::path File() const { return dir_->path() / "HUTS.POI"; }
  std::unique_ptr<testing_support::ScratchFolder> dir_;
  PoiStore store_;
};

TEST_F(PoiStoreTest, AddChangeMoveDeleteRewriteAndReload) {
  std::ofstream(File(), std::ios::binary)
      << "\xFE 6500.000  500.000 first\r\nhand-written line\r\n"
         "\xFE 6501.000  501.000 {https://x.se} second\r\n\xFE 6502.000  502.000 \r\n";
  store_.Load("HUTS");
  ASSERT_EQ(store_.lines().size(), 4u);
  // A new point with an empty text adds nothing but rewrites without the odd lines.
  double n = 6510.1234, e = 510.5;
  ASSERT_TRUE(store_.Ok(0, "", false, n, e));
  EXPECT_EQ(Read(File()), "\xFE 6500.000  500.000 first\r\n\xFE 6501.000  501.000 {https://x.se} second\r\n");
  // A new point.
  ASSERT_TRUE(store_.Ok(0, "  new hut  ", false, n, e));
  EXPECT_EQ(store_.lines().back(), "\xFE 6510.123  510.500 new hut");
  EXPECT_DOUBLE_EQ(n, 6510.123);
  // A changed text keeps the position even though the selection moved.
  double sn = 7000, se = 700;
  ASSERT_TRUE(store_.Ok(1, "first, renamed", false, sn, se));
  EXPECT_EQ(store_.lines()[0], "\xFE 6500.000  500.000 first, renamed");
  // Moved to the centre (POS->CENTER): the selected point, cut to whole metres after 0.1 m.
  sn = 6520.00049;
  se = 520.99999;
  ASSERT_TRUE(store_.Ok(2, "second", true, sn, se));
  EXPECT_EQ(store_.lines()[1], "\xFE 6520.000  521.000 second");
  // A blank text deletes: its line has no text column and is dropped by the rewrite.
  ASSERT_TRUE(store_.Ok(1, "   ", false, sn, se));
  // An empty text deletes the line directly.
  ASSERT_TRUE(store_.Ok(1, "", false, sn, se));
  EXPECT_EQ(Read(File()), "\xFE 6510.123  510.500 new hut\r\n");
}

TEST_F(PoiStoreTest, PointBeyondRangeIsRefusedNotWrittenWithEmptyColumns) {
  store_.Create("HUTS");
  double n = 6500, e = 500;
  ASSERT_TRUE(store_.Ok(0, "ok", false, n, e));
  const std::string before = Read(File());
  double far_n = 10000.5, far_e = 500;
  EXPECT_FALSE(store_.Ok(0, "too far", false, far_n, far_e));
  EXPECT_FALSE(store_.Ok(1, "moved too far", true, far_n, far_e));
  EXPECT_EQ(Read(File()), before);
  EXPECT_EQ(store_.lines(), std::vector<std::string>{"\xFE 6500.000  500.000 ok"});
}

TEST_F(PoiStoreTest, FileOfAnyLengthLoadsWholeAndIsNeverRewrittenShorter) {
  std::string bytes;
  for (int i = 0; i < 30005; ++i) bytes += "\xFE 6500.000  500.000 p" + std::to_string(i) + "\r\n";
  std::ofstream(File(), std::ios::binary) << bytes;
  store_.Load("huts");  // any letter case finds the file
  EXPECT_EQ(store_.lines().size(), 30005u);
  double n = 6500, e = 500;
  ASSERT_TRUE(store_.Ok(3, "p2 changed", false, n, e));
  EXPECT_EQ(store_.lines().size(), 30005u);
  EXPECT_EQ(Read(File()).size(), bytes.size() + std::string(" changed").size());
}

TEST_F(PoiStoreTest, CreateKeepsAnExistingFile) {
  std::ofstream(File(), std::ios::binary) << "\xFE 6500.000  500.000 kept\r\n";
  store_.Create("HUTS");
  EXPECT_TRUE(store_.lines().empty());
  EXPECT_EQ(Read(File()), "\xFE 6500.000  500.000 kept\r\n");
  store_.Create("NEW");
  EXPECT_TRUE(fs::exists(dir_->path() / "NEW.POI"));
  EXPECT_EQ(store_.List(), (std::vector<std::string>{"HUTS", "NEW"}));
  EXPECT_EQ(ComboName("  huts "), "HUTS");
  EXPECT_TRUE(Listed(store_.List(), ComboName(" new")));
}

TEST(TrackFiles, ChoiceStepsAndEnd) {
  testing_support::ScratchFolder dir("zeblon_trk");
  std::ofstream(dir.path() / "20240501.TRK", std::ios::binary)
      << "\xFE 6500.000  500.000 20240501 1200\r\n\xFE 6501.500  502.250 20240501 1201\r\n";
  std::ofstream(dir.path() / "20240502.trk") << "";
  TrackFiles trk(dir.path());
  const auto list = trk.List();
  EXPECT_EQ(list, (std::vector<std::string>{"20240501", "20240502"}));
  EXPECT_FALSE(TrackEnd(trk.lines()).has_value()) << "no track loaded: nothing to centre on";
  trk.Load("20240501");
  ASSERT_EQ(trk.lines().size(), 2u);
  const auto end = TrackEnd(trk.lines());
  ASSERT_TRUE(end.has_value());
  EXPECT_DOUBLE_EQ(end->north, 6501.5);
  EXPECT_DOUBLE_EQ(end->east, 502.25);
  trk.Load("MISSING");
  EXPECT_TRUE(trk.lines().empty());

  const std::vector<std::string> three = {"A", "B", "C"};
  EXPECT_EQ(NeighbourEntry(three, "B", -1), 0u);
  EXPECT_EQ(NeighbourEntry(three, "B", +1), 2u);
  EXPECT_FALSE(NeighbourEntry(three, "A", -1).has_value());
  EXPECT_FALSE(NeighbourEntry(three, "C", +1).has_value());
  EXPECT_EQ(NeighbourEntry(three, "X", +1), 1u) << "a text not listed counts as position 0";
  EXPECT_FALSE(NeighbourEntry(three, "X", -1).has_value());
  EXPECT_FALSE(NeighbourEntry({}, "X", +1).has_value());
}

TEST(TrackFiles, PickListChoiceAtStartUp) {
  EXPECT_EQ(ChooseListEntry("B", {"A", "B"}), "B");
  EXPECT_EQ(ChooseListEntry("b", {"A", "B"}), "A");  // lower case never matches the entries
  EXPECT_EQ(ChooseListEntry("C", {}), "");
}

}  // namespace
}  // namespace zeblon::map
