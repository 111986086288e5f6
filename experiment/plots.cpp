#include "experiment/plots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/team.h"
#include "experiment/svg_chart.h"
#include "experiment/tables.h"

namespace kestravin {

namespace {

constexpr std::string_view kInk = "#222";
constexpr std::string_view kDot = "#4c72b0";
constexpr std::string_view kBox = "#9ecae1";
constexpr std::string_view kBoxEdge = "#2b5d8a";
constexpr std::string_view kMean = "#d62728";
constexpr std::string_view kBest = "#1f77b4";
constexpr std::string_view kAverage = "#e6750f";
constexpr std::size_t kMaxDotsPerSet = 1000;
constexpr int kMaxPointsPerCurve = 500;

// Splits words into lines of at most `width` characters.
std::vector<std::string> wrap(const std::string& text, std::size_t width) {
  std::vector<std::string> lines(1);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (!lines.back().empty() && lines.back().size() + 1 + word.size() > width)
      lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += word;
    start = end + 1;
  }
  return lines;
}

// Title, subtitle lines and the height they take.
double header(SvgDocument& svg, const std::string& title, const std::string& subtitle,
              double width) {
  svg.text(20, 28, title, 18, "start", "font-weight=\"bold\" fill=\"#111\"");
  double y = 48;
  const auto perLine = static_cast<std::size_t>(std::max(40.0, (width - 40) / 7.4));
  for (const std::string& line : wrap(subtitle, perLine)) {
    svg.text(20, y, line, 12, "start", "fill=\"#555\"");
    y += 16;
  }
  return y;
}

double diamondSize(double slot) {
  return std::clamp(slot * 0.08, 3.0, 5.0);
}

std::int32_t targetFitnessOf(const SimParams& params) {
  Team team;
  team.installFitString(params.fitString);
  return team.targetFitness;
}

}  // namespace

std::string commonParams(const PlotContext& context) {
  std::string text;
  if (context.plan.sets.empty()) return text;
  const SimParams& base = context.plan.sets.front().params;
  for (int k = 0; k <= kFitStringParam; ++k) {
    const bool varied = std::any_of(context.vary.begin(), context.vary.end(),
                                    [k](const Variation& v) { return v.param == k; });
    if (varied) continue;
    if (!text.empty()) text += ' ';
    text += std::string(kParamNames[k]) + "=" + paramText(base, k);
  }
  return text;
}

std::string setLabel(const PlotContext& context, int set) {
  const std::string label = describeSet(context.vary, context.plan.sets[set]);
  return label.empty() ? "all runs" : label;
}

std::string yearsToPerfectPlot(const PlotContext& context, const std::vector<SetSummary>& sets,
                               const std::vector<RunRecord>& records) {
  const auto n = static_cast<double>(std::max<std::size_t>(sets.size(), 1));
  const double least = std::clamp(900.0 / n, 28.0, 110.0);
  std::size_t longest = 0;
  for (std::size_t k = 0; k < sets.size(); ++k) {
    longest = std::max(longest, setLabel(context, static_cast<int>(k)).size());
  }
  const double slot = (std::max(90 + least * n + 30, 720.0) - 120) / n;
  const bool slanted = static_cast<double>(longest) * 6.5 > slot - 6;
  const double left = 90;
  const double width = std::max(left + slot * n + 30, 720.0);
  const double plotWidth = width - left - 30;
  const double labelRoom =
      slanted ? std::min(40.0 + static_cast<double>(longest) * 4.6, 220.0) : 46.0;
  const double plotHeight = 340;

  // The vertical range: the slowest run, or the time limit when that is near.
  double slowest = 0, limit = 0;
  for (const SetSummary& s : sets) {
    if (s.perfectRuns > 0) slowest = std::max(slowest, s.max);
  }
  for (const ParamSet& p : context.plan.sets)
    limit = std::max(limit, static_cast<double>(p.params.maxGen));
  double top = std::max(slowest * 1.08, 10.0);
  if (limit > 0 && limit <= slowest * 2) top = limit;
  if (slowest == 0 && limit > 0) top = limit;
  top = niceTicks(0, top, 6).back();

  const std::string subtitle = std::to_string(context.plan.runsPerSet) +
                               " runs per set. Shared parameters: " + commonParams(context);
  SvgDocument probe(1, 1);
  const double headerHeight = header(probe, "", subtitle, width);
  const double plotTop = headerHeight + 64;
  const double height = plotTop + plotHeight + labelRoom + 30;
  SvgDocument svg(static_cast<int>(width), static_cast<int>(height));
  header(svg, "Years until a player matches the fitness string", subtitle, width);

  // Legend.
  double lx = 20;
  const double ly = headerHeight + 8;
  svg.circle(lx + 4, ly, 3, kDot, "fill-opacity=\"0.5\"");
  svg.text(lx + 12, ly + 4, "one run", 11);
  lx += 70;
  svg.rect(lx, ly - 6, 16, 12, kBox, "stroke=\"#2b5d8a\"");
  svg.line(lx, ly, lx + 16, ly, kInk, 2);
  svg.text(lx + 22, ly + 4, "quartiles and median", 11);
  lx += 150;
  svg.line(lx + 8, ly - 7, lx + 8, ly + 7, kBoxEdge, 1.2);
  svg.text(lx + 16, ly + 4, "fastest to slowest", 11);
  lx += 125;
  svg.polygon({{lx + 4, ly - 5}, {lx + 9, ly}, {lx + 4, ly + 5}, {lx - 1, ly}}, kMean);
  svg.text(lx + 14, ly + 4, "mean", 11);
  svg.text(20, ly + 22,
           "Above each set: the share of its runs in which a player matched the string.", 11,
           "start", "fill=\"#333\"");

  const Scale x{0, n, left, left + plotWidth};
  const Scale y{0, top, plotTop + plotHeight, plotTop};
  svg.axes(x, y, "", "years to the first perfect player", 0, 6);
  const double bottom = plotTop + plotHeight;
  if (limit > 0 && limit <= top) {
    svg.line(left, y.at(limit), left + plotWidth, y.at(limit), "#999", 1,
             "stroke-dasharray=\"5 4\"");
    svg.text(left + plotWidth - 4, y.at(limit) + 13, "time limit (maxGen)", 10, "end",
             "fill=\"#777\"");
  }

  std::vector<std::vector<double>> years(sets.size());
  for (const RunRecord& r : records) {
    if (r.perfect() && r.set >= 0 && static_cast<std::size_t>(r.set) < sets.size()) {
      years[r.set].push_back(r.firstPerfectYear);
    }
  }
  for (std::size_t k = 0; k < sets.size(); ++k) {
    const SetSummary& s = sets[k];
    const double cx = x.at(static_cast<double>(k) + 0.5);
    svg.beginGroup("class=\"set\" data-set=\"" + std::to_string(k) + "\"");
    const std::string label = setLabel(context, static_cast<int>(k));
    if (slanted) {
      svg.text(cx + 4, bottom + 14, label, 11, "end",
               "fill=\"#222\" transform=\"rotate(-40 " + std::to_string(cx + 4) + " " +
                   std::to_string(bottom + 14) + ")\"");
    } else {
      svg.text(cx, bottom + 18, label, 11, "middle", "fill=\"#222\"");
    }
    const double share =
        s.runs > 0 ? 100.0 * static_cast<double>(s.perfectRuns) / static_cast<double>(s.runs) : 0.0;
    if (s.runs > 0) {
      char shown[16];
      std::snprintf(shown, sizeof shown, "%.0f %%", share);
      svg.text(cx, plotTop - 8, shown, 11, "middle", "font-weight=\"bold\" fill=\"#222\"");
    }
    if (s.perfectRuns == 0) {
      svg.text(cx, bottom - 10, "none", 11, "middle", "fill=\"#777\"");
      svg.endGroup();
      continue;
    }
    // Dots, spread sideways by a fixed scatter so that equal years stay visible.
    const std::vector<double>& ys = years[k];
    const std::size_t every = (ys.size() + kMaxDotsPerSet - 1) / kMaxDotsPerSet;
    for (std::size_t i = 0; i < ys.size(); i += std::max<std::size_t>(every, 1)) {
      const double spread = std::fmod(static_cast<double>(i) * 0.618034, 1.0) - 0.5;
      svg.circle(cx + spread * slot * 0.55, y.at(ys[i]), 2.2, kDot, "fill-opacity=\"0.45\"");
    }
    const double half = std::min(slot * 0.26, 26.0);
    svg.line(cx, y.at(s.min), cx, y.at(s.q1), kBoxEdge, 1.2);
    svg.line(cx, y.at(s.q3), cx, y.at(s.max), kBoxEdge, 1.2);
    svg.line(cx - half / 2, y.at(s.min), cx + half / 2, y.at(s.min), kBoxEdge, 1.2);
    svg.line(cx - half / 2, y.at(s.max), cx + half / 2, y.at(s.max), kBoxEdge, 1.2);
    svg.rect(cx - half, y.at(s.q3), 2 * half, y.at(s.q1) - y.at(s.q3), kBox,
             "fill-opacity=\"0.75\" stroke=\"#2b5d8a\"");
    svg.line(cx - half, y.at(s.median), cx + half, y.at(s.median), kInk, 2.2);
    const double d = diamondSize(slot), my = y.at(s.mean);
    svg.polygon({{cx, my - d}, {cx + d, my}, {cx, my + d}, {cx - d, my}}, kMean);
    svg.endGroup();
  }
  const std::string xTitle = context.vary.empty() ? "" : "parameter set (its varied values)";
  if (!xTitle.empty()) {
    svg.text(left + plotWidth / 2, bottom + labelRoom + 8, xTitle, 12, "middle", "fill=\"#222\"");
  }
  return svg.finish();
}

std::string fitnessPlot(const PlotContext& context, const std::vector<YearAggregate>& sets) {
  const int n = static_cast<int>(sets.size());
  const int columns = std::clamp(n, 1, 3);
  const int rows = (n + columns - 1) / columns;
  const double panelWidth = 400, panelHeight = 290, innerWidth = 310, innerHeight = 200;
  const double width = 20 + columns * panelWidth;
  const std::string subtitle = std::to_string(context.plan.runsPerSet) +
                               " runs per set; a run that ended counts with its last year's "
                               "values. Shared parameters: " +
                               commonParams(context);
  SvgDocument probe(1, 1);
  const double headerHeight = header(probe, "", subtitle, width);
  const double gridTop = headerHeight + 36;
  SvgDocument svg(static_cast<int>(width), static_cast<int>(gridTop + rows * panelHeight + 10));
  header(svg, "Best and average fitness over the years", subtitle, width);

  const double ly = headerHeight + 6;
  svg.line(20, ly, 44, ly, kBest, 2.4);
  svg.text(50, ly + 4, "best fitness (mean of the runs)", 11);
  svg.line(250, ly, 274, ly, kAverage, 2.4);
  svg.text(280, ly + 4, "average fitness (mean of the runs)", 11);
  svg.rect(500, ly - 6, 24, 12, "#888", "fill-opacity=\"0.3\"");
  svg.text(530, ly + 4, "middle half of the runs (quartiles)", 11);

  // One time axis for all panels, so that the sets compare at a glance; the fitness axis
  // starts below the lowest lower quartile drawn.
  std::int32_t lastOfAll = 1;
  double lowest = 1e300;
  for (const YearAggregate& a : sets) {
    lastOfAll = std::max(lastOfAll, a.lastYear());
    a.visitYears([&](std::int32_t, const YearAggregate::Stats& stats) {
      for (int stat : {History::kAvgFitness, History::kMaxFitness}) {
        lowest = std::min(lowest, describeYear(stats, stat).q1);
      }
    });
  }
  const double xTop = niceTicks(0, lastOfAll, 5).back();
  for (int k = 0; k < n; ++k) {
    const double px = 20 + (k % columns) * panelWidth + 60;
    const double py = gridTop + (k / columns) * panelHeight + 40;
    const SimParams& params = context.plan.sets[k].params;
    const double target = targetFitnessOf(params);
    const std::int32_t last = sets[k].lastYear();
    svg.beginGroup("class=\"set\" data-set=\"" + std::to_string(k) + "\"");
    svg.text(px + innerWidth / 2, py - 12, "set " + std::to_string(k) + ": " + setLabel(context, k),
             13, "middle", "font-weight=\"bold\" fill=\"#111\"");
    const Scale x{0, xTop, px, px + innerWidth};
    const double yLow = lowest < target ? niceTicks(lowest, target, 5).front() : 0.0;
    const Scale y{std::max(yLow, 0.0), std::max(target, 1.0), py + innerHeight, py};
    svg.axes(x, y, "year of the run", "fitness", 5, 5);
    svg.line(px, y.at(target), px + innerWidth, y.at(target), "#999", 1,
             "stroke-dasharray=\"5 4\"");
    svg.text(px + innerWidth - 3, y.at(target) - 4, "target " + tickLabel(target), 10, "end",
             "fill=\"#777\"");

    const int step = std::max(1, (last + 1 + kMaxPointsPerCurve - 1) / kMaxPointsPerCurve);
    struct Series {
      int stat;
      std::string_view colour;
      std::vector<std::pair<double, double>> mean, low, high;
    } series[] = {{History::kAvgFitness, kAverage, {}, {}, {}},
                  {History::kMaxFitness, kBest, {}, {}, {}}};
    sets[k].visitYears([&](std::int32_t year, const YearAggregate::Stats& stats) {
      if (year % step != 0 && year != last) return;
      for (Series& s : series) {
        const YearPoint p = describeYear(stats, s.stat);
        s.mean.emplace_back(x.at(year), y.at(p.mean));
        s.low.emplace_back(x.at(year), y.at(p.q1));
        s.high.emplace_back(x.at(year), y.at(p.q3));
      }
    });
    for (Series& s : series) {
      std::vector<std::pair<double, double>> band = s.high;
      band.insert(band.end(), s.low.rbegin(), s.low.rend());
      if (!band.empty()) svg.polygon(band, s.colour, "fill-opacity=\"0.22\"");
    }
    for (const Series& s : series) {
      if (!s.mean.empty()) svg.polyline(s.mean, s.colour, 2.2);
    }
    if (last < 0)
      svg.text(px + innerWidth / 2, py + innerHeight / 2, "no finished run", 12, "middle",
               "fill=\"#777\"");
    svg.endGroup();
  }
  return svg.finish();
}

}  // namespace kestravin
