#include "links/title_fields.h"

#include <algorithm>

#include "settings/interface_kind.h"
#include "settings/text_files.h"

namespace zeblon::links {

std::string PlaceTitleMark(std::string_view title, int column, std::string_view mark) {
  std::string t(title);
  if (t.size() < 90) t.append(90 - t.size(), ' ');
  const std::size_t at = static_cast<std::size_t>(column - 1);
  if (t.size() < at + mark.size()) t.append(at + mark.size() - t.size(), ' ');
  t.replace(at, mark.size(), mark);
  return Trim(t);
}

std::string TitleWithMarks(std::string title, int digi_on, int interface_kind, std::string_view cross_mode,
                           std::string_view radio_mode, int igate_on) {
  const InterfaceKind kind = InterfaceKindOf(interface_kind);
  if (digi_on == 1 && UsesSerialTnc(kind)) {
    std::string mark = "Digi active";
    if (kind == InterfaceKind::ScsTnc && cross_mode != radio_mode && cross_mode != "NONE") mark = "Digi X-mode";
    title = PlaceTitleMark(title, 61, mark);
  }
  if (igate_on == 1 && kind != InterfaceKind::NoRadio) title = PlaceTitleMark(title, 76, "IGate");
  return title;
}

std::string WithLinkNotice(std::string_view title, std::string_view notice) {
  constexpr std::size_t kFirst = 8, kLast = 73;  // columns 9 … 74, 0-based
  std::string field(kLast - kFirst + 1, ' ');
  field.replace(0, std::min(notice.size(), field.size()), notice.substr(0, field.size()));
  return PlaceTitleMark(title, static_cast<int>(kFirst + 1), field);
}

std::string WithLogWriteTitleField(std::string_view title, bool failing, bool diskFull) {
  const std::string_view mark = !failing ? "                " : diskFull ? "DISK FULL       " : "LOGS NOT WRITTEN";
  return PlaceTitleMark(title, 92, mark);
}

}  // namespace zeblon::links
