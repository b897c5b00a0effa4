#include "internet/ionosphere.h"

#include <cmath>

#include "geodesy/text.h"
#include "reception/aprs_decode.h"

namespace zeblon::internet {

double CombinedKIndex(double threeHour, double current) {
  const double tenfold = RoundHalfEven((threeHour + current) * 10.0);
  if (!std::isfinite(tenfold)) return 0;
  return std::trunc(tenfold / 2.0) / 10.0;
}

bool ApplyManualIonoInput(std::string_view sunspotBox, std::string_view kIndexBox, IonoState& st) {
  if (st.autoUpdate) return false;
  st.sunspotNumber = LeadingNumber(sunspotBox);
  st.kIndex = LeadingNumber(kIndexBox);
  return true;
}

std::string InetValueText(double value) { return NumberText(value) + " (INET)"; }

IonoOutcome ParseMagnetogramPage(std::string_view page, IonoState& st, std::string_view clock) {
  IonoOutcome out;
  st.sunspotPending = true;
  st.kIndexPending = true;
  const auto fail = [&] {
    st.status = "UPDATE FAILED";
    out.requestBulletin = true;
    return out;
  };
  if (page.size() <= 300) return fail();
  const std::string text = reception::UpperCase(page);
  const std::size_t p = text.find("KIEL 3-HOUR K");
  if (p == std::string::npos) return fail();
  const double h = LeadingNumber(std::string_view(text).substr(std::min(text.size(), p + 14)));
  const std::size_t q = text.find("KIEL CURRENT K");
  if (q == std::string::npos) return fail();
  const double c = LeadingNumber(std::string_view(text).substr(std::min(text.size(), q + 14)));
  st.kIndex = CombinedKIndex(h, c);
  st.kIndexPending = false;
  out.kIndexTaken = true;
  ++out.settingsWrites;
  const std::size_t s = text.find("SUNSPOT NUMBER");
  if (s == std::string::npos) return fail();
  st.sunspotNumber = LeadingNumber(std::string_view(text).substr(std::min(text.size(), s + 14)));
  st.sunspotPending = false;
  out.sunspotTaken = true;
  st.status = " UPDATED (1) " + std::string(clock);
  ++out.settingsWrites;
  return out;
}

IonoOutcome ParseSpaceWeatherBulletin(std::string_view page, IonoState& st, std::string_view clock) {
  IonoOutcome out;
  const auto fail = [&] {
    st.status = "UPDATE FAILED";
    return out;
  };
  if (page.size() <= 300) return fail();
  const std::size_t p = page.find(" SSN ");
  if (p == std::string_view::npos) return fail();
  if (st.sunspotPending) {
    st.sunspotNumber = LeadingNumber(page.substr(p + 4, 4));
    out.sunspotTaken = true;
    if (!st.kIndexPending) {
      st.status = " UPDATED (M) " + std::string(clock);
      ++out.settingsWrites;
      return out;
    }
  }
  const std::size_t q = page.find(" Planetary ");
  if (q == std::string_view::npos) return fail();
  const std::string_view r = page.substr(q);
  const std::size_t cr = r.find('\r');
  if (cr == std::string_view::npos || cr < 2) return fail();
  if (st.kIndexPending) {
    st.kIndex = LeadingNumber(r.substr(cr - 2));
    out.kIndexTaken = true;
    st.status = " UPDATED (2) " + std::string(clock);
    ++out.settingsWrites;
  }
  return out;
}

}  // namespace zeblon::internet
