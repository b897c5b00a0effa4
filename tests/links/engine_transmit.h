// What the transmit tests hand to the real packet engine: the own station at
// 59 30.12 N 018 03.45 E, and the transmit step through the engine's radio port 0
// from N0CALL-5 to APZEB via WIDE1-1,WIDE2-1.
#pragma once

#include <string>

#include "geodesy/geodesy.h"
#include "links/agw_tcp_link.h"
#include "links/own_beacon.h"
#include "links/transmit.h"
#include "reception/symbol_table.h"

namespace zeblon::links::testing {

inline BeaconSettings HomeBeacon(const std::string& comment) {
  BeaconSettings b;
  b.userCall = "N0CALL";
  double e = 0, n = 0;
  geodesy::ConvertLatLonToUtm(18.0 + 3.45 / 60, 59.0 + 30.12 / 60, 15.0, e, n, 500000.0);
  b.userNorth = n / 1000.0;
  b.userEast = e / 1000.0;
  b.symbolRow = reception::StandardSymbolTable()[reception::SymbolIndexOf('/', '-')];
  b.infoLines[0] = comment;
  b.infoActive[0] = true;
  return b;
}

// `txCall` as the user typed it (the link writes it in capitals).
inline TransmitLink EngineTransmitLink(AgwTcpLink& engine, const std::string& txCall = "N0CALL-5") {
  TransmitLink tl;
  tl.interfaceKind = 3;
  tl.engine = &engine;
  tl.txCall = txCall;
  tl.destination = "APZEB";
  tl.path = "WIDE1-1,WIDE2-1";
  // Radio port 0: "1200" would address the engine's second port, which a
  // one-channel engine has not.
  tl.radioMode = "300";
  tl.pause = [](float) {};
  return tl;
}

}  // namespace zeblon::links::testing
