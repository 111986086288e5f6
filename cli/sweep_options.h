#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "experiment/plan.h"

namespace kestravin {

/// The sweep's command line.
struct SweepOptions {
  std::string constsPath = "consts.txt";
  std::vector<Variation> vary;
  std::int64_t runs = 10;
  std::optional<std::uint32_t> seed;  // none: from the clock
  int jobs = 0;                       // 0: one per processor core
  bool perYear = false;
  std::string outDir = "experiment";
  bool force = false;
  bool help = false;
};

/// The usage text printed by --help.
extern const char* const kSweepUsage;

/// Parses the arguments after the program name. On a bad command line (an unknown option or
/// parameter, a malformed list or range, a parameter varied twice, zero runs, more sets or
/// runs than an experiment may have) returns nullopt and sets error to a one-line message.
std::optional<SweepOptions> parseSweepOptions(const std::vector<std::string>& args,
                                              std::string& error);

}  // namespace kestravin
