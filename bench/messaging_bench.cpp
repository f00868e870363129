// The record and the chained dictionary against plain containers doing the same work.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "edict.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"

namespace {

constexpr int kRecordKeys = 16;
constexpr int kDictKeys = 1000;

// Keys as atoms, so none of them collides with the atom of NEXT.
const std::vector<uint16_t>& DictKeys() {
    static const std::vector<uint16_t> keys = [] {
        std::vector<uint16_t> made;
        for (int i = 0; i < kDictKeys; ++i) {
            made.push_back(wm::FetchAtomFormat("BenchKey%d", i));
        }
        return made;
    }();
    return keys;
}

void BM_RecordPutGetRemove(benchmark::State& state) {
    const auto& keys = DictKeys();
    EDict record;
    for (auto _ : state) {
        EDictClear(&record);
        for (int i = 0; i < kRecordKeys; ++i) {
            EDictPutLong(&record, keys[static_cast<std::size_t>(i)], i);
        }
        int64_t sum = 0;
        for (int i = 0; i < kRecordKeys; ++i) {
            sum += EDictGetLong(&record, keys[static_cast<std::size_t>(i)]);
        }
        for (int i = 0; i < kRecordKeys; ++i) {
            EDictRemove(&record, keys[static_cast<std::size_t>(i)]);
        }
        benchmark::DoNotOptimize(sum);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RecordPutGetRemove);

// 32 (key, value) pairs scanned linearly: the record without its packed data area.
struct PairArray {
    std::array<uint16_t, 32> keys{};
    std::array<int32_t, 32> values{};

    bool Put(uint16_t key, int32_t value) {
        int free = -1;
        for (int i = 0; i < 32; ++i) {
            if (keys[i] == key) {
                values[i] = value;
                return true;
            }
            if (free < 0 && keys[i] == 0) {
                free = i;
            }
        }
        if (free < 0) {
            return false;
        }
        keys[free] = key;
        values[free] = value;
        return true;
    }
    int32_t Get(uint16_t key) const {
        for (int i = 0; i < 32; ++i) {
            if (keys[i] == key) {
                return values[i];
            }
        }
        return 0;
    }
    bool Remove(uint16_t key) {
        for (int i = 0; i < 32; ++i) {
            if (keys[i] == key) {
                keys[i] = 0;
                return true;
            }
        }
        return false;
    }
};

void BM_RecordPutGetRemove_Baseline(benchmark::State& state) {
    const auto& keys = DictKeys();
    PairArray pairs;
    benchmark::DoNotOptimize(&pairs);
    for (auto _ : state) {
        pairs = PairArray{};
        for (int i = 0; i < kRecordKeys; ++i) {
            pairs.Put(keys[static_cast<std::size_t>(i)], i);
        }
        int64_t sum = 0;
        for (int i = 0; i < kRecordKeys; ++i) {
            sum += pairs.Get(keys[static_cast<std::size_t>(i)]);
        }
        for (int i = 0; i < kRecordKeys; ++i) {
            pairs.Remove(keys[static_cast<std::size_t>(i)]);
        }
        benchmark::DoNotOptimize(sum);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RecordPutGetRemove_Baseline);

void BM_DictObject1000(benchmark::State& state) {
    const auto& keys = DictKeys();
    for (auto _ : state) {
        wm::DictObject dict;
        for (int i = 0; i < kDictKeys; ++i) {
            dict.PutLong(keys[static_cast<std::size_t>(i)], i);
        }
        int64_t sum = 0;
        for (int i = 0; i < kDictKeys; ++i) {
            sum += dict.GetLong(keys[static_cast<std::size_t>(i)]);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DictObject1000);

// The same put-or-overwrite and get, by a linear scan over one flat array of keys.
void BM_DictObject1000_BaselineLinear(benchmark::State& state) {
    const auto& keys = DictKeys();
    for (auto _ : state) {
        std::vector<std::pair<uint16_t, int32_t>> flat;
        flat.reserve(kDictKeys);
        for (int i = 0; i < kDictKeys; ++i) {
            const uint16_t key = keys[static_cast<std::size_t>(i)];
            bool found = false;
            for (auto& entry : flat) {
                if (entry.first == key) {
                    entry.second = i;
                    found = true;
                    break;
                }
            }
            if (!found) {
                flat.emplace_back(key, i);
            }
        }
        int64_t sum = 0;
        for (int i = 0; i < kDictKeys; ++i) {
            const uint16_t key = keys[static_cast<std::size_t>(i)];
            for (const auto& entry : flat) {
                if (entry.first == key) {
                    sum += entry.second;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(flat.data());
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DictObject1000_BaselineLinear);

void BM_DictObject1000_BaselineMap(benchmark::State& state) {
    const auto& keys = DictKeys();
    for (auto _ : state) {
        std::unordered_map<uint16_t, int32_t> map;
        for (int i = 0; i < kDictKeys; ++i) {
            map[keys[static_cast<std::size_t>(i)]] = i;
        }
        int64_t sum = 0;
        for (int i = 0; i < kDictKeys; ++i) {
            sum += map.find(keys[static_cast<std::size_t>(i)])->second;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DictObject1000_BaselineMap);

}  // namespace

BENCHMARK_MAIN();
