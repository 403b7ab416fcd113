#include <benchmark/benchmark.h>

#include "model/Chain.h"

namespace {

// One physics pass (compute phase, then move phase) over chains of growing
// length. Items are node-steps, and node_step is the time of one of them: it
// should stay flat from 41 to 41,000 nodes.
void BM_PhysicsPass(benchmark::State& state) {
  const auto nodes = static_cast<int>(state.range(0));
  chain::SpringArray springs;
  chain::SetUpChain(springs, nodes - 1);
  for (auto _ : state) {
    chain::PhysicsPass(springs);
    benchmark::DoNotOptimize(springs(1).yPos);
  }
  state.SetItemsProcessed(state.iterations() * nodes);
  state.counters["node_step"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * nodes,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PhysicsPass)->Arg(41)->Arg(410)->Arg(4100)->Arg(41000);

}  // namespace
