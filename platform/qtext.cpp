#include "platform/qtext.h"

#include <QList>

#include "geodesy/text.h"

namespace platform {

QString ToQ(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(b))));
  return out;
}

std::string FromQ(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  const auto ucs4 = text.toUcs4();
  for (char32_t c : ucs4) {
    const int b = UnicodeToCp1252(c);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

}  // namespace platform
