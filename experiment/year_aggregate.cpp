#include "experiment/year_aggregate.h"

#include <cmath>

namespace kestravin {

namespace {

std::int32_t valueOf(const History& history, int stat, std::int32_t year) {
  if (stat == History::kAvgFitness) {
    return static_cast<std::int32_t>(
        std::llround(static_cast<double>(history.avgFitness(year)) * YearAggregate::kAvgScale));
  }
  return history.intEntry(stat, year);
}

void encodeStats(ByteWriter& out, const YearAggregate::Stats& stats) {
  for (const ValueHistogram& h : stats) h.encode(out);
}

YearAggregate::Stats decodeStats(ByteReader& in) {
  YearAggregate::Stats stats;
  for (ValueHistogram& h : stats) h = ValueHistogram::decode(in);
  return stats;
}

}  // namespace

void YearAggregate::addRun(const History& history, std::int32_t lastYear) {
  if (lastYear < 0 || lastYear >= history.size()) return;
  if (lastYear > this->lastYear()) reached_.resize(static_cast<std::size_t>(lastYear) + 1);
  for (std::int32_t y = 0; y <= lastYear; ++y) {
    for (int k = 0; k < kStats; ++k) reached_[y][k].add(valueOf(history, k, y));
  }
  Stats& last = ended_[lastYear];
  for (int k = 0; k < kStats; ++k) last[k].add(valueOf(history, k, lastYear));
}

void YearAggregate::merge(const YearAggregate& other) {
  if (other.lastYear() > lastYear()) reached_.resize(other.reached_.size());
  for (std::size_t y = 0; y < other.reached_.size(); ++y) {
    for (int k = 0; k < kStats; ++k) reached_[y][k].merge(other.reached_[y][k]);
  }
  for (const auto& [year, stats] : other.ended_) {
    Stats& mine = ended_[year];
    for (int k = 0; k < kStats; ++k) mine[k].merge(stats[k]);
  }
}

void YearAggregate::visitYears(const std::function<void(std::int32_t, const Stats&)>& visit) const {
  Stats before;  // the last values of the runs that ended before the year visited
  auto ended = ended_.begin();
  for (std::int32_t y = 0; y <= lastYear(); ++y) {
    for (; ended != ended_.end() && ended->first < y; ++ended) {
      for (int k = 0; k < kStats; ++k) before[k].merge(ended->second[k]);
    }
    Stats all = reached_[y];
    for (int k = 0; k < kStats; ++k) all[k].merge(before[k]);
    visit(y, all);
  }
}

void YearAggregate::encode(ByteWriter& out) const {
  out.put(static_cast<std::uint64_t>(reached_.size()));
  for (const Stats& stats : reached_) encodeStats(out, stats);
  out.put(static_cast<std::uint64_t>(ended_.size()));
  for (const auto& [year, stats] : ended_) {
    out.put(year);
    encodeStats(out, stats);
  }
}

YearAggregate YearAggregate::decode(ByteReader& in) {
  YearAggregate a;
  const auto years = in.get<std::uint64_t>();
  for (std::uint64_t y = 0; y < years; ++y) a.reached_.push_back(decodeStats(in));
  const auto ends = in.get<std::uint64_t>();
  for (std::uint64_t e = 0; e < ends; ++e) {
    const auto year = in.get<std::int32_t>();
    a.ended_[year] = decodeStats(in);
  }
  return a;
}

YearPoint describeYear(const YearAggregate::Stats& stats, int stat) {
  const ValueHistogram& h = stats[stat];
  const double scale = stat == History::kAvgFitness ? 1.0 / YearAggregate::kAvgScale : 1.0;
  const auto n = static_cast<double>(h.count());
  YearPoint p;
  p.mean = n > 0 ? static_cast<double>(h.sum()) / n * scale : 0.0;
  p.q1 = h.quantile(0.25) * scale;
  p.median = h.quantile(0.5) * scale;
  p.q3 = h.quantile(0.75) * scale;
  return p;
}

}  // namespace kestravin
