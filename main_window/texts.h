// The main window's captions and tooltips in English, German and Swedish.
// Texts are Windows-1252 bytes; array items are named "Name(i)".
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace zeblon::shell {

using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// The names of the two raw-packet web services the MONI 1 internet box names.
inline constexpr const char* kRawPacketSource1Name = "WEB RAW 1";
inline constexpr const char* kRawPacketSource2Name = "WEB RAW 2";

// The state the tooltips show.
struct TextState {
  int alarmDistanceKm = 10;
  int interfaceKind = 0;
  std::string radioMode;
  std::string mapBaseFolder;  // empty before the first drawing
  std::string mapZoneText;
  int check16Value = 0;
  std::string label19Caption = "DELETE";
  std::array<std::string, 6> comboTexts;  // Combo3 … Combo8
};

// The caption language of LanguageSetting: the remainder by 10 with the sign of the
// value; 1 English, 2 German, 3 Swedish, 0 for any other remainder.
int CaptionLanguage(int language_setting);

// What ApplyLanguageTexts does with the tooltips.
enum class TooltipAction { Clear, Fill, Keep };
TooltipAction TooltipActionFor(int language_setting);

// The 15 captions in a language (1 … 3).
NamedTexts Captions(int language);

// The tooltips of the table in a language (1 … 3), in table order, the state-built
// ones from `state`; Command18/Command19 only when Label19 reads "QTH=" or "DELETE".
NamedTexts Tooltips(int language, const TextState& state);

// Every control and array item of the tooltip table (what "tooltips off" clears).
std::vector<std::string> TooltipTargets();

// The derived tooltips: (target, source) pairs copied after the table.
std::vector<std::pair<std::string, std::string>> DerivedTooltips();

}  // namespace zeblon::shell
