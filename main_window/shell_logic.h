// The main window's plain rules: start-up values and the title's fields, the
// MONI 1 log restore, the end of a quiet receive pass. No Qt; the window only
// applies the results. (The layout rules are in main_window/layout.h.)
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zeblon::shell {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Start-up

// The speed test: how many times the clock (seconds) can be read in one second.
// The count is taken as it stood when the clock showed one second gone, or when it
// reached kSpeedTestFullCount: more readings give the same limits, so a computer
// that is fast enough is not held up for the rest of the second.
inline constexpr std::int64_t kSpeedTestFullCount = 3000000;
std::int64_t SpeedTestCount(const std::function<double()>& clock);

// MoniAllLimit from the count: held to kSpeedTestFullCount, divided by 4500, rounded half to
// even, at least 50 (50 … 667). MoniOneTrackLimit is five times it.
int MoniAllLimitFromCount(std::int64_t count);

// "300R" -> "RPR 300", "300"/"1200"/"9600"/"19200" -> "… Bd"; others keep `current`.
std::string RadioModeLabelFor(std::string_view radio_mode, const std::string& current);

// TxCall "*>" path-with-">"-and-one-">" TxDestination.
std::string OwnEchoHeaderFor(std::string_view tx_call, std::string_view tx_path, std::string_view tx_destination);

// True when the number's text (with its sign blank) ends in ".499": a map centre
// picked from the start picture.
bool EndsIn499(double value);

// The clock label: "HH:MM ", then (unless kind 4) two blanks and the radio mode
// label; with the GPS clock set the sixth character becomes "!".
std::string ClockLabelText(int hours, int minutes, int interface_kind, const std::string& radio_mode_label,
                           bool gps_clock_set);

// The title with a mark written over the columns from `column` (1-based): padded to
// at least 90 characters first, stored without leading and trailing blanks.
std::string PlaceTitleMark(std::string_view title, int column, std::string_view mark);

// The window title with the start-up's marks ("Digi active"/"Digi X-mode" at 61,
// "IGate" at 76).
std::string TitleWithMarks(std::string title, int digi_on, int interface_kind, std::string_view cross_mode,
                           std::string_view radio_mode, int igate_on);

// The title with a notice on the link in the columns 9 … 74, between the program's
// name and the IGate field; an empty notice blanks them.
std::string WithLinkNotice(std::string_view title, std::string_view notice);

// The title's log field (columns 92 to 107, behind the IGate field, clear of the
// link notice): "DISK FULL" or "LOGS NOT WRITTEN" while the log files cannot be
// written, blank again when they can.
std::string WithLogWriteTitleField(std::string_view title, bool failing, bool diskFull);

// The TX box's caption: "TX" and the interval with its sign blank, "TX !" for 0.
std::string TxBoxCaption(int beacon_interval);

// The info-line tag: when none of lines 1 … 5 contains "ZEBLON" (any case), the
// shortest one below 30 characters (the first on equal lengths) gets
// "  using ZEBLON" appended. Index 0 and 6 are not looked at.
void TagInfoLines(std::array<std::string, 7>& lines);

// A pick list's choice: `current` when it is one of `entries` (exactly), else the
// first entry in sorted order, else empty.
std::string ChooseListEntry(const std::string& current, const std::vector<std::string>& sorted_entries);

// ---------------------------------------------------------------------------
// MONI 1 centre at start-up

// Map centre after the restore: with a start-picture centre nothing moves; else a
// newest position other than 0 becomes the centre, and the MONI 1 position is the
// centre afterwards.
void ApplyMoniOneCentre(double& centre_north, double& centre_east, double& moni_north, double& moni_east);

// ---------------------------------------------------------------------------
// The receive passes' end

// A pass that drew nothing, or drew nothing because the picture viewer lies
// over the map: the map is redrawn when this tick's GPS read took a fix or the
// fix stopped moving since the last tick, and takes the focus when the window
// is active or the screen has fewer than 16 bits per pixel.
struct QuietPassEnd {
  bool redraw = false;
  bool focusMap = false;
};
QuietPassEnd QuietPassEndFor(int gps_fix_moved, int gps_fix_moved_before, bool window_active, int colour_depth);

}  // namespace zeblon::shell
