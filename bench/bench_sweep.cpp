// The experiment's cost per run against the same runs made with Simulation alone, one worker.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "engine/simulation.h"
#include "experiment/runner.h"

namespace {

using namespace kestravin;

constexpr std::uint32_t kRuns = 200;
std::atomic<int> gSignal{0};  // stands for the sweep's interrupt flag

// Short runs of team players over maxGen years toward a string they never reach.
SimParams shortRun(std::int32_t team, std::int32_t years) {
  SimParams p;
  p.mutation = 10;
  p.mutationDiv = 100;
  p.teamSize = team;
  p.ageStart = 5;
  p.ageDeath = 10;
  p.ageDeathDiv = 100;
  p.fitDeath = 25;
  p.fitDeathDiv = 100;
  p.birthChance = 60;
  p.birthChanceDiv = 100;
  p.maxGen = years;
  p.maxPop = team;
  p.fitString = "Kestravin evolves toward its fitness string";
  return p;
}

double playerYearsPerRun(const SimParams& params) {
  double total = 0;
  for (std::uint32_t k = 0; k < kRuns; ++k) {
    Simulation sim(params, k);
    while (sim.end() == RunEnd::kNone) {
      sim.advance();
      total += sim.stats().population;
    }
  }
  return total / kRuns;
}

void report(benchmark::State& state, const SimParams& params) {
  state.counters["us_per_run"] = benchmark::Counter(
      static_cast<double>(kRuns) * 1e-6,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["player_years_per_run"] = playerYearsPerRun(params);
}

void BM_SimulationAlone(benchmark::State& state) {
  const SimParams params = shortRun(static_cast<std::int32_t>(state.range(0)),
                                    static_cast<std::int32_t>(state.range(1)));
  for (auto _ : state) {
    for (std::uint32_t k = 0; k < kRuns; ++k) {
      Simulation sim(params, k);
      while (sim.end() == RunEnd::kNone) sim.advance();
      benchmark::DoNotOptimize(sim.stats().population);
    }
  }
  report(state, params);
}

void BM_Experiment(benchmark::State& state) {
  Plan plan;
  plan.sets = {{shortRun(static_cast<std::int32_t>(state.range(0)),
                         static_cast<std::int32_t>(state.range(1))),
                {}}};
  plan.runsPerSet = kRuns;
  for (auto _ : state) {
    Runner runner(plan, {0, 1}, 1, false, [] { return gSignal.load() != 0; });
    benchmark::DoNotOptimize(runner.finish().records.size());
  }
  report(state, plan.sets[0].params);
}

// {team, years}: about 1,000, 5,000 and 50,000 player-years a run.
BENCHMARK(BM_SimulationAlone)->Args({20, 100})->Args({50, 100})->Args({100, 500})->UseRealTime();
BENCHMARK(BM_Experiment)->Args({20, 100})->Args({50, 100})->Args({100, 500})->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
