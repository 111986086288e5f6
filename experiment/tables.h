#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "experiment/plan.h"
#include "experiment/run_record.h"
#include "experiment/statistics.h"
#include "experiment/year_aggregate.h"

namespace kestravin {

/// The names of the eight yearly statistics, in the history's order.
inline constexpr std::array<std::string_view, YearAggregate::kStats> kStatNames = {
    "maxFitness", "minFitness", "population", "births",
    "deaths",     "ageDeaths",  "fitDeaths",  "avgFitness"};

/// Whether an experiment made all its runs.
enum class Completion { kComplete, kInterrupted, kFailed };
std::string_view completionName(Completion completion);

/// runs.csv: a header, then one row per record (in the order given): run, set, seed, the
/// parameters, the end, the years and the statistics at the end. Lines end in LF; reals have
/// two decimals; a field holding a comma or quote is quoted.
void writeRunsCsv(std::ostream& out, const Plan& plan, const std::vector<RunRecord>& records);

/// summary.csv: one row per set: its parameters, the runs finished, the share ending each
/// way, and the years to a perfect player over the runs that had one; then the completion.
void writeSummaryCsv(std::ostream& out, const Plan& plan, const std::vector<SetSummary>& sets,
                     Completion completion);

/// years.csv: per set and year, the mean and quartiles of each yearly statistic.
void writeYearsCsv(std::ostream& out, const std::vector<YearAggregate>& sets);

/// A real with two decimals; empty for NaN.
std::string formatReal(double value);

}  // namespace kestravin
