#include "cli/simulator.h"

#include <chrono>
#include <ctime>
#include <new>
#include <optional>

#include "cli/constants_input.h"
#include "cli/interrupt.h"
#include "cli/output_files.h"
#include "cli/sim_options.h"
#include "control/end_messages.h"
#include "engine/simulation.h"
#include "report/history_csv.h"
#include "report/report_writer.h"

namespace kestravin {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(250);
constexpr const char* kProgram = "kestravin-sim: ";

void printProgress(std::ostream& err, const Simulation& run) {
  const TeamStats& s = run.stats();
  err << "\rYear " << run.shownYear() << "  population " << s.population << "  best fitness "
      << s.maxFitness << " of " << run.team().targetFitness << "   " << std::flush;
}

// An output that names an input or another output would destroy it: refused by name.
std::optional<std::string> collision(const SimOptions& options) {
  const struct {
    const std::string& path;
    const char* option;
  } outputs[] = {{options.reportPath, "--report"}, {options.csvPath, "--csv"}};
  for (const auto& out : outputs) {
    if (out.path.empty()) continue;
    if (sameFile(out.path, options.constsPath)) {
      return std::string(out.option) + " " + out.path + " is the constants file";
    }
  }
  if (!options.reportPath.empty() && !options.csvPath.empty() &&
      sameFile(options.reportPath, options.csvPath)) {
    return "--report and --csv name the same file, " + options.csvPath;
  }
  return std::nullopt;
}

// The run's outputs: the report, written a block a year, and the CSV, written at the end.
// Problems are printed when they happen.
class Outputs {
 public:
  Outputs(const SimOptions& options, std::ostream& err) : options_(options), err_(err) {}

  // Creates the files before the run starts; false when one cannot be made.
  bool create() {
    if (!options_.csvPath.empty() && !csv_.create(options_.csvPath)) return fail(csv_.error());
    if (!options_.reportPath.empty()) {
      report_.setFixedPath(options_.reportPath);
      if (!report_.openReport()) {
        if (csv_.isOpen()) std::filesystem::remove(options_.csvPath);
        return fail(report_.error());
      }
    }
    return true;
  }

  void writeBlock(const Simulation& run) {
    if (!report_.isOpen()) return;
    if (!report_.writeReportBlock(run.team(), run.params().startYear)) {
      fail(report_.error());
      report_.closeReport();
    }
  }

  // Closes the report and writes the CSV of the years simulated.
  void finish(const Simulation& run) {
    if (report_.isOpen() && !report_.closeReport()) fail(report_.error());
    if (csv_.isOpen() && !csv_.write(run.history(), run.stats().year)) fail(csv_.error());
  }

  bool failed() const { return failed_; }

 private:
  bool fail(const std::string& what) {
    err_ << kProgram << what << "\n" << std::flush;
    failed_ = true;
    return false;
  }

  const SimOptions& options_;
  std::ostream& err_;
  ReportWriter report_;
  HistoryCsvFile csv_;
  bool failed_ = false;
};

}  // namespace

int runSimulator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool showProgress) {
  std::string error;
  const auto options = parseSimOptions(args, error);
  if (!options) {
    err << kProgram << error << "\n";
    return kSimUsageError;
  }
  if (options->help) {
    out << kSimUsage << std::flush;
    return out ? kSimOk : kSimFailed;
  }
  if (const auto clash = collision(*options)) {
    err << kProgram << "refused: " << *clash << ", which would be overwritten\n";
    return kSimUsageError;
  }

  std::vector<std::string> problems;
  const auto params = readUsableConstants(options->constsPath, problems);
  if (!params) {
    err << kProgram << "the constants file " << options->constsPath << " cannot be used:\n";
    for (const auto& problem : problems) err << "  " << problem << "\n";
    return kSimFailed;
  }

  // From here on an interruption ends the run at the end of a year, with whole outputs.
  const InterruptWatch interrupts;
  Outputs outputs(*options, err);
  if (!outputs.create()) return kSimFailed;
  const std::uint32_t seed = options->seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  std::optional<Simulation> made;
  try {
    made.emplace(*params, seed);
  } catch (const std::bad_alloc&) {
    err << kProgram << "out of memory creating a team of " << params->teamSize << " players\n";
    return kSimFailed;
  }
  Simulation& run = *made;
  outputs.writeBlock(run);

  auto nextProgress = std::chrono::steady_clock::now() + kProgressInterval;
  while (run.end() == RunEnd::kNone && InterruptWatch::signal() == 0) {
    run.advance();
    if (run.end() == RunEnd::kOutOfMemory) break;  // the last whole year is already written
    outputs.writeBlock(run);
    if (showProgress && std::chrono::steady_clock::now() >= nextProgress) {
      printProgress(err, run);
      nextProgress += kProgressInterval;
    }
  }
  if (showProgress) err << "\r\x1b[K" << std::flush;
  outputs.finish(run);

  if (run.end() == RunEnd::kOutOfMemory) {
    err << kProgram << "out of memory at year " << run.shownYear() << " (team of "
        << run.stats().population << " players)\n";
    return kSimFailed;
  }
  if (InterruptWatch::signal() != 0) {
    err << kProgram << "interrupted at year " << run.shownYear() << "\n";
    return InterruptWatch::exitStatus();
  }
  out << endMessage(run.end()) << "\n"
      << "Year: " << run.shownYear() << "\n"
      << std::flush;
  if (!out) {
    err << kProgram << "standard output could not be written\n";
    return kSimFailed;
  }
  return outputs.failed() ? kSimFailed : kSimOk;
}

}  // namespace kestravin
