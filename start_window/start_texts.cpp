// The texts are written here in UTF-8 and turned into Windows-1252 bytes when used.
#include "start_window/start_texts.h"

#include "geodesy/text.h"
#include "settings/interface_kind.h"

namespace zeblon {
namespace {

struct Row {
  const char* control;
  const char* text[3];  // English, German, Swedish
};

const Row kCaptions[] = {
    {"Label20",
     {"If you use a radio interface at this computer and IGATE is activated in the TX SETUP, "
      "plus there is a connection to the internet, a simple IGATE (RF>INET) will be working. "
      "Down below you can change the chosen APRS-IS server address and port. The needed "
      "passcode will be generated automatically.",
      "Wenn du ein Funk-Interface an diesem Computer benutzt und die IGATE-Funktion im "
      "TX-SETUP aktiviert ist und darüber hinaus eine Internet-Verbindung besteht, ist ein "
      "einfaches IGATE (RF>INET) in Betrieb. Hier unten kannst du den gewünschten "
      "APRS-IS-Server und dessen Port-Nr. einstellen. Der benötigte Passcode wird automatisch "
      "generiert.",
      "Ifall du använder ett radio-interface vid denna dator och har aktiverat DIGI-funktionen "
      "i TX-SETUP plus det finns en internet-uppkoppling, aktiveras en enkel IGATE (RF>INET) "
      "-funktion. Här nere kan du förändra den utvalda servern samt sitt port-nummer. Den "
      "behövda passcoden genereras automatiskt."}},
    {"fr4Label2",
     {"TX TIMER IN MINUTES OR MANUAL TX", "TX-TIMER IN MINUTEN ODER MANUELLES TX",
      "TX-TIMER I MINUTER ELLER MANUELL TX"}},
    {"fr4Label5", {"INFO LINES (ALTERNATING)", "INFO-ZEILEN (ALTERNIEREND)", "INFO-RADER (ALTERNERANDE)"}},
    {"fr4Command3", {"ABORT", "ABBRUCH", "AVBRYT"}},
    {"fr4Command4", {"OK", "OK", "OK"}},
    {"Label14",
     {"DIGI FUNCTION: START AGWUIDIGI.EXE ON AGWPE HOST COMPUTER",
      "DIGI-FUNKTION: AGWUIDIGI.EXE AUF DEM AGWPE-HOST AUSFÜHREN",
      "DIGI-FUNKTION: KÖR AGWUIDIGI.EXE PÅ AGWPE HOST-DATORN"}},
    {"fr4ta1", {"ACTIVE", "AKTIV", "AKTIV"}},
    {"fr4ta2", {"ACTIVE", "AKTIV", "AKTIV"}},
    {"fr4ta3", {"ACTIVE", "AKTIV", "AKTIV"}},
    {"fr4ta4", {"ACTIVE", "AKTIV", "AKTIV"}},
    {"fr4ta5", {"ACTIVE", "AKTIV", "AKTIV"}},
    {"fr4ta6", {"ACTIVE", "AKTIV", "AKTIV"}},
};

// The tooltips set whatever the interface.
const Row kTooltipsBefore[] = {
    {"Check1",
     {"Automatic control of MONI 1 logfile size", "Automatische Verwaltung der MONI 1 Logfile-Größe ",
      "Automatisk kontroll av MONI 1 loggfil storlek"}},
    {"Check2", {"Save MONI ALL & RAW logfiles", "MONI ALL & RAW Logfiles speichern", "Spara MONI ALL & RAW loggfiler"}},
    {"Text1",
     {"Path for maps and picture folders M0002, M0010,... UTMPICS)",
      "Pfad der Karten- und Bilderordner M0002, M0010,... UTMPICS)",
      "Sökväg för kart- och bildmappar M0002, M0010,... UTMPICS)"}},
    {"Text2",
     {"Path for temporary use, even a ram drive", "Temporärpfad, kann auch ein RAM-Laufwerk sein",
      "Temporär katalog kann även vara ett RAMDRIVE"}},
    {"Text6",
     {"NMEA183-source (COM port number of GPS receiver or filename)",
      "NMEA183-Quelle (COM-Port-Nummer des GPS-Empfängers oder Dateiname)",
      "NMEA183-källa (COM port nummer av GPS-RX eller filnamn)"}},
    {"Text17",
     {"NMEA183 COM port baud rate (e.g. 4800 or 38400)", "NMEA183-COM-Port Baudrate (z.B. 4800 oder 38400)",
      "NMEA183 COM ports överföringshastighet (t.ex. 4800 eller 38400)"}},
};

const Row kTooltipText3Pk232 = {
    "Text3", {"Com port number to modem", "Nummer des seriellen Ports zum Modem", "Seriell port till modemet"}};
const Row kTooltipText3Agw = {
    "Text3",
    {"Computer name or TCP/IP address (where AGWPE is running)", "Computername oder TCP/IP-Adresse (wo AGWPE läuft)",
     "Datornamn eller TCP/IP-adress (där AGWPE är aktiv)"}};
const Row kTooltipText4Pk232 = {"Text4",
                                {"Baud rate to modem", "Baudrate zum Modem", "Överföringshastigheten till modemet"}};
const Row kTooltipText4Agw = {
    "Text4",
    {"Remote host port for AGWPE (default 8000)", "Port auf Hostrechner für AGWPE (Default 8000)",
     "Portnummer på hostdator för AGWPE (Default 8000)"}};

const Row kTooltipsAfter[] = {
    {"Text5",
     {"Callsign for main monitoring MONI 1", "Rufteichen für Hauptüberwachung MONI 1",
      "Anropssignal för huvudövervakningen MONI 1"}},
    {"Text7", {"Alarm distance (1-100 km)", "Alarmdistanz (1-100 km)", "Alarmdistans (1-100 km)"}},
    {"Text10", {"Time difference (COMPUTER-UTC)", "Zeitdifferenz (COMPUTER-UTC)", "Tidsdifferens (COMPUTER-UTC)"}},
    {"Text15",
     {"Relative sunspot number (solar activity)", "Sonnenfleckenrelativzahl (solare Aktivität)",
      "Relativ solfläckstal (solaktivitet)"}},
    {"Text16",
     {"Kp-index (geomagnetic activity)", "Kp-Index (geomagnetische Aktivität)", "Kp-index (geomagnetisk aktivitet)"}},
    {"Check8",
     {"Fetch ionospherical data automatically via internet", "Ionosphärendaten automatisch via Internet laden",
      "Hämta jonosfäriska data automatiskt via internät"}},
    {"Frame1",
     {"Chose modem or soundcard program", "Modem oder Soundkartenprogramm wählen",
      "Välj modem eller ljudkort-program"}},
    {"Option1", {"Program language: English", "Program language: English", "Program language: English"}},
    {"Option2", {"Programmsprache: Deutsch", "Programmsprache: Deutsch", "Programmsprache: Deutsch"}},
    {"Option3", {"Programspråk: Svenska", "Programspråk: Svenska", "Programspråk: Svenska"}},
    {"Option4", {"Radio Interface = PK-232", "Funk-Interface = PK-232", "Radio-interface = PK-232"}},
    {"Option5",
     {"Radio Interface = AGW Packet Engine", "Funk-Interface = AGW Packet Engine",
      "Radio-interface = AGW Packet Engine"}},
    {"Option12",
     {"Robust-Packet-Radio (RPR) 300 Bd", "Robust-Packet-Radio (RPR) 300 Bd", "Robust-Packet-Radio (RPR) 300 Bd"}},
    {"Option7", {"HF 300 Bd", "HF 300 Bd", "HF 300 Bd"}},
    {"Option8", {"VHF 1200 Bd", "VHF 1200 Bd", "VHF 1200 Bd"}},
    {"Option18", {"VHF 9600 Bd", "VHF 9600 Bd", "VHF 9600 Bd"}},
    {"Option19", {"VHF 19200 Bd", "VHF 19200 Bd", "VHF 19200 Bd"}},
    {"Check4",
     {"HF DUAL TX MODE: FSK300 + RPR300 - Tune your VFO to the RPR frequency!",
      "HF DUAL TX MODE: FSK300 + RPR300 - Stimme deinen VFO auf die RPR-Frequenz ab!",
      "HF DUAL TX MODE: FSK300 + RPR300 - Ställ in din VFO på RPR-frekvensen!"}},
    {"Option9",
     {"Radio Interface = AGW Packet Engine on remote computer",
      "Funk-Interface = AGW Packet Engine auf anderem Computer", "Radio-interface = AGW Packet Engine på annan dator"}},
    {"Option10",
     {"No Radio Interface (Internet Monitoring only)", "Kein Funk-Interface (Nur Internet Monitoring)",
      "Inget radio-interface (endast internet monitoring)"}},
    {"Option11", {"Radio Interface = SCS TNC o.e.", "Funk-Interface = SCS TNC o.ä.", "Radio-interface = SCS TNC e.l."}},
    {"Option13",
     {"Radio Interface = SCS PTC WITH PR function", "Funk-Interface = SCS PTC mit PR-Funktion",
      "Radio-interface = SCS PTC med PR-funktion"}},
};

const Row kStartPlain = {"Command1", {"Lclick to start", "Lclick für Start", "Lclick för start"}};
const Row kStartPk232 = {"Command1",
                         {"Lclick to start, then it takes 40 s", "Lclick für Start, bitte 40 Sekunden Geduld",
                          "Lclick för start, överföring tar 40 s"}};
const Row kStartScsTnc = {"Command1",
                          {"Lclick to start, then it takes 12 s", "Lclick für Start, bitte 12 Sekunden Geduld",
                           "Lclick för start, överföring tar 12 s"}};
const Row kStartScsPtc = {"Command1",
                          {"Lclick to start, then it takes 25 s", "Lclick für Start, bitte 25 Sekunden Geduld",
                           "Lclick för start, överföring tar 25 s"}};

const Row kTooltipsLast[] = {
    {"Command14",
     {"Lclick opens IGATE APRS-IS server and port input", "Lclick öffnet die Eingabe für IGATE APRS-IS Server und Port",
      "Lclick öppnar IGATE APRS-IS server och port inställningen"}},
    {"Command3",
     {"Lclick opens README.HTM information file", "Lclick öffnet README.HTM Informations-File",
      "Lclick öppnar README.HTM informationsfilen"}},
    {"Text8", {"Enter your callsign", "Eingabe des Rufzeichens", "Din anropssignal"}},
    {"Command15",
     {"Confirm / end APRS-IS settings", "APRS-IS -Eingabe bestätigen / verlassen",
      "Bekräfta / lämna APRS-IS -inställningen"}},
    {"Command5", {"Set APRS parameters", "Einstellen der APRS Parameter", "Inställning av APRS funktioner"}},
    {"Command6",
     {"Lclick opens program version history HISTORY.TXT",
      "Lclick öffnet Programmversions-Entwicklungsgeschichte HISTORY.TXT (Englisch)",
      "Lclick öppnar programutvecklingshistoria HISTORY.TXT (engelska)"}},
    {"Picture2",
     {"Click: map center = picture location", "Click: Kartenzentrum = Bildstandort",
      "Click: Kartcentrum = bildens plats"}},
};

const Row kPictureLabel = {
    "Label18", {"MAP CENTER = PICTURE LOCATION", "KARTENZENTRUM = BILDSTANDORT", "KARTCENTRUM = BILDENS PLATS"}};

const char* kHelpA[3] = {
    "MAPS PATH: Path for maps and picture folders M0002, M0010,... UTMPICS) By default it is ",
    "MAPS PATH: Pfad der Karten- und Bilderordner M0002, M0010,... UTMPICS) Normalerweise ist "
    "dies ",
    "MAPS PATH: Sökväg för kart- och bildmappar M0002, M0010,... UTMPICS) Normalt borde den vara "};
const char* kHelpC[3] = {
    ". The 33 indicates UTM zone 33 which is identical with the new Swedish system SWEREF99 TM. "
    "Of course you can use maps based on other UTM zones, if you have such maps. The map "
    "folders for maps based on UTM zone 8 would have to be placed in ",
    ". Die 33 bedeutet UTM Zone 33, was identisch ist mit dem neuen Schwedischen System SWEREF99 "
    "TM. Natürlich lassen sich auch Karten benutzen, die auf anderen UTM-Zonen basieren, wenn du "
    "solche Karten hast. Die Kartenordner für Karten basierend auf UTM Zone 8 müssten "
    "entsprechend in ",
    ". 33an betyder UTM zon 33, som är identisk med det nya svenska systemet SWEREF99 TM. "
    "Självklart kan du även använda kartor som baserar på andra UTM-zoner, om du har sådana "
    "kartor. Kartmappar för UTM-zon-8-kartor t.ex. hade sin plats i "};
const char* kHelpE[3] = {". Folders with coordinate data files (LOG, POI, TRK) are ruled by the same principles.",
                         " platziert werden. Ordner mit Koordinatendaten (LOG, POI, TRK) unterliegen dem gleichen "
                         "Prinzip.",
                         ". Samma principer gäller för mappar som innehållar koordinatfiler (LOG, POI, TRK)."};

void Add(ControlTexts& out, const Row& row, int language) {
  out.emplace_back(row.control, Utf8ToCp1252(row.text[language - 1]));
}

}  // namespace

int LanguageOf(int lang) {
  const int units = lang % 10;
  return units >= 1 && units <= 3 ? units : 0;
}

bool TooltipsOn(int lang) { return lang == 11 || lang == 12 || lang == 13; }

ControlTexts StartCaptions(int language) {
  ControlTexts out;
  if (language < 1 || language > 3) return out;
  for (const Row& r : kCaptions) Add(out, r, language);
  return out;
}

ControlTexts StartTooltips(int language, const TooltipChoice& c) {
  ControlTexts out;
  if (language < 1 || language > 3) return out;
  for (const Row& r : kTooltipsBefore) Add(out, r, language);
  if (c.pk232Selected) Add(out, kTooltipText3Pk232, language);
  if (c.agwRemoteSelected) Add(out, kTooltipText3Agw, language);
  if (c.pk232Selected) Add(out, kTooltipText4Pk232, language);
  if (c.agwRemoteSelected) Add(out, kTooltipText4Agw, language);
  for (const Row& r : kTooltipsAfter) Add(out, r, language);
  Add(out, kStartPlain, language);
  const InterfaceKind kind = InterfaceKindOf(c.interfaceKind);
  if (kind == InterfaceKind::Pk232) Add(out, kStartPk232, language);
  if (kind == InterfaceKind::ScsTnc) Add(out, kStartScsTnc, language);
  if (kind == InterfaceKind::ScsPtc) Add(out, kStartScsPtc, language);
  for (const Row& r : kTooltipsLast) Add(out, r, language);
  return out;
}

std::string PictureLabelCaption(int language) {
  if (language < 1 || language > 3) return kPictureLabelDesignCaption;
  return Utf8ToCp1252(kPictureLabel.text[language - 1]);
}

std::string MapsPathHelp(int language) {
  if (language < 1 || language > 3) return {};
  const int i = language - 1;
  return Utf8ToCp1252(kHelpA[i]) + "\"C:\\ZEBLON\\U33\"" + Utf8ToCp1252(kHelpC[i]) + "\"...\\U08\"" +
         Utf8ToCp1252(kHelpE[i]);
}

const std::vector<std::pair<std::string, std::string>>& LabelTooltipSources() {
  static const std::vector<std::pair<std::string, std::string>> pairs = {
      {"Label11", "Text8"}, {"Label1", "Text1"},   {"Label2", "Text2"},   {"Label7", "Text6"},
      {"Label8", "Text17"}, {"Label3", "Text3"},   {"Label4", "Text4"},   {"Label5", "Text5"},
      {"Label6", "Text7"},  {"Label13", "Text10"}, {"Label21", "Text15"}, {"Label22", "Text16"}};
  return pairs;
}

}  // namespace zeblon
