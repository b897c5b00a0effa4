// The stock archive at the start window's first start, in a program folder of the
// test's own: crafted archives are refused with their reason said, the refusal
// stands (no outside unpacker undoes it), nothing lands outside the program
// folder and no link is made, and an unpack that failed or was cut off is done
// again at the next start.
#include "app/program.h"
#include "start_window/form0.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/wait.h"
#include "settings/settings.h"
#include "tests/support/program_folder.h"
#include "tests/support/zip_writer.h"

namespace zeblon {
namespace {

namespace fs = std::filesystem;
using testing_support::ZipArchive;
using testing_support::ZipItem;

constexpr std::uint64_t kNear64 = ~std::uint64_t{0} - 7;  // a sum with it wraps past zero

std::string ReadBytes(const fs::path& file) {
  std::string bytes;
  ReadWholeFile(file, bytes);
  return bytes;
}

// The files of the built archive with their sizes, as unzip's own listing names them.
std::map<std::string, std::uint64_t> FilesOfTheBuiltArchive() {
  QProcess zipinfo;
  zipinfo.start("unzip", {"-Z", ZEBLON_STOCK_ARCHIVE});
  zipinfo.waitForFinished(60000);
  std::map<std::string, std::uint64_t> files;
  std::istringstream lines(zipinfo.readAllStandardOutput().toStdString());
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string mode, version, system, name, word;
    std::uint64_t size = 0;
    if (!(words >> mode >> version >> system >> size) || system != "unx") continue;
    while (words >> word) name = word;
    if (name.back() != '/') files[name] = size;
  }
  return files;
}

class StockArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_ = std::make_unique<testing_support::ScratchFolder>("zeblon_stock");
    folder_ = scratch_->path() / "program";
    const fs::path built = ZEBLON_PROGRAM_DIR;
    fs::create_directories(folder_);
    fs::copy(built / "FONTS", folder_ / "FONTS", fs::copy_options::recursive);
    for (const char* f : {"README.HTM", "HISTORY.TXT", "ZEBLSYM0.BMP", "ZEBLSYM1.BMP", "STARTPIC.JPG", "FLAG_EN.BMP",
                          "FLAG_DE.BMP", "FLAG_SV.BMP"}) {
      fs::copy_file(built / f, folder_ / f);
    }
    WriteFileAtomically(folder_ / "ZEBLON.INI", "TEMP=/tmp\r\nUSER=AB1CD\r\n");
    setenv("ZEBLON_PROGRAM_FOLDER", folder_.c_str(), 1);
    RegisterProgramFonts(folder_.string());
    platform::SetWaitClock([t = 0.0]() mutable { return t += 0.25; });
  }

  void TearDown() override {
    program_.reset();
    platform::SetWaitClock(nullptr);
    unsetenv("ZEBLON_PROGRAM_FOLDER");
    scratch_.reset();
  }

  void PutArchive(const std::string& bytes) { WriteFileAtomically(folder_ / "STOCK.ZIP", bytes); }

  // A start of the program's start window up to an enabled START.
  void Start() {
    platform::ClearMessageLog();
    program_.reset();
    program_ = std::make_unique<Program>();
    program_->EndProgram = [](int) {};
    Form0* form0 = program_->StartWindow();
    form0->OpenDocument = [](const std::string&) { return true; };
    ASSERT_TRUE(form0->Form_Activate());
    EXPECT_TRUE(form0->Command1->isEnabled());
  }

  // No link below the test's folder, and nothing beside the program folder.
  void ExpectNothingOutsideAndNoLink(const std::string& what) {
    for (const auto& e : fs::recursive_directory_iterator(scratch_->path())) {
      EXPECT_FALSE(e.is_symlink()) << what << ": " << e.path();
    }
    for (const auto& e : fs::directory_iterator(scratch_->path())) {
      EXPECT_EQ(e.path(), folder_) << what;
    }
  }

  std::size_t StockFiles() {
    std::size_t n = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder_ / "U33", ec), end; !ec && it != end; it.increment(ec)) {
      n += it->is_regular_file() ? 1 : 0;
    }
    return n;
  }

  void ExpectTheBuiltStock() {
    const auto files = FilesOfTheBuiltArchive();
    ASSERT_GT(files.size(), 10u);
    EXPECT_EQ(StockFiles(), files.size());
    for (const auto& [name, size] : files) {
      std::error_code ec;
      EXPECT_EQ(fs::file_size(folder_ / name, ec), size) << name;
    }
    EXPECT_FALSE(fs::exists(folder_ / "STOCK.ZIP"));
    EXPECT_FALSE(fs::exists(folder_ / "STOCK.ZIP.PART"));
  }

  std::unique_ptr<testing_support::ScratchFolder> scratch_;
  fs::path folder_;
  std::unique_ptr<Program> program_;
};

// Each archive is refused at the first start with its reason in a message; the
// start-up goes on, the archive is kept and no file of it is written.
TEST_F(StockArchiveTest, CraftedArchivesAreRefusedAndSaid) {
  const std::string outside = (scratch_->path() / "OUTSIDE").string();
  std::vector<ZipItem> shared = {{"U33/", "", false}};
  for (int i = 0; i < 200; ++i) {
    shared.push_back({.name = "U33/D" + std::to_string(i) + "/", .bytes = "", .deflate = false, .sharesRecordOf = 0});
  }
  std::string cut;
  ReadWholeFile(ZEBLON_STOCK_ARCHIVE, cut);
  cut.resize(cut.size() / 3);
  struct Case {
    const char* what;
    std::string archive;
    std::string reason;
  };
  const Case cases[] = {
      {"ZIP64 end record near 2^64", testing_support::Zip64EndOnly(kNear64, 0), "DAMAGED ZIP ARCHIVE"},
      {"packed size near 2^64",
       ZipArchive(
           {{.name = "U33/A.BMP", .bytes = "x", .deflate = false, .zip64Size = kNear64, .zip64Packed = kNear64}}),
       "DAMAGED ZIP ARCHIVE AT U33/A.BMP"},
      {"a name that climbs out", ZipArchive({{"U33/POI/A.TXT", "a"}, {"U33/../../ESCAPED.TXT", "x"}}),
       "UNSAFE NAME U33/../../ESCAPED.TXT"},
      {"an encrypted entry", ZipArchive({{"U33/POI/A.TXT", "a"}, {.name = "U33/SECRET.TXT", .bytes = "", .flags = 1}}),
       "ENCRYPTED ENTRY U33/SECRET.TXT"},
      {"a damaged entry", ZipArchive({{"U33/POI/A.TXT", "a"}, {.name = "U33/BAD.BMP", .bytes = "xyz", .crcFault = 1}}),
       "DAMAGED ENTRY U33/BAD.BMP"},
      {"a link out of the program folder",
       ZipArchive({{.name = "U33/LOG", .bytes = outside, .deflate = false, .unixMode = 0120777},
                   {"U33/LOG/_CHATLOG.TXT", "chat"}}),
       "UNSAFE LINK U33/LOG"},
      {"a cut archive", cut, "DAMAGED ZIP ARCHIVE"},
      {"100 bytes declared, 16 MB packed",
       ZipArchive({{.name = "U33/BOMB.BMP", .bytes = std::string(16 << 20, '\0'), .declaredSize = 100}}),
       "ENTRY LARGER THAN DECLARED U33/BOMB.BMP"},
      {"200 folders on one record", ZipArchive(shared), "OVERLAPPING ENTRIES IN ARCHIVE U33/D0/"},
      {"more than the disk holds", ZipArchive({{.name = "U33/HUGE.BMP", .bytes = "x", .zip64Size = 1ull << 50}}),
       "NOT ENOUGH FREE SPACE: 1073741824 MB NEEDED, "},
      {"a name twice",
       ZipArchive({{"U33/DUP.TXT", std::string(100000, 'a')}, {"U33/DUP.TXT", std::string(100000, 'b')}}),
       "NAME TWICE IN ARCHIVE U33/DUP.TXT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder_ / "U33");
    fs::remove_all(folder_ / "STOCK.ZIP.PART");
    PutArchive(c.archive);
    Start();
    ASSERT_EQ(platform::MessageLog().size(), 1u);
    const platform::MessageRecord& m = platform::MessageLog()[0];
    EXPECT_EQ(m.title, "ZEBLON  SETUP");
    EXPECT_EQ(m.text.rfind("STOCK.ZIP NOT UNPACKED:\r\n" + c.reason, 0), 0u) << m.text;
    EXPECT_NE(m.text.find("THE NEXT START TRIES AGAIN."), std::string::npos);
    EXPECT_EQ(ReadBytes(folder_ / "STOCK.ZIP"), c.archive);
    EXPECT_EQ(StockFiles(), 0u);  // the start-up's own LOG folder only
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder_ / "U33" / "LOG")));
    ExpectNothingOutsideAndNoLink(c.what);
  }
}

// A refused or cut archive leaves the unpack to be done: the next start, with a
// sound archive, unpacks it whole although the start-up made U33/LOG meanwhile.
TEST_F(StockArchiveTest, TheNextStartTriesAgain) {
  std::string cut;
  ReadWholeFile(ZEBLON_STOCK_ARCHIVE, cut);
  cut.resize(cut.size() / 2);
  PutArchive(cut);
  Start();
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_TRUE(fs::is_directory(folder_ / "U33" / "LOG"));
  WriteFileAtomically(folder_ / "U33" / "LOG" / "MY.LOG", "kept\r\n");

  // The same cut archive again: refused again, not taken as unpacked.
  Start();
  ASSERT_EQ(platform::MessageLog().size(), 1u);
  EXPECT_TRUE(fs::exists(folder_ / "STOCK.ZIP"));

  fs::copy_file(ZEBLON_STOCK_ARCHIVE, folder_ / "STOCK.ZIP", fs::copy_options::overwrite_existing);
  Start();
  EXPECT_TRUE(platform::MessageLog().empty());
  EXPECT_EQ(ReadBytes(folder_ / "U33" / "LOG" / "MY.LOG"), "kept\r\n");
  fs::remove(folder_ / "U33" / "LOG" / "MY.LOG");
  ExpectTheBuiltStock();
  ExpectNothingOutsideAndNoLink("sound archive");

  // A later start finds the finished stock and leaves it alone.
  Start();
  EXPECT_TRUE(platform::MessageLog().empty());
  ExpectTheBuiltStock();
}

// The program killed while it unpacks the built archive: the partial stock is not
// taken for a finished one; the next start unpacks it whole.
TEST_F(StockArchiveTest, AnInterruptedFirstUnpackIsDoneAgain) {
  fs::copy_file(ZEBLON_STOCK_ARCHIVE, folder_ / "STOCK.ZIP");
  const fs::path stage = folder_ / "STOCK.ZIP.PART";
  bool cut = false;
  for (int attempt = 0; attempt < 5 && !cut; ++attempt) {
    fs::remove_all(folder_ / "U33");
    QProcess program;
    QStringList environment = QProcess::systemEnvironment();
    environment << "QT_QPA_PLATFORM=offscreen" << QString("ZEBLON_PROGRAM_FOLDER=") + folder_.c_str();
    program.setEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(QString(ZEBLON_PROGRAM_DIR) + "/ZEBLON", {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // Killed as soon as the first files are written.
    for (int i = 0; i < 30000 && !cut; ++i) {
      std::error_code ec;
      std::size_t written = 0;
      for (fs::recursive_directory_iterator it(stage, ec), end; !ec && it != end && written < 20; it.increment(ec)) {
        written += it->is_regular_file() ? 1 : 0;
      }
      if (written >= 20 && !fs::exists(folder_ / "U33")) {
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        cut = true;
      }
      if (fs::exists(folder_ / "U33")) break;  // finished before it could be cut: once more
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    program.kill();
    program.waitForFinished(10000);
  }
  ASSERT_TRUE(cut) << "the unpack always finished before it could be cut";
  EXPECT_FALSE(fs::exists(folder_ / "U33"));
  EXPECT_TRUE(fs::exists(folder_ / "STOCK.ZIP"));

  Start();
  EXPECT_TRUE(platform::MessageLog().empty());
  ExpectTheBuiltStock();
}

// An archive of another format goes to the outside unpacker, whose refusal of a
// link stands like the program's own; what it unpacks lands in the program folder.
TEST_F(StockArchiveTest, AnotherFormatIsUnpackedByTheOutsideUnpackerWithoutLinks) {
  if (!platform::ProgramExists("7za") || !platform::ProgramExists("tar")) GTEST_SKIP() << "7za or tar missing";
  const fs::path source = scratch_->path() / "source";
  fs::create_directories(source / "U33" / "POI");
  WriteFileAtomically(source / "U33" / "POI" / "A.TXT", "points\r\n");
  auto tar = [&](const std::string& name) {
    const fs::path out = scratch_->path() / name;
    EXPECT_EQ(platform::RunProgram("tar", {"cf", out.string(), "U33"}, 30000, source.string()), 0);
    const std::string bytes = ReadBytes(out);
    fs::remove(out);
    return bytes;
  };
  PutArchive(tar("plain.tar"));
  fs::create_directories(scratch_->path() / "OUTSIDE");
  fs::create_directory_symlink(scratch_->path() / "OUTSIDE", source / "U33" / "LOG");
  const std::string linked = tar("linked.tar");
  fs::remove_all(source);
  fs::remove_all(scratch_->path() / "OUTSIDE");

  Start();
  EXPECT_TRUE(platform::MessageLog().empty());
  EXPECT_EQ(ReadBytes(folder_ / "U33" / "POI" / "A.TXT"), "points\r\n");
  EXPECT_FALSE(fs::exists(folder_ / "STOCK.ZIP"));

  struct Case {
    const char* what;
    std::string archive;
    std::string reason;
  };
  const Case cases[] = {
      {"a link", linked, "UNSAFE LINK U33/LOG"},
      {"no archive at all", std::string(3000, 'z'), "UNKNOWN ARCHIVE FORMAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder_ / "U33");
    PutArchive(c.archive);
    Start();
    ASSERT_EQ(platform::MessageLog().size(), 1u);
    EXPECT_EQ(platform::MessageLog()[0].text.rfind("STOCK.ZIP NOT UNPACKED:\r\n" + c.reason, 0), 0u)
        << platform::MessageLog()[0].text;
    EXPECT_EQ(StockFiles(), 0u);
    ExpectNothingOutsideAndNoLink(c.what);
  }
}

}  // namespace
}  // namespace zeblon
