// Reference programs for the map computations: PROJ's cs2cs and Python's ephem.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zeblon::map::test {

// Runs a program (looked up on the PATH) with `input` as its standard input and
// returns its standard output; nothing when it cannot start, fails or takes
// more than 30 seconds (it is then killed).
std::optional<std::string> RunProgram(const std::vector<std::string>& argv, const std::string& input);

// Runs `cs2cs -f %.9f <args...>` over the pairs (one "a b" line each) and
// returns the first two numbers of every output line. An empty result when
// cs2cs cannot run or fails.
std::vector<std::pair<double, double>> RunCs2cs(const std::vector<std::string>& args,
                                                const std::vector<std::pair<double, double>>& input);

}  // namespace zeblon::map::test
