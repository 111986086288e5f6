#include "cli/sim_options.h"

#include <limits>

namespace kestravin {

const char* const kSimUsage =
    "usage: kestravin-sim [--consts FILE] [--seed N] [--report FILE] [--csv FILE]\n"
    "\n"
    "Runs one simulation from a constants file until it ends, then prints how it ended\n"
    "and the year.\n"
    "\n"
    "  --consts FILE  the constants file (default: consts.txt in the working directory)\n"
    "  --seed N       seed the generator with N (0..4294967295) instead of the clock,\n"
    "                 so that the run can be repeated exactly\n"
    "  --report FILE  write the yearly report to FILE\n"
    "  --csv FILE     write the history of the run to FILE as CSV\n"
    "  --help         show this text\n";

namespace {

std::optional<std::uint32_t> parseSeed(const std::string& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
  SimOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    std::string* target = nullptr;
    if (arg == "--consts") target = &options.constsPath;
    if (arg == "--report") target = &options.reportPath;
    if (arg == "--csv") target = &options.csvPath;
    const bool isSeed = arg == "--seed";
    if (target == nullptr && !isSeed) {
      error = "unknown option '" + arg + "' (see --help)";
      return std::nullopt;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      error = "option " + arg + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (isSeed) {
      options.seed = parseSeed(value);
      if (!options.seed) {
        error = "--seed needs a whole number from 0 to 4294967295, not '" + value + "'";
        return std::nullopt;
      }
    } else {
      *target = value;
    }
  }
  return options;
}

}  // namespace kestravin
