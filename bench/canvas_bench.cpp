// The canvas's text measures as a rich text re-layout makes them: every token of a letter body
// measured once per layout. The cached canvas (after its first layout) against the same canvas
// that measures every time, on the same tokens.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "canvas/cairo_canvas.h"
#include "render/font_config.h"
#include "render/text_system.h"
#include "runtime/locations.h"

namespace {

const harbor::TextSystem& Fonts() {
    static const std::unique_ptr<harbor::TextSystem> text = [] {
        std::string error;
        harbor::SetUpFonts(harbor::FirstExisting(harbor::ContentCandidates(harbor::ExecutableDir())), error);
        return std::make_unique<harbor::TextSystem>(harbor::HarborFontConfig());
    }();
    return *text;
}

// The words and blanks of a body of about `bytes` bytes, as the layout's tokens: a child's
// letter, so words repeat as they do in real text.
std::vector<std::string> Tokens(std::size_t bytes) {
    static const char* const kWords[] = {
        "Dear", "Grandma,", "today", "we", "went", "to", "the", "park", "and", "I", "saw", "a", "big", "dog",
        "with", "spots.", "It", "ran", "after", "ball", "my", "brother", "threw", "over", "pond!", "Then",
        "had", "ice", "cream", "was", "strawberry", "flavour.", "Love", "from", "Annie", "school", "friends",
        "painted", "rainbow", "yesterday", "teacher", "said", "beautiful.", "See", "you", "soon", "xoxo"};
    std::vector<std::string> tokens;
    std::size_t size = 0;
    for (std::size_t i = 0; size < bytes; ++i) {
        // A little variety, as in a real body: numbers and names that occur once.
        std::string word = kWords[(i * 7 + i / 13) % std::size(kWords)];
        if (i % 97 == 0) word += std::to_string(i);
        size += word.size() + 1;
        tokens.push_back(std::move(word));
        tokens.emplace_back(" ");
    }
    return tokens;
}

void MeasureAll(benchmark::State& state, std::size_t cache) {
    const std::vector<std::string> tokens = Tokens(static_cast<std::size_t>(state.range(0)));
    harbor::CairoCanvas canvas(Fonts(), 524, 243, cache);
    canvas.SelectFont("Comic Sans MS", 0, 24);
    float width = 0, height = 0;
    for (const std::string& token : tokens) canvas.MeasureText(token.c_str(), &width, &height);  // the first layout
    for (auto _ : state) {
        float total = 0;
        for (const std::string& token : tokens) {
            canvas.MeasureText(token.c_str(), &width, &height);
            total += width;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tokens.size()));
}

void BM_MeasureLayoutTokens(benchmark::State& state) { MeasureAll(state, harbor::MeasureCache::kDefaultCapacity); }
BENCHMARK(BM_MeasureLayoutTokens)->Arg(20 * 1024)->Arg(100 * 1024)->Unit(benchmark::kMillisecond);

void BM_MeasureLayoutTokens_Baseline(benchmark::State& state) { MeasureAll(state, 0); }
BENCHMARK(BM_MeasureLayoutTokens_Baseline)->Arg(20 * 1024)->Arg(100 * 1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
