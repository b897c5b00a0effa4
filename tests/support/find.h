// Tests find controls by their numbered names.
#pragma once

#include <QWidget>
#include <string_view>

#include "platform/controls.h"

namespace zeblon::testing_support {

template <typename T = QWidget>
T* Find(const QWidget& root, std::string_view name) {
  return qobject_cast<T*>(platform::FindControl(root, name));
}

}  // namespace zeblon::testing_support
