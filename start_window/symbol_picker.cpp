#include "start_window/symbol_picker.h"

#include "platform/paths.h"
#include "settings/settings.h"

namespace zeblon {

SymbolCell SymbolCellOf(int i) {
  SymbolCell c;
  c.sheet = i / 100;
  c.y = (((i - 1) % 100) / 16) * 21;
  c.x = (((i % 100) - 1) % 16) * 21;
  if (c.y < 0) c.y = 0;
  if (c.y > 105) c.y = 105;
  if (c.x < 0) c.x = 0;
  if (c.x > 315) c.x = 315;
  return c;
}

int NextSymbolIndex(int i, int direction) {
  if (direction < 0) {
    i -= 1;
    if (i < 1) i = 1;
    if (i >= 95 && i <= 100) i = 94;
  } else {
    i += 1;
    if (i > 194) i = 194;
    if (i >= 95 && i <= 100) i = 101;
  }
  return i;
}

bool SymbolTakesOverlayInPicker(const std::string& row) { return row.find("No.") != std::string::npos; }

std::string OverlayCharacter(const std::string& text) {
  const std::string t = platform::UpperAscii(Trim(text));
  return t.size() > 1 ? t.substr(t.size() - 1) : t;
}

}  // namespace zeblon
