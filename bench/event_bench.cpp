// Cost of invoking an event, per record, for short and very long record lists. The time per
// record must stay flat as the list grows (an invocation is linear in the number of records).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "game/Event.hpp"

namespace {

void AddDelta(void* target, float deltaTime) {
    *static_cast<float*>(target) += deltaTime;
}

void InvokeUpdateEvent(benchmark::State& state) {
    const auto records = static_cast<std::size_t>(state.range(0));
    // One target per record, as with one subscribed behaviour per record.
    std::vector<float> targets(records, 0.0f);
    Event<float> update;
    for (float& target : targets) update.Subscribe(&target, &AddDelta);

    for (auto _ : state) {
        update.Invoke(1.0f / 60.0f);
        benchmark::DoNotOptimize(targets.data());
        benchmark::ClobberMemory();
    }
    // Inverted rate of records per second: seconds per record.
    state.counters["time_per_record"] = benchmark::Counter(
        static_cast<double>(records),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}

}  // namespace

BENCHMARK(InvokeUpdateEvent)->Arg(10)->Arg(1000)->Arg(100000);
