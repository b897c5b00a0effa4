// What the three converters of TALMOR share: the hooks a run talks to its window
// through, the way a run ends, the source listing and the folder checks.
//
// A run is a plain function. It writes its progress as text (CR LF line ends),
// lets the window's pending events run at the same places as the window expects,
// and asks whether a stop was requested; all through RunHooks, so tests drive a
// run without any window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talmor {

namespace fs = std::filesystem;

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::size_t kMaxSourceFiles = 10000;

struct RunHooks {
  std::function<void(const std::string&)> append;  // text for the progress box
  std::function<void()> pump;                      // let pending window events run
  std::function<bool()> stopRequested;             // a stop asked for by the window
  std::function<std::string()> timeOfDay;          // "HH:MM:SS"
  std::function<double()> secondsNow;              // seconds since midnight
  std::function<void()> beep;

  void Append(const std::string& text) const {
    if (append) append(text);
  }
  void Pump() const {
    if (pump) pump();
  }
  bool StopRequested() const { return stopRequested && stopRequested(); }
  std::string TimeOfDay() const;
  double SecondsNow() const;
  void Beep() const {
    if (beep) beep();
  }
};

enum class RunEnd {
  Ready,         // every source converted ("READY !")
  NoSourceData,  // nothing to convert ("NO SOURCE DATA FOUND !")
  Stopped,       // a stop request ended the run after saving its work
  Refused,       // bad input found before anything was written (message)
  Failed,        // a failure during the run (message); files written before stay
};

struct RunResult {
  RunEnd end = RunEnd::Ready;
  std::string message;  // for Refused and Failed: the text of the warning box
};

// The files of `folder` whose names end in one of `extensions` (".BMP", …, letter
// case ignored), ordinary and not hidden, in the order of the extensions given.
// False with a message when the folder cannot be listed.
bool ListSourceFiles(const fs::path& folder, const std::vector<std::string>& extensions,
                     std::vector<std::string>& names, std::string& error);

// A name up to the first ".BMP" in it, searched without regard to letter case.
std::string BaseNameBeforeBmp(std::string_view file_name);

// Sorts by character codes and drops repeats.
void SortUnique(std::vector<std::string>& names);

// The file `name` in `folder`, found without regard to letter case (the name as
// written when there is no such file).
fs::path FileInFolder(const fs::path& folder, const std::string& name);

// "" when the folders can be used together, else the warning text `different`
// (for the same or nested folders, compared as real paths) or a text naming the
// folder that cannot be read or written.
std::string CheckFolders(const std::vector<fs::path>& folders, const fs::path& source, const fs::path& destination,
                         std::string_view different);

// The start of every run, before anything is written: `folders` (the source
// folder, the destination folder, then any other folder of the run) are checked
// by CheckFolders, the temporary files that killed runs left in the other folders
// are removed (platform/safe_file.h), and the source folder's files with one of
// `extensions` are listed into `files`. Returns how the run ends here: Refused with its message
// (folders, listing, more than 10000 files) or NoSourceData, whose line it writes
// into the progress box; nullopt when `files` holds the sources to convert.
std::optional<RunResult> StartRun(const std::vector<fs::path>& folders, std::string_view different,
                                  const std::vector<std::string>& extensions, const RunHooks& hooks,
                                  std::vector<std::string>& files);

// The progress line of one converted file: the name, two blanks, the number in
// its number text form (a leading blank), "/", the total, then `tail` and CR LF.
std::string ProgressLine(const std::string& name, std::size_t i, std::size_t total, std::string_view tail);

// Deletes a source file after its result is safely written; false with a message
// when it cannot be deleted.
bool DeleteSource(const fs::path& file, std::string& error);

}  // namespace talmor
