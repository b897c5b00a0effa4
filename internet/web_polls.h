// The web services the program asks for station data and ionosphere values:
// their addresses (in one place), the requests of the raw-packet and area polls,
// and the turning of fetched pages into raw packet lines.
#pragma once

#include <string>
#include <string_view>

#include "reception/aprs_decode.h"

namespace zeblon::internet {

// The base addresses ("http://host[:port]", no "/" at the end) of the services
// and the full addresses of the two ionosphere pages.
struct WebSources {
  std::string source1;   // raw packets by seconds ("/aprs/raw") and the area query ("/aprs/area")
  std::string source2;   // raw packets by hours ("/cgi-bin/raw.cgi") and the message page
  std::string ionoUrl1;  // the magnetogram page ("/magnetogram/index.html")
  std::string ionoUrl2;  // the space-weather bulletin ("/text/sgas.txt")
};

// The built-in addresses.
WebSources DefaultWebSources();

// The built-in addresses, each replaceable through the environment:
// ZEBLON_WEB_SOURCE1, ZEBLON_WEB_SOURCE2, ZEBLON_IONO_URL1, ZEBLON_IONO_URL2;
// ZEBLON_WEB_BASE ("http://127.0.0.1:8080") puts every service on one host
// with the fixed paths (for tests and a local mirror).
WebSources WebSourcesFromEnvironment();

// Every service on one base address, with the fixed paths.
WebSources WebSourcesAt(std::string_view base);

// Bytes outside the unreserved set (letters, digits, "-", ".", "_", "~") as %XX.
std::string PercentEncode(std::string_view text);

// The hours a raw-packet poll asks for: the hour boundaries passed from the
// newest MONI 1 record (YYMMDD HHMM, local) to now, plus 1, held to 1..72;
// 72 when there is no record or its date cannot be read.
int PollHours(std::string_view newestRecord, const reception::LocalTime& now);

// The address of a raw-packet poll. webSource 0: source 1 by seconds
// (hours * 3600); 1: source 2 by hours. The call is percent-encoded.
std::string RawPacketsUrl(const WebSources& sources, int webSource, std::string_view call, int hours);

// The address of the area query around a latitude and longitude (degrees).
std::string AreaUrl(const WebSources& sources, double latitude, double longitude);

// The address of the web send page of a message (WebSendAddress): source 2's
// "/cgi-bin/sendmsg.cgi" with the keys fromcall (`txCall`), tocall (characters 2
// to 10 of `outgoing`, upper case, trimmed) and msg (`outgoing` from character
// 12), in this order, each value percent-encoded.
std::string SendMessageUrl(const WebSources& sources, std::string_view txCall, std::string_view outgoing);

// What a page's address names.
enum class PageKind { Blank, RawSource2, SendMessage, RawSource1, Iono1, Iono2, Other };
PageKind ClassifyPage(std::string_view url, const WebSources& sources);

// A text without its NUL bytes.
std::string RemoveNulBytes(std::string_view text);

// The raw packet lines of a source-2 page for the watched call ("" when the page
// holds none): the text after "RAW DATA: " and the call, when it says packets;
// lines end with CR LF, empty lines are left out.
std::string RawLinesFromSource2Page(std::string_view pageText, std::string_view moniOneCall);

// The raw packet lines of a source-1 page ("" when none): lines
// "YYYY-MM-DD HH:MM:SS", two separators and the packet become
// "YYYYMMDDHHMMSS," and the packet, each with CR LF.
std::string RawLinesFromSource1Page(std::string_view pageText);

// HHMM of a time of day as the polls note it (LastRawRequestHhmm).
int HhmmOf(const reception::LocalTime& now);

}  // namespace zeblon::internet
