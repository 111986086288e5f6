#include "experiment/exchange.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "config/constants_file.h"

namespace kestravin {

std::string encodePlan(const PlanMessage& message) {
  ByteWriter out;
  out.put(static_cast<std::int32_t>(message.status));
  out.put(static_cast<std::int32_t>(message.jobs));
  out.put(message.perYear);
  out.put(message.plan.runsPerSet);
  out.put(message.plan.seed);
  out.put(static_cast<std::uint64_t>(message.plan.sets.size()));
  for (const ParamSet& set : message.plan.sets) {
    out.putText(formatConstants(set.params));
    out.put(static_cast<std::uint64_t>(set.varied.size()));
    for (const std::string& value : set.varied) out.putText(value);
  }
  return std::move(out.bytes());
}

PlanMessage decodePlan(const std::string& bytes) {
  ByteReader in(bytes);
  PlanMessage message;
  message.status = in.get<std::int32_t>();
  message.jobs = in.get<std::int32_t>();
  message.perYear = in.get<bool>();
  message.plan.runsPerSet = in.get<std::int64_t>();
  message.plan.seed = in.get<std::uint32_t>();
  const auto sets = in.get<std::uint64_t>();
  if (sets > static_cast<std::uint64_t>(kMaxSets)) throw std::runtime_error("too many sets");
  for (std::uint64_t k = 0; k < sets; ++k) {
    std::istringstream text(in.getText());
    const ConstantsReading reading = readConstants(text);
    if (!reading.problems.empty()) throw std::runtime_error("a set's parameters do not read back");
    ParamSet set{reading.params, {}};
    const auto varied = in.get<std::uint64_t>();
    for (std::uint64_t v = 0; v < varied; ++v) set.varied.push_back(in.getText());
    message.plan.sets.push_back(std::move(set));
  }
  return message;
}

std::string encodeResult(const RunnerResult& result) {
  ByteWriter out;
  out.put(result.stopped);
  out.putText(result.failure);
  out.put(static_cast<std::uint64_t>(result.records.size()));
  for (const RunRecord& r : result.records) out.put(r);
  out.put(static_cast<std::uint64_t>(result.years.size()));
  for (const YearAggregate& a : result.years) a.encode(out);
  return std::move(out.bytes());
}

RunnerResult decodeResult(const std::string& bytes) {
  ByteReader in(bytes);
  RunnerResult result;
  result.stopped = in.get<bool>();
  result.failure = in.getText();
  const auto records = in.get<std::uint64_t>();
  if (records > bytes.size() / sizeof(RunRecord)) throw std::runtime_error("too many runs");
  result.records.reserve(static_cast<std::size_t>(records));
  for (std::uint64_t k = 0; k < records; ++k) result.records.push_back(in.get<RunRecord>());
  const auto years = in.get<std::uint64_t>();
  if (years > static_cast<std::uint64_t>(kMaxSets)) throw std::runtime_error("too many sets");
  for (std::uint64_t k = 0; k < years; ++k) result.years.push_back(YearAggregate::decode(in));
  return result;
}

RunnerResult mergeResults(const std::vector<RunnerResult>& parts, std::size_t sets) {
  RunnerResult all;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const RunnerResult& part = parts[p];
    all.records.insert(all.records.end(), part.records.begin(), part.records.end());
    all.stopped = all.stopped || part.stopped;
    if (all.failure.empty() && !part.failure.empty()) {
      all.failure = "process " + std::to_string(p) + ": " + part.failure;
    }
    if (part.years.empty()) continue;
    all.years.resize(sets);
    for (std::size_t k = 0; k < sets && k < part.years.size(); ++k) {
      all.years[k].merge(part.years[k]);
    }
  }
  std::sort(all.records.begin(), all.records.end(),
            [](const RunRecord& a, const RunRecord& b) { return a.run < b.run; });
  return all;
}

}  // namespace kestravin
