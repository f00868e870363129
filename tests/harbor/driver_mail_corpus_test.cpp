// Letters written by other mail programs (tests/harbor/mail_corpus: folded and encoded headers,
// odd charsets, missing headers, broken multiparts, very long lines, HTML-only, attachments only)
// go through the post office into a player's InBox; the player starts the real module and the
// mailbox list shows them. Each list line's three columns must hold what a person would expect
// (expected.tsv): one clean line per column, a column cut short only with "...".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "canvas.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "base/atoms.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(HARBOR_SCRIPTS_DIR).parent_path() / "mail_corpus";
constexpr std::size_t kBatch = 8;  // fewer than the list's visible rows

struct Letter {
    std::string file, from, subject, date;
};

// expected.tsv: one letter a line, its file and the three columns, tab-separated.
std::vector<Letter> Expected() {
    std::vector<Letter> letters;
    std::ifstream in(kCorpus / "expected.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream fields(line);
        Letter& letter = letters.emplace_back();
        for (std::string* field : {&letter.file, &letter.from, &letter.subject, &letter.date}) {
            std::getline(fields, *field, '\t');
        }
    }
    return letters;
}

// What a column shows for a text: the text, or its beginning and "..." when it had no room; never
// a control character.
bool Shows(const std::string& drawn, const std::string& text) {
    if (std::any_of(drawn.begin(), drawn.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        return false;
    }
    if (drawn == text) return true;
    if (text.empty()) return drawn == " " || drawn.empty();
    if (!drawn.ends_with("...") || drawn.size() < 8) return false;
    return text.starts_with(drawn.substr(0, drawn.size() - 3));
}

// Stands between the module and each canvas it draws on, keeping the last text drawn at each
// pen position: what the canvas shows as text.
class RecordingCanvas final : public CanvasInterface {
public:
    explicit RecordingCanvas(CanvasInterface* inner) : in_(inner) {}
    void HXCALL PenPosition(float* x, float* y) override { in_->PenPosition(x, y); }
    void HXCALL GetSize(int32_t* width, int32_t* height) override { in_->GetSize(width, height); }
    CanvasSize HXCALL Size() override { return in_->Size(); }
    void HXCALL LineTo(float x, float y) override { in_->LineTo(x, y); }
    void HXCALL MoveTo(float x, float y) override { in_->MoveTo(x, y); }
    void HXCALL Rectangle(float x, float y, float w, float h) override { in_->Rectangle(x, y, w, h); }
    void HXCALL SetPenWidth(float width) override { in_->SetPenWidth(width); }
    void HXCALL SetColor(uint8_t r, uint8_t g, uint8_t b) override { in_->SetColor(r, g, b); }
    void HXCALL DrawText(const char* text) override {
        float x = 0, y = 0;
        in_->PenPosition(&x, &y);
        texts_[{y, x}] = text != nullptr ? text : "";
        in_->DrawText(text);
    }
    void HXCALL MeasureText(const char* t, float* w, float* h) override { in_->MeasureText(t, w, h); }
    void HXCALL MeasureTextInt(const char* t, int32_t* w, int32_t* h) override { in_->MeasureTextInt(t, w, h); }
    void HXCALL Stroke() override { in_->Stroke(); }
    void HXCALL Fill() override { in_->Fill(); }
    void HXCALL SelectFont(const char* name, int32_t style, int32_t size) override { in_->SelectFont(name, style, size); }

    // (y, x) -> text, so that a row's columns come together in order.
    const std::map<std::pair<float, float>, std::string>& Texts() const { return texts_; }

private:
    CanvasInterface* in_;
    std::map<std::pair<float, float>, std::string> texts_;
};

class MailCorpusTest : public HarborFixture, public ::testing::WithParamInterface<std::size_t> {
protected:
    void SetUp() override {
        HarborFixture::SetUp();
        Options().data_dir = data_.Path();
        Options().mail.durable = false;
        fs::create_directories(data_.Path() / "MailBoxes" / "Players" / "p7");
        HxSetTraceHook(&MailCorpusTest::Intercept, this);
    }
    void TearDown() override {
        HxSetTraceHook(nullptr, nullptr);
        HarborFixture::TearDown();
    }

    // A draw request (30072) is seen before its handler runs: its canvas is swapped for ours.
    static void Intercept(int event, uint16_t, const EDict* record, int32_t, void* user) {
        if (event != HxTraceSend || record == nullptr || EDictGetType(record) != 30072) return;
        auto* self = static_cast<MailCorpusTest*>(user);
        auto* request = const_cast<EDict*>(record);
        const uint16_t key = harbor::AtomOf("Bitmap");
        auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(request, key));
        if (canvas == nullptr) return;
        std::unique_ptr<RecordingCanvas>& recorder = self->recorders_[canvas];
        if (recorder == nullptr) recorder = std::make_unique<RecordingCanvas>(canvas);
        EDictPutPointer(request, key, recorder.get());
    }

    // Every three-column line the canvases show, by canvas and row.
    std::vector<std::vector<std::string>> ShownLines() const {
        std::vector<std::vector<std::string>> lines;
        for (const auto& [canvas, recorder] : recorders_) {
            std::map<float, std::vector<std::string>> rows;
            for (const auto& [at, text] : recorder->Texts()) rows[at.first].push_back(text);
            for (auto& [y, texts] : rows) {
                if (texts.size() == 3) lines.push_back(texts);
            }
        }
        return lines;
    }

    harbor_test::TempDir data_;
    std::map<CanvasInterface*, std::unique_ptr<RecordingCanvas>> recorders_;
};

TEST_P(MailCorpusTest, EveryListLineShowsWhatAPersonExpects) {
    const std::vector<Letter> all = Expected();
    ASSERT_GE(all.size(), 30u);
    const std::size_t first = GetParam() * kBatch;
    if (first >= all.size()) GTEST_SKIP() << "no letters left for this batch";
    const std::vector<Letter> batch(all.begin() + static_cast<std::ptrdiff_t>(first),
                                    all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), first + kBatch)));

    harbor::PostOffice* office = GetSession().Mail().Office();
    ASSERT_NE(office, nullptr);
    for (const Letter& letter : batch) {
        const std::string text = harbor_test::ReadFile(kCorpus / (letter.file + ".eml"));
        ASSERT_FALSE(text.empty()) << letter.file;
        ASSERT_TRUE(office->Submit(text, {"p7@wrenmail.local"})) << letter.file;
    }
    ASSERT_EQ(office->DeliverSpool(), batch.size());

    ASSERT_TRUE(Start(harbor::Identity{"p7", std::nullopt, std::nullopt}));
    ASSERT_TRUE(SceneIs("ScWnMain"));
    Wait(100);
    GetSession().Canvases().Refresh();

    std::vector<std::vector<std::string>> shown = ShownLines();
    for (const Letter& letter : batch) {
        const auto match = std::find_if(shown.begin(), shown.end(), [&](const std::vector<std::string>& line) {
            return Shows(line[0], letter.from) && Shows(line[1], letter.subject) && Shows(line[2], letter.date);
        });
        if (match != shown.end()) {
            shown.erase(match);
            continue;
        }
        std::string seen;
        for (const auto& line : shown) seen += "\n  [" + line[0] + "] [" + line[1] + "] [" + line[2] + "]";
        ADD_FAILURE() << letter.file << ": no list line shows [" << letter.from << "] [" << letter.subject << "] ["
                      << letter.date << "]; the lines shown:" << seen;
    }
}

INSTANTIATE_TEST_SUITE_P(Batches, MailCorpusTest, ::testing::Range<std::size_t>(0, 5));

}  // namespace
