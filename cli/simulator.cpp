#include "cli/simulator.h"

#include <chrono>
#include <ctime>

#include "cli/headless_ui.h"
#include "cli/history_csv.h"
#include "cli/sim_options.h"
#include "config/constants_file.h"
#include "config/option_fields.h"
#include "engine/run_controller.h"
#include "report/report_writer.h"

namespace kestravin {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);

void printProgress(std::ostream& err, const RunController& run) {
  const Team& team = run.team();
  err << "\rYear " << run.params().startYear + team.year << "  population " << team.population
      << "  best fitness " << team.maxFitness << " of " << team.targetFitness << "   "
      << std::flush;
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

  // The values pass through the option fields, as in the desktop program.
  HeadlessUi ui(paramsToFields(constants.params), !options->reportPath.empty());
  ReportWriter report;
  if (!options->reportPath.empty()) report.setFixedPath(options->reportPath);
  const std::uint32_t seed =
      options->seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  RunController run(ui, report, [seed] { return seed; });
  ui.onStatusRepaint([&run] { run.requestStatusRedraw(); });

  SimParams params;
  const auto problems = run.readFieldProblems(params);
  if (!problems.empty()) {
    err << "kestravin-sim: the parameters of " << options->constsPath << " cannot be used:\n";
    for (const auto& problem : problems) err << "  " << problem << "\n";
    return kSimFailed;
  }

  run.prepareFirstRun();
  run.toggleRun();
  auto nextProgress = std::chrono::steady_clock::now() + kProgressInterval;
  while (!run.finished()) {
    run.idleStep();
    if (showProgress && std::chrono::steady_clock::now() >= nextProgress) {
      printProgress(err, run);
      nextProgress += kProgressInterval;
    }
  }
  if (showProgress) err << "\r\x1b[K" << std::flush;

  const Team& team = run.team();
  out << endMessage(runEnd(team, run.params().maxGen)) << "\n"
      << "Year: " << run.params().startYear + team.year << "\n";

  if (!options->csvPath.empty() &&
      !writeHistoryCsv(options->csvPath, run.history(), team.year, error)) {
    ui.showMessage(error);
  }
  run.shutdown();
  // Every message after the start is an output file that was not written completely.
  for (const auto& message : ui.messages()) err << "kestravin-sim: " << message << "\n";
  return ui.messages().empty() ? kSimOk : kSimFailed;
}

}  // namespace kestravin
