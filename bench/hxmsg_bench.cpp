// The cost of the messaging library's two delivery paths against doing the same work by hand.
#include <benchmark/benchmark.h>

#include <deque>

#include "hxmsg.h"

namespace {

constexpr int kBatch = 64;

bool HXCALL Consume(EDict* record) {
    benchmark::DoNotOptimize(record->type);
    return true;
}

uint16_t BenchPort() {
    static const auto port = static_cast<uint16_t>(DaNameGet("BenchPort"));
    return port;
}

EDict BenchRecord() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, 30035);
    EDictPutLong(&record, 1, 42);
    return record;
}

void BM_PortSend(benchmark::State& state) {
    HxReset();
    HxPortAttach(BenchPort(), Consume);
    EDict record = BenchRecord();
    for (auto _ : state) {
        benchmark::DoNotOptimize(HxPortSend(BenchPort(), &record));
    }
    HxReset();
}
BENCHMARK(BM_PortSend);

void BM_PortSend_Baseline(benchmark::State& state) {
    HxHandler handler = Consume;
    EDict record = BenchRecord();
    for (auto _ : state) {
        benchmark::DoNotOptimize(handler); // keeps the call indirect
        benchmark::DoNotOptimize(handler(&record));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PortSend_Baseline);

void BM_PostDeliver(benchmark::State& state) {
    HxReset();
    HxPortAttach(BenchPort(), Consume);
    EDict record = BenchRecord();
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) HxPortPost(BenchPort(), &record, 0);
        HxRunUntilIdle();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
    HxReset();
}
BENCHMARK(BM_PostDeliver);

void BM_PostDeliver_Baseline(benchmark::State& state) {
    std::deque<EDict> queue;
    HxHandler handler = Consume;
    EDict record = BenchRecord();
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i) queue.push_back(record);
        while (!queue.empty()) {
            EDict copy = queue.front();
            queue.pop_front();
            benchmark::DoNotOptimize(handler);
            benchmark::DoNotOptimize(handler(&copy));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_PostDeliver_Baseline);

} // namespace

BENCHMARK_MAIN();
