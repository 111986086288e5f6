#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestravin {

/// Exit statuses of the simulator.
inline constexpr int kSimOk = 0;
inline constexpr int kSimFailed = 1;  // unusable input, or an output file not fully written
inline constexpr int kSimUsageError = 2;

/// Runs the simulator with the arguments after the program name. The end message and the
/// year go to out, problems to err; with showProgress a progress line is kept on err.
int runSimulator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool showProgress);

}  // namespace kestravin
