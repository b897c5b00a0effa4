// The TX setup panel's rules as plain code: what the panel shows when it opens,
// what its controls do to one another (mode options, HF-DUAL, second mode, path
// presets and memories, the TX timer, the info-line memories, the symbol number),
// and what its OK takes into the settings. The panel class holds the controls and
// applies these rules to them; the window's OK handler runs the link step.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace zeblon::links {

// What the panel's controls hold, as plain values.
struct TxPanelValues {
  std::string ssid;  // fr4Text1
  bool ssidEnabled = true;
  std::string interval;                       // fr4Text2 ("MANUAL" or minutes)
  std::string destination;                    // fr4Text3
  std::string path;                           // fr4Text4
  std::array<std::string, 7> infoLines;       // fr4ti 1 … 6
  std::array<int, 7> infoActive{};            // fr4ta1 … fr4ta6
  std::array<std::string, 7> infoMemories;    // tooltips of fr4tm 1 … 6
  std::array<std::string, 5> pathMemoryTips;  // tooltips of M1 … M4 at 1 … 4
  std::string symbol;                         // fr4Text8
  std::string symbolName;                     // fr4Text9
  std::string overlay;                        // fr4Text10
  int timestamp = 0;                          // Check33 (start window: Check7)
  int digi = 0;                               // Check32 (start window: Check3)
  int afc = 0;                                // HF-TX-AFC, the start window's Check6
  bool digiShown = true;
  std::string radioMode;  // the selected option: "300R", "300", "1200", "9600", "19200"; "" none
  std::string crossMode;  // Text6
  int hfDual = 0;         // Check2
  bool hfDualShown = false;
  bool crossFrameShown = false;  // Frame20
  std::string txLevel;           // Text16
  bool txLevelShown = false;     // Label42 and Text16
  std::string txLevelCaption;    // Label42
};

// The opening (right click on TX): every control of the field table filled from the
// settings; `current` supplies what the opening leaves unchanged (the mode option
// for an unknown mode, the DIGI box with kinds 3 and 4, the SSID box's state).
TxPanelValues TxPanelOpening(const Settings& s, int hf_dual_on, const TxPanelValues& current);

// The timer steppers: the box's number plus `step`, as a plain number text (the
// box's own rule, panels::TxTimerBoxText, then makes 0 and 61 "MANUAL").
std::string TxTimerStep(const std::string& text, int step);

// Symbol stepping: no wrap, 95 … 100 skipped.
int SymbolStepBack(int index);
int SymbolStepForward(int index);
bool SymbolIndexValid(int index);
// The symbol number of the picker's number box (its leading number, rounded and
// held to a 16-bit field), and what a number outside the table is told.
int SymbolNumberOf(const std::string& text);
inline constexpr const char* kSymbolRangeMessage = "APRS SYMBOL MUST BE 1 ... 94 OR 101 ... 194 !";

// The mode rules; each works on the panel's values.
// Option 1200, 9600 or 19200 chosen (rule 1).
void SelectFastMode(TxPanelValues& v, const std::string& mode);
// Mouse released over 300R or 300 (rule 2).
void ReleaseOverHfMode(TxPanelValues& v, const std::string& mode);
// Mouse released over HF-DUAL, with the box's state then (rule 3).
void ReleaseOverHfDual(TxPanelValues& v);
// The second-mode steppers: "<" (back = false gives the next in the list
// 19200, 9600, 1200, 300, R300, NONE) and ">" the other way (rule 4).
void StepCrossMode(TxPanelValues& v, bool toward_none);
// A second mode chosen: HF-DUAL stays only for the pair R300 / 300.
void SelectCrossMode(TxPanelValues& v, const std::string& mode);

// Path presets: the trimmed path, "," when not empty, the button's caption.
std::string PathWithPreset(const std::string& path, const std::string& preset);
// Path memory i (1 … 4): a left click gives the path to show; a right click stores
// the path as the pending edit (returned).
std::string PathMemoryRecall(const std::string& memory, const std::string& pending_edit);
std::string PathMemoryStore(const std::string& path);

// The info memory rule: which line a memory goes into or comes from (0: none).
// `tooltip_has_mhz` and a left click look for the last line with "MHZ" (any case).
int InfoMemoryTarget(const std::array<std::string, 7>& lines, int last_line, const std::string& memory,
                     bool left_button);

// The info lines' tag at start-up: when none of lines 1 … 5 contains "ZEBLON" (any
// case), the shortest one below 30 characters (the first on equal lengths) gets
// "  using ZEBLON" appended. Index 0 and 6 are not looked at.
void TagInfoLines(std::array<std::string, 7>& lines);

// What the OK takes into the settings, or the reasons it refuses the panel.
struct TxSetupOk {
  Settings settings;   // the new settings (the old ones where refused)
  std::string txCall;  // the own call with its SSID
  int hfDualOn = 0;
  std::vector<std::string> refusals;  // messages: the OK keeps the panel open, nothing taken
};

// Reads the panel. Refused (with the old values kept): a symbol number outside
// 1 … 94 and 101 … 194, an SSID that is not empty and not 1 … 15, a TX timer outside
// 0 … 60 minutes, and with the SCS kinds a TX level outside 30 … 3000 mV.
// `path_memory_edits` are the pending path memories (1 … 4). The IGate box counts
// only while it is enabled; a disabled one keeps the stored choice.
TxSetupOk TakeTxPanel(const Settings& old, const TxPanelValues& v, const std::array<std::string, 5>& path_memory_edits,
                      bool igate_enabled, int igate_value);

// The start window's OK: the values cleaned into the settings, never refused. An
// SSID outside 1 … 15 is dropped (StoredTxSsid), numbers are taken by their
// leading number, an empty destination is "ZEBL", the overlay is its first
// character, the radio mode kept when none is chosen, the second mode taken only
// with the SCS TNC; the IGate box counts only for a call that may gate (for another
// the stored choice is kept).
Settings CleanTxPanel(const Settings& old, const TxPanelValues& v, const std::array<std::string, 5>& path_memory_edits,
                      bool igate_call_ok, int igate_value);

// The SSID that the start window's OK stores from its box: the trimmed text, or
// nothing when its leading number lies outside 1 to 15 ("7A" stays "7A").
std::string StoredTxSsid(const std::string& box_text);

// The title's digipeater mark after an OK (columns 61-71): 11 blanks with the
// digipeater off, "Digi active" or "Digi X-mode" with it on (kinds 1, 5, 6), "" to
// leave the columns as they are (kinds 0, 3, 4 with the digipeater on).
std::string DigiTitleMark(int digi_on, int interface_kind, const std::string& cross_mode,
                          const std::string& radio_mode);
// The IGate mark (columns 76-80): "IGate" or five blanks.
std::string IGateTitleMark(int igate_on);

// The window's texts that follow the TX setup.

// "300R" -> "RPR 300", "300"/"1200"/"9600"/"19200" -> "… Bd"; others keep `current`.
std::string RadioModeLabelFor(std::string_view radio_mode, const std::string& current);

// TxCall "*>" path-with-">"-and-one-">" TxDestination.
std::string OwnEchoHeaderFor(std::string_view tx_call, std::string_view tx_path, std::string_view tx_destination);

// The clock label: "HH:MM ", then (unless kind 4) two blanks and the radio mode
// label; while the clock follows GPS time the sixth character becomes "!".
std::string ClockLabelText(int hours, int minutes, int interface_kind, const std::string& radio_mode_label,
                           bool gps_time_valid);

// The TX box's caption: "TX" and the interval with its sign blank, "TX !" for 0.
std::string TxBoxCaption(int beacon_interval);

}  // namespace zeblon::links
