#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestravin {

/// The simulator's command line.
struct SimOptions {
  std::string constsPath = "consts.txt";
  std::optional<std::uint32_t> seed;
  std::string reportPath;  // empty: no report
  std::string csvPath;     // empty: no CSV
  bool help = false;
};

/// The usage text printed by --help.
extern const char* const kSimUsage;

/// Parses the arguments after the program name. On a bad command line returns nullopt and
/// sets error to a one-line message.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace kestravin
