// Draws the program's pictures at build time, all of them our own drawings:
//   ZEBLSYM0.BMP, ZEBLSYM1.BMP  the symbol sheets of the primary and the alternate
//                              table: 16 cells a row on a 21-pixel pitch, 6 rows;
//   STARTPIC.JPG               the start picture: six views of 400 x 300 pixels
//                              stacked into 400 x 1800 (one view per ten minutes);
//   FLAG_EN.BMP, FLAG_DE.BMP, FLAG_SV.BMP  the pictures of the language options.
// Usage: make_pictures <output folder>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QLinearGradient>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr int kPitch = 21;
constexpr int kCols = 16;
constexpr int kRows = 6;

// A pictogram is drawn into a 20 x 20 box at the cell's origin + 1.
using Draw = std::function<void(QPainter&)>;

const QColor kInk(20, 20, 20);

void Outline(QPainter& p, const QColor& fill, double width = 1.0) {
  p.setPen(QPen(kInk, width));
  p.setBrush(fill);
}

void Wheel(QPainter& p, double x, double y, double r = 2.2) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(x, y), r, r);
}

Draw Car(const QColor& body) {
  return [body](QPainter& p) {
    Outline(p, body);
    QPainterPath path;
    path.moveTo(1.5, 14);
    path.lineTo(1.5, 10);
    path.lineTo(5, 9.5);
    path.lineTo(7.5, 5.5);
    path.lineTo(13.5, 5.5);
    path.lineTo(16, 9.5);
    path.lineTo(18.5, 10);
    path.lineTo(18.5, 14);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(190, 230, 255));
    p.drawRect(QRectF(8.3, 6.7, 4.4, 2.8));
    Wheel(p, 5.5, 14.5);
    Wheel(p, 14.5, 14.5);
  };
}

Draw Truck(const QColor& body, bool long_trailer = false) {
  return [body, long_trailer](QPainter& p) {
    Outline(p, body);
    p.drawRect(QRectF(1, 4, long_trailer ? 12 : 11, 9));
    p.drawRect(QRectF(long_trailer ? 13 : 12, 7, long_trailer ? 6 : 7, 6));
    p.setBrush(QColor(190, 230, 255));
    p.drawRect(QRectF(long_trailer ? 15 : 14.5, 8, 3, 2.5));
    Wheel(p, 4, 14.5);
    if (long_trailer) Wheel(p, 9, 14.5);
    Wheel(p, 16, 14.5);
  };
}

Draw Van(const QColor& body) {
  return [body](QPainter& p) {
    Outline(p, body);
    QPainterPath path;
    path.moveTo(1.5, 14);
    path.lineTo(1.5, 5);
    path.lineTo(13, 5);
    path.lineTo(18.5, 9.5);
    path.lineTo(18.5, 14);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(190, 230, 255));
    p.drawPolygon(QPolygonF({QPointF(13, 6.5), QPointF(16.5, 9.5), QPointF(13, 9.5)}));
    Wheel(p, 5, 14.5);
    Wheel(p, 15, 14.5);
  };
}

Draw Bus() {
  return [](QPainter& p) {
    Outline(p, QColor(250, 200, 30));
    p.drawRoundedRect(QRectF(1, 4, 18, 10), 2, 2);
    p.setBrush(QColor(190, 230, 255));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(2.5 + i * 4, 6, 3, 3));
    Wheel(p, 5, 14.5);
    Wheel(p, 15, 14.5);
  };
}

Draw House(const QColor& wall, const QColor& roof) {
  return [wall, roof](QPainter& p) {
    Outline(p, roof);
    p.drawPolygon(QPolygonF({QPointF(10, 1.5), QPointF(19, 9), QPointF(1, 9)}));
    Outline(p, wall);
    p.drawRect(QRectF(3.5, 9, 13, 9));
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(8.5, 12, 3, 6));
  };
}

Draw Star(const QColor& fill, int points = 5) {
  return [fill, points](QPainter& p) {
    Outline(p, fill);
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
      const double r = i % 2 == 0 ? 9.5 : 4.0;
      const double a = -M_PI / 2 + i * M_PI / points;
      poly << QPointF(10 + r * std::cos(a), 10.5 + r * std::sin(a));
    }
    p.drawPolygon(poly);
  };
}

Draw Diamond(const QColor& fill) {
  return [fill](QPainter& p) {
    Outline(p, fill);
    p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(19, 10), QPointF(10, 19), QPointF(1, 10)}));
  };
}

Draw Plane(const QColor& fill, bool large) {
  return [fill, large](QPainter& p) {
    Outline(p, fill);
    const double s = large ? 1.0 : 0.8;
    QPainterPath path;
    auto pt = [s](double x, double y) { return QPointF(10 + (x - 10) * s, 10 + (y - 10) * s); };
    path.moveTo(pt(10, 1));
    path.lineTo(pt(11.5, 3));
    path.lineTo(pt(11.5, 8));
    path.lineTo(pt(19, 12));
    path.lineTo(pt(19, 13.5));
    path.lineTo(pt(11.5, 11.5));
    path.lineTo(pt(11.5, 16));
    path.lineTo(pt(14, 18));
    path.lineTo(pt(14, 19));
    path.lineTo(pt(10, 18));
    path.lineTo(pt(6, 19));
    path.lineTo(pt(6, 18));
    path.lineTo(pt(8.5, 16));
    path.lineTo(pt(8.5, 11.5));
    path.lineTo(pt(1, 13.5));
    path.lineTo(pt(1, 12));
    path.lineTo(pt(8.5, 8));
    path.lineTo(pt(8.5, 3));
    path.closeSubpath();
    p.drawPath(path);
  };
}

Draw Helicopter() {
  return [](QPainter& p) {
    Outline(p, QColor(230, 60, 60));
    p.drawEllipse(QRectF(3, 7, 9, 7));
    p.drawRect(QRectF(11, 9.5, 7, 2));
    p.setPen(QPen(kInk, 1.4));
    p.drawLine(QPointF(1, 5), QPointF(15, 5));
    p.drawLine(QPointF(7.5, 5), QPointF(7.5, 7));
    p.drawLine(QPointF(4, 16.5), QPointF(12, 16.5));
    p.drawLine(QPointF(18, 8), QPointF(18, 13));
  };
}

Draw Boat(const QColor& hull, bool sail) {
  return [hull, sail](QPainter& p) {
    if (sail) {
      Outline(p, Qt::white);
      p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(10, 12), QPointF(3, 12)}));
      p.drawPolygon(QPolygonF({QPointF(11, 3), QPointF(11, 12), QPointF(16, 12)}));
    } else {
      Outline(p, Qt::white);
      p.drawRect(QRectF(6, 7, 7, 5));
    }
    Outline(p, hull);
    p.drawPolygon(QPolygonF({QPointF(1, 12), QPointF(19, 12), QPointF(16, 17), QPointF(4, 17)}));
    p.setPen(QPen(QColor(40, 110, 220), 1.2));
    p.drawLine(QPointF(0, 19), QPointF(20, 19));
  };
}

Draw Balloon() {
  return [](QPainter& p) {
    Outline(p, QColor(240, 70, 70));
    p.drawEllipse(QRectF(3.5, 0.5, 13, 13));
    p.setPen(QPen(kInk, 0.8));
    p.drawLine(QPointF(6, 12), QPointF(8.5, 16));
    p.drawLine(QPointF(14, 12), QPointF(11.5, 16));
    Outline(p, QColor(160, 100, 40));
    p.drawRect(QRectF(8, 16, 4, 3));
  };
}

Draw Person(const QColor& shirt, bool running) {
  return [shirt, running](QPainter& p) {
    Outline(p, QColor(240, 200, 160));
    p.drawEllipse(QRectF(8, 0.5, 4.5, 4.5));
    p.setPen(QPen(shirt, 2.4, Qt::SolidLine, Qt::RoundCap));
    if (running) {
      p.drawLine(QPointF(10, 5.5), QPointF(9, 11));
      p.drawLine(QPointF(9.5, 7), QPointF(14, 9));
      p.drawLine(QPointF(9.5, 7), QPointF(5.5, 9.5));
      p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9, 11), QPointF(14, 14));
      p.drawLine(QPointF(14, 14), QPointF(13, 18.5));
      p.drawLine(QPointF(9, 11), QPointF(6, 15));
      p.drawLine(QPointF(6, 15), QPointF(2.5, 15.5));
    } else {
      p.drawLine(QPointF(10, 5.5), QPointF(10, 12));
      p.drawLine(QPointF(10, 7), QPointF(6, 10));
      p.drawLine(QPointF(10, 7), QPointF(14, 10));
      p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(10, 12), QPointF(7, 18.5));
      p.drawLine(QPointF(10, 12), QPointF(13, 18.5));
    }
  };
}

Draw Bike(bool motor) {
  return [motor](QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kInk, 1.4));
    p.drawEllipse(QPointF(4.5, 14), 3.5, 3.5);
    p.drawEllipse(QPointF(15.5, 14), 3.5, 3.5);
    p.setPen(QPen(motor ? QColor(220, 40, 40) : QColor(30, 120, 220), 1.6));
    p.drawLine(QPointF(4.5, 14), QPointF(9, 8));
    p.drawLine(QPointF(9, 8), QPointF(15.5, 14));
    p.drawLine(QPointF(9, 8), QPointF(14, 7));
    p.drawLine(QPointF(14, 7), QPointF(15.5, 14));
    if (motor) {
      Outline(p, QColor(220, 40, 40));
      p.drawRect(QRectF(7.5, 9, 5, 3.5));
    }
    p.setPen(QPen(kInk, 1.4));
    p.drawLine(QPointF(14, 7), QPointF(13, 4.5));
    p.drawLine(QPointF(7, 8), QPointF(10, 8));
  };
}

Draw Cross(const QColor& cross, const QColor& field) {
  return [cross, field](QPainter& p) {
    Outline(p, field);
    p.drawRect(QRectF(1, 1, 18, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(cross);
    p.drawRect(QRectF(7.5, 3, 5, 14));
    p.drawRect(QRectF(3, 7.5, 14, 5));
  };
}

Draw WeatherStation() {
  return [](QPainter& p) {
    // A sun half behind a cloud.
    Outline(p, QColor(255, 200, 0));
    p.drawEllipse(QRectF(1, 1, 10, 10));
    Outline(p, QColor(235, 240, 250));
    QPainterPath cloud;
    cloud.addEllipse(QRectF(4, 8, 8, 7));
    cloud.addEllipse(QRectF(9, 6, 9, 9));
    cloud.addRect(QRectF(5, 11.5, 12, 5));
    p.drawPath(cloud.simplified());
    p.setPen(QPen(QColor(30, 90, 220), 1.2));
    p.drawLine(QPointF(7, 17.5), QPointF(6, 19.5));
    p.drawLine(QPointF(11, 17.5), QPointF(10, 19.5));
    p.drawLine(QPointF(15, 17.5), QPointF(14, 19.5));
  };
}

Draw Sun() {
  return [](QPainter& p) {
    p.setPen(QPen(QColor(240, 150, 0), 1.4));
    for (int i = 0; i < 8; ++i) {
      const double a = i * M_PI / 4;
      p.drawLine(QPointF(10 + 6 * std::cos(a), 10 + 6 * std::sin(a)),
                 QPointF(10 + 9 * std::cos(a), 10 + 9 * std::sin(a)));
    }
    Outline(p, QColor(255, 210, 0));
    p.drawEllipse(QPointF(10, 10), 5, 5);
  };
}

Draw Cloud(const QColor& fill, const QColor& rain = QColor(), bool snow = false) {
  return [fill, rain, snow](QPainter& p) {
    Outline(p, fill);
    QPainterPath cloud;
    cloud.addEllipse(QRectF(1, 5, 9, 8));
    cloud.addEllipse(QRectF(7, 2, 11, 11));
    cloud.addRect(QRectF(3, 9, 15, 4));
    p.drawPath(cloud.simplified());
    if (rain.isValid()) {
      p.setPen(QPen(rain, 1.4));
      for (int i = 0; i < 3; ++i) {
        if (snow)
          p.drawText(QRectF(3 + i * 5, 12, 6, 8), Qt::AlignCenter, "*");
        else
          p.drawLine(QPointF(5 + i * 5, 15), QPointF(4 + i * 5, 18.5));
      }
    }
  };
}

Draw Lightning() {
  return [](QPainter& p) {
    Cloud(QColor(150, 150, 160))(p);
    Outline(p, QColor(255, 220, 0));
    p.drawPolygon(QPolygonF({QPointF(10, 10), QPointF(7, 15), QPointF(10, 15), QPointF(8, 20), QPointF(14, 13),
                             QPointF(11, 13), QPointF(13, 10)}));
  };
}

Draw Antenna(bool tower) {
  return [tower](QPainter& p) {
    p.setPen(QPen(kInk, 1.4));
    if (tower) {
      p.drawLine(QPointF(10, 3), QPointF(5, 19));
      p.drawLine(QPointF(10, 3), QPointF(15, 19));
      p.drawLine(QPointF(7, 12), QPointF(13, 12));
      p.drawLine(QPointF(6, 16), QPointF(14, 16));
    } else {
      p.drawLine(QPointF(10, 6), QPointF(10, 19));
      p.drawLine(QPointF(4, 6), QPointF(16, 6));
      p.drawLine(QPointF(5, 10), QPointF(15, 10));
    }
    p.setPen(QPen(QColor(220, 30, 30), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, -1, 10, 8), 30 * 16, 120 * 16);
    p.drawArc(QRectF(2, -3, 16, 12), 30 * 16, 120 * 16);
  };
}

Draw Gateway() {
  return [](QPainter& p) {
    // A diamond with a lightning arrow from the radio to the net.
    Diamond(QColor(130, 200, 255))(p);
    Outline(p, QColor(255, 230, 0), 0.8);
    p.drawPolygon(QPolygonF(
        {QPointF(11, 3), QPointF(6, 11), QPointF(9.5, 11), QPointF(8, 17), QPointF(14, 9), QPointF(10.5, 9)}));
  };
}

Draw Phone() {
  return [](QPainter& p) {
    Outline(p, QColor(60, 60, 60));
    p.drawRoundedRect(QRectF(6, 1, 8, 18), 2, 2);
    p.setBrush(QColor(150, 220, 150));
    p.drawRect(QRectF(7.5, 3, 5, 6));
    p.setBrush(Qt::white);
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 2; ++c) p.drawRect(QRectF(7.5 + c * 3, 10.5 + r * 2.5, 2, 1.5));
    }
  };
}

Draw Fire() {
  return [](QPainter& p) {
    Outline(p, QColor(255, 120, 0));
    QPainterPath flame;
    flame.moveTo(10, 1);
    flame.cubicTo(16, 7, 18, 12, 15, 17);
    flame.cubicTo(13, 19.5, 7, 19.5, 5, 17);
    flame.cubicTo(2, 13, 5, 9, 7, 7);
    flame.cubicTo(7, 10, 8, 11, 9, 11);
    flame.cubicTo(8, 7, 9, 4, 10, 1);
    p.drawPath(flame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 60));
    p.drawEllipse(QRectF(7.5, 12, 5, 6));
  };
}

Draw Tent() {
  return [](QPainter& p) {
    Outline(p, QColor(60, 160, 60));
    p.drawPolygon(QPolygonF({QPointF(10, 2), QPointF(19, 17), QPointF(1, 17)}));
    p.setBrush(QColor(30, 80, 30));
    p.drawPolygon(QPolygonF({QPointF(10, 8), QPointF(13, 17), QPointF(7, 17)}));
  };
}

Draw Dot(const QColor& fill, double r = 5) {
  return [fill, r](QPainter& p) {
    Outline(p, fill);
    p.drawEllipse(QPointF(10, 10), r, r);
  };
}

Draw Numbered(char digit) {
  return [digit](QPainter& p) {
    Outline(p, QColor(40, 140, 40));
    p.drawEllipse(QPointF(10, 10), 8.5, 8.5);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QString(QChar(digit)));
  };
}

Draw Triangle(const QColor& fill) {
  return [fill](QPainter& p) {
    Outline(p, fill);
    p.drawPolygon(QPolygonF({QPointF(10, 1.5), QPointF(19, 18), QPointF(1, 18)}));
  };
}

Draw Emergency() {
  return [](QPainter& p) {
    Outline(p, QColor(230, 20, 20), 1.2);
    QPolygonF oct;
    for (int i = 0; i < 8; ++i) {
      const double a = M_PI / 8 + i * M_PI / 4;
      oct << QPointF(10 + 9.5 * std::cos(a), 10 + 9.5 * std::sin(a));
    }
    p.drawPolygon(oct);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.7, 4, 2.6, 8));
    p.drawEllipse(QRectF(8.7, 13.5, 2.6, 2.6));
  };
}

Draw Hospital() {
  return [](QPainter& p) {
    Outline(p, QColor(30, 90, 220));
    p.drawRect(QRectF(1, 1, 18, 18));
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QPointF(6, 5), QPointF(6, 15));
    p.drawLine(QPointF(14, 5), QPointF(14, 15));
    p.drawLine(QPointF(6, 10), QPointF(14, 10));
  };
}

Draw Computer() {
  return [](QPainter& p) {
    Outline(p, QColor(80, 80, 90));
    p.drawRect(QRectF(2, 3, 16, 11));
    p.setBrush(QColor(120, 200, 255));
    p.drawRect(QRectF(3.5, 4.5, 13, 8));
    Outline(p, QColor(80, 80, 90));
    p.drawRect(QRectF(0.5, 15, 19, 3));
  };
}

Draw Tractor() {
  return [](QPainter& p) {
    Outline(p, QColor(40, 160, 40));
    p.drawRect(QRectF(2, 8, 11, 5));
    p.drawRect(QRectF(9, 3, 5, 6));
    p.setBrush(QColor(190, 230, 255));
    p.drawRect(QRectF(10, 4, 3, 3));
    Wheel(p, 13.5, 14, 4.5);
    Wheel(p, 4, 15, 2.8);
  };
}

Draw Train() {
  return [](QPainter& p) {
    Outline(p, QColor(60, 60, 180));
    p.drawRect(QRectF(1, 6, 12, 8));
    p.drawRect(QRectF(12, 3, 6, 11));
    p.drawRect(QRectF(3, 2, 3, 4));
    Wheel(p, 4, 15.5, 2);
    Wheel(p, 9, 15.5, 2);
    Wheel(p, 15, 15.5, 2);
  };
}

Draw Lighthouse() {
  return [](QPainter& p) {
    Outline(p, Qt::white);
    p.drawPolygon(QPolygonF({QPointF(8, 5), QPointF(12, 5), QPointF(14, 19), QPointF(6, 19)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 30, 30));
    p.drawRect(QRectF(7, 9, 6.5, 3));
    p.drawRect(QRectF(6.3, 14, 7.5, 3));
    p.setBrush(QColor(255, 220, 0));
    p.drawRect(QRectF(8, 2, 4, 3));
  };
}

Draw Letter(const QColor& fill, const QString& text, const QColor& ink = Qt::white) {
  return [fill, text, ink](QPainter& p) {
    Outline(p, fill);
    p.drawRoundedRect(QRectF(1, 1, 18, 18), 3, 3);
    p.setPen(ink);
    QFont f = p.font();
    f.setPixelSize(text.size() > 1 ? 8 : 13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, text);
  };
}

// The fallback: the code character on a disc coloured by the table.
void Fallback(QPainter& p, int table, char code) {
  const QColor disc = table == 0 ? QColor(70, 110, 200) : QColor(200, 90, 40);
  Outline(p, disc);
  p.drawEllipse(QPointF(10, 10), 9, 9);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(12);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QString(QChar(code)));
}

std::map<char, Draw> PrimaryPictograms() {
  std::map<char, Draw> m;
  m['!'] = Letter(QColor(20, 40, 160), "P");  // police station
  m['#'] = Star(QColor(40, 200, 60));         // digi
  m['$'] = Phone();
  m['%'] = Letter(QColor(80, 80, 80), "DX");
  m['&'] = Gateway();                              // HF gateway
  m['\''] = Plane(QColor(240, 240, 240), false);   // small aircraft
  m['+'] = Cross(QColor(220, 20, 20), Qt::white);  // red cross
  m['-'] = House(QColor(250, 240, 200), QColor(200, 50, 40));
  m['.'] = Letter(QColor(200, 30, 30), "X");
  m['/'] = Dot(QColor(220, 20, 20));  // red dot
  for (char c = '0'; c <= '9'; ++c) m[c] = Numbered(c);
  m[':'] = Fire();
  m[';'] = Tent();
  m['<'] = Bike(true);  // motorcycle
  m['='] = Train();
  m['>'] = Car(QColor(220, 40, 40));
  m['A'] = Cross(Qt::white, QColor(30, 120, 200));    // aid station
  m['C'] = Boat(QColor(200, 150, 80), false);         // canoe
  m['E'] = Letter(QColor(240, 240, 240), "o", kInk);  // eyeball
  m['F'] = Tractor();
  m['H'] = Letter(QColor(120, 60, 160), "H");  // hotel
  m['I'] = Computer();                         // TCP/IP
  m['K'] = Letter(QColor(200, 120, 20), "S");  // school
  m['O'] = Balloon();
  m['P'] = Car(QColor(30, 50, 170));    // police car
  m['R'] = Van(QColor(240, 230, 200));  // recreational vehicle
  m['U'] = Bus();
  m['X'] = Helicopter();
  m['Y'] = Boat(QColor(250, 250, 250), true);   // yacht
  m['['] = Person(QColor(30, 140, 220), true);  // jogger
  m['\\'] = Triangle(QColor(250, 220, 40));
  m['^'] = Plane(QColor(240, 240, 240), true);  // large aircraft
  m['_'] = WeatherStation();
  m['`'] = Antenna(false);  // dish antenna
  m['a'] = Van(Qt::white);  // ambulance
  m['b'] = Bike(false);
  m['f'] = Letter(QColor(220, 30, 30), "F");     // fire station
  m['g'] = Plane(QColor(250, 250, 190), false);  // glider
  m['h'] = Hospital();
  m['j'] = Car(QColor(90, 120, 60));  // jeep
  m['k'] = Truck(QColor(240, 140, 30));
  m['l'] = Computer();  // laptop
  m['o'] = Letter(QColor(200, 40, 40), "EOC");
  m['p'] = Person(QColor(200, 60, 160), false);  // rover
  m['r'] = Antenna(true);
  m['s'] = Boat(QColor(230, 230, 230), false);  // power boat
  m['u'] = Truck(QColor(120, 120, 200), true);  // truck 18 wheels
  m['v'] = Van(QColor(100, 160, 220));
  m['y'] = Antenna(false);                                     // yagi
  m['z'] = House(QColor(230, 220, 200), QColor(60, 110, 60));  // shelter
  return m;
}

std::map<char, Draw> AlternatePictograms() {
  std::map<char, Draw> m;
  m['!'] = Emergency();
  m['#'] = Star(QColor(40, 200, 60));                              // overlay digi
  m['$'] = Letter(QColor(40, 140, 60), "$");                       // bank
  m['&'] = Diamond(QColor(250, 150, 40));                          // overlay diamond
  m['\''] = Letter(QColor(30, 30, 30), "X", QColor(255, 80, 80));  // crash site
  m['('] = Cloud(QColor(210, 210, 220));
  m['*'] = Cloud(QColor(235, 240, 250), QColor(120, 160, 255), true);  // snow
  m['+'] = House(QColor(250, 250, 250), QColor(120, 120, 120));        // church
  m['-'] = House(QColor(250, 240, 200), QColor(40, 90, 200));          // home (HF)
  m['0'] = Dot(QColor(250, 240, 60), 8.5);                             // overlay circle
  m['9'] = Letter(QColor(230, 200, 20), "P", kInk);                    // petrol station
  m[':'] = Cloud(QColor(200, 200, 210), QColor(240, 240, 255), true);  // hail
  m['>'] = Car(QColor(250, 230, 60));                                  // overlay car
  m['A'] = Letter(QColor(250, 250, 250), "\u25A0", kInk);              // overlay box
  m['C'] = Boat(QColor(240, 120, 20), false);                          // coast guard
  m['D'] = Cloud(QColor(220, 220, 230), QColor(60, 120, 230));         // drizzle
  m['F'] = Cloud(QColor(220, 230, 240), QColor(40, 200, 240));         // freezing rain
  m['I'] = Cloud(QColor(200, 200, 210), QColor(30, 90, 220));          // rain shower
  m['J'] = Lightning();
  m['L'] = Lighthouse();
  m['N'] = Diamond(QColor(255, 60, 60));           // navigation buoy
  m['R'] = Letter(QColor(160, 90, 40), "\u2615");  // restaurant
  m['S'] = Antenna(false);                         // satellite
  m['T'] = Lightning();                            // thunderstorm
  m['U'] = Sun();
  m['^'] = Plane(QColor(250, 230, 60), true);                  // overlay aircraft
  m['_'] = WeatherStation();                                   // overlay WX station
  m['a'] = Cloud(QColor(150, 150, 160), QColor(30, 90, 220));  // rain
  m['c'] = Letter(QColor(250, 200, 30), "CD", kInk);           // civil defence
  m['k'] = Car(QColor(60, 60, 60));                            // SUV
  m['m'] = Letter(QColor(30, 130, 60), "MP");                  // milepost
  m['n'] = Triangle(QColor(250, 180, 40));                     // overlay triangle
  m['o'] = Dot(QColor(220, 20, 20), 3.5);                      // small circle
  m['p'] = Cloud(QColor(250, 250, 250));                       // partly cloudy
  m['s'] = Boat(QColor(250, 230, 60), false);                  // overlay boat
  m['u'] = Truck(QColor(250, 230, 60));                        // overlay truck
  m['v'] = Van(QColor(250, 230, 60));                          // overlay van
  m['z'] = House(QColor(250, 230, 60), QColor(90, 90, 90));    // overlay shelter
  return m;
}

bool WriteSheet(const QString& file, int table) {
  // One pixel more than the 16 x 6 cells, so the last cells' 22-pixel squares fit.
  QImage sheet(kCols * kPitch + 1, kRows * kPitch + 1, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  const auto pictograms = table == 0 ? PrimaryPictograms() : AlternatePictograms();
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  for (int n = 1; n <= 94; ++n) {
    const char code = static_cast<char>(32 + n);
    const int x = ((n - 1) % kCols) * kPitch;
    const int y = ((n - 1) / kCols) * kPitch;
    p.save();
    p.translate(x + 1, y + 1);
    p.setClipRect(QRect(0, 0, 20, 20));
    if (auto it = pictograms.find(code); it != pictograms.end())
      it->second(p);
    else
      Fallback(p, table, code);
    p.restore();
  }
  p.end();
  return sheet.save(file, "BMP");
}

// One landscape view of the start picture: sky, sun or moon, hills, a mast with
// its signal, a road, coloured for the time of day of band k.
void DrawView(QPainter& p, int k) {
  struct Sky {
    QColor top, bottom, hill1, hill2, sun;
    double sun_x, sun_y;
  };
  const Sky skies[6] = {
      {QColor(20, 30, 80), QColor(90, 80, 150), QColor(30, 60, 50), QColor(20, 40, 35), QColor(240, 240, 210), 320, 60},
      {QColor(250, 150, 90), QColor(255, 220, 150), QColor(70, 120, 60), QColor(40, 90, 50), QColor(255, 240, 120), 80,
       180},
      {QColor(90, 160, 240), QColor(200, 230, 255), QColor(90, 170, 70), QColor(50, 120, 60), QColor(255, 230, 60), 200,
       50},
      {QColor(60, 130, 220), QColor(170, 210, 250), QColor(110, 170, 80), QColor(60, 130, 70), QColor(255, 240, 120),
       300, 70},
      {QColor(230, 110, 60), QColor(255, 190, 120), QColor(90, 110, 60), QColor(50, 80, 50), QColor(255, 150, 60), 330,
       190},
      {QColor(10, 15, 50), QColor(40, 50, 110), QColor(25, 45, 40), QColor(15, 30, 30), QColor(220, 220, 200), 90, 70},
  };
  const Sky& s = skies[k];
  QLinearGradient sky(0, 0, 0, 300);
  sky.setColorAt(0, s.top);
  sky.setColorAt(1, s.bottom);
  p.fillRect(QRect(0, 0, 400, 300), sky);
  if (k == 0 || k == 5) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230));
    for (int i = 0; i < 40; ++i) {
      p.drawEllipse(QPointF((i * 97) % 400, (i * 53) % 150), 0.9, 0.9);
    }
  }
  QRadialGradient glow(s.sun_x, s.sun_y, 40);
  glow.setColorAt(0, s.sun);
  glow.setColorAt(0.45, s.sun);
  glow.setColorAt(1, QColor(s.sun.red(), s.sun.green(), s.sun.blue(), 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(QPointF(s.sun_x, s.sun_y), 40, 40);

  QPainterPath far;
  far.moveTo(0, 200);
  for (int x = 0; x <= 400; x += 10) far.lineTo(x, 190 - 35 * std::sin(x / 60.0 + k) - 10 * std::sin(x / 17.0));
  far.lineTo(400, 300);
  far.lineTo(0, 300);
  p.setBrush(s.hill1);
  p.drawPath(far);
  QPainterPath near;
  near.moveTo(0, 250);
  for (int x = 0; x <= 400; x += 10) near.lineTo(x, 235 - 20 * std::sin(x / 45.0 + 2 * k));
  near.lineTo(400, 300);
  near.lineTo(0, 300);
  p.setBrush(s.hill2);
  p.drawPath(near);

  // The road.
  p.setBrush(QColor(70, 70, 75));
  p.drawPolygon(QPolygonF({QPointF(170, 300), QPointF(240, 300), QPointF(212, 230), QPointF(200, 230)}));
  p.setPen(QPen(QColor(240, 240, 200), 2, Qt::DashLine));
  p.drawLine(QPointF(205, 299), QPointF(206, 232));

  // The mast on the hill and its waves.
  const double mx = 60 + k * 50;
  const double my = 190 - 35 * std::sin(mx / 60.0 + k) - 10 * std::sin(mx / 17.0);
  p.setPen(QPen(QColor(200, 40, 40), 2));
  p.drawLine(QPointF(mx, my), QPointF(mx - 9, my + 4));
  p.drawLine(QPointF(mx, my - 60), QPointF(mx - 9, my + 4));
  p.drawLine(QPointF(mx, my - 60), QPointF(mx + 9, my + 4));
  p.drawLine(QPointF(mx - 6, my - 20), QPointF(mx + 6, my - 20));
  p.drawLine(QPointF(mx - 4, my - 40), QPointF(mx + 4, my - 40));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 180), 1.6));
  for (int r = 10; r <= 40; r += 10) p.drawArc(QRectF(mx - r, my - 62 - r, 2 * r, 2 * r), 20 * 16, 140 * 16);

  // A small car on the road, going to the mast's station.
  p.save();
  p.translate(190, 262);
  p.scale(1.4, 1.4);
  Car(QColor(220, 40, 40))(p);
  p.restore();
}

bool WriteStartPicture(const QString& file) {
  QImage img(400, 1800, QImage::Format_RGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int k = 0; k < 6; ++k) {
    p.save();
    p.translate(0, 300 * k);
    p.setClipRect(QRect(0, 0, 400, 300));
    DrawView(p, k);
    p.restore();
  }
  p.end();
  return img.save(file, "JPG", 90);
}

bool WriteFlag(const QString& file, int which) {
  QImage img(30, 18, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  if (which == 0) {
    // English: the crosses on blue.
    img.fill(QColor(20, 40, 120));
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(0, 0, 30, 18);
    p.drawLine(30, 0, 0, 18);
    p.setPen(QPen(QColor(200, 20, 40), 1.4));
    p.drawLine(0, 0, 30, 18);
    p.drawLine(30, 0, 0, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 0, 6, 18));
    p.drawRect(QRectF(0, 6, 30, 6));
    p.setBrush(QColor(200, 20, 40));
    p.drawRect(QRectF(13.5, 0, 3, 18));
    p.drawRect(QRectF(0, 7.5, 30, 3));
  } else if (which == 1) {
    // German: three bands.
    p.fillRect(QRect(0, 0, 30, 6), Qt::black);
    p.fillRect(QRect(0, 6, 30, 6), QColor(220, 0, 0));
    p.fillRect(QRect(0, 12, 30, 6), QColor(255, 205, 0));
  } else {
    // Swedish: the yellow cross on blue.
    img.fill(QColor(0, 90, 160));
    p.fillRect(QRect(9, 0, 4, 18), QColor(255, 205, 0));
    p.fillRect(QRect(0, 7, 30, 4), QColor(255, 205, 0));
  }
  p.end();
  return img.save(file, "BMP");
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_pictures <output folder>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  bool ok = WriteSheet(out + "/ZEBLSYM0.BMP", 0) && WriteSheet(out + "/ZEBLSYM1.BMP", 1) &&
            WriteStartPicture(out + "/STARTPIC.JPG") && WriteFlag(out + "/FLAG_EN.BMP", 0) &&
            WriteFlag(out + "/FLAG_DE.BMP", 1) && WriteFlag(out + "/FLAG_SV.BMP", 2);
  if (!ok) {
    std::fprintf(stderr, "make_pictures: could not write the pictures into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
