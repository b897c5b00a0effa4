#include "stations/wx_pictures.h"

#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "geodesy/geodesy.h"
#include "geodesy/text.h"
#include "stations/pixel_writer.h"
#include "stations/wx_report.h"

namespace zeblon::stations {

namespace {

const QColor kLightGrey(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kAzure(0, 192, 255);

QColor ToQ(const WxColour& c) {
  return QColor(std::clamp(c.red, 0, 255), std::clamp(c.green, 0, 255), std::clamp(c.blue, 0, 255));
}

// A box filled between two corners (both included).
void FilledBox(QPainter& p, double x1, double y1, double x2, double y2, const QColor& c) {
  const double l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
  p.fillRect(QRectF(l, t, r - l + 1, b - t + 1), c);
}

// A filled disc of radius r.
void Disc(QPainter& p, QPointF centre, double r, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawEllipse(centre, r, r);
  p.setBrush(Qt::NoBrush);
}

// The shaded pressure ring between radii r0 and r1: 64 sectors, the sector of
// angle a = k * pi / 32 starting at a + pi / 4, each in the grey of PressureShade.
void ShadedRing(QPainter& p, QPointF c, double r0, double r1, int pressure, int step) {
  const QRectF outer(c.x() - r1, c.y() - r1, 2 * r1, 2 * r1), inner(c.x() - r0, c.y() - r0, 2 * r0, 2 * r0);
  constexpr double kDegrees = 180 / geodesy::kShortPi;
  for (int k = 0; k < 64; ++k) {
    const double a = k * geodesy::kShortPi / 32;
    const double start = (a + geodesy::kShortPi / 4) * kDegrees, span = 180.0 / 32;
    QPainterPath path;
    path.arcMoveTo(outer, start);
    path.arcTo(outer, start, span);
    path.arcTo(inner, start + span, -span);
    path.closeSubpath();
    const int g = PressureShade(a, pressure, step);
    p.fillPath(path, QColor(g, g, g));
  }
}

}  // namespace

bool DrawWxDiagram(QPainter& p, double x, double y, std::string_view record, int colourDepth) {
  const auto decoded = DecodeWxReport(record);
  if (!decoded) return false;
  const WxReport& wx = *decoded;
  if (!wx.temperature.present() && !wx.windDirection.present() && !wx.pressure.present()) return true;
  if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 32000 || std::fabs(y) > 32000) return true;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  const QPointF centre(x, y);
  auto circle = [&](double r, const QColor& c, double width) {
    p.setPen(QPen(c, width));
    if (r <= 0)
      p.drawPoint(centre);
    else
      p.drawEllipse(centre, r, r);
  };
  // Arc of radius r from start to start + span (radians, counterclockwise from +x).
  auto arc = [&](double r, double start, double span, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    const QRectF box(x - r, y - r, 2 * r, 2 * r);
    p.drawArc(box, static_cast<int>(std::lround(start * 180 / geodesy::kShortPi * 16)),
              static_cast<int>(std::lround(span * 180 / geodesy::kShortPi * 16)));
  };
  const bool deep = colourDepth >= 16;

  // Base disc: the circles of radius 0 to 11 of pen width 3, as one disc.
  Disc(p, centre, 12.5, kLightGrey);

  // Pressure ring.
  if (wx.pressure.present()) {
    const int pressure = wx.pressure.value;
    const int s = PressureStep(pressure);
    if (!deep) {
      if (pressure != 1013) {
        const QColor first = pressure > 1013 ? kWhite : kBlack, second = pressure > 1013 ? kBlack : kWhite;
        for (int i = 9; i <= 13; i += s) {
          arc(i, 3 * geodesy::kShortPi / 8, 6 * geodesy::kShortPi / 8, first, 1);
          arc(i, 11 * geodesy::kShortPi / 8, 6 * geodesy::kShortPi / 8, second, 1);
        }
      }
      circle(8, kBlack, 1);
      circle(13, kBlack, 1);
    } else {
      // The rings of radius 9 to 12 of pen width 3 as one shaded band.
      ShadedRing(p, centre, 7.5, 13.5, pressure, s);
    }
  }

  // Temperature and humidity: the temperature colour inside the humidity ring
  // (circles 0 to 5 and 6, 7 of pen width 3 as discs).
  if (wx.temperature.present() && deep) {
    const WxColour c = TemperatureColour(wx.temperature.value);
    Disc(p, centre, 8.5, ToQ(HumidityBlend(c, wx)));
    Disc(p, centre, 4.5, ToQ(c));
  }

  // Wind bar on the side the wind comes from.
  if (wx.windDirection.present()) {
    const double a = (wx.windDirection.value % 360) * geodesy::kShortPi / 180;
    const int hs = std::max(1, static_cast<int>(RoundHalfEven(wx.windSpeed.value / 2.0)));
    const int hg = std::max(1, static_cast<int>(RoundHalfEven(wx.gustSpeed.value / 2.0)));
    const double L = std::max(hs, hg);
    const QPointF outer(x + std::sin(a) * (L / 2 + 30), y - std::cos(a) * (L / 2 + 30));
    const QPointF inner(x + std::sin(a) * (L / 2 + 13), y - std::cos(a) * (L / 2 + 13));
    auto bar = [&](const QColor& c, double width) {
      p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(outer, inner);
    };
    if (wx.gustSpeed.present() && deep) {
      if (hg >= hs) bar(kLightGrey, hg + 3);
      bar(kGrey, hg);
    }
    if (wx.windSpeed.present()) {
      if (hs >= hg) bar(kLightGrey, hs + 3);
      bar(kBlack, hs);
    }
    bar(kBlack, 1);
  }

  // Rain bars: 24 hours on the left, the last hour (and its 24-hour
  // continuation as an outline) on the right, one pixel per 2 mm.
  const QColor rain = deep ? kAzure : kGrey;
  double r24 = RainOver24HoursOfRecord(wx, record);
  auto filled = [&](double x1, double y1, double x2, double y2) { FilledBox(p, x1, y1, x2, y2, rain); };
  if (r24 > 0) {
    if (r24 < 1) r24 = 2;
    filled(x - 18, y + 11, x - 14, y + 11 - r24 / 2);
  }
  if (wx.rainLastHour.present() && wx.rainLastHour.value > 0) {
    const double h = wx.rainLastHour.value / 2.0;
    filled(x + 14, y + 11, x + 18, y + 11 - h);
    p.setPen(QPen(rain, 0));
    p.drawRect(QRectF(x + 14, y + 11 - 24 * h, 4, 24 * h));
  }
  p.restore();
  return true;
}

bool DrawWxStationPicture(QImage& picture, std::string_view record, int colourDepth) {
  picture.fill(QColor(224, 224, 224));  // the picture box's face colour
  const auto decoded = DecodeWxReport(record);
  if (!decoded) return false;
  const WxReport& wx = *decoded;
  const bool deep = colourDepth >= 16;
  constexpr double cx = 80, cy = 80, R = 36;
  const double W = picture.width(), H = picture.height();
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  auto circle = [&](double x, double y, double r, const QColor& c, double width) {
    p.setPen(QPen(c, width));
    if (r <= 0)
      p.drawPoint(QPointF(x, y));
    else
      p.drawEllipse(QPointF(x, y), r, r);
  };
  auto arc = [&](double r, double start, double span, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(cx - r, cy - r, 2 * r, 2 * r), static_cast<int>(std::lround(start * 180 / geodesy::kShortPi * 16)),
              static_cast<int>(std::lround(span * 180 / geodesy::kShortPi * 16)));
  };

  if (wx.pressure.present()) {
    const int pressure = wx.pressure.value;
    const int s = PressureStep(pressure);
    if (!deep) {
      if (pressure != 1013) {
        const QColor first = pressure > 1013 ? kWhite : kBlack, second = pressure > 1013 ? kBlack : kWhite;
        for (double i = R - 9; i <= R + 9; i += s) {
          arc(i, 3 * geodesy::kShortPi / 8, 6 * geodesy::kShortPi / 8, first, 1);
          arc(i, 11 * geodesy::kShortPi / 8, 6 * geodesy::kShortPi / 8, second, 1);
        }
      }
      circle(cx, cy, R + 10, kBlack, 1);
      circle(cx, cy, R - 10, kBlack, 1);
    } else {
      // Rings of radius R - 8 to R + 8 in steps of 2, pen width 3, as one band.
      ShadedRing(p, QPointF(cx, cy), R - 9.5, R + 9.5, pressure, s);
    }
  }

  // Compass ticks and letters.
  p.setPen(QPen(kBlack, 1));
  p.drawLine(QPointF(cx, cy - R - 16), QPointF(cx, cy - R - 10));
  p.drawLine(QPointF(cx + R + 16, cy), QPointF(cx + R + 10, cy));
  p.drawLine(QPointF(cx, cy + R + 16), QPointF(cx, cy + R + 10));
  p.drawLine(QPointF(cx - R - 16, cy), QPointF(cx - R - 10, cy));
  const QFontMetrics fm(p.font());
  auto letter = [&](double x, double y, const char* text) {
    p.drawText(QPointF(x, y + fm.ascent()), QString::fromLatin1(text));
  };
  letter(cx - 4, cy - R - 29, "N");
  letter(cx + R + 19, cy - 7, "E");
  letter(cx - 3, cy + R + 16, "S");
  letter(cx - R - 27, cy - 6, "W");

  if (wx.temperature.present() && deep) {
    // Circles of pen width 2 up to radius 22 in the temperature colour, then
    // from 22 down to 8 in its humidity blend: the pure colour inside 8.
    const WxColour c = TemperatureColour(wx.temperature.value);
    Disc(p, QPointF(cx + 1, cy + 1), R - 13, ToQ(HumidityBlend(c, wx)));
    Disc(p, QPointF(cx + 1, cy + 1), 7, ToQ(c));
  }

  if (wx.windDirection.present()) {
    const double a = (wx.windDirection.value % 360) * geodesy::kShortPi / 180;
    const int hs = std::max<int>(1, wx.windSpeed.value), hg = std::max<int>(1, wx.gustSpeed.value);
    const double L = std::max(hs, hg);
    const QPointF outer(cx + std::sin(a) * (L / 2 + R + 200), cy - std::cos(a) * (L / 2 + R + 200));
    const QPointF inner(cx + std::sin(a) * (L / 2 + R + 10), cy - std::cos(a) * (L / 2 + R + 10));
    auto bar = [&](const QColor& c, double width) {
      p.setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(outer, inner);
    };
    if (wx.gustSpeed.present() && deep) bar(kGrey, hg);
    if (wx.windSpeed.present()) bar(kBlack, hs);
    bar(kBlack, 1);
  }

  const QColor rain = deep ? QColor(0, 0, 255) : kBlack;
  double r24 = RainOver24HoursOfRecord(wx, record);
  auto filled = [&](double x1, double y1, double x2, double y2) { FilledBox(p, x1, y1, x2, y2, rain); };
  if (r24 > 0) {
    if (r24 < 1) r24 = 1;
    filled(0, H - 1, 10, H - 1 - r24);
  }
  if (wx.rainLastHour.present() && wx.rainLastHour.value > 0) {
    const double v = wx.rainLastHour.value;
    filled(W - 11, H - 1, W - 1, H - 1 - v);
    p.setPen(QPen(rain, 0));
    p.drawRect(QRectF(W - 11, H - 1 - 24 * v, 10, 24 * v));
  }
  return true;
}

}  // namespace zeblon::stations
