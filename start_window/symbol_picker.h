// The symbol picker's plain rule: how the step buttons move through the table.
#pragma once

namespace zeblon {

// One step back (-1) or forward (+1): back stops at 1 and jumps from 95 … 100 to 94,
// forward stops at 194 and jumps from 95 … 100 to 101.
int NextSymbolIndex(int index, int direction);

}  // namespace zeblon
