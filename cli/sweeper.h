#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "experiment/peers.h"

namespace kestravin {

/// Exit statuses of the sweep; interrupted ones end with 128 + the signal's number.
inline constexpr int kSweepOk = 0;
inline constexpr int kSweepFailed = 1;  // unusable parameters, unwritable outputs, no memory
inline constexpr int kSweepUsageError = 2;

/// Runs an experiment with the arguments after the program name, on the processes of peers
/// (process 0 reads the input, writes the outputs and speaks). The seed and the closing table
/// go to out, problems to err; with showProgress a progress line is kept on err.
int runSweeper(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool showProgress, Peers& peers);

}  // namespace kestravin
