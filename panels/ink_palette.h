// The palette inks: a hidden row of sixteen option buttons over the map's top
// edge, one per ink of the map's palette. The map's controller shows it and
// takes the chosen ink.
#pragma once

#include <QWidget>
#include <array>

#include "platform/controls.h"

namespace zeblon::panels {

// The controls lie in a plain frame ("PaletteInks") on the window.
class InkPalette {
 public:
  explicit InkPalette(QWidget* window);

  QWidget* frame;
  std::array<platform::OptionButton*, 16> inks{};  // Optionink(0) … Optionink(15)
};

}  // namespace zeblon::panels
