// Typing into a letter body: 10,000 characters entered one by one, at the end and in the middle
// of a 100 KB body, against std::string::insert of the same characters at the same places.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "richtext/rich_document.h"

namespace {

constexpr std::size_t kBodyBytes = 100 * 1024;
constexpr int kTyped = 10000;

// A plain letter body of about 100 KB, with line ends as the write screen saves them.
const std::string& Body() {
    static const std::string body = [] {
        std::string made;
        while (made.size() < kBodyBytes) made += "Dear Sam, we went to the lake today and saw three ducks.\r\n";
        made.resize(kBodyBytes);
        return made;
    }();
    return body;
}

char Typed(int i) {
    return "the quick brown fox jumps over the lazy dog "[i % 44];
}

// The position the next character goes to: the end, or the middle moving right as one types.
uint32_t Where(bool middle, uint32_t length, int i) {
    return middle ? static_cast<uint32_t>(kBodyBytes / 2) + static_cast<uint32_t>(i) + 1 : length + 1;
}

void TypeIntoDocument(benchmark::State& state, bool middle) {
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<wm::RichDocument>();
        document->LoadPlainBodyText(Body().c_str());
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            document->InsertCharacter(Where(middle, document->Length(), i), Typed(i));
        }
        benchmark::DoNotOptimize(document->Length());
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
}

void TypeIntoString(benchmark::State& state, bool middle) {
    for (auto _ : state) {
        state.PauseTiming();
        std::string text = Body();
        state.ResumeTiming();
        for (int i = 0; i < kTyped; ++i) {
            const uint32_t position = Where(middle, static_cast<uint32_t>(text.size()), i);
            text.insert(position - 1, 1, Typed(i));
        }
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        text = std::string();
        state.ResumeTiming();
    }
}

void BM_TypeAtEnd(benchmark::State& state) {
    TypeIntoDocument(state, false);
}
void BM_TypeAtEnd_Baseline(benchmark::State& state) {
    TypeIntoString(state, false);
}
void BM_TypeInMiddle(benchmark::State& state) {
    TypeIntoDocument(state, true);
}
void BM_TypeInMiddle_Baseline(benchmark::State& state) {
    TypeIntoString(state, true);
}

BENCHMARK(BM_TypeAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEnd_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInMiddle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInMiddle_Baseline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
