// The main window's plain rules: start-up values, the MONI 1 log restore, the
// shutdown's files, the layout rules. No Qt; the window only applies the results.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
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

// The notice of a packet engine that START did not reach (the link keeps trying).
std::string EngineNotReachedText(std::string_view host, int port);

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

// ---------------------------------------------------------------------------
// Shutdown

// The 68-character STOP line of the navigation files (before the code-page step).
std::string NavigationStopLine(std::string_view navigation_record);

// Writes QTHWAY.TXT (appended: a line end first when a way line is open), QTHACT.TXT
// and QTHACTPR.TXT in `folder`. `navigation_line` becomes the STOP line. False when a
// file could not be written.
bool WriteNavigationFiles(const fs::path& folder, std::string_view navigation_record, std::string& navigation_line,
                          std::string_view gps_north_text, std::string_view gps_east_text);

// A map-folder setting from its combo's text: from the sixth character on, trimmed,
// upper case.
std::string MapFolderFromCombo(std::string_view combo_text);

// The entries the shutdown patches into the settings file, in order.
std::vector<std::pair<std::string, std::string>> ShutdownPatchEntries(
    const std::array<std::string, 6>& map_folders_m5000_to_m0002, double centre_north, double centre_east,
    double user_north, double user_east);

// The temporary files that the program itself wrote (map index files, tile copies):
// the shutdown deletes exactly these, never a pattern of a shared folder.
class OwnFiles {
 public:
  void Add(const fs::path& file);
  void Forget(const fs::path& file);
  bool Contains(const fs::path& file) const;
  std::size_t Size() const { return files_.size(); }
  // Deletes every recorded file that still exists; returns how many were deleted.
  int DeleteAll();

 private:
  std::set<std::string> files_;
};

// ---------------------------------------------------------------------------
// Layout

// What the layout rules read, in pixels (inner size, positions).
struct LayoutIn {
  int W = 0, H = 0;          // inner width and height
  int outerWidthPx = 0;      // the window's outer width in pixels
  int tppX = 15, tppY = 15;  // twips per pixel
  int mapLeft = 0;
  int lastScaleComboRight = 0;  // right edge of the scale bar's last combo, inside the bar
  int recordLineHeight = 0;
  int rawListHeight = 0;
  int infoPanelHeight = 0, infoPanelWidth = 0;
  int specialsTop = 0;
  int wxStationHeight = 0, wxStationWidth = 0;
  int chatHeight = 0;
  int chatMessageLeft = 0;
  std::string autoAnswerCaption;
  int autoAnswerWidth = 0;
  int emergencyHeight = 0;
};

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct LayoutOut {
  double mapWidthPx = 0, mapHeightPx = 0;
  int mapLeft = 0;  // changed only by the start-up's run
  bool mapLeftSet = false;
  int recordLineTop = 0;
  int scaleBarTop = 0, scaleBarLeft = 0;
  int rawListWidth = 0, rawListTop = 0;
  int infoPanelTop = 0, infoPanelLeft = 0;
  bool specialsVisible = true;
  int wxStationTop = 0, wxStationLeft = 0;
  int chatTop = 0, chatLeft = 0, chatWidth = 0;
  int meOnlyLeft = 0;
  int chatCloseLeft = 0;
  int chatMessageWidth = 0;
  int autoAnswerWidth = 0;
  Rect savedMessages;
  int savedTextWidth = 0, savedTextHeight = 0;
  int savedCloseLeft = 0;
  int emergencyTop = 0, emergencyLeft = 0;
  Rect viewer;
  int viewerPageWidth = 0, viewerPageHeight = 0;  // pixels (whole twips / tpp)
};

// The layout rules in their order. `startup`: the start-up's run (no clamping at 0,
// the map pictures moved so the map's right edge meets the window's).
LayoutOut LayoutRules(const LayoutIn& in, bool startup);

// The MONI 1 read-out frames (the comment's Frame5, the distance line's Frame9):
// their standard width, 1815 twips in whole pixels (halves to even).
int MoniOneFrameStandardWidth(int tpp_x);

// A MONI 1 read-out frame's width in pixels while the mouse moves over its label.
// The label's text shows in full only while Combo9 holds the MONI 1 call (a call
// being typed leaves the frame standard) and the mouse is past the label's first
// pixels: the frame then takes the label's width in whole pixels. The comment's
// frame (`never_narrower`) keeps at least the standard width; the distance line's
// frame fits its label, shorter or longer.
int MoniOneFrameWidthUnderMouse(int tpp_x, bool combo_holds_moni_one_call, int mouse_x_twips, int label_width_twips,
                                bool never_narrower);

// Minimum outer size in twips: 2320 wide, 3165 high.
inline constexpr int kMinOuterWidthTwips = 2320;
inline constexpr int kMinOuterHeightTwips = 3165;

// The main window's outer frame, in pixels of the screen.
struct OuterFrame {
  int left = 0, top = 0, width = 0, height = 0;
  bool maximise = false;
};
// `wanted` made to lie in the screen's available area (the screen less its panels):
// at most the area's size, moved inside it. When even the smallest window
// (`min_width` x `min_height`) does not fit, the window is maximised instead.
OuterFrame FitOuterFrame(OuterFrame wanted, const OuterFrame& area, int min_width, int min_height);

}  // namespace zeblon::shell
