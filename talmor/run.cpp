#include "talmor/run.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>

#include "geodesy/text.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace talmor {

namespace {

bool EndsWithNoCase(std::string_view name, std::string_view ext) {
  if (name.size() < ext.size()) return false;
  return platform::UpperAscii(name.substr(name.size() - ext.size())) == platform::UpperAscii(ext);
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

std::string RunHooks::TimeOfDay() const {
  if (timeOfDay) return timeOfDay();
  const std::tm t = LocalNow();
  char text[9];
  text[0] = static_cast<char>('0' + t.tm_hour / 10);
  text[1] = static_cast<char>('0' + t.tm_hour % 10);
  text[2] = ':';
  text[3] = static_cast<char>('0' + t.tm_min / 10);
  text[4] = static_cast<char>('0' + t.tm_min % 10);
  text[5] = ':';
  text[6] = static_cast<char>('0' + t.tm_sec / 10);
  text[7] = static_cast<char>('0' + t.tm_sec % 10);
  text[8] = 0;
  return text;
}

double RunHooks::SecondsNow() const {
  if (secondsNow) return secondsNow();
  const std::tm t = LocalNow();
  return t.tm_hour * 3600.0 + t.tm_min * 60.0 + t.tm_sec;
}

bool ListSourceFiles(const fs::path& folder, const std::vector<std::string>& extensions,
                     std::vector<std::string>& names, std::string& error) {
  names.clear();
  std::vector<std::string> all;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    error = "CANNOT READ THE SOURCE FOLDER " + folder.string() + " (" + ec.message() + ") !";
    return false;
  }
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden
    std::error_code kind;
    if (!it->is_regular_file(kind)) continue;
    all.push_back(name);
  }
  if (ec) {
    error = "CANNOT READ THE SOURCE FOLDER " + folder.string() + " (" + ec.message() + ") !";
    return false;
  }
  std::sort(all.begin(), all.end());  // a listing order that does not depend on the disk
  for (const auto& ext : extensions)
    for (const auto& name : all)
      if (EndsWithNoCase(name, ext)) names.push_back(name);
  return true;
}

std::string BaseNameBeforeBmp(std::string_view file_name) {
  const std::string upper = platform::UpperAscii(file_name);
  const auto at = upper.find(".BMP");
  return std::string(file_name.substr(0, at));
}

void SortUnique(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
}

fs::path FileInFolder(const fs::path& folder, const std::string& name) {
  const fs::path exact = folder / name;
  std::error_code ec;
  if (fs::exists(exact, ec)) return exact;
  if (auto found = platform::ResolveCaseInsensitive(exact)) return *found;
  return exact;
}

std::string CheckFolders(const std::vector<fs::path>& folders, const fs::path& source, const fs::path& destination,
                         std::string_view different) {
  for (std::size_t i = 0; i < folders.size(); ++i)
    for (std::size_t j = 0; j < folders.size(); ++j)
      if (i != j && (platform::SamePath(folders[i], folders[j]) || platform::PathInside(folders[i], folders[j])))
        return std::string(different);
  std::error_code ec;
  if (!fs::is_directory(source, ec) || ::access(source.c_str(), R_OK | X_OK) != 0)
    return "CANNOT READ THE SOURCE FOLDER " + source.string() + " !";
  if (!fs::is_directory(destination, ec) || ::access(destination.c_str(), W_OK | X_OK) != 0)
    return "CANNOT WRITE INTO THE DESTINATION FOLDER " + destination.string() + " !";
  return {};
}

std::optional<RunResult> StartRun(const std::vector<fs::path>& folders, std::string_view different,
                                  const std::vector<std::string>& extensions, const RunHooks& hooks,
                                  std::vector<std::string>& files) {
  const fs::path& source = folders.at(0);
  if (std::string why = CheckFolders(folders, source, folders.at(1), different); !why.empty())
    return RunResult{RunEnd::Refused, why};
  // Files that a killed run was writing into the other folders go first.
  for (std::size_t i = 1; i < folders.size(); ++i) platform::RemoveLeftoverTemporaryFiles(folders[i]);
  std::string error;
  if (!ListSourceFiles(source, extensions, files, error)) return RunResult{RunEnd::Refused, error};
  if (files.size() > kMaxSourceFiles)
    return RunResult{RunEnd::Refused, "MORE THAN 10000 SOURCE FILES IN " + source.string() + " !"};
  if (files.empty()) {
    hooks.Append(std::string(kLineBreak) + "NO SOURCE DATA FOUND !" + std::string(kLineBreak));
    return RunResult{RunEnd::NoSourceData, {}};
  }
  return std::nullopt;
}

std::string ProgressLine(const std::string& name, std::size_t i, std::size_t total, std::string_view tail) {
  return name + "  " + NumberTextUntrimmed(static_cast<double>(i)) + "/" + NumberText(static_cast<double>(total)) +
         std::string(tail) + std::string(kLineBreak);
}

bool DeleteSource(const fs::path& file, std::string& error) {
  std::error_code ec;
  if (!fs::remove(file, ec) || ec) {
    error = "CANNOT DELETE THE SOURCE FILE " + file.string() + (ec ? " (" + ec.message() + ")" : "") + " !";
    return false;
  }
  return true;
}

}  // namespace talmor
