// A generator of varied APRS packets (TNC2 lines "SRC>DEST,PATH:payload") of
// every form the decoder knows, and their MonitorFrame form. Shared by the
// tests, the fuzz seeds and the benchmark.
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "reception/aprs_decode.h"
#include "reception/frame_assembly.h"
#include "reception/reception_host.h"

namespace zeblon::reception::corpus {

// "SRC>DEST,D1,D2:payload" -> "SRC>D1>D2>DEST <UI>:" CR LF payload CR LF.
inline std::string Tnc2ToMonitor(const std::string& line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return {};
  const std::string header = line.substr(0, colon);
  const std::size_t gt = header.find('>');
  if (gt == std::string::npos) return {};
  std::string src = header.substr(0, gt), rest = header.substr(gt + 1);
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = rest.find(',', from);
    parts.push_back(rest.substr(from, comma - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  std::string out = src;
  for (std::size_t i = 1; i < parts.size(); ++i) out += ">" + parts[i];
  out += ">" + parts[0] + " <UI>:\r\n" + line.substr(colon + 1) + "\r\n";
  return out;
}

// The kinds of packet the generator makes.
enum class Form { Plain, PlainStamped, Ambiguous, Compressed, MicE, Nmea, Object, Item, ThirdParty, Message, Other };

struct Packet {
  Form form;
  std::string line;
  double lat = 0, lon = 0;  // the position that was encoded
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  Packet Next() {
    const int kind = Uniform(0, 10);
    const double lat = Real(-80, 80), lon = Real(-179.9, 179.9);
    const std::string src = Call();
    switch (kind) {
      case 0:
        return {Form::Plain, src + ">APRS,WIDE1-1:" + Pick("!=") + PlainBody(lat, lon) + "Plain " + Word(), lat, lon};
      case 1:
        return {Form::PlainStamped, src + ">APRS:" + Pick("@/") + Stamp() + PlainBody(lat, lon) + "088/036/A=001234",
                lat, lon};
      case 2: {
        std::string body = PlainBody(lat, lon);
        body[6] = ' ';  // one digit of the minutes hidden in both
        body[16] = ' ';
        return {Form::Ambiguous, src + ">APRS:!" + body + "amb", lat, lon};
      }
      case 3:
        return {Form::Compressed, src + ">APRS,DIGI1*,WIDE2-1:" + Pick("!=") + CompressedBody(lat, lon) + Word(), lat,
                lon};
      case 4: return MicE(src, lat, lon);
      case 5: return {Form::Nmea, src + ">GPSLK:" + Nmea(lat, lon), lat, lon};
      case 6:
        return {Form::Object, src + ">APRS:;" + Pad(Word(), 9) + "*" + Stamp() + PlainBody(lat, lon) + "obj", lat, lon};
      case 7: return {Form::Item, src + ">APRS:)" + Word() + "!" + PlainBody(lat, lon) + "item", lat, lon};
      case 8:
        return {Form::ThirdParty, "GATE>APRS,DIGI2*:}" + src + ">APDEST,TCPIP,GATE*:!" + PlainBody(lat, lon) + "3rd",
                lat, lon};
      case 9:
        return {Form::Message,
                src + ">APRS::" + Pad(Call(), 9) + ":hello " + Word() + "{" + std::to_string(Uniform(1, 999)), 0, 0};
      default:
        return {Form::Other,
                src + ">APRS:" +
                    (Uniform(0, 1) ? ">status " + Word() : ";" + Pad(Word(), 9) + "_092345z4903.50N/07201.75W>"),
                0, 0};
    }
  }

 private:
  int Uniform(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
  double Real(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng_); }
  std::string Pick(const char* chars) {
    return std::string(1, chars[Uniform(0, static_cast<int>(std::char_traits<char>::length(chars)) - 1)]);
  }
  static std::string Pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
  }
  std::string Word() {
    std::string w;
    for (int i = Uniform(3, 8); i > 0; --i) w += static_cast<char>('A' + Uniform(0, 25));
    return w;
  }
  std::string Call() {
    std::string c;
    for (int i = 0; i < 2; ++i) c += static_cast<char>('A' + Uniform(0, 25));
    c += static_cast<char>('0' + Uniform(0, 9));
    for (int i = Uniform(1, 3); i > 0; --i) c += static_cast<char>('A' + Uniform(0, 25));
    const int ssid = Uniform(0, 15);
    if (ssid) c += "-" + std::to_string(ssid);
    return c;
  }
  std::string Stamp() {
    char b[16];
    std::snprintf(b, sizeof b, "%02d%02d%02dz", Uniform(1, 28), Uniform(0, 23), Uniform(0, 59));
    return b;
  }
  static std::string PlainBody(double lat, double lon) {
    const double alat = std::fabs(lat), alon = std::fabs(lon);
    const int latHundredths = static_cast<int>(std::lround(alat * 6000.0));
    const int lonHundredths = static_cast<int>(std::lround(alon * 6000.0));
    char b[40];
    std::snprintf(b, sizeof b, "%02d%02d.%02d%c/%03d%02d.%02d%c>", latHundredths / 6000, (latHundredths % 6000) / 100,
                  latHundredths % 100, lat < 0 ? 'S' : 'N', lonHundredths / 6000, (lonHundredths % 6000) / 100,
                  lonHundredths % 100, lon < 0 ? 'W' : 'E');
    return b;
  }
  static std::string Base91(double v) {
    long long x = static_cast<long long>(v);
    std::string s(4, '!');
    for (int i = 3; i >= 0; --i) {
      s[i] = static_cast<char>(33 + x % 91);
      x /= 91;
    }
    return s;
  }
  std::string CompressedBody(double lat, double lon) {
    std::string extra;
    switch (Uniform(0, 2)) {
      case 0: extra = "7P["; break;   // course and speed
      case 1: extra = "S]S"; break;   // altitude
      default: extra = "{?!"; break;  // range
    }
    return "/" + Base91(380926.0 * (90.0 - lat)) + Base91(190463.0 * (180.0 + lon)) + ">" + extra;
  }
  Packet MicE(const std::string& src, double lat, double lon) {
    const int latH = static_cast<int>(std::lround(std::fabs(lat) * 6000.0));
    int digits[6] = {latH / 60000,      (latH / 6000) % 10, (latH % 6000) / 1000, ((latH % 6000) / 100) % 10,
                     (latH % 100) / 10, latH % 10};
    const int lonH = static_cast<int>(std::lround(std::fabs(lon) * 6000.0));
    const int deg = lonH / 6000, min = (lonH % 6000) / 100, hun = lonH % 100;
    bool offset = false;
    int d;
    if (deg < 10) {
      d = deg + 118;
      offset = true;
    } else if (deg < 100) {
      d = deg + 28;
    } else if (deg < 110) {
      d = deg + 8;
      offset = true;
    } else {
      d = deg - 100 + 28;
      offset = true;
    }
    const bool bits[6] = {Uniform(0, 1) == 1, false, false, lat >= 0, offset, lon < 0};
    std::string dest;
    for (int i = 0; i < 6; ++i) dest += static_cast<char>(bits[i] ? 'P' + digits[i] : '0' + digits[i]);
    if (dest[0] >= '0' && dest[0] <= '9' && dest[1] >= '0' && dest[2] >= '0' && dest[1] <= '9' && dest[2] <= '9')
      dest[1] = static_cast<char>('A' + digits[1]);  // keep the message code away from Emergency
    std::string info = "`";
    info += static_cast<char>(d);
    info += static_cast<char>(min < 10 ? min + 88 : min + 28);
    info += static_cast<char>(hun + 28);
    info += "l\x1c-";
    info += ">/";
    info += "]mic-e";
    return {Form::MicE, src + ">" + dest + ",WIDE1-1:" + info, lat, lon};
  }
  std::string Nmea(double lat, double lon) {
    const double alat = std::fabs(lat), alon = std::fabs(lon);
    const int latM = static_cast<int>(std::lround(alat * 600000.0));  // ten-thousandths of a minute
    const int lonM = static_cast<int>(std::lround(alon * 600000.0));
    char b[128];
    if (Uniform(0, 1)) {
      std::snprintf(b, sizeof b, "$GPRMC,123456,A,%02d%02d.%04d,%c,%03d%02d.%04d,%c,000.5,054.7,191194,,*00",
                    latM / 600000, (latM % 600000) / 10000, latM % 10000, lat < 0 ? 'S' : 'N', lonM / 600000,
                    (lonM % 600000) / 10000, lonM % 10000, lon < 0 ? 'W' : 'E');
    } else {
      std::snprintf(b, sizeof b, "$GPGGA,123519,%02d%02d.%04d,%c,%03d%02d.%04d,%c,1,08,0.9,545.4,M,46.9,M,,*00",
                    latM / 600000, (latM % 600000) / 10000, latM % 10000, lat < 0 ? 'S' : 'N', lonM / 600000,
                    (lonM % 600000) / 10000, lonM % 10000, lon < 0 ? 'W' : 'E');
    }
    // The checksum: the exclusive or of the characters between "$" and "*".
    std::string sentence = b;
    const std::size_t star = sentence.rfind('*');
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
    const char* hex = "0123456789ABCDEF";
    sentence[star + 1] = hex[(sum >> 4) & 15];
    sentence[star + 2] = hex[sum & 15];
    return sentence;
  }

  std::mt19937 rng_;
};

// `count` packets of the generator started with `seed`: the same seed gives the
// same packets, so benchmarks of different paths run over one set.
inline std::vector<Packet> Packets(unsigned seed, int count) {
  Generator gen(seed);
  std::vector<Packet> v;
  v.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) v.push_back(gen.Next());
  return v;
}

// A reception host that does nothing and keeps one clock time: for runs that
// time the decoding and storing alone.
class QuietHost : public ReceptionHost {
 public:
  LocalTime Now() override { return {2024, 5, 1, 12, 34, 0}; }
  void DrawMap() override {}
  void SetTimer1(bool) override {}
  void ConvertMapKmToLatLon(double, double, std::string& a, std::string& b) override { a = b = "-"; }
  void SendAprsMessage(const std::string&) override {}
  void MonitorListChanged() override {}
  void ShowEmergencyWindow() override {}
  void ShowWxInfoForRecord(const std::string&) override {}
  void InfoPanelChanged() override {}
  void ShowDistanceAlarm(const DistanceAlarm&) override {}
  void Beep() override {}
  void FollowMoniOneStation() override {}
  void ClosePictureViewer() override {}
  bool PictureViewerShown() override { return false; }
  void AfterQuietPass() override {}
};

// TNC2 lines as frames cut from the receive buffer (header line, CR LF, payload, CR).
inline std::vector<std::string> CutFrames(const std::vector<std::string>& lines) {
  std::vector<std::string> frames;
  frames.reserve(lines.size());
  for (const std::string& l : lines) {
    std::string m = ApplyHeardMark(Tnc2ToMonitor(l));
    m.pop_back();
    frames.push_back(std::move(m));
  }
  return frames;
}

// Header and payload of every frame decoded, as the receive pass does it; the
// count of positions. `project` goes on into metres of the map zone.
inline std::size_t DecodedPositions(const std::vector<std::string>& frames, bool project) {
  DecodeContext ctx;
  ctx.now = {2024, 5, 1, 12, 34, 0};
  ctx.project = project;
  FrameValues v;  // one for every frame, as the receive pass keeps it
  std::size_t positions = 0;
  for (const std::string& f : frames) {
    v.Reset();
    if (NormaliseHeader(f, "N0CALL", "", v) != HeaderOutcome::Payload) continue;
    positions += DecodePayload(v, ctx) == DecodeResult::Position;
  }
  return positions;
}

}  // namespace zeblon::reception::corpus
