// The symbol sheets of the program folder and the symbol picker's preview.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <filesystem>
#include <string>

namespace zeblon::stations {

// The two symbol sheets ZEBLSYM0.BMP and ZEBLSYM1.BMP of the program folder,
// read anew by Reload() (each redraw calls it, so a replaced sheet shows at
// once). A missing or unreadable sheet, and an index outside the tables,
// paint nothing.
class SymbolSheets {
 public:
  explicit SymbolSheets(std::filesystem::path programFolder = {}) : folder_(std::move(programFolder)) {}
  void Reload();
  // Reads only the sheet of one table (0 or 1) anew.
  void ReloadSheet(int sheet);
  bool Loaded(int sheet) const { return sheet >= 0 && sheet < 2 && !sheets_[sheet].isNull(); }
  // Paints the 22 x 22 cell of a symbol index with its top left corner at (x, y).
  bool PaintCell(QPainter& painter, int index, int x, int y) const;
  // The cell's top left corner on its sheet (column * 21, row * 21).
  static QPoint CellOrigin(int index);

 private:
  std::filesystem::path folder_;
  QImage sheets_[2];
};

// The font the previews print the overlay character in: `base` at 13 pixels, bold.
QFont SymbolOverlayFont(QFont base);

// The symbol picker's 22 x 22 picture: white, the symbol's cell cut unscaled from
// its sheet in the program folder (read anew on every call) at (0, 0), and the
// overlay character, when not empty, printed with its top left corner at (7, 3)
// in the given font and colour. A missing or unreadable sheet, and an index
// without a picture (0, 95 ... 100, 195 ... 200 or outside the table), leave the
// picture white.
QImage SymbolPreview(const std::filesystem::path& programFolder, int index, const std::string& overlay,
                     const QFont& font, const QColor& colour);

}  // namespace zeblon::stations
