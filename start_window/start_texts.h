// The start window's texts in English, German and Swedish: the captions that
// follow the language, the tooltips, the caption of the start picture's label and
// the maps path help. All texts are Windows-1252 bytes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zeblon {

// The language of LANG's units digit (LANG Mod 10, with LANG's sign): 1 English,
// 2 German, 3 Swedish; 0 for any other digit.
int LanguageOf(int language_setting);

// True when LANG switches the tooltips on (exactly 11, 12 or 13).
bool TooltipsOn(int language_setting);

using ControlTexts = std::vector<std::pair<std::string, std::string>>;  // control name, text

// The captions of the language (1 to 3), in the order they are set; empty for 0.
// The four TX panel captions fr4Label2, fr4Label5, fr4Command3, fr4Command4 are
// among them (the main window's panel takes the same).
ControlTexts StartCaptions(int language);

// What the start window needs to know to choose its tooltips.
struct TooltipChoice {
  int interfaceKind = 0;
  bool pk232Selected = false;      // Option4
  bool agwRemoteSelected = false;  // Option9
};

// The tooltips of the language (1 to 3), in the order they are set; Command1 comes
// twice when the interface kind has a TNC set-up wait (the plain text first).
ControlTexts StartTooltips(int language, const TooltipChoice& choice);

// The caption of Label18 with tooltips on.
std::string PictureLabelCaption(int language);
// Label18's caption before any language sets it.
inline constexpr const char* kPictureLabelDesignCaption = "MAP START LOCATION = IMAGE LOCATION";

// The maps path help of the language; empty for 0.
std::string MapsPathHelp(int language);

// The labels that show their input box's tooltip: (label, box).
const std::vector<std::pair<std::string, std::string>>& LabelTooltipSources();

}  // namespace zeblon
