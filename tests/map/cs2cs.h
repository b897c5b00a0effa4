// PROJ's cs2cs as a reference: a batch of coordinate pairs through one run.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zeblon::map::test {

// Runs `cs2cs -f %.9f <args...>` over the pairs (one "a b" line each) and
// returns the first two numbers of every output line. An empty result when
// cs2cs cannot run, fails or takes more than 30 seconds.
std::vector<std::pair<double, double>> RunCs2cs(const std::vector<std::string>& args,
                                                const std::vector<std::pair<double, double>>& input);

}  // namespace zeblon::map::test
