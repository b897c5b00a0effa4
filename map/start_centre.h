// The map centre at start-up: a centre picked from the start picture keeps the map
// where it is; otherwise the MONI 1 station's newest position becomes the centre.
#pragma once

namespace zeblon::map {

// True when the number's text (with its sign blank) ends in ".499": a map centre
// picked from the start picture.
bool EndsIn499(double value);

// Map centre after the MONI 1 log's restore: with a start-picture centre nothing
// moves; else a newest position other than 0 becomes the centre, and the MONI 1
// position is the centre afterwards.
void ApplyMoniOneCentre(double& centre_north, double& centre_east, double& moni_north, double& moni_east);

}  // namespace zeblon::map
