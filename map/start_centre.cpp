#include "map/start_centre.h"

#include <string>

#include "geodesy/text.h"

namespace zeblon::map {

bool EndsIn499(double value) {
  const std::string t = NumberTextUntrimmed(value);
  return t.size() >= 4 && t.compare(t.size() - 4, 4, ".499") == 0;
}

void ApplyMoniOneCentre(double& cn, double& ce, double& mn, double& me) {
  if (EndsIn499(cn) && EndsIn499(ce)) return;
  if (mn != 0) {
    cn = mn;
    ce = me;
  }
  mn = cn;
  me = ce;
}

}  // namespace zeblon::map
