#include "start_window/symbol_picker.h"

namespace zeblon {

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

}  // namespace zeblon
