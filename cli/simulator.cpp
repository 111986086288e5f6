#include "cli/simulator.h"

#include <chrono>
#include <ctime>
#include <new>

#include "cli/history_csv.h"
#include "cli/sim_options.h"
#include "config/constants_file.h"
#include "control/end_messages.h"
#include "engine/simulation.h"
#include "report/report_writer.h"

namespace kestravin {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);

void printProgress(std::ostream& err, const Simulation& run) {
  const TeamStats& s = run.stats();
  err << "\rYear " << run.shownYear() << "  population " << s.population << "  best fitness "
      << s.maxFitness << " of " << run.team().targetFitness << "   " << std::flush;
}

}  // namespace

int runSimulator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool showProgress) {
  std::string error;
  const auto options = parseSimOptions(args, error);
  if (!options) {
    err << "kestravin-sim: " << error << "\n";
    return kSimUsageError;
  }
  if (options->help) {
    out << kSimUsage;
    return kSimOk;
  }

  // A constants file named on the command line must be there: no silent defaults.
  const ConstantsReading constants = readConstants(options->constsPath);
  if (!constants.opened) {
    err << "kestravin-sim: cannot open the constants file " << options->constsPath << "\n";
    return kSimFailed;
  }
  for (const auto& problem : constants.problems) {
    err << "kestravin-sim: warning: " << options->constsPath << ": " << problem << "\n";
  }
  const SimParams& params = constants.params;
  const auto problems = checkParams(params);
  if (!problems.empty()) {
    err << "kestravin-sim: the parameters of " << options->constsPath << " cannot be used:\n";
    for (const auto& problem : problems) err << "  " << problem << "\n";
    return kSimFailed;
  }

  std::vector<std::string> failures;  // output files not written completely
  ReportWriter report;
  bool reporting = false;
  const std::uint32_t seed = options->seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  Simulation run(params, seed);
  if (!options->reportPath.empty()) {
    report.setFixedPath(options->reportPath);
    reporting = report.openReport() && report.writeReportBlock(run.team(), params.startYear);
    if (!reporting) {
      failures.push_back(report.error());
      report.closeReport();
    }
  }

  auto nextProgress = std::chrono::steady_clock::now() + kProgressInterval;
  while (run.end() == RunEnd::kNone) {
    run.advance();
    if (reporting && !report.writeReportBlock(run.team(), params.startYear)) {
      failures.push_back(report.error());
      report.closeReport();
      reporting = false;
    }
    if (showProgress && std::chrono::steady_clock::now() >= nextProgress) {
      printProgress(err, run);
      nextProgress += kProgressInterval;
    }
  }
  if (showProgress) err << "\r\x1b[K" << std::flush;
  if (report.isOpen() && !report.closeReport()) failures.push_back(report.error());

  out << endMessage(run.end()) << "\n"
      << "Year: " << run.shownYear() << "\n";

  if (!options->csvPath.empty() &&
      !writeHistoryCsv(options->csvPath, run.history(), run.stats().year, error)) {
    failures.push_back(error);
  }
  for (const auto& failure : failures) err << "kestravin-sim: " << failure << "\n";
  return failures.empty() ? kSimOk : kSimFailed;
}

}  // namespace kestravin
