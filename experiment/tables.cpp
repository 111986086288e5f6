#include "experiment/tables.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace kestravin {

namespace {

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string paramsHeader() {
  std::string header;
  for (const auto& name : kParamNames) {
    header += ',';
    header += name;
  }
  return header;
}

std::string paramsFields(const SimParams& params) {
  std::string fields;
  for (int k = 0; k <= kFitStringParam; ++k) {
    fields += ',';
    fields += csvField(paramText(params, k));
  }
  return fields;
}

// "time-limit" becomes "timeLimit".
std::string camel(std::string_view name) {
  std::string out;
  bool upper = false;
  for (char c : name) {
    if (c == '-') {
      upper = true;
      continue;
    }
    out += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    upper = false;
  }
  return out;
}

}  // namespace

std::string_view completionName(Completion completion) {
  switch (completion) {
    case Completion::kComplete:
      return "complete";
    case Completion::kInterrupted:
      return "interrupted";
    case Completion::kFailed:
      break;
  }
  return "failed";
}

std::string formatReal(double value) {
  if (std::isnan(value)) return "";
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

void writeRunsCsv(std::ostream& out, const Plan& plan, const std::vector<RunRecord>& records) {
  out << "run,set,seed" << paramsHeader()
      << ",end,years,population,maxFitness,bestMaxFitness,bestAvgFitness,highestPop,"
         "lowestPop,births,deaths,firstPerfectYear\n";
  for (const RunRecord& r : records) {
    out << r.run << ',' << r.set << ',' << r.seed << paramsFields(plan.sets[r.set].params) << ','
        << endName(r.end) << ',' << r.years << ',' << r.population << ',' << r.maxFitness << ','
        << r.bestMaxFitness << ',' << formatReal(r.bestAvgFitness) << ',' << r.highestPop << ','
        << r.lowestPop << ',' << r.births << ',' << r.deaths << ',';
    if (r.perfect()) out << r.firstPerfectYear;
    out << '\n';
  }
}

void writeSummaryCsv(std::ostream& out, const Plan& plan, const std::vector<SetSummary>& sets,
                     Completion completion) {
  out << "set" << paramsHeader() << ",runs";
  for (RunEnd end : kNamedEnds) out << ',' << camel(endName(end)) << "Share";
  out << ",otherShare,perfectRuns,yearsMin,yearsQ1,yearsMedian,yearsQ3,yearsMax,yearsMean,"
         "yearsMeanLow,yearsMeanHigh,status\n";
  for (std::size_t k = 0; k < sets.size(); ++k) {
    const SetSummary& s = sets[k];
    out << k << paramsFields(plan.sets[k].params) << ',' << s.runs;
    for (std::int64_t count : s.ends) {
      out << ',';
      if (s.runs > 0) {
        char share[32];
        std::snprintf(share, sizeof share, "%.4f",
                      static_cast<double>(count) / static_cast<double>(s.runs));
        out << share;
      }
    }
    out << ',' << s.perfectRuns;
    for (double v : {s.min, s.q1, s.median, s.q3, s.max, s.mean, s.meanLow, s.meanHigh}) {
      out << ',' << formatReal(v);
    }
    out << ',' << completionName(completion) << '\n';
  }
}

void writeYearsCsv(std::ostream& out, const std::vector<YearAggregate>& sets) {
  out << "set,year";
  for (const auto& name : kStatNames) {
    for (const char* part : {"Mean", "Q1", "Median", "Q3"}) out << ',' << name << part;
  }
  out << '\n';
  for (std::size_t k = 0; k < sets.size(); ++k) {
    sets[k].visitYears([&](std::int32_t year, const YearAggregate::Stats& stats) {
      std::string line = std::to_string(k) + "," + std::to_string(year);
      for (int stat = 0; stat < YearAggregate::kStats; ++stat) {
        const YearPoint p = describeYear(stats, stat);
        for (double v : {p.mean, p.q1, p.median, p.q3}) {
          line += ',';
          line += formatReal(v);
        }
      }
      out << line << '\n';
    });
  }
}

}  // namespace kestravin
