#include "internet/web_polls.h"

#include <cstdlib>

#include "geodesy/text.h"
#include "internet/internet_pass.h"
#include "settings/text_files.h"

namespace zeblon::internet {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithoutSlash(std::string_view base) {
  std::string b(base);
  while (!b.empty() && b.back() == '/') b.pop_back();
  return b;
}

// The lines of a text with CR LF each, empty ones left out.
std::string JoinLines(std::string_view text) {
  std::string out;
  for (const std::string& line : SplitLines(text)) {
    const std::string_view t = TrimRightView(line);
    if (TrimView(t).empty()) continue;
    out.append(t);
    out += "\r\n";
  }
  return out;
}

}  // namespace

WebSources DefaultWebSources() {
  // No source has a built-in address: each stays empty (its requests fail at once,
  // the magnetogram falling back to the bulletin) until the environment names it.
  return WebSources{};
}

WebSources WebSourcesAt(std::string_view base) {
  const std::string b = WithoutSlash(base);
  return WebSources{b, b, b + "/magnetogram/index.html", b + "/text/sgas.txt"};
}

WebSources WebSourcesFromEnvironment() {
  WebSources s = DefaultWebSources();
  if (const std::string base = Env("ZEBLON_WEB_BASE"); !base.empty()) s = WebSourcesAt(base);
  if (const std::string v = Env("ZEBLON_WEB_SOURCE1"); !v.empty()) s.source1 = WithoutSlash(v);
  if (const std::string v = Env("ZEBLON_WEB_SOURCE2"); !v.empty()) s.source2 = WithoutSlash(v);
  if (const std::string v = Env("ZEBLON_IONO_URL1"); !v.empty()) s.ionoUrl1 = v;
  if (const std::string v = Env("ZEBLON_IONO_URL2"); !v.empty()) s.ionoUrl2 = v;
  return s;
}

std::string PercentEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

int PollHours(std::string_view newestRecord, const reception::LocalTime& now) {
  long long then = 0, current = 0;
  if (!RecordMinutes(newestRecord, then) || !MinutesOf(now.year, now.month, now.day, now.hour, now.minute, current))
    return 72;
  const long long boundaries = current / 60 - then / 60;
  const long long h = boundaries + 1;
  return static_cast<int>(h < 1 ? 1 : (h > 72 ? 72 : h));
}

std::string RawPacketsUrl(const WebSources& s, int webSource, std::string_view call, int hours) {
  if (hours < 1) hours = 1;
  if (hours > 72) hours = 72;
  if (webSource == 0)
    return s.source1 + "/aprs/raw?callsign=" + PercentEncode(call) + "&seconds=" + std::to_string(hours * 3600);
  return s.source2 + "/cgi-bin/raw.cgi?call=" + PercentEncode(call) + "&start=" + std::to_string(hours) + "&time=1";
}

std::string AreaUrl(const WebSources& s, double latitude, double longitude) {
  return s.source1 + "/aprs/area?lat=" + NumberText(latitude) + "&lon=" + NumberText(longitude) +
         "&distance=100000&seconds=3600";
}

std::string SendMessageUrl(const WebSources& s, std::string_view txCall, std::string_view outgoing) {
  const std::string to = reception::UpperCase(reception::TrimmedColumns(outgoing, 2, 10));
  const std::string_view msg = outgoing.size() > 11 ? outgoing.substr(11) : std::string_view();
  return s.source2 + "/cgi-bin/sendmsg.cgi?fromcall=" + PercentEncode(txCall) + "&tocall=" + PercentEncode(to) +
         "&msg=" + PercentEncode(msg);
}

PageKind ClassifyPage(std::string_view url, const WebSources& s) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string_view::npos || scheme + 3 >= url.size()) return PageKind::Blank;
  if (url.find("/cgi-bin/raw.cgi") != std::string_view::npos) return PageKind::RawSource2;
  if (url.find("/cgi-bin/sendmsg.cgi") != std::string_view::npos) return PageKind::SendMessage;
  if (url.find("/aprs/raw?callsign=") != std::string_view::npos) return PageKind::RawSource1;
  if (!s.ionoUrl1.empty() && url.find(s.ionoUrl1) != std::string_view::npos) return PageKind::Iono1;
  if (!s.ionoUrl2.empty() && url.find(s.ionoUrl2) != std::string_view::npos) return PageKind::Iono2;
  return PageKind::Other;
}

std::string RemoveNulBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\0') out += c;
  return out;
}

std::string RawLinesFromSource2Page(std::string_view pageText, std::string_view moniOneCall) {
  const std::string text = RemoveNulBytes(pageText);
  const std::string upper = reception::UpperCase(text);
  if (upper.find("NO DATA FOUND FOR") != std::string::npos) return {};
  const std::string marker = "RAW DATA: " + reception::UpperCase(moniOneCall);
  const std::size_t at = upper.find(marker);
  if (at == std::string::npos) return {};
  const std::string_view rest = std::string_view(text).substr(at + marker.size());
  if (rest.size() <= 60) return {};
  if (rest.find("\n20") == std::string_view::npos && rest.substr(0, 2) != "20") return {};
  return JoinLines(rest);
}

std::string RawLinesFromSource1Page(std::string_view pageText) {
  const std::string text = RemoveNulBytes(pageText);
  if (TrimView(text).size() <= 40) return {};
  std::string out;
  for (const std::string& line : SplitLines(text)) {
    const std::string_view l = TrimView(line);
    if (l.size() < 22 || l.substr(0, 2) != "20" || l[4] != '-') continue;
    static constexpr std::size_t kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (std::size_t i : kDigits) out += l[i];
    out += ',';
    out.append(l.substr(21));
    out += "\r\n";
  }
  return out;
}

int HhmmOf(const reception::LocalTime& now) { return now.hour * 100 + now.minute; }

}  // namespace zeblon::internet
