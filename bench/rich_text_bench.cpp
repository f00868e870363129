// The rich text view on Harbor's canvas: laying out a 20 KB and a 100 KB body against measuring the
// same tokens once each with the same canvas; and one keystroke in the middle of a 20 KB body (the
// key, the layout again and one screenful painted), which must stay within a frame (16 ms).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas/cairo_canvas.h"
#include "controls/control_atoms.h"
#include "controls/rich_text_view.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "render/font_config.h"
#include "render/text_system.h"
#include "virtual_keys.h"

namespace {

// The write screen's paper: PvtWrMessage is 524 by 243.
constexpr int32_t kSpriteWidth = 524;
constexpr int32_t kSpriteHeight = 243;

const harbor::TextSystem& Fonts() {
    static const harbor::TextSystem fonts(harbor::HarborFontConfig());
    return fonts;
}

uint16_t Scene() { return wm::FetchAtom("Rich Text Bench Scene"); }
uint16_t Sprite() { return wm::FetchAtom("PvtWrMessage"); }

bool HXCALL AnswerRect(EDict* record) {
    if (EDictGetType(record) == code::kGetRect) {
        EDictPutLong(record, atoms::RX1, 14);
        EDictPutLong(record, atoms::RY1, 164);
        EDictPutLong(record, atoms::RX2, 14 + kSpriteWidth);
        EDictPutLong(record, atoms::RY2, 164 + kSpriteHeight);
    }
    return true;
}

// A letter of `bytes` characters: words of 1 to 9 letters, a paragraph every 40 to 80 words.
std::string Letter(std::size_t bytes) {
    std::string text;
    uint32_t seed = 2024;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    uint32_t words_left = 40 + next(40);
    while (text.size() < bytes) {
        const uint32_t letters = 1 + next(9);
        for (uint32_t i = 0; i < letters; ++i) {
            text.push_back(static_cast<char>('a' + next(26)));
        }
        if (--words_left == 0) {
            text.push_back('\n');
            words_left = 40 + next(40);
        } else {
            text.push_back(' ');
        }
    }
    text.resize(bytes);
    return text;
}

// The tokens the layout measures: each word, each space and each line feed alone.
std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\n') {
            if (!word.empty()) {
                tokens.push_back(word);
                word.clear();
            }
            tokens.emplace_back(1, c);
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) {
        tokens.push_back(word);
    }
    return tokens;
}

// A focused view on the write screen's paper holding the letter.
struct Paper {
    explicit Paper(std::size_t bytes) : text(Letter(bytes)) {
        HxReset();
        HxPortAttach(Scene(), &AnswerRect);
        view = std::make_unique<wm::RichTextView>(Scene(), Sprite());
        EDict ready;
        EDictClear(&ready);
        EDictSetType(&ready, code::kSpriteReady);
        EDictPutShort(&ready, atoms::NAME, Sprite());
        view->HandleMessage(&ready);
        view->Focus();
        view->LoadPlainBodyText(text.c_str());
    }
    ~Paper() {
        view.reset();
        HxReset();
    }

    void Paint() {
        EDict draw;
        EDictClear(&draw);
        EDictSetType(&draw, code::kDraw);
        EDictPutShort(&draw, atoms::NAME, Sprite());
        EDictPutPointer(&draw, atoms::controls::Bitmap, &canvas);
        view->HandleMessage(&draw);
    }

    std::string text;
    harbor::CairoCanvas canvas{Fonts(), kSpriteWidth, kSpriteHeight};
    std::unique_ptr<wm::RichTextView> view;
};

void BM_RichTextLayOut(benchmark::State& state) {
    Paper paper(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        paper.view->Layout().BreakLines(paper.canvas);
        benchmark::DoNotOptimize(paper.view->Layout().LineCount());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_RichTextLayOut_Baseline(benchmark::State& state) {
    Paper paper(static_cast<std::size_t>(state.range(0)));
    const std::vector<std::string> tokens = Tokens(paper.text);
    for (auto _ : state) {
        float sum = 0.0f;
        for (const std::string& token : tokens) {
            float width = 0.0f;
            float height = 0.0f;
            paper.canvas.SelectFont("Comic Sans MS", 0, 24);
            paper.canvas.MeasureText(token.c_str(), &width, &height);
            sum += width;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_RichTextLayOut)->Arg(20 * 1024)->Arg(100 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RichTextLayOut_Baseline)->Arg(20 * 1024)->Arg(100 * 1024)->Unit(benchmark::kMillisecond);

// One key per iteration in the middle of the letter, typing and rubbing out by turns so that the
// letter keeps its size; each is followed by the paint that lays the text out again.
void BM_RichTextKeystroke(benchmark::State& state) {
    Paper paper(20 * 1024);
    paper.Paint();
    paper.view->Cursor().MoveTo(static_cast<uint32_t>(paper.text.size() / 2));
    paper.Paint();
    bool typing = true;
    for (auto _ : state) {
        EDict key;
        EDictClear(&key);
        EDictSetType(&key, code::kKeyPressed);
        EDictPutLong(&key, atoms::KEY, typing ? VKEY_X : VKEY_BACKSPACE);
        if (typing) {
            EDictPutLong(&key, atoms::ASCII, 'x');
        }
        paper.view->HandleMessage(&key);
        paper.Paint();
        typing = !typing;
        state.PauseTiming();
        HxAdvanceTime(1);  // the cursor's posts are delivered, as the host would between frames
        state.ResumeTiming();
    }
}

BENCHMARK(BM_RichTextKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
