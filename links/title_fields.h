// The status fields the links write into the main window's title over fixed columns
// (the digipeater and IGate marks, the link notice, the log field), beside the
// APRS-IS link's IGate field (aprs_is_link.h). No Qt; the window sets the result.
#pragma once

#include <string>
#include <string_view>

namespace zeblon::links {

// The title with a mark written over the columns from `column` (1-based): padded to
// at least 90 characters first, stored without leading and trailing blanks.
std::string PlaceTitleMark(std::string_view title, int column, std::string_view mark);

// The window title with the start-up's marks ("Digi active"/"Digi X-mode" at 61,
// "IGate" at 76).
std::string TitleWithMarks(std::string title, int digi_on, int interface_kind, std::string_view cross_mode,
                           std::string_view radio_mode, int igate_on);

// The title with a notice on the link in the columns 9 … 74, between the program's
// name and the IGate field; an empty notice blanks them.
std::string WithLinkNotice(std::string_view title, std::string_view notice);

// The title's log field (columns 92 to 107, behind the IGate field, clear of the
// link notice): "DISK FULL" or "LOGS NOT WRITTEN" while the log files cannot be
// written, blank again when they can.
std::string WithLogWriteTitleField(std::string_view title, bool failing, bool diskFull);

}  // namespace zeblon::links
