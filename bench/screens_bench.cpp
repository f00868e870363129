// The main screen's list: refreshing it from the header list (build the records, sort, format each
// line with the host's date text, add it) against sorting the same records alone; and painting one
// screenful of rows on Harbor's canvas against filling the same area once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "canvas/cairo_canvas.h"
#include "controls/mailbox_list.h"
#include "hxmsg.h"
#include "messaging/name_atoms.h"
#include "render/font_config.h"
#include "render/text_system.h"
#include "screens/mailbox_lines.h"
#include "store/address_book.h"
#include "store/message_header_list.h"

namespace {

constexpr int32_t kListWidth = 405;
constexpr int32_t kListHeight = 195;
constexpr int32_t kBarWidth = 16;

// The regional service's part of a refresh: a short date text per line.
bool HXCALL FormatDate(EDict* record) {
    auto* buffer = static_cast<char*>(HxDeref(static_cast<uint32_t>(EDictGetLong(record, atoms::files::STRING))));
    const auto size = static_cast<size_t>(EDictGetLong(record, atoms::files::SIZE));
    const auto date = static_cast<uint32_t>(EDictGetLong(record, atoms::files::DATE));
    std::snprintf(buffer, size, "%02u/%02u/%02u", date % 28 + 1, date / 28 % 12 + 1, date / 336 % 100);
    return true;
}

wm::ListBoxGeometry Spec() {
    return wm::ListBoxGeometry{155, 180, kListWidth, kListHeight, kBarWidth, false, atoms::ports::ScWnMain,
                           atoms::ports::WrenmailMainPort, 0, 0, true, 10};
}

// A mailbox of `count` messages from a few dozen senders, dates spread and repeated.
// A book that names nobody: the refresh is measured without address-book reads.
class NoNames final : public wm::SenderNames {
public:
    const char* NameFor(const char*) const override { return nullptr; }
};

struct Mailbox {
    explicit Mailbox(std::size_t count) {
        HxReset();
        HxPortAttach(atoms::RegionalPort, &FormatDate);
        uint32_t seed = 12345;
        for (std::size_t n = 0; n < count; ++n) {
            seed = seed * 1103515245u + 12345u;
            const std::string from = "Friend " + std::to_string(seed % 40) + " <kid" + std::to_string(seed % 40) +
                                     "@kite.example>";
            const std::string subject = "About the kites, part " + std::to_string(seed % 977);
            wm::AppendHeader(&headers, from.c_str(), subject.c_str(), seed >> 8, static_cast<uint32_t>(n + 1),
                             1 + seed % 2);
        }
        list = std::make_unique<wm::PMMailboxList>(Spec(), wm::ColumnShares{25, 58, 17});
    }
    ~Mailbox() {
        list.reset();
        HxReset();
    }
    wm::MessageHeaderList headers;
    NoNames book;
    std::unique_ptr<wm::PMMailboxList> list;
};

void BM_RefreshList(benchmark::State& state) {
    Mailbox box(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        wm::FillMailboxList(*box.list, box.headers, box.book, wm::SortOrder{wm::SortByDate, true});
        benchmark::DoNotOptimize(box.list->GetItemCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_RefreshList_Baseline(benchmark::State& state) {
    Mailbox box(static_cast<std::size_t>(state.range(0)));
    const std::vector<wm::MailboxLine> built = wm::BuildLines(box.headers, box.book);
    std::vector<wm::MailboxLine> lines;
    for (auto _ : state) {
        state.PauseTiming();
        lines = built;
        state.ResumeTiming();
        std::sort(lines.begin(), lines.end(),
                  [](const wm::MailboxLine& a, const wm::MailboxLine& b) { return b.date < a.date; });
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_RefreshList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshList_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const harbor::TextSystem& Fonts() {
    static const harbor::TextSystem fonts(harbor::HarborFontConfig());
    return fonts;
}

constexpr int32_t kRowsWidth = kListWidth - kBarWidth;

void BM_PaintListScreen(benchmark::State& state) {
    Mailbox box(200);
    wm::FillMailboxList(*box.list, box.headers, box.book, wm::SortOrder{wm::SortByDate, true});
    box.list->SetFont("Comic Sans MS", 14);
    harbor::CairoCanvas canvas(Fonts(), kRowsWidth, kListHeight);
    const auto step = static_cast<int32_t>(std::max<uint32_t>(box.list->MeasureRowHeight(canvas), 1));
    for (auto _ : state) {
        uint32_t row = 0;
        for (int32_t y = 0; y < kListHeight; y += step, ++row) {
            box.list->DrawItem(canvas, row, 0, y, kRowsWidth - 1, y + step - 1, row == 2);
        }
        benchmark::DoNotOptimize(row);
    }
}

void BM_PaintListScreen_Baseline(benchmark::State& state) {
    harbor::CairoCanvas canvas(Fonts(), kRowsWidth, kListHeight);
    for (auto _ : state) {
        canvas.SetColor(240, 246, 244);
        canvas.Rectangle(0.0f, 0.0f, static_cast<float>(kRowsWidth), static_cast<float>(kListHeight));
        canvas.Fill();
    }
}

BENCHMARK(BM_PaintListScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintListScreen_Baseline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
