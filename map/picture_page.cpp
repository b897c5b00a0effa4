#include "map/picture_page.h"

#include "map/map_tile.h"

namespace zeblon::map {

bool IsVideoName(std::string_view name) {
  if (name.size() < 3) return false;
  const std::string_view ext = name.substr(name.size() - 3);
  const auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
  return up(ext[0]) == 'A' && up(ext[1]) == 'V' && up(ext[2]) == 'I';
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string PicturePage(std::string_view picture_path) {
  const std::string source =
      std::string(IsVideoName(picture_path) ? "<img dynsrc=\"" : "<img src=\"") + HtmlEscape(picture_path) + "\">";
  std::string page;
  for (const std::string& line :
       {std::string("<html>"), std::string("<body bgcolor=\"#505050\">"), std::string("<center>"), source,
        std::string("</center>"), std::string("</body>"), std::string("</html>")}) {
    page += line;
    page += "\r\n";
  }
  return page;
}

PicturePlace PictureCentre(std::string_view name) {
  const TileCorner c = TileCornerOfName(name);
  return {c.northKm + 0.499, c.eastKm + 0.499};
}

int StepPicture(int index, int count, int step) {
  if (step < 0 && index > 1) return index - 1;
  if (step > 0 && index < count) return index + 1;
  return index;
}

}  // namespace zeblon::map
