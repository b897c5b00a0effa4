#include "main_window/texts.h"

#include <set>

#include "geodesy/text.h"
#include "settings/interface_kind.h"

namespace zeblon::shell {

namespace {

struct Tri {
  const char* name;
  const char* en;
  const char* de;
  const char* sv;
};

// The source holds UTF-8; the program's texts are Windows-1252.
std::string Pick(const Tri& t, int language) {
  const char* s = language == 2 ? t.de : language == 3 ? t.sv : t.en;
  return Utf8ToCp1252(s);
}

const Tri kCaptions[] = {
    {"Frame2", "USER QTH SETUP: CENTER THE MAP TO YOUR QTH!", "USER QTH SETUP: ZENTRIERE DIE KARTE AUF DEIN QTH!",
     "USER QTH SETUP: CENTRERA KARTAN PÅ DITT QTH!"},
    {"Label14", "DELETE POINT: CLEAR TEXT  /  CREATE POINT: TYPE TEXT",
     "PUNKT LÖSCHEN: TEXT LÖSCHEN  /  PUNKT ANLEGEN: TEXT EINGEBEN",
     "TA BORT PUNKT: RADERA TEXTEN  /  SKAPA PUNKT: SKRIV TEXT"},
    {"Command67", "OPEN LINK", "LINK ÖFFNEN", "ÖPPNA LÄNKEN"},
    {"Command64", " POS->CENTER", " POS->ZENTRUM", " POS->CENTRUM"},
    {"Command22", "CANCEL", "ABBRUCH", "AVBRYT"},
    {"Frame11", "OBJECT SETUP: CENTER THE MAP TO THE OBJECT!", "OBJECT SETUP: KARTE AUF OBJEKT ZENTRIEREN!",
     "OBJECT SETUP: CENTRERA KARTAN PÅ OBJEKT!"},
    {"Command31", "DELETE OBJECT", "OBJEKT LÖSCHEN", "RADERA OBJEKT"},
    {"Command32", "CANCEL", "ABBRUCH", "AVBRYT"},
    {"fr4ta1", "ACTIVE", "AKTIV", "AKTIV"},
    {"fr4ta2", "ACTIVE", "AKTIV", "AKTIV"},
    {"fr4ta3", "ACTIVE", "AKTIV", "AKTIV"},
    {"fr4ta4", "ACTIVE", "AKTIV", "AKTIV"},
    {"fr4ta5", "ACTIVE", "AKTIV", "AKTIV"},
    {"fr4ta6", "ACTIVE", "AKTIV", "AKTIV"},
    {"Label47",
     "THIS TERMINAL WINDOW ALLOWS TO COMMUNICATE DIRECTLY WITH/VIA THE TNC. AS LONG AS IT IS HELD "
     "OPEN, ALL NORMAL PROGRAM FUNCTIONS ARE STOPPED.",
     "DIESES TERMINALFENSTER ERLAUBT DIREKTE KOMMUNIKATION MIT/ÜBER DEN TNC. SO LANGE ES GEÖFFNET "
     "IST, SIND ALLE NORMALEN PROGRAMMFUNKTIONEN GESTOPPT.",
     "DETTA FÖNSTER TILLÅTER DIREKT KOMMUNIKATION MED/VIA TNCn. SÅ LÄNGE DET HÅLLS ÖPPET, ÄR ALLA "
     "NORMALA PROGRAMFUNKTIONER STOPPADE."},
};

// Fixed tooltips; a name of "" marks where a state-built entry goes (the `en` field
// then names it).
const Tri kTips[] = {
    {"Command72", "Background map: normal-dark-bright / Rclick: Show palette (16-inks)",
     "Hintergrundkarte: normal-dunkel-hell / Rclick: Palette zeigen (16 Farben)",
     "Bakgrundskarta: normal-mörk-ljus / Rclick: Visa paletten (16 färger)"},
    {"Command42", "Hide/show palette", "Palette verbergen/zeigen", "Dölj/visa paletten"},
    {"", "Optionink", nullptr, nullptr},
    {"Command43", "Reset and close palette", "Palette zurücksetzen und schließen", "Återställ och stäng paletten"},
    {"Option1", "Recenters map to USER QTH / Rclick: USER QTH SETUP",
     "Zentriert Karte auf USER QTH / Rclick: USER QTH SETUP", "Centrerar kartan på USER QTH / Rclick: USER QTH SETUP"},
    {"Option2", "Recenters map to MONI 1 QTH", "Zentriert Karte auf MONI 1 QTH", "Centrerar kartan på MONI 1 QTH"},
    {"Command1", "Zooming out to the next scale level", "Herauszoomen zur nächsten Maßstabsstufe",
     "Zooma ut till nästa skalnivå"},
    {"Command7", "Zooming out factor 2", "Herauszoomen Faktor 2", "Zooma ut faktor 2"},
    {"Command9", "Original map size", "Originale Kartengröße", "Ursprunglig kartstorlek"},
    {"Command8", "Zooming in factor 2", "Hineinzoomen Faktor 2", "Zooma in faktor 2"},
    {"Command2", "Zooming in to the next scale level", "Hineinzoomen zur nächsten Maßstabsstufe",
     "Zooma in till nästa skalnivå"},
    {"Check14", "Show GPS tracking data from selected file / Rclick: Scrolling file selection",
     "GPS-Trackdaten der gewählten Datei zeigen / Rclick: Blätternde Dateiauswahl",
     "Visa GPS-spårdata från vald fil / Rclick: Bläddrande filval"},
    {"Combo1", "TRK file name", "TRK-Dateiname", "TRK-filnamn"},
    {"Frame10", "Center map to end of TRK", "Karte auf Ende des TRK zentrieren", "Centrera kartan på slutet av TRK"},
    {"Command68", "Select previous TRK file", "Vorherige TRK-Datei wählen", "Välj föregående TRK-fil"},
    {"Command69", "Select next TRK file", "Nächste TRK-Datei wählen", "Välj nästa TRK-fil"},
    {"Command73", "POIs: 0 / points / points + text", "POIs: 0 / Punkte / Punkte + Text",
     "POI: 0 / punkter / punkter + text"},
    {"Combo2", "POI file name / Rclick: Create new file", "POI-Dateiname / Rclick: Neue Datei anlegen",
     "POI-filnamn / Rclick: Skapa ny fil"},
    {"Label1", "Shows map center coordinates / Lclick switches different coordinate systems",
     "Zeigt Koordinaten der Kartenmitte / Lclick wechselt Koordinatensysteme",
     "Visar kartmittens koordinater / Lclick växlar koordinatsystem"},
    {"Label2", "Shows map center coordinates / Lclick switches different coordinate systems",
     "Zeigt Koordinaten der Kartenmitte / Lclick wechselt Koordinatensysteme",
     "Visar kartmittens koordinater / Lclick växlar koordinatsystem"},
    {"Label3", "Shows cursor coordinates / Lclick switches different coordinate systems",
     "Zeigt Cursor-Koordinaten / Lclick wechselt Koordinatensysteme",
     "Visar markörens koordinater / Lclick växlar koordinatsystem"},
    {"Label4", "Shows cursor coordinates / Lclick switches different coordinate systems",
     "Zeigt Cursor-Koordinaten / Lclick wechselt Koordinatensysteme",
     "Visar markörens koordinater / Lclick växlar koordinatsystem"},
    {"Check4", "Show coordiate grid on map", "Koordinatengitter auf Karte zeigen", "Visa koordinatnät på kartan"},
    {"Check9", "Show distance circles and Fopt(MHz) on map / Rclick: Updating of ionospherical data",
     "Entfernungskreise und Fopt(MHz) auf Karte zeigen / Rclick: Aktualisierung ionosphärischer Daten",
     "Visa avståndscirklar och Fopt(MHz) på kartan / Rclick: Uppdatering av jonosfäriska data"},
    {"Frame18", "Input of ionospherical data", "Eingabe ionosphärischer Daten", "Input av jonosfäriska data"},
    {"Check12", "Show locations of coordinate-referred pictures/videos",
     "Orte koordinatenbezogener Bilder/Videos zeigen", "Visa platser för koordinatbundna bilder/videor"},
    {"Check1", "Tone when MONI 1 QTH or CHAT TO ME received", "Ton bei Empfang von MONI 1 QTH oder CHAT TO ME",
     "Ton när MONI 1 QTH eller CHAT TO ME tas emot"},
    {"Check6", "TX interval / Activate TX / Rclick: TX SETUP", "TX-Intervall / TX aktivieren / Rclick: TX SETUP",
     "TX-intervall / Aktivera TX / Rclick: TX SETUP"},
    {"Check18", "Activate OBJECT TX (if TX is active) / Rclick: OBJECT SETUP",
     "OBJECT TX aktivieren (wenn TX aktiv ist) / Rclick: OBJECT SETUP",
     "Aktivera OBJECT TX (om TX är aktiv) / Rclick: OBJECT SETUP"},
    {"Check7", "Open CHAT window", "CHAT-Fenster öffnen", "Öppna CHAT-fönstret"},
    {"Frame3", "CHAT window", "CHAT-Fenster", "CHAT-fönster"},
    {"Check8", "Show messages from/to me only", "Nur Nachrichten von/an mich zeigen",
     "Visa endast meddelanden från/till mig"},
    {"Command24", "Show saved messages", "Gespeicherte Nachrichten zeigen", "Visa sparade meddelanden"},
    {"Command25", "Delete saved messages", "Gespeicherte Nachrichten löschen", "Radera sparade meddelanden"},
    {"Text5", "Dclick/mark callsign for CHAT TO and INFO line",
     "Dclick/markieren: Rufzeichen für CHAT TO und INFO-Zeile",
     "Dclick/markera anropssignal för CHAT TO och INFO-raden"},
    {"Text1(0)", "Dclick/mark callsign for CHAT TO and INFO line",
     "Dclick/markieren: Rufzeichen für CHAT TO und INFO-Zeile",
     "Dclick/markera anropssignal för CHAT TO och INFO-raden"},
    {"Check16", "Activates automatic answer function", "Aktiviert die automatische Antwortfunktion",
     "Aktiverar funktionen för automatiskt svar"},
    {"Text2", "CHAT message to (callsign)", "CHAT-Nachricht an (Rufzeichen)", "CHAT-meddelande till (anropssignal)"},
    {"", "Text3", nullptr, nullptr},
    {"Command16", "MONI 1 DISPLAY LEVEL", "MONI 1 ANZEIGESTUFE", "MONI 1 VISNINGSNIVÅ"},
    {"Combo9", "MONI 1 callsign (finish input with ENTER)", "MONI 1 Rufzeichen (Eingabe mit ENTER beenden)",
     "MONI 1 anropssignal (avsluta inmatningen med ENTER)"},
    {"Label6", "MONI 1 number of stored positions / Rclick: Show INFO",
     "MONI 1 Anzahl gespeicherter Positionen / Rclick: INFO zeigen",
     "MONI 1 antal lagrade positioner / Rclick: Visa INFO"},
    {"Label9", "Date and time of latest MONI 1 reception / Rclick: Show INFO",
     "Datum und Zeit des letzten MONI 1 Empfangs / Rclick: INFO zeigen",
     "Datum och tid för senaste MONI 1 mottagning / Rclick: Visa INFO"},
    {"Label7", "Shows MONI 1 coordinates / Lclick switches different coordinate systems / Rclick: Show INFO",
     "Zeigt MONI 1 Koordinaten / Lclick wechselt Koordinatensysteme / Rclick: INFO zeigen",
     "Visar MONI 1 koordinater / Lclick växlar koordinatsystem / Rclick: Visa INFO"},
    {"Label8", "Shows MONI 1 coordinates / Lclick switches different coordinate systems / Rclick: Show INFO",
     "Zeigt MONI 1 Koordinaten / Lclick wechselt Koordinatensysteme / Rclick: INFO zeigen",
     "Visar MONI 1 koordinater / Lclick växlar koordinatsystem / Rclick: Visa INFO"},
    {"Label10", "MONI 1 latest TEXT / Rclick: Show INFO", "MONI 1 letzter TEXT / Rclick: INFO zeigen",
     "MONI 1 senaste TEXT / Rclick: Visa INFO"},
    {"Label11", "MONI 1 distance direction speed digipeater / Rclick: Show INFO",
     "MONI 1 Entfernung Richtung Geschwindigkeit Digipeater / Rclick: INFO zeigen",
     "MONI 1 avstånd riktning hastighet digipeater / Rclick: Visa INFO"},
    {"Label17", "MONI 1 DISPLAY LEVEL", "MONI 1 ANZEIGESTUFE", "MONI 1 VISNINGSNIVÅ"},
    {"Command17", "MONI 1 DISPLAY LEVEL", "MONI 1 ANZEIGESTUFE", "MONI 1 VISNINGSNIVÅ"},
    {"", "Check22", nullptr, nullptr},
    {"Command13", "MONI ALL DISPLAY LEVEL / WX on map", "MONI ALL ANZEIGESTUFE / WX auf Karte",
     "MONI ALL VISNINGSNIVÅ / WX på kartan"},
    {"Label16", "MONI ALL DISPLAY LEVEL / WX on map", "MONI ALL ANZEIGESTUFE / WX auf Karte",
     "MONI ALL VISNINGSNIVÅ / WX på kartan"},
    {"Check10", "Show digi stations", "Digi-Stationen zeigen", "Visa digi-stationer"},
    {"Check11", "Show fix stations", "Feste Stationen zeigen", "Visa fasta stationer"},
    {"Check13", "Mobile stations:  do not show - show - show moving only",
     "Mobile Stationen:  nicht zeigen - zeigen - nur bewegte zeigen",
     "Mobila stationer:  visa inte - visa - visa endast rörliga"},
    {"Check19", "Show objects and items", "Objekte und Items zeigen", "Visa objekt och items"},
    {"Check25", "Show WX stations", "WX-Stationen zeigen", "Visa WX-stationer"},
    {"", "Check20", nullptr, nullptr},
    {"Check27", "Internet scan of all MONI 1 -stations 0/1", "Internet-Scan aller MONI 1 -Stationen 0/1",
     "Internet-skanning av alla MONI 1 -stationer 0/1"},
    {"", "Check21", nullptr, nullptr},
    {"Command14", "MONI ALL DISPLAY LEVEL / WX on map", "MONI ALL ANZEIGESTUFE / WX auf Karte",
     "MONI ALL VISNINGSNIVÅ / WX på kartan"},
    {"Command3", "Clear MONI ALL", "MONI ALL löschen", "Rensa MONI ALL"},
    {"Check3", "Show RAW Packet RX window", "RAW Packet RX-Fenster zeigen", "Visa RAW Packet RX-fönstret"},
    {"Frame1", "Further INFO about received stations", "Weitere INFO über empfangene Stationen",
     "Ytterligare INFO om mottagna stationer"},
    {"Command10", "Close INFO", "INFO schließen", "Stäng INFO"},
    {"Command41", "Send PING (?APRST) to this station", "PING (?APRST) an diese Station senden",
     "Skicka PING (?APRST) till denna station"},
    {"Command11", "Set this station as MONI 1", "Diese Station als MONI 1 setzen", "Sätt denna station som MONI 1"},
    {"Command12", "Lclick: Tie map to LIST / Rclick: Change scale",
     "Lclick: Karte an LISTE binden / Rclick: Maßstab wechseln", "Lclick: Knyt kartan till LISTAN / Rclick: Byt skala"},
    {"Command40", "Show in RAW Packet RX window", "Im RAW Packet RX-Fenster zeigen", "Visa i RAW Packet RX-fönstret"},
    {"Command23", "Prepare CHAT with this station", "CHAT mit dieser Station vorbereiten",
     "Förbered CHAT med denna station"},
    {"", "Command18", nullptr, nullptr},
    {"Command36", "To MONI 1 / MONI ALL list start (same callsign)",
     "Zum Anfang der MONI 1 / MONI ALL Liste (gleiches Rufzeichen)",
     "Till början av MONI 1 / MONI ALL listan (samma anropssignal)"},
    {"Command5", "Searches MONI 1 / MONI ALL list back (same callsign)",
     "Sucht in MONI 1 / MONI ALL Liste rückwärts (gleiches Rufzeichen)",
     "Söker bakåt i MONI 1 / MONI ALL listan (samma anropssignal)"},
    {"Command6", "Searches MONI 1 / MONI ALL list forward (same callsign)",
     "Sucht in MONI 1 / MONI ALL Liste vorwärts (gleiches Rufzeichen)",
     "Söker framåt i MONI 1 / MONI ALL listan (samma anropssignal)"},
    {"Command37", "To MONI 1 / MONI ALL list end (same callsign)",
     "Zum Ende der MONI 1 / MONI ALL Liste (gleiches Rufzeichen)",
     "Till slutet av MONI 1 / MONI ALL listan (samma anropssignal)"},
    {"Combo3", "M5000 scale and map type selection", "M5000 Maßstab- und Kartentypauswahl",
     "M5000 val av skala och karttyp"},
    {"Combo4", "M1000 scale and map type selection", "M1000 Maßstab- und Kartentypauswahl",
     "M1000 val av skala och karttyp"},
    {"Combo5", "M0200 scale and map type selection", "M0200 Maßstab- und Kartentypauswahl",
     "M0200 val av skala och karttyp"},
    {"Combo6", "M0050 scale and map type selection", "M0050 Maßstab- und Kartentypauswahl",
     "M0050 val av skala och karttyp"},
    {"Combo7", "M0010 scale and map type selection", "M0010 Maßstab- und Kartentypauswahl",
     "M0010 val av skala och karttyp"},
    {"Combo8", "M0002 scale and map type selection", "M0002 Maßstab- und Kartentypauswahl",
     "M0002 val av skala och karttyp"},
    {"", "Check26", nullptr, nullptr},
    {"", "Label5", nullptr, nullptr},
    {"", "List1", nullptr, nullptr},
    {"Frame15", "WX INFO", "WX INFO", "WX INFO"},
    {"Command15", "Close WX INFO", "WX INFO schließen", "Stäng WX INFO"},
    {"Picture2", "WX visualization", "WX-Darstellung", "WX-visualisering"},
    {"Label29", "Wind direction", "Windrichtung", "Vindriktning"},
    {"Label30", "Wind speed", "Windgeschwindigkeit", "Vindhastighet"},
    {"Label31", "Gust speed", "Böengeschwindigkeit", "Byvindshastighet"},
    {"Label32", "Temperature", "Temperatur", "Temperatur"},
    {"Label33", "Rain (today)", "Regen (heute)", "Regn (idag)"},
    {"Label34", "Rain (1 hour)", "Regen (1 Stunde)", "Regn (1 timme)"},
    {"Label35", "Rain (24 hours)", "Regen (24 Stunden)", "Regn (24 timmar)"},
    {"Label36", "Humidity", "Luftfeuchtigkeit", "Luftfuktighet"},
    {"Label37", "Pressure", "Luftdruck", "Lufttryck"},
    {"Label38", "Remark", "Bemerkung", "Anmärkning"},
    {"Command27", "Close CHAT window", "CHAT-Fenster schließen", "Stäng CHAT-fönstret"},
    {"Frame7", "SAVED MESSAGES window", "Fenster SAVED MESSAGES", "Fönstret SAVED MESSAGES"},
    {"Command28", "Close SAVED MESSAGES window", "Fenster SAVED MESSAGES schließen", "Stäng fönstret SAVED MESSAGES"},
    {"", "Picture1", nullptr, nullptr},
    {"Frame8", "Picture number", "Bildnummer", "Bildnummer"},
    {"Command29", "Back", "Zurück", "Bakåt"},
    {"Command30", "Forward", "Vorwärts", "Framåt"},
    {"Command70", "Start", "Anfang", "Början"},
    {"Command71", "Close and center the map at this position", "Schließen und Karte auf diese Position zentrieren",
     "Stäng och centrera kartan på denna position"},
    {"Label26", "MONI ALL memory size", "MONI ALL Speichergröße", "MONI ALL minnesstorlek"},
    {"Label27", "MONI 1 logfile size", "MONI 1 Logdateigröße", "MONI 1 loggfilens storlek"},
    {"Command39", "Close EMERGENCY window for 30 seconds", "EMERGENCY-Fenster für 30 Sekunden schließen",
     "Stäng EMERGENCY-fönstret i 30 sekunder"},
    {"Text11", "Station, date and time", "Station, Datum und Zeit", "Station, datum och tid"},
    {"Text12", "File for emergency messages", "Datei für Notfallmeldungen", "Fil för nödmeddelanden"},
    {"", "Text13", nullptr, nullptr},
    {"Text14", "Position in geographic coordinates", "Position in geographischen Koordinaten",
     "Position i geografiska koordinater"},
    {"Command38", "Center map at these coordinates", "Karte auf diese Koordinaten zentrieren",
     "Centrera kartan på dessa koordinater"},
    {"Text15", "Emergency info text", "Notfall-Infotext", "Nödinfotext"},
    {"Check23", "MONI ALL (map center, positions only!) internet support 0/1",
     "MONI ALL (Kartenmitte, nur Positionen!) Internet-Unterstützung 0/1",
     "MONI ALL (kartmitten, endast positioner!) internet-stöd 0/1"},
    {"Check24", "Show MONI ALL DIRECT RX only", "Nur MONI ALL DIREKT-Empfang zeigen",
     "Visa endast MONI ALL DIREKT-mottagning"},
    {"Command57", "Start README file: [F1], LClick", "README-File starten: [F1], LClick",
     "Starta README-filen: [F1], LClick"},
    {"Command65", "Open the terminal window: [F2], LClick", "Terminalfenster öffnen: [F2], LClick",
     "Öppna terminal-fönstret: [F2], LClick"},
    {"Command59", "Save map window to file: [F3], LClick", "Kartenfenster als Datei speichern: [F3], LClick",
     "Spara kartfönstret som fil: [F3], LClick"},
    {"", "Command58", nullptr, nullptr},
};

std::string Lang(int language, const char* en, const char* de, const char* sv) {
  return Pick(Tri{"", en, de, sv}, language);
}

std::string ReplaceWord(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

void Built(const std::string& which, int lang, const TextState& st, NamedTexts& out) {
  if (which == "Optionink") {
    const std::string t =
        Lang(lang, "Chose ink to be yellow-marked", "Farbe für Gelbmarkierung wählen", "Välj en färg för gulmarkering");
    for (int i = 0; i <= 15; ++i) out.emplace_back("Optionink(" + std::to_string(i) + ")", t);
  } else if (which == "Text3") {
    if (st.check16Value == 1) {
      out.emplace_back("Text3",
                       Lang(lang, "Automatic answer text", "Automatischer Antworttext", "Automatisk svartext"));
    } else {
      out.emplace_back("Text3", Lang(lang, "Type CHAT message text, finish with 'ENTER'",
                                     "CHAT-Nachricht hier schreiben, beenden mit 'ENTER'",
                                     "Skriv CHAT-meddelandets text här, avsluta med 'ENTER'"));
    }
  } else if (which == "Check22") {
    out.emplace_back("Check22", Lang(lang, "MONI 1 internet support 0/1 / Rclick: Source 1=",
                                     "MONI 1 Internet-Unterstützung 0/1 / Rclick: Quelle 1=",
                                     "MONI 1 internet-stöd 0/1 / Rclick: Källa 1=") +
                                    kRawPacketSource1Name + " / 2=" + kRawPacketSource2Name);
  } else if (which == "Check20" || which == "Check21") {
    const std::string prefix = which == "Check20" ? "MONI 1  <" : "MONI ALL  <";
    out.emplace_back(which, prefix + NumberTextUntrimmed(st.alarmDistanceKm) +
                                Lang(lang, " km  ALARM / Rclick: Alarm Distance Setup",
                                     " km  ALARM / Rclick: Alarm-Distanz Einstellung",
                                     " km  ALARM / Rclick: Alarm-distans inställning"));
  } else if (which == "Command18") {
    if (st.label19Caption == "QTH=") {
      out.emplace_back("Command18",
                       Lang(lang, "Searches list back for same QTH", "Sucht in Liste rückwärts nach gleichem QTH",
                            "Söker tillbaka i listan efter samma QTH"));
      out.emplace_back("Command19",
                       Lang(lang, "Searches list forward for same QTH", "Sucht in Liste vorwärts nach gleichem QTH",
                            "Söker framåt i listan efter samma QTH"));
    } else if (st.label19Caption == "DELETE") {
      out.emplace_back("Command18", Lang(lang, "Deletes all older positions", "Alle älteren Einträge löschen",
                                         "Radera alla äldre positioner"));
      out.emplace_back("Command19", Lang(lang, "Deletes all newer positions", "Alle neueren Einträge löschen",
                                         "Radera alla nyare positioner"));
    }
  } else if (which == "Check26") {
    for (int i = 0; i <= 5; ++i) {
      const std::string& t = st.comboTexts[i];
      std::string tip = lang == 2   ? t + "-Kartenraster zeigen"
                        : lang == 3 ? "Visa " + t + "-kartraster"
                                    : "Show " + t + " maps grid";
      out.emplace_back("Check26(" + std::to_string(i) + ")", tip);
    }
  } else if (which == "Label5") {
    std::string t =
        Lang(lang, "Date / time / coordinates / callsign / text / digi / symbol sign / symbol name / WX INFO",
             "Datum / Zeit / Koordinaten / Rufzeichen / Text / Digi / Symbolzeichen  / Symbolname / WX-INFO",
             "Datum / tid / koordinater / anropssignal / infotext / digi / symboltecken / symbolnamn / WX-INFO");
    if (InterfaceKindOf(st.interfaceKind) != InterfaceKind::NoRadio) t += "  //  Lclick: RE-TX STN-POS";
    out.emplace_back("Label5", t);
  } else if (which == "List1") {
    std::string t;
    const bool scs_tnc = InterfaceKindOf(st.interfaceKind) == InterfaceKind::ScsTnc;
    if (scs_tnc && st.radioMode == "300R") {
      t = Lang(lang, "RAW Packet RX text / Select: Show NFO // Rhold: Temporary FSK 300",
               "RAW Packet RX-Text / Auswählen: INFO zeigen // Rhold: Vorübergehend FSK 300",
               "Mottagen RAW Packet text / Välja: Visa INFO // Rhold: Tillfälligt FSK 300");
    } else if (scs_tnc && st.radioMode == "300") {
      t = Lang(lang, "RAW Packet RX text / Select: Show NFO // Rhold: Temporary RPR 300",
               "RAW Packet RX-Text / Auswählen: INFO zeigen // Rhold: Vorübergehend RPR 300",
               "Mottagen RAW Packet text / Välja: Visa INFO // Rhold: Tillfälligt RPR 300");
    } else {
      t = Lang(lang, "RAW Packet RX text / Select: Show NFO", "RAW Packet RX-Text / Auswählen: INFO zeigen",
               "Mottagen RAW Packet text / Välja: Visa INFO");
    }
    out.emplace_back("List1", t);
  } else if (which == "Picture1") {
    const std::string tag =
        st.mapBaseFolder.size() >= 5 ? st.mapBaseFolder.substr(st.mapBaseFolder.size() - 5) : st.mapBaseFolder;
    out.emplace_back("Picture1", Lang(lang, "Lclick: Center map / Rclick: Access to POI, TRK, PIC, STN, SUN, ",
                                      "Lclick: Zentriere Karte / Rclick: Zugriff auf POI, TRK, PIC, STN, SUN, ",
                                      "Lclick: Centrera kartan / Rclick: Accessa POI, TRK, PIC, STN, SUN, ") +
                                     tag);
  } else if (which == "Text13") {
    out.emplace_back("Text13", Lang(lang, "Position in UTM (ZONE", "Position in UTM (ZONE", "Position in UTM (ZON") +
                                   st.mapZoneText + ")");
  } else if (which == "Command58") {
    const std::string en =
        "ZEBLON -> GE: [F4] or LClick   ZEBLON <- GE: [F5] or RClick   ZEBLON -> (S): [F6]   "
        "ZEBLON -> (N): [F7]   ZEBLON -> (FIN): [F8]   ZEBLON -> GM: [F9]   ZEBLON <- GM: [F10]";
    out.emplace_back("Command58", lang == 2   ? ReplaceWord(en, " or ", " oder ")
                                  : lang == 3 ? ReplaceWord(en, " or ", " eller ")
                                              : en);
  }
}

}  // namespace

int CaptionLanguage(int setting) {
  const int r = setting % 10;  // the remainder takes the sign of the value
  return (r >= 1 && r <= 3) ? r : 0;
}

TooltipAction TooltipActionFor(int setting) {
  if (setting / 10 == 0) return TooltipAction::Clear;
  if (setting >= 11 && setting <= 13) return TooltipAction::Fill;
  return TooltipAction::Keep;
}

NamedTexts Captions(int language) {
  NamedTexts out;
  for (const Tri& t : kCaptions) out.emplace_back(t.name, Pick(t, language));
  return out;
}

NamedTexts Tooltips(int language, const TextState& state) {
  NamedTexts out;
  for (const Tri& t : kTips) {
    if (t.name[0] == '\0') {
      Built(t.en, language, state, out);
    } else {
      out.emplace_back(t.name, Pick(t, language));
    }
  }
  return out;
}

std::vector<std::string> TooltipTargets() {
  TextState both_modes;
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const auto& [name, text] : Tooltips(1, both_modes)) {
    if (seen.insert(name).second) names.push_back(name);
  }
  for (int i = 1; i <= 7; ++i) names.push_back("Text1(" + std::to_string(i) + ")");
  return names;
}

std::vector<std::pair<std::string, std::string>> DerivedTooltips() {
  std::vector<std::pair<std::string, std::string>> d;
  for (int i = 1; i <= 7; ++i) d.emplace_back("Text1(" + std::to_string(i) + ")", "Text1(0)");
  for (const char* n : {"Label46", "Label44", "Text17", "Text18", "Command60"}) d.emplace_back(n, "Frame18");
  return d;
}

}  // namespace zeblon::shell
