// libFuzzer target: bytes as the settings file ZEBLON.INI, looked through by the
// start-up's pre-pass, read by the rules of both windows, written and read back, and patched with entries taken from
// the bytes themselves.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scratch.h"
#include "settings/settings.h"
#include "settings/text_files.h"
#include "start_window/start_logic.h"

using zeblon_fuzz::Check;
using namespace zeblon;

namespace {

// A folder read from a line loses one "\" (or "/") at its end with each line read
// after it, and what is left before that "\" is not trimmed again.
bool StillChanging(const std::string& s) {
  return !s.empty() && (s.back() == '\\' || s.back() == '/' || s.back() == ' ');
}

void ReadAndWriteBack(std::string_view text, SettingsWindow window) {
  Settings s;
  SetDefaultSettings(window, s, "/prog", "/tmp");
  int hooks = 0;
  std::string tx_call;
  ReadSettingsText(
      text, window, s, [&](std::string_view key) { hooks += !key.empty(); }, &tx_call);
  // Values that do not fit their field are not taken.
  for (int v : {s.MoniOneAlarmOn, s.SmartLog, s.LogsOn, s.TxTimestamp, s.DigiOn, s.IonoAutoUpdate, s.IGateOn})
    Check(v >= 0 && v <= 255);
  for (int v : {s.LanguageSetting, s.InterfaceKind, s.AlarmDistanceKm, s.BeaconInterval, s.TxLevel, s.TxAfc,
                s.TxSymbolIndex, s.ObjectSymbolIndex})
    Check(v >= -32768 && v <= 32767);
  Check(s.TncComPort >= 1 && s.TncComPort <= 255);
  Check(s.ScsComPort >= 1 && s.ScsComPort <= 255);
  Check(s.ObjectName.empty() || s.ObjectName.size() == 9);

  // What a window writes, it reads back the same (but for folders still changing,
  // see above).
  if (StillChanging(s.MapRootFolder) || StillChanging(s.TempFolder)) return;
  const std::string written = SettingsFileText(window, s);
  Settings back;
  SetDefaultSettings(window, back, "/prog", "/tmp");
  ReadSettingsText(written, window, back);
  Check(SettingsFileText(window, back) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const PrePassResult pre = PrePassSettings(text);  // the start-up's look before the reading
  Check(pre.hasWver || pre.wver.empty());
  ReadAndWriteBack(text, SettingsWindow::Start);
  ReadAndWriteBack(text, SettingsWindow::Main);

  // Patch entries: the bytes' first line, split at blanks, as KEY=value pairs
  // with keys of letters and digits, as the program's keys are.
  std::vector<std::pair<std::string, std::string>> entries;
  const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
  std::size_t at = 0;
  while (at < first.size() && entries.size() < 8) {
    std::size_t end = first.find(' ', at);
    if (end == std::string_view::npos) end = first.size();
    const std::string_view item = first.substr(at, end - at);
    const std::size_t eq = item.find('=');
    std::string key;
    for (char c : item.substr(0, eq))
      if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) key += c;
    if (!key.empty()) entries.emplace_back(key, eq == std::string_view::npos ? "" : std::string(item.substr(eq + 1)));
    at = end + 1;
  }
  const bool append = size % 2 == 1;
  const std::string patched = PatchSettingsText(text, entries, append);
  Check(patched.empty() || patched.ends_with("\r\n"));
  const std::vector<std::string> lines = SplitLines(patched);
  Check(lines.size() >= SplitLines(text).size());
  // Every key appended or replaced holds the value of its last entry.
  if (append) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      bool later = false;
      for (std::size_t j = i + 1; j < entries.size(); ++j) later |= entries[j].first == entries[i].first;
      if (later) continue;
      bool found = false;
      for (const std::string& line : lines) found |= line == entries[i].first + "=" + entries[i].second;
      Check(found);
    }
  }
  return 0;
}
