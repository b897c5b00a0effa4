// The start picture's plain rules: which view of the stored picture the clock
// shows, which picture of the map folders is chosen, and the map centre that a
// picture's name gives.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zeblon {

// The stored picture: six views of 300 rows each; the view shown is 392 x 300.
inline constexpr int kStartViewWidth = 392;
inline constexpr int kStartViewHeight = 300;
inline constexpr int kStartPictureMinChoices = 10;

// The view (band 0 to 5) for the minutes of the clock: one per ten minutes.
int StartPictureBand(int minutes);

// The index of the picture chosen among `count` pictures (fewer than ten: none),
// from the seconds since midnight: round(seconds * 100) Mod count.
std::optional<int> ChooseStartPicture(int count, double seconds_since_midnight);

// The map centre (km) of a picture by its path: the name's first four characters
// give the northing and the next four the easting, a letter first standing for
// minus (its code - 64) thousands; 0.499 added to both. None when the path has no
// name with an extension.
struct PictureLocation {
  double north = 0;
  double east = 0;
};
std::optional<PictureLocation> PictureLocationOf(const std::string& path);

}  // namespace zeblon
