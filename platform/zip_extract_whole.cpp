#include "platform/zip_extract_whole.h"

#include <QProcess>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/process.h"
#include "platform/zip_extract.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr int kListingMs = 60000, kUnpackMs = 300000;

// Runs `program` and keeps what it writes; its exit code, or -1 when it could not
// start, crashed or did not end in time.
int RunKeepingOutput(const std::string& program, const std::vector<std::string>& args, int timeout_ms,
                     std::string& output) {
  if (!ProgramExists(program)) return -1;
  QProcess proc;
  QStringList list;
  for (const std::string& a : args) list << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
  proc.setStandardInputFile(QProcess::nullDevice());
  proc.setStandardErrorFile(QProcess::nullDevice());
  proc.start(QString::fromStdString(program), list);
  if (!proc.waitForStarted(5000)) return -1;
  if (!proc.waitForFinished(timeout_ms)) {
    proc.kill();
    proc.waitForFinished(2000);
    return -1;
  }
  output = proc.readAllStandardOutput().toStdString();
  return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

struct Listed {
  std::string path;
  bool folder = false, encrypted = false, link = false;
  std::uint64_t size = 0;
};

// A Unix mode as 7za writes it ("lrwxrwxrwx"): its type letter, or 0.
char ModeType(const std::string& attributes) {
  std::istringstream words(attributes);
  for (std::string w; words >> w;) {
    if (w.size() == 10 && std::string("-dlbcps").find(w[0]) != std::string::npos &&
        w.find_first_not_of("-rwxsStT", 1) == std::string::npos)
      return w[0];
  }
  return 0;
}

// The entries of 7za's technical listing ("Key = Value" lines, an entry from its
// "Path"); a ZIP archive names the mode under "Attributes", a tar archive under "Mode".
std::vector<Listed> ParseListing(const std::string& text) {
  std::vector<Listed> out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t eq = line.find(" = ");
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 3);
    if (key == "Path") out.emplace_back().path = value;
    if (out.empty()) continue;
    Listed& e = out.back();
    if (key == "Folder") e.folder = value == "+";
    if (key == "Size") e.size = std::strtoull(value.c_str(), nullptr, 10);
    if (key == "Encrypted") e.encrypted = value == "+";
    if ((key == "Attributes" || key == "Mode") && ModeType(value) == 'l') e.link = true;
    if (key.find("Link") != std::string::npos && !value.empty()) e.link = true;
  }
  return out;
}

// The archive of another format, by 7za, when its listing shows nothing unsafe.
bool UnpackOutside(const fs::path& archive, const fs::path& stage, std::string& error) {
  if (!ProgramExists("7za")) {
    error = "NOT A ZIP ARCHIVE, AND NO 7za TO UNPACK IT";
    return false;
  }
  std::string listing;
  const std::vector<Listed> entries =
      RunKeepingOutput("7za", {"l", "-slt", "-ba", "-p-", archive.string()}, kListingMs, listing) == 0
          ? ParseListing(listing)
          : std::vector<Listed>{};
  if (entries.empty()) {
    error = "UNKNOWN ARCHIVE FORMAT";
    return false;
  }
  std::uint64_t total = 0;
  std::set<std::string> names;
  for (const Listed& e : entries) {
    if (!SafeEntryName(e.path)) error = "UNSAFE NAME " + e.path;
    if (e.link) error = "UNSAFE LINK " + e.path;
    if (e.encrypted) error = "ENCRYPTED ENTRY " + e.path;
    if (!e.folder && !names.insert(e.path).second) error = "NAME TWICE IN ARCHIVE " + e.path;
    if (!error.empty()) return false;
    total = e.size > ~total ? ~std::uint64_t{0} : total + e.size;
  }
  error = FreeSpaceProblem(stage, total);
  if (!error.empty()) return false;
  std::string said;
  if (RunKeepingOutput("7za", {"x", "-y", "-p-", "-o" + stage.string(), archive.string()}, kUnpackMs, said) != 0) {
    error = "DAMAGED ARCHIVE";
    return false;
  }
  // What it wrote holds files and folders only.
  std::error_code ec;
  for (fs::recursive_directory_iterator it(stage, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::file_status s = it->symlink_status(ec);
    if (!fs::is_regular_file(s) && !fs::is_directory(s)) {
      error = "UNSAFE LINK " + fs::relative(it->path(), stage, ec).string();
      return false;
    }
  }
  if (ec) error = "CANNOT READ " + stage.string();
  return !ec;
}

// Moves `from` to `to`; a folder into a folder that exists goes entry by entry.
bool MoveInto(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  const fs::file_status there = fs::symlink_status(to, ec);
  const bool folder = fs::is_directory(fs::symlink_status(from, ec));
  if (fs::is_directory(there)) {
    if (!folder) {
      error = "CANNOT REPLACE THE FOLDER " + to.string();
      return false;
    }
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
      if (!MoveInto(it->path(), to / it->path().filename(), error)) return false;
    }
    if (ec) error = "CANNOT READ " + from.string();
    return !ec;
  }
  if (fs::exists(there)) fs::remove(to, ec);  // a file, or a link (never followed)
  fs::rename(from, to, ec);
  if (ec) error = "CANNOT MOVE " + from.string() + " TO " + to.string();
  return !ec;
}

}  // namespace

fs::path UnpackStage(const fs::path& archive, const fs::path& folder) {
  return folder / (archive.filename().string() + ".PART");
}

bool UnpackArchiveWhole(const fs::path& archive, const fs::path& folder, const std::string& last, std::string* error) {
  std::string why;
  const fs::path stage = UnpackStage(archive, folder);
  std::error_code ec;
  fs::remove_all(stage, ec);
  fs::create_directories(stage, ec);
  bool ok = !ec;
  if (!ok) why = "CANNOT MAKE " + stage.string();
  if (ok) {
    const ZipOutcome outcome = ExtractZip(archive, stage, &why);
    ok = outcome == ZipOutcome::Unpacked;
    if (outcome == ZipOutcome::NotAZip) {
      why.clear();
      ok = UnpackOutside(archive, stage, why);
    }
  }
  // Into place: every other entry, then the one that marks the end.
  std::vector<fs::path> tops;
  for (fs::directory_iterator it(stage, ec), end; ok && !ec && it != end; it.increment(ec)) {
    tops.push_back(it->path());
  }
  std::stable_partition(tops.begin(), tops.end(), [&](const fs::path& p) { return p.filename() != last; });
  for (const fs::path& top : tops) {
    if (ok) ok = MoveInto(top, folder / top.filename(), why);
  }
  fs::remove_all(stage, ec);
  if (!ok) fs::create_directory(stage, ec);  // still to be done
  if (error != nullptr) *error = ok ? std::string() : why;
  return ok;
}

}  // namespace platform
