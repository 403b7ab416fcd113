#include <benchmark/benchmark.h>

#include "model/Chain.h"

namespace {

// One physics pass (compute phase, then move phase) over chains of growing length;
// items processed are node-steps, so the per-item time should stay flat.
void BM_PhysicsPass(benchmark::State& state) {
  chain::SpringArray springs;
  chain::SetUpChain(springs, static_cast<int>(state.range(0)) - 1);
  for (auto _ : state) {
    chain::PhysicsPass(springs);
    benchmark::DoNotOptimize(springs(1).yPos);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PhysicsPass)->Arg(41)->Arg(410)->Arg(4100)->Arg(41000);

}  // namespace
