// Nanoseconds per player-year of the yearly cycle, for teams kept near a steady maxPop.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>
#include <string>

#include "bench/steady_params.h"
#include "config/parameters.h"
#include "engine/simulation.h"
#ifdef KESTRAVIN_BENCH_LITERAL
#include "support/literal_model.h"
#endif

namespace {

using namespace kestravin;

using bench::steadyParams;

void reportRate(benchmark::State& state, double ns, double playerYears) {
  state.counters["ns_per_player_year"] = playerYears > 0 ? ns / playerYears : 0;
  state.counters["players"] =
      benchmark::Counter(playerYears / static_cast<double>(state.iterations()));
}

void BM_RunYear(benchmark::State& state) {
  const auto maxPop = static_cast<std::int32_t>(state.range(0));
  const SimParams params = steadyParams(maxPop, static_cast<std::size_t>(state.range(1)));
  std::optional<Simulation> run;
  auto restart = [&] {
    run.emplace(params, 12345);
    for (int y = 0; y < 20; ++y) run->advance();
  };
  restart();
  double ns = 0;
  double playerYears = 0;
  for (auto _ : state) {
    if (run->stats().population < maxPop / 4 || run->end() != RunEnd::kNone) restart();
    const double players = run->stats().population;
    const auto start = std::chrono::steady_clock::now();
    run->advance();
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    state.SetIterationTime(elapsed.count());
    ns += elapsed.count() * 1e9;
    playerYears += players;
  }
  reportRate(state, ns, playerYears);
}
BENCHMARK(BM_RunYear)
    ->ArgNames({"maxPop", "fitLength"})
    ->Args({200, 20})
    ->Args({10'000, 20})
    ->Args({100'000, 20})
    ->Args({10'000, 200})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

#ifdef KESTRAVIN_BENCH_LITERAL
// The plain linked-list model of the same rules, for comparison.
void BM_LiteralRunYear(benchmark::State& state) {
  const auto maxPop = static_cast<std::int32_t>(state.range(0));
  const SimParams p = steadyParams(maxPop, static_cast<std::size_t>(state.range(1)));
  literal::Params lp{p.mutation,    p.mutationDiv, p.teamSize,    p.ageStart,    p.ageDeath,
                     p.ageDeathDiv, p.fitDeath,    p.fitDeathDiv, p.birthChance, p.birthChanceDiv,
                     p.maxGen,      p.startYear,   p.maxPop,      p.fitString};
  auto model = std::make_unique<literal::Model>(lp, 12345);
  for (int y = 0; y < 20; ++y) model->runYear();
  double ns = 0;
  double playerYears = 0;
  for (auto _ : state) {
    if (model->population() < maxPop / 4) {
      model = std::make_unique<literal::Model>(lp, 12345);
      for (int y = 0; y < 20; ++y) model->runYear();
    }
    const double players = model->population();
    const auto start = std::chrono::steady_clock::now();
    model->runYear();
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    state.SetIterationTime(elapsed.count());
    ns += elapsed.count() * 1e9;
    playerYears += players;
  }
  reportRate(state, ns, playerYears);
}
BENCHMARK(BM_LiteralRunYear)
    ->ArgNames({"maxPop", "fitLength"})
    ->Args({10'000, 20})
    ->Args({100'000, 20})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
