// The sun curve picture (Picture4, 400 x 290 pixels, black): title, hour and
// elevation grid, the present time in red, today's curve sample by sample and the
// dotted curves of 21 June and 21 December (yellow above the horizon, light blue
// below), and the three energy lines. Drawn from the plain computation SunCurve.
#pragma once

#include <QImage>
#include <QPainter>

#include "map/sun_curve.h"

namespace zeblon::map {

inline constexpr int kSunCurveWidth = 400;
inline constexpr int kSunCurveHeight = 290;

// Draws the whole picture anew (background included) with its top left at (0, 0).
void DrawSunCurve(QPainter& painter, const SunCurve& curve);
QImage SunCurveImage(const SunCurve& curve);

}  // namespace zeblon::map
