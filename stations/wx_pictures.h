// The weather pictures: the diagram drawn at a weather station on the map and
// the compass picture of the WX STATION window.
#pragma once

#include <QImage>
#include <QPainter>
#include <string_view>

namespace zeblon::stations {

// Draws the weather diagram of a record centred on (x, y). colourDepth is the
// screen's bits per pixel (below 16: no temperature centre, no gust, plain
// pressure arcs, grey rain). Returns false when the record holds no report.
bool DrawWxDiagram(QPainter& painter, double x, double y, std::string_view record, int colourDepth = 24);

// The compass picture of the WX STATION window (159 x 159 pixels, centre
// (80, 80), ring radius 36): pressure ring, compass, temperature centre, wind
// bar from the picture's edge, rain bars at the bottom corners. The picture is
// cleared to light grey first; false (and an empty picture) when the record
// holds no report.
bool DrawWxStationPicture(QImage& picture, std::string_view record, int colourDepth = 24);

}  // namespace zeblon::stations
