// Writes the first corpus of every fuzz target: real files, made by the programs'
// own writers from the seed packets of the reception tests, and small archives cut
// from a real stock archive beside archives crafted with the faults a reader meets.
//   make_seeds SEED_PACKETS OUTPUT_FOLDER [STOCK.ZIP]
// OUTPUT_FOLDER/<target>/ receives the files of each target, each with the lead
// byte its target reads first.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/corpus.h"
#include "zip_writer.h"
#include "map/bmp.h"
#include "reception/receive_pass.h"
#include "settings/settings.h"
#include "settings/text_files.h"

namespace fs = std::filesystem;
using namespace zeblon;

namespace {

void Put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string Get(const fs::path& file) {
  std::string bytes;
  ReadWholeFile(file, bytes);
  return bytes;
}

class Host : public reception::corpus::QuietHost {
 public:
  reception::LocalTime Now() override { return {2025, 6, 1, 12, 0, 0}; }
  void ConvertMapKmToLatLon(double, double, std::string& a, std::string& b) override {
    a = "N";
    b = "E";
  }
};

// The receive pass over the packets, each source the MONI 1 station in turn: the
// LOG folder then holds MONI 1 logs and the other logs as the program writes them.
void ReceivePackets(const std::vector<std::string>& packets, const fs::path& data) {
  fs::create_directories(data / "LOG");
  reception::ReceptionState state;
  state.settings.dataFolder = data;
  state.settings.logsOn = true;
  state.settings.userCall = "N0CALL";
  state.settings.txCall = "N0CALL-1";
  Host host;
  reception::ChatLines chat;
  for (int round = 0; round < 3; ++round) {
    for (const std::string& line : packets) {
      state.settings.moniOneCall = line.substr(0, line.find('>'));
      struct Once : reception::MonitorSource {
        std::string text;
        bool done = false;
        reception::TurnRead ReadTurn() override {
          reception::TurnRead r;
          if (!done) r.text = text;
          done = true;
          return r;
        }
      } source;
      source.text = reception::corpus::Tnc2ToMonitor(line);
      reception::ReceivePass pass(state, host, chat);
      pass.Run(source);
    }
  }
}

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// A small archive cut from a real one, its records copied as they stand: every
// folder entry and the files named by `keep` (indexes among the files, by packed
// size), each with its local record, data and data descriptor, and a new central
// directory. Empty when `zip` is not an archive of that plain form.
std::string CutArchive(const std::string& zip, const std::vector<std::size_t>& keep) {
  const std::size_t end = zip.rfind(std::string("PK\5\6", 4));
  if (end == std::string::npos || end + 22 > zip.size()) return {};
  const std::size_t count = Le(zip, end + 10, 2);
  std::size_t at = Le(zip, end + 16, 4);
  struct Record {
    std::size_t central, centralLength, local, packed;
    bool folder;
  };
  std::vector<Record> records;
  for (std::size_t k = 0; k < count && at + 46 <= zip.size(); ++k) {
    const std::size_t length = 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    const std::string name = zip.substr(at + 46, Le(zip, at + 28, 2));
    records.push_back({at, length, Le(zip, at + 42, 4), Le(zip, at + 20, 4), !name.empty() && name.back() == '/'});
    at += length;
  }
  std::vector<std::size_t> files;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!records[i].folder) files.push_back(i);
  }
  std::stable_sort(files.begin(), files.end(),
                   [&](std::size_t a, std::size_t b) { return records[a].packed < records[b].packed; });
  std::vector<bool> chosen(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) chosen[i] = records[i].folder;
  for (std::size_t k : keep) {
    if (k < files.size()) chosen[files[k]] = true;
  }
  // A record's local part reaches to the next local record (or the directory).
  std::vector<std::size_t> starts;
  for (const Record& r : records) starts.push_back(r.local);
  std::sort(starts.begin(), starts.end());
  std::string out, central;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!chosen[i]) continue;
    const Record& r = records[i];
    const auto next = std::upper_bound(starts.begin(), starts.end(), r.local);
    const std::size_t local_end = next == starts.end() ? Le(zip, end + 16, 4) : *next;
    std::string c = zip.substr(r.central, r.centralLength);
    const std::size_t offset = out.size();
    for (int b = 0; b < 4; ++b) c[42 + static_cast<std::size_t>(b)] = static_cast<char>((offset >> (8 * b)) & 0xFF);
    out += zip.substr(r.local, local_end - r.local);
    central += c;
    ++kept;
  }
  std::string tail;
  testing_support::ZipPut32(tail, 0x06054b50);
  testing_support::ZipPut32(tail, 0);
  testing_support::ZipPut16(tail, kept);
  testing_support::ZipPut16(tail, kept);
  testing_support::ZipPut32(tail, central.size());
  testing_support::ZipPut32(tail, out.size());
  testing_support::ZipPut16(tail, 0);
  return out + central + tail;
}

// The stock archive's seeds: cut from the real archive, and crafted with each
// fault the reader must refuse.
void StockArchiveSeeds(const fs::path& real, const fs::path& out) {
  using testing_support::ZipArchive;
  using testing_support::ZipItem;
  if (!real.empty()) {
    const std::string zip = Get(real);
    Put(out / "real-smallest", CutArchive(zip, {0, 1}));
    Put(out / "real-folders", CutArchive(zip, {}));
  }
  constexpr std::uint64_t near64 = ~std::uint64_t{0} - 7;
  Put(out / "zip64-end-near-2-64", testing_support::Zip64EndOnly(near64, 0));
  Put(out / "directory-near-2-64", testing_support::Zip64EndOnly(0, near64));
  Put(out / "local-near-2-64",
      ZipArchive({{.name = "U33/A.BMP", .bytes = "x", .deflate = false, .zip64Local = near64}}));
  Put(out / "packed-near-2-64",
      ZipArchive({{.name = "U33/A.BMP", .bytes = "x", .deflate = false, .zip64Size = near64, .zip64Packed = near64}}));
  Put(out / "climbs-out", ZipArchive({{"U33/POI/A.TXT", "a"}, {"U33/../../ESCAPED.TXT", "x"}}));
  Put(out / "encrypted", ZipArchive({{.name = "U33/SECRET.TXT", .bytes = "secret", .flags = 1}}));
  Put(out / "damaged", ZipArchive({{.name = "U33/BAD.BMP", .bytes = "some bytes", .crcFault = 1}}));
  Put(out / "link", ZipArchive({{.name = "U33/LOG", .bytes = "/tmp", .deflate = false, .unixMode = 0120777},
                                {"U33/LOG/_CHATLOG.TXT", "chat"}}));
  Put(out / "bomb", ZipArchive({{.name = "U33/BOMB.BMP", .bytes = std::string(1 << 20, '\0'), .declaredSize = 100}}));
  std::vector<ZipItem> shared = {{"U33/", "", false}};
  for (int i = 0; i < 20; ++i)
    shared.push_back({.name = "U33/D" + std::to_string(i) + "/", .bytes = "", .deflate = false, .sharesRecordOf = 0});
  Put(out / "shared-record", ZipArchive(shared));
  Put(out / "name-twice", ZipArchive({{"U33/DUP.TXT", "one"}, {"U33/DUP.TXT", "two"}}));
  Put(out / "descriptors", ZipArchive({{"U33/", "", false},
                                       {.name = "U33/POI/A.TXT", .bytes = "points\r\n", .descriptor = true},
                                       {.name = "U33/TRK/B.TRK", .bytes = "track", .deflate = false}}));
  Put(out / "huge", ZipArchive({{.name = "U33/HUGE.BMP", .bytes = "x", .zip64Size = 1ull << 50}}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: make_seeds SEED_PACKETS OUTPUT_FOLDER [STOCK.ZIP]\n");
    return 2;
  }
  const fs::path out = argv[2];
  std::vector<std::string> packets;
  for (const std::string& line : SplitLines(Get(argv[1])))
    if (!line.empty()) packets.push_back(line);

  // The settings file as each window writes it, from its defaults and from a
  // changed copy.
  for (SettingsWindow window : {SettingsWindow::Start, SettingsWindow::Main}) {
    Settings s;
    SetDefaultSettings(window, s, "C:\\ZEBLON", "C:\\TEMP");
    const std::string tag = window == SettingsWindow::Start ? "start" : "main";
    Put(out / "fuzz_settings" / (tag + "-defaults.INI"), SettingsFileText(window, s));
    s.UserCall = "QW7TK";
    s.TxSsid = "9";
    s.CentreNorth = 6580.123;
    s.CentreEast = 1628.5;
    s.ObjectName = "HOME";
    s.MapRootFolder = "C:\\MAP\\U33\\";
    Put(out / "fuzz_settings" / (tag + "-changed.INI"), SettingsFileText(window, s));
  }

  // Tiles of the three forms: the whole head (headers and palette) and a little
  // of the pixels, read as the start of a tile (lead byte 1).
  for (int bits : {4, 8, 24}) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 256; ++i) palette.push_back(static_cast<std::uint32_t>(i * 0x010305));
    auto tile = map::Tile::Make(bits, palette).EmptyCopy();
    for (int c = 0; c < 300; ++c) tile.SetPixel(0, c, static_cast<std::uint32_t>(c * 7));
    const std::size_t head = static_cast<std::size_t>(tile.first_pixel()) + 200;
    Put(out / "fuzz_bmp" / ("tile" + std::to_string(bits)),
        "\1" + std::string(tile.bytes().begin(), tile.bytes().begin() + static_cast<long>(head)));
    Put(out / "fuzz_bmp" / ("head" + std::to_string(bits)),
        "\0" + std::string(tile.bytes().begin(), tile.bytes().begin() + 54));
  }

  // A 54-byte file whose length field reads past the 63 bits of a signed number.
  std::string high = "BM" + std::string(7, '\0') + "\x80";
  high.resize(54, '\0');
  Put(out / "fuzz_bmp" / "high-length", std::string(1, '\0') + high);

  // Logs of the receive pass: MONI 1 logs for their restore and SMART LOG, and as
  // station logs (.TXT) for TALMOR's data file converter.
  const fs::path data = out / "received";
  fs::remove_all(data);
  ReceivePackets(packets, data);
  int n = 0;
  for (const auto& e : fs::directory_iterator(data / "LOG")) {
    const std::string bytes = Get(e.path());
    if (bytes.empty()) continue;
    const std::string name = std::to_string(n++);
    Put(out / "fuzz_moni_log" / name, std::string(1, static_cast<char>(2 + n % 5)) + bytes);
    Put(out / "fuzz_talmor_data" / ("txt-" + name), std::string(1, '\0') + bytes);
  }
  fs::remove_all(data);

  // Point and track files in the layout of their lines: the mark, northing and
  // easting of 9 characters each, then the rest.
  const std::string mark = "\xFE";
  const std::vector<std::string> track = {mark + " 6580.123  650.456 20250601 1200",
                                          mark + " 6581.000  651.000 20250601 1230",
                                          mark + " 6590.000  660.000 20250601 1300"};
  const std::vector<std::string> vec = {mark + " 6581.500  651.500 20250601 1230", "",
                                        mark + " 6595.000  665.000 20250601 1400"};
  auto join = [](const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
  };
  const std::string way =
      "6580  650 250601 1100 OUT_A  OUTDOOR_ACT TK250601.VEC\r\n"
      "6590  660 250602 0900 STOP   ZEBLON_NAVIGATION_ENDED\r\n";
  Put(out / "fuzz_track_import" / "merge",
      "\1" + join(vec) + std::string(1, '\0') + join(track) + std::string(1, '\0') + way);
  Put(out / "fuzz_talmor_data" / "trk", "\2" + join(track));
  Put(out / "fuzz_talmor_data" / "poi",
      "\1" + mark + " 6581.234 1628.500 Home\r\n" + mark + " 7000.000 1500.000 Hut\r\n");

  // What an APRS-IS server sends: its greeting, the login answer cut in two
  // arrivals, and the packets as TNC2 lines.
  std::string server = "# aprsc 2.1.14\r\n";
  server += std::string("# logresp QW7") + '\0' + "TK verified, server T2TEST\r\n";
  for (const std::string& line : packets) server += line + "\r\n";
  Put(out / "fuzz_aprs_is" / "session", "QW7TK " + server);

  StockArchiveSeeds(argc == 4 ? fs::path(argv[3]) : fs::path(), out / "fuzz_stock_zip");

  // Picture names as the picture folders hold them.
  for (const char* name : {"65801628.BMP", "65801628.bmp", "7000150X.BMP", "6580162", "66001550_OLD.BMP"})
    Put(out / "fuzz_talmor_picture_name" / name, name);
  return 0;
}
