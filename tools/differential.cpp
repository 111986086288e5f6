// Runs a fixed set of generated experiments and writes each one's report and history CSV, so
// that two builds (the 64-bit program and the 32-bit one with x87 arithmetic) can be
// compared byte for byte.
//   kestravin-differential FOLDER [CASES]
// Case k draws its parameters, fitness string and seed from k alone: fitness strings of 1 to
// 255 characters over every byte value but NUL, every shape of divisor, thresholds from
// negative to far beyond the range, and borderline birth chances.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "config/parameters.h"
#include "engine/simulation.h"
#include "report/history_csv.h"
#include "report/report_writer.h"

namespace {

using kestravin::SimParams;

// Draws from a generator whose sequence is the same on every platform.
class Draws {
 public:
  explicit Draws(std::uint32_t seed) : engine_(seed) {}
  std::int64_t below(std::int64_t n) { return static_cast<std::int64_t>(engine_() % n); }
  std::int32_t pick(std::initializer_list<std::int32_t> values) {
    return values.begin()[below(static_cast<std::int64_t>(values.size()))];
  }

 private:
  std::mt19937 engine_;
};

std::int32_t divisor(Draws& d) {
  return d.pick({1, 2, 3, 7, 10, 100, 101, 255, 256, 1000, 4096, 32768, 33000, 40000, 50000, 65534,
                 65535, static_cast<std::int32_t>(1 + d.below(65535))});
}

// A chance or scale: below, inside or beyond its divisor's range.
std::int32_t scale(Draws& d, std::int32_t div) {
  switch (d.below(6)) {
    case 0:
      return 0;
    case 1:
      return -static_cast<std::int32_t>(d.below(1000));
    case 2:
      return div;
    case 3:
      return static_cast<std::int32_t>(d.below(div) + 1);
    case 4:
      return static_cast<std::int32_t>(d.below(1'000'000'000));
    default:
      return static_cast<std::int32_t>(d.below(div / 3 + 2));
  }
}

SimParams caseParams(std::uint32_t k, std::uint32_t& seed) {
  Draws d(0x4B455354u ^ (k * 2654435761u));
  SimParams p;
  p.mutationDiv = divisor(d);
  p.mutation = scale(d, p.mutationDiv);
  p.teamSize = static_cast<std::int32_t>(d.below(k % 10 == 0 ? 200 : 60));
  p.ageStart = d.pick({0, 1, 2, 3, 5, 10, static_cast<std::int32_t>(d.below(20))});
  p.ageDeathDiv = divisor(d);
  p.ageDeath = scale(d, p.ageDeathDiv);
  p.fitDeathDiv = divisor(d);
  p.fitDeath = scale(d, p.fitDeathDiv);
  p.birthChanceDiv = divisor(d);
  p.birthChance = scale(d, p.birthChanceDiv);
  p.maxGen = static_cast<std::int32_t>(d.below(k % 10 == 0 ? 120 : 50));
  p.startYear = static_cast<std::int32_t>(d.below(4000)) - 2000;
  p.maxPop = static_cast<std::int32_t>(d.below(600)) - 20;
  if (k % 16 == 7) {
    // Birth chances whose product with one whole fertility (64, 80 or 97) lies within a
    // rounding of a float midpoint next to -2^31: in doubles the birth never happens, in more
    // precise arithmetic it always does. A team that breeds for some years shows it.
    constexpr std::int32_t kBorderline[] = {-1677721700, -1342177360, -1106950400};
    p.birthChance = kBorderline[k / 16 % 3];
    p.teamSize = std::max(p.teamSize, 150);
    p.maxPop = std::max(p.maxPop, 400);
    p.maxGen = std::max(p.maxGen, 10);
  }
  const std::int64_t length = k < 255 ? k % 255 + 1 : d.below(255) + 1;
  const std::int32_t low = static_cast<std::int32_t>(d.below(255)) + 1;
  const std::int32_t span = static_cast<std::int32_t>(d.below(256 - low)) + 1;
  for (std::int64_t i = 0; i < length; ++i) {
    p.fitString += static_cast<char>(low + d.below(span));  // codes low..low+span-1, no NUL
  }
  seed = static_cast<std::uint32_t>(d.below(std::int64_t{1} << 32));
  return p;
}

// Writes a file whole; false when it could not be written.
bool writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kestravin-differential FOLDER [CASES]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int cases = argc > 2 ? std::atoi(argv[2]) : 255;
  if (cases < 1) {
    std::fprintf(stderr, "kestravin-differential: CASES must be a positive number\n");
    return 2;
  }
  std::error_code error;  // a folder that cannot be made fails at the first file
  std::filesystem::create_directories(folder, error);
  int ends[6] = {};
  std::int64_t playerYears = 0;
  for (int k = 0; k < cases; ++k) {
    std::uint32_t seed = 0;
    const SimParams params = caseParams(static_cast<std::uint32_t>(k), seed);
    if (!kestravin::findProblems(params).empty()) {
      std::fprintf(stderr, "case %d: its parameters fail the checks\n", k);
      return 1;
    }
    kestravin::Simulation run(params, seed);
    std::string report = kestravin::formatReportBlock(run.team(), params.startYear);
    while (run.end() == kestravin::RunEnd::kNone) {
      playerYears += run.stats().population;
      run.advance();
      report.append(kestravin::formatReportBlock(run.team(), params.startYear));
    }
    const std::string name = "case-" + std::to_string(k);
    // An output that is not written whole would make the comparison pass on nothing.
    if (!writeFile(folder / (name + ".txt"), report) ||
        !writeFile(folder / (name + ".csv"),
                   kestravin::formatHistoryCsv(run.history(), run.stats().year))) {
      std::fprintf(stderr, "kestravin-differential: cannot write case %d into %s\n", k,
                   folder.string().c_str());
      return 1;
    }
    ++ends[static_cast<int>(run.end())];
  }
  std::printf("%d cases, %lld player-years: %d time limit, %d efficient, %d extinct\n", cases,
              static_cast<long long>(playerYears), ends[1], ends[2], ends[3]);
  return 0;
}
