// What the station layers read besides the stores: the switches of the main
// window, and what a layer read of each record, kept with the record's bytes.
#pragma once

#include <QColor>
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "stations/station_display.h"

namespace zeblon::stations {

// A colour of the stations' palette as Qt's.
inline QColor ToQColor(const Rgb& c) {
  return QColor(std::clamp(c.red, 0, 255), std::clamp(c.green, 0, 255), std::clamp(c.blue, 0, 255));
}

// What the station passes read from the main window's switches.
struct StationDrawSettings {
  int moniAllLevel = 2;  // 1..5 (0: the pass draws nothing)
  bool wxLevel = false;  // Label16 shows "WX"
  int filterMask = 31;
  int mobileFilter = 1;     // Check13
  bool directOnly = false;  // Check24
  int moniOneLevel = 2;     // 1..6
  int colourDepth = 24;
  static StationDrawSettings From(const StationSwitches& s, bool directOnly = false, int colourDepth = 24);
};

// What a layer read of each record of a store, kept with the bytes it was read
// from, so that a record is read again only when its bytes change.
template <typename Slot>
class KeptReadings {
 public:
  // For slots 1 to count: read(slot, bytes) where the record's bytes differ
  // from those read before (or none were read), then place(slot) for each.
  template <typename Read, typename Place>
  void Update(const std::vector<std::string>& store, int count, const Read& read, const Place& place) {
    if (kept_.size() < static_cast<std::size_t>(count) + 1) kept_.resize(static_cast<std::size_t>(count) + 1);
    for (int i = 1; i <= count; ++i) {
      Kept& k = kept_[static_cast<std::size_t>(i)];
      const std::string& record = store[static_cast<std::size_t>(i)];
      if (!k.read || k.bytes != record) {
        k.bytes = record;
        k.read = true;
        read(k.slot, std::string_view(k.bytes));
      }
      place(k.slot);
    }
  }
  const Slot& operator[](int i) const { return kept_[static_cast<std::size_t>(i)].slot; }
  // The bytes slot i was read from.
  std::string_view Bytes(int i) const { return kept_[static_cast<std::size_t>(i)].bytes; }

 private:
  struct Kept {
    std::string bytes;
    bool read = false;
    Slot slot;
  };
  std::vector<Kept> kept_;
};

}  // namespace zeblon::stations
