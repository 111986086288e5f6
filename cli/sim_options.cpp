#include "cli/sim_options.h"

#include "cli/command_line.h"

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
    "  --help         show this text\n"
    "\n"
    "Exit status: 0 when the run ended and every output was written; 1 for a constants\n"
    "file that cannot be used, an output that cannot be written, or too little memory;\n"
    "2 for a bad command line; 130 or 143 when interrupted (SIGINT, SIGTERM), the outputs\n"
    "then ending with the last whole year.\n";

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args,
                                          std::string& error) {
  SimOptions options;
  CommandLine line(args);
  while (line.more()) {
    const auto name = line.name(error);
    if (!name) return std::nullopt;
    if (*name == "--help" || *name == "-h") {
      options.help = true;
      continue;
    }
    std::string* target = nullptr;
    if (*name == "--consts") target = &options.constsPath;
    if (*name == "--report") target = &options.reportPath;
    if (*name == "--csv") target = &options.csvPath;
    if (target == nullptr && *name != "--seed") {
      error = "unknown option '" + *name + "' (see --help)";
      return std::nullopt;
    }
    const auto value = line.value(error);
    if (!value) return std::nullopt;
    if (target != nullptr) {
      *target = *value;
      continue;
    }
    options.seed = parseSeed(*value);
    if (!options.seed) {
      error = "--seed needs a whole number from 0 to 4294967295, not '" + *value + "'";
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace kestravin
