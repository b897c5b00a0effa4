// The symbol picker's plain rules: where a symbol's picture lies on its sheet,
// how the step buttons move through the table, and the overlay character.
#pragma once

#include <string>

namespace zeblon {

struct SymbolCell {
  int sheet = 0;  // 0: ZEBLSYM0.BMP, 1: ZEBLSYM1.BMP (index \ 100)
  int x = 0;      // top left of the 22 x 22 square, pixels
  int y = 0;
};

// The cell of a symbol index: 16 cells a row on a 21-pixel pitch, held within the
// sheet (x 0 … 315, y 0 … 105).
SymbolCell SymbolCellOf(int index);

// One step back (-1) or forward (+1): back stops at 1 and jumps from 95 … 100 to 94,
// forward stops at 194 and jumps from 95 … 100 to 101.
int NextSymbolIndex(int index, int direction);

// The picker offers the overlay box for every row that holds "No.".
bool SymbolTakesOverlayInPicker(const std::string& row);

// The overlay character of a box's text: trimmed, upper-cased, its last character.
std::string OverlayCharacter(const std::string& text);

}  // namespace zeblon
