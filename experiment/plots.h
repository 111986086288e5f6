#pragma once

#include <string>
#include <vector>

#include "experiment/plan.h"
#include "experiment/run_record.h"
#include "experiment/statistics.h"
#include "experiment/year_aggregate.h"

namespace kestravin {

/// What a plot describes: the experiment and its variations, for titles and labels.
struct PlotContext {
  const Plan& plan;
  const std::vector<Variation>& vary;
};

/// The parameters every set shares, as "name=value" words; the varied ones left out.
std::string commonParams(const PlotContext& context);
/// A set's label: its varied values, or "all runs" when nothing varies.
std::string setLabel(const PlotContext& context, int set);

/// SVG: per set, the years to the first perfect player of each run that had one (dots), their
/// quartiles (box), median, extremes and mean, and the share of runs that had one. Each set
/// is one group of class "set".
std::string yearsToPerfectPlot(const PlotContext& context, const std::vector<SetSummary>& sets,
                               const std::vector<RunRecord>& records);

/// SVG: one panel per set, titled with its values: the mean best and mean average fitness
/// over the years with the band between their quartiles. Each panel is one group of class
/// "set".
std::string fitnessPlot(const PlotContext& context, const std::vector<YearAggregate>& sets);

}  // namespace kestravin
