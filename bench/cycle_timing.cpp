// Nanoseconds per player-year of the yearly cycle, for teams kept near a steady maxPop, timed
// by the program itself so that it builds wherever the engine does (WebAssembly included).
//   kestravin-cycle-timing [seconds per case]
// prints one line per case: "maxPop fitLength wall-ns cpu-ns years", the ns per player-year
// by the wall clock and by the processor time of the process. On a machine shared with other
// work the second is the steadier: time spent waiting for a processor is not in it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "bench/steady_params.h"
#include "engine/simulation.h"

namespace {

using namespace kestravin;

// The only code here that knows the engine: a team kept near maxPop, one year at a time.
class SteadyRun {
 public:
  explicit SteadyRun(const SimParams& params) : params_(params) { restart(); }

  /// Whether the team has shrunk to a quarter of maxPop or its run has ended, so that the
  /// next year would not be a steady one.
  bool spent() const {
    return run_->stats().population < params_.maxPop / 4 || run_->end() != RunEnd::kNone;
  }
  /// A fresh team, 20 years into its run.
  void restart() {
    run_.emplace(params_, 12345);
    for (int y = 0; y < 20; ++y) runYear();
  }
  /// The players alive before the next year.
  std::int32_t population() const { return run_->stats().population; }
  void runYear() { run_->advance(); }

 private:
  SimParams params_;
  std::optional<Simulation> run_;
};

#ifdef __EMSCRIPTEN__
// Emscripten's clock_gettime knows no processor-time clock; Node tells it in microseconds.
EM_JS(double, nodeCpuMicroseconds, (), {
  const used = process.cpuUsage();
  return used.user + used.system;
});
double cpuNanoseconds() {
  return nodeCpuMicroseconds() * 1e3;
}
#else
double cpuNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}
#endif

struct Case {
  std::int32_t maxPop;
  std::size_t fitLength;
};
constexpr Case kCases[] = {{200, 20}, {10'000, 20}, {100'000, 20}, {10'000, 200}};

// Times whole years only, never a restart, until `seconds` of them have passed; the clock is
// read around runs of up to 64 years, since a read costs about as much as a small team's year
// in WebAssembly. A quarter second of years comes first, untimed: a WebAssembly engine
// compiles the hot code again, optimised, only once it has run a while.
void measure(const Case& c, double seconds) {
  SteadyRun run(bench::steadyParams(c.maxPop, c.fitLength));
  using Clock = std::chrono::steady_clock;
  for (const auto warm = Clock::now(); Clock::now() - warm < std::chrono::milliseconds(250);) {
    if (run.spent()) run.restart();
    run.runYear();
  }
  double ns = 0;
  double cpuNs = 0;
  double playerYears = 0;
  long years = 0;
  while (ns < seconds * 1e9) {
    if (run.spent()) run.restart();
    const auto start = Clock::now();
    const double cpuStart = cpuNanoseconds();
    for (int i = 0; i < 64 && !run.spent(); ++i, ++years) {
      playerYears += run.population();
      run.runYear();
    }
    cpuNs += cpuNanoseconds() - cpuStart;
    ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  }
  std::printf("%d %zu %.3f %.3f %ld\n", c.maxPop, c.fitLength, ns / playerYears,
              cpuNs / playerYears, years);
  std::fflush(stdout);
}

// A number of seconds above 0 and at most an hour, and nothing else; 0 when there is none.
double parseSeconds(const char* text) {
  char* end = nullptr;
  const double s = std::strtod(text, &end);
  return end != text && *end == '\0' && s > 0 && s <= 3600 ? s : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc == 2 ? parseSeconds(argv[1]) : 1.0;
  if (argc > 2 || seconds == 0) {
    std::fprintf(stderr, "usage: %s [seconds per case, above 0 and at most 3600]\n", argv[0]);
    return 2;
  }
  for (const Case& c : kCases) measure(c, seconds);
  return 0;
}
