#include "panels/ink_palette.h"

#include <string>

namespace zeblon::panels {

using namespace platform;

InkPalette::InkPalette(QWidget* window) : frame(Add<QWidget>(window, {200, 24, 16 * 24, 24})) {
  frame->setObjectName("PaletteInks");
  frame->hide();
  for (int i = 0; i <= 15; ++i) {
    const std::string name = "Optionink(" + std::to_string(i) + ")";
    inks[i] = Add<OptionButton>(frame, {i * 24, 2, 22, 20}, name.c_str());
  }
}

}  // namespace zeblon::panels
