#include "cli/sweeper.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "cli/constants_input.h"
#include "cli/interrupt.h"
#include "cli/sweep_folder.h"
#include "cli/sweep_options.h"
#include "experiment/exchange.h"
#include "experiment/plots.h"
#include "experiment/runner.h"
#include "experiment/statistics.h"
#include "experiment/tables.h"

namespace kestravin {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kProgressInterval = std::chrono::milliseconds(250);
constexpr const char* kProgram = "kestravin-sweep: ";
constexpr int kGo = -1;  // the plan's status when the runs are to be made

// Reads and checks everything before anything is written; on success creates the folder.
PlanMessage preparePlan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                        SweepOptions& options) {
  PlanMessage message;
  std::string error;
  auto parsed = parseSweepOptions(args, error);
  if (!parsed) {
    err << kProgram << error << "\n";
    message.status = kSweepUsageError;
    return message;
  }
  options = std::move(*parsed);
  if (options.help) {
    out << kSweepUsage << std::flush;
    message.status = out ? kSweepOk : kSweepFailed;
    return message;
  }
  std::vector<std::string> problems;
  const auto base = readUsableConstants(options.constsPath, problems);
  if (!base) {
    err << kProgram << "the constants file " << options.constsPath << " cannot be used:\n";
    for (const auto& problem : problems) err << "  " << problem << "\n";
    message.status = kSweepFailed;
    return message;
  }
  message.plan.sets = makeSets(*base, options.vary);
  problems = findSetProblems(options.vary, message.plan.sets);
  if (!problems.empty()) {
    err << kProgram << "some parameter sets cannot be used:\n";
    for (const auto& problem : problems) err << "  " << problem << "\n";
    message.status = kSweepFailed;
    return message;
  }
  if (const auto problem = checkOutputFolder(options.outDir, options.force, options.constsPath)) {
    err << kProgram << problem->message << "\n";
    message.status = problem->status;
    return message;
  }
  if (!prepareOutputFolder(options.outDir, message.plan.sets, error)) {
    err << kProgram << error << "\n";
    message.status = kSweepFailed;
    return message;
  }
  message.plan.runsPerSet = options.runs;
  message.plan.seed = options.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  message.jobs = options.jobs;
  message.perYear = options.perYear;
  message.status = kGo;
  return message;
}

std::string clockText(double seconds) {
  const auto s = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  }
  return text;
}

void printProgress(std::ostream& err, const Runner& runner, Clock::time_point start, bool shared) {
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  const std::int64_t done = runner.done(), total = runner.total();
  err << "\rruns " << done << " of " << total << (shared ? " (this process)" : "") << "  elapsed "
      << clockText(elapsed);
  if (done > 0) {
    err << "  left about "
        << clockText(elapsed * static_cast<double>(total - done) / static_cast<double>(done));
  }
  err << "   " << std::flush;
}

// The closing table: per set its varied values, the share of runs that ended efficient and
// the median years to a perfect player.
void printTable(std::ostream& out, const std::vector<Variation>& vary, const Plan& plan,
                const std::vector<SetSummary>& sums) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> head = {"set"};
  for (const Variation& v : vary) head.emplace_back(kParamNames[v.param]);
  head.insert(head.end(), {"runs", "efficient", "median years"});
  rows.push_back(head);
  for (std::size_t k = 0; k < sums.size(); ++k) {
    const SetSummary& s = sums[k];
    std::vector<std::string> row = {std::to_string(k)};
    row.insert(row.end(), plan.sets[k].varied.begin(), plan.sets[k].varied.end());
    row.push_back(std::to_string(s.runs));
    const std::int64_t efficient = s.ends[endColumn(RunEnd::kEfficientPlayer)];
    char share[32] = "";
    if (s.runs > 0) {
      std::snprintf(share, sizeof share, "%.0f %%",
                    100.0 * static_cast<double>(efficient) / static_cast<double>(s.runs));
    }
    row.emplace_back(share);
    const std::string median = formatReal(s.median);
    row.push_back(median.empty() ? "-" : median);
    rows.push_back(std::move(row));
  }
  std::vector<std::size_t> widths(head.size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      line += std::string(widths[c] - row[c].size(), ' ') + row[c];
    }
    out << line << "\n";
  }
}

bool writeOutput(const fs::path& path, const std::function<void(std::ostream&)>& write,
                 std::ostream& err) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) write(file);
  file.close();
  if (!file) {
    err << kProgram << path.string() << " could not be written\n";
    return false;
  }
  return true;
}

// Writes the outputs of the finished runs; false when one could not be written.
bool writeOutputs(const fs::path& dir, const SweepOptions& options, const Plan& plan,
                  const RunnerResult& result, Completion completion,
                  const std::vector<SetSummary>& sums, std::ostream& err) {
  const PlotContext context{plan, options.vary};
  bool ok = writeOutput(
      dir / kRunsFile, [&](std::ostream& o) { writeRunsCsv(o, plan, result.records); }, err);
  ok = writeOutput(
           dir / kSummaryFile, [&](std::ostream& o) { writeSummaryCsv(o, plan, sums, completion); },
           err) &&
       ok;
  ok = writeOutput(
           dir / kYearsPlotFile,
           [&](std::ostream& o) { o << yearsToPerfectPlot(context, sums, result.records); }, err) &&
       ok;
  if (options.perYear) {
    ok = writeOutput(
             dir / kYearsFile, [&](std::ostream& o) { writeYearsCsv(o, result.years); }, err) &&
         ok;
    ok = writeOutput(
             dir / kFitnessPlotFile,
             [&](std::ostream& o) { o << fitnessPlot(context, result.years); }, err) &&
         ok;
  }
  return ok;
}

std::vector<SetSummary> summarizeSets(const Plan& plan, const std::vector<RunRecord>& records) {
  std::vector<std::vector<RunRecord>> bySet(plan.sets.size());
  for (const RunRecord& r : records) bySet[r.set].push_back(r);
  std::vector<SetSummary> sums;
  for (const auto& runs : bySet) sums.push_back(summarize(runs));
  return sums;
}

}  // namespace

int runSweeper(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool showProgress, Peers& peers) {
  const bool lead = peers.rank() == 0;
  SweepOptions options;
  PlanMessage message;
  std::string bytes;
  if (lead) {
    message = preparePlan(args, out, err, options);
    bytes = encodePlan(message);
  }
  peers.broadcast(bytes);
  if (!lead) {
    try {
      message = decodePlan(bytes);
    } catch (const std::exception& e) {
      peers.abort(std::string(kProgram) + "process " + std::to_string(peers.rank()) +
                  " could not read the plan: " + e.what());
    }
  }
  if (message.status != kGo) return message.status;
  const Plan& plan = message.plan;
  if (lead) out << "Seed: " << plan.seed << "\n" << std::flush;

  // From here on an interruption lets the runs in progress end at the end of a year.
  const InterruptWatch interrupts;
  const int jobs = message.jobs > 0
                       ? message.jobs
                       : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const Share share{peers.rank(), peers.size()};
  Runner runner(plan, share, jobs, message.perYear, [] { return InterruptWatch::signal() != 0; });
  const auto start = Clock::now();
  bool shown = false;
  while (!runner.waitFor(kProgressInterval)) {
    if (lead && showProgress) {
      printProgress(err, runner, start, peers.size() > 1);
      shown = true;
    }
  }
  if (shown) err << "\r\x1b[K" << std::flush;
  RunnerResult mine = runner.finish();
  const int signal = InterruptWatch::signal();

  std::vector<std::string> parts = peers.gather(encodeResult(mine));
  mine = {};
  if (!lead) return signal != 0 ? InterruptWatch::exitStatus() : kSweepOk;
  std::vector<RunnerResult> results;
  try {
    for (const std::string& part : parts) results.push_back(decodeResult(part));
  } catch (const std::exception& e) {
    peers.abort(std::string(kProgram) + "process 0 could not read the results: " + e.what());
  }
  parts.clear();
  const RunnerResult result = mergeResults(results, plan.sets.size());
  results.clear();

  const bool whole = static_cast<std::int64_t>(result.records.size()) == plan.totalRuns();
  const Completion completion = !result.failure.empty() ? Completion::kFailed
                                : whole                 ? Completion::kComplete
                                                        : Completion::kInterrupted;
  const std::vector<SetSummary> sums = summarizeSets(plan, result.records);
  const bool written = writeOutputs(options.outDir, options, plan, result, completion, sums, err);
  printTable(out, options.vary, plan, sums);
  out << std::flush;
  if (!result.failure.empty()) {
    err << kProgram << result.failure << "; " << result.records.size() << " of " << plan.totalRuns()
        << " runs finished and were written\n";
    return kSweepFailed;
  }
  if (!whole) {
    err << kProgram << "interrupted: " << result.records.size() << " of " << plan.totalRuns()
        << " runs finished; their rows and the summary (marked interrupted) were written\n";
    return signal != 0 ? InterruptWatch::exitStatus() : 128 + SIGINT;
  }
  if (!out) {
    err << kProgram << "standard output could not be written\n";
    return kSweepFailed;
  }
  return written ? kSweepOk : kSweepFailed;
}

}  // namespace kestravin
