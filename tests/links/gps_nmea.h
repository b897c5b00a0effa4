// NMEA sentences for the GPS tests: a body gets "$", its checksum and CR LF.
#pragma once

#include <cstdio>
#include <string>

namespace zeblon::links::testing {

inline std::string Checksum(const std::string& body) {
  unsigned char x = 0;
  for (unsigned char c : body) x ^= c;
  char hex[4];
  std::snprintf(hex, sizeof hex, "%02X", x);
  return hex;
}

// "$" body "*hh" CR LF.
inline std::string Nmea(const std::string& body) { return "$" + body + "*" + Checksum(body) + "\r\n"; }

// The same with a wrong checksum.
inline std::string NmeaBadChecksum(const std::string& body) {
  std::string c = Checksum(body);
  c[1] = c[1] == '0' ? '1' : '0';
  return "$" + body + "*" + c + "\r\n";
}

}  // namespace zeblon::links::testing
