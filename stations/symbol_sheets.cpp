#include "stations/symbol_sheets.h"

#include <QFontMetrics>
#include <QRect>
#include <algorithm>

#include "platform/qtext.h"
#include "reception/station_record.h"

namespace zeblon::stations {

void SymbolSheets::Reload() {
  for (int d = 0; d < 2; ++d) ReloadSheet(d);
}

void SymbolSheets::ReloadSheet(int d) {
  if (d < 0 || d >= 2) return;
  sheets_[d] = QImage();
  if (folder_.empty()) return;
  const auto path = reception::FindFileInFolder(folder_, "ZEBLSYM" + std::to_string(d) + ".BMP");
  QImage img;
  if (img.load(QString::fromStdString(path.string())) && img.width() >= 22 && img.height() >= 22)
    sheets_[d] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPoint SymbolSheets::CellOrigin(int index) {
  const int column = ((index % 100) - 1) % 16;
  const int row = ((index - 1) % 100) / 16;
  return {std::clamp(21 * column, 0, 315), std::clamp(21 * row, 0, 105)};
}

bool SymbolSheets::PaintCell(QPainter& painter, int index, int x, int y) const {
  if (index < 1 || index > 194 || index % 100 == 0 || index % 100 > 94) return false;
  const int d = index / 100;
  if (!Loaded(d)) return false;
  const QPoint o = CellOrigin(index);
  painter.drawImage(QPoint(x, y), sheets_[d], QRect(o.x(), o.y(), 22, 22));
  return true;
}

QFont SymbolOverlayFont(QFont base) {
  base.setPixelSize(13);
  base.setBold(true);
  return base;
}

QImage SymbolPreview(const std::filesystem::path& programFolder, int index, const std::string& overlay,
                     const QFont& font, const QColor& colour) {
  QImage picture(22, 22, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter p(&picture);
  if (index >= 1 && index <= 194) {
    SymbolSheets sheets(programFolder);
    sheets.ReloadSheet(index / 100);
    sheets.PaintCell(p, index, 0, 0);
  }
  if (!overlay.empty()) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QPoint(7, 3 + QFontMetrics(font).ascent()), platform::ToQ(overlay));
  }
  return picture;
}

}  // namespace zeblon::stations
