#include "cli/sweep_options.h"

#include <set>

#include "cli/command_line.h"

namespace kestravin {

const char* const kSweepUsage =
    "usage: kestravin-sweep [--consts FILE] [--vary NAME=VALUES]... [--runs N] [--seed S]\n"
    "                       [--jobs J] [--per-year] [--out DIR] [--force]\n"
    "\n"
    "Runs an experiment: many runs of each parameter set, with their statistics and plots.\n"
    "\n"
    "  --consts FILE       the base parameters (default: consts.txt)\n"
    "  --vary NAME=VALUES  one parameter over a list or range: mutation=0,5,10,20,\n"
    "                      maxPop=100:1000:100 (first:last:step, last included),\n"
    "                      fitString=HELLO,evolutionworks. NAME is one of mutation,\n"
    "                      mutationDiv, teamSize, ageStart, ageDeath, ageDeathDiv, fitDeath,\n"
    "                      fitDeathDiv, birthChance, birthChanceDiv, maxGen, startYear,\n"
    "                      maxPop, fitString. Several --vary make every combination; each\n"
    "                      is a parameter set, numbered from 0, the first --vary changing\n"
    "                      slowest. At most 1000 sets.\n"
    "  --runs N            runs of each set (default 10; at most 10,000,000 runs in all)\n"
    "  --seed S            run k (from 0: set 0's runs, then set 1's, ...) is seeded with\n"
    "                      S + k modulo 2^32 (default S: the clock, printed)\n"
    "  --jobs J            worker threads (default: one per core); with MPI, per process\n"
    "  --per-year          also write years.csv and fitness.svg: per set and year the mean\n"
    "                      and quartiles of the yearly statistics\n"
    "  --out DIR           the output folder (default: experiment)\n"
    "  --force             write into a folder that already holds files (the outputs of an\n"
    "                      earlier experiment there are replaced)\n"
    "  --help              show this text\n"
    "\n"
    "Writes into DIR: runs.csv (one row per run), summary.csv (one row per set),\n"
    "years-to-perfect.svg, with --per-year years.csv and fitness.svg, and sets/set-N.txt, the\n"
    "constants file of set N. Any run can be replayed alone:\n"
    "  kestravin-sim --consts DIR/sets/set-N.txt --seed SEED\n"
    "with the set and seed of its row in runs.csv.\n"
    "\n"
    "Under MPI (mpirun -np P kestravin-sweep ..., or srun) the runs are spread over the\n"
    "processes; process 0 writes the outputs, the same as on one machine.\n"
    "\n"
    "Exit status: 0 when every run was made and every output written; 1 for parameters that\n"
    "cannot be used (every problem listed, with its set), an output that cannot be written,\n"
    "or too little memory; 2 for a bad command line or an output folder that holds files\n"
    "(without --force); 130 or 143 when interrupted (SIGINT, SIGTERM): the finished runs are\n"
    "written and the summary is marked interrupted.\n";

namespace {

bool setCount(const std::vector<Variation>& vary, std::int64_t& count) {
  count = 1;
  for (const Variation& v : vary) {
    count *= static_cast<std::int64_t>(v.values.size());
    if (count > kMaxSets) return false;
  }
  return true;
}

}  // namespace

std::optional<SweepOptions> parseSweepOptions(const std::vector<std::string>& args,
                                              std::string& error) {
  SweepOptions options;
  CommandLine line(args);
  std::set<std::string> seen;  // only --vary may repeat
  while (line.more()) {
    const auto name = line.name(error, true);
    if (!name) return std::nullopt;
    const bool repeatable = *name == "--vary";
    if (!repeatable && !seen.insert(*name).second) {
      error = "option " + *name + " is given twice";
      return std::nullopt;
    }
    if (*name == "--help" || *name == "-h") {
      options.help = true;
      continue;
    }
    if (*name == "--per-year" || *name == "--force") {
      (*name == "--force" ? options.force : options.perYear) = true;
      continue;
    }
    const bool known = repeatable || *name == "--consts" || *name == "--runs" ||
                       *name == "--seed" || *name == "--jobs" || *name == "--out";
    if (!known) {
      error = "unknown option '" + *name + "' (see --help)";
      return std::nullopt;
    }
    const auto value = line.value(error);
    if (!value) return std::nullopt;
    if (*name == "--consts") {
      options.constsPath = *value;
    } else if (*name == "--out") {
      options.outDir = *value;
    } else if (*name == "--vary") {
      auto vary = parseVariation(*value, error);
      if (!vary) return std::nullopt;
      for (const Variation& earlier : options.vary) {
        if (earlier.param == vary->param) {
          error = "--vary " + std::string(kParamNames[vary->param]) + " is given twice";
          return std::nullopt;
        }
      }
      options.vary.push_back(std::move(*vary));
    } else if (*name == "--seed") {
      options.seed = parseSeed(*value);
      if (!options.seed) {
        error = "--seed needs a whole number from 0 to 4294967295, not '" + *value + "'";
        return std::nullopt;
      }
    } else if (*name == "--runs") {
      const auto runs = parseCount(*value, 1);
      if (!runs || *runs > kMaxRuns) {
        error = "--runs needs a whole number from 1 to " + std::to_string(kMaxRuns) + ", not '" +
                *value + "'";
        return std::nullopt;
      }
      options.runs = *runs;
    } else {
      const auto jobs = parseCount(*value, 1);
      if (!jobs || *jobs > 4096) {
        error = "--jobs needs a whole number from 1 to 4096, not '" + *value + "'";
        return std::nullopt;
      }
      options.jobs = static_cast<int>(*jobs);
    }
  }
  std::int64_t sets = 0;
  if (!setCount(options.vary, sets)) {
    error = "the variations make more than " + std::to_string(kMaxSets) + " parameter sets";
    return std::nullopt;
  }
  if (sets * options.runs > kMaxRuns) {
    error = std::to_string(sets) + " sets of " + std::to_string(options.runs) + " runs are " +
            "more than " + std::to_string(kMaxRuns) + " runs";
    return std::nullopt;
  }
  return options;
}

}  // namespace kestravin
