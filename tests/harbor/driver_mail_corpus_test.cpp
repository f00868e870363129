// Letters written by other mail programs (tests/harbor/mail_corpus: folded and encoded headers,
// odd charsets, missing headers, broken multiparts, very long lines, HTML-only, attachments only)
// go through the post office into a player's InBox; the player starts the real module and the
// mailbox list shows them. Each list line's three columns must hold what a person would expect
// (expected.tsv): one clean line per column, a column cut short only with "...".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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
        for (std::string* field : {&letter.file, &letter.from, &letter.subject, &letter.date}) std::getline(fields, *field, '\t');
    }
    return letters;
}

// What a column shows for a text: the text, or its beginning and "..." when it had no room; never
// a control character.
bool Shows(const std::string& drawn, const std::string& text) {
    if (std::any_of(drawn.begin(), drawn.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) return false;
    if (drawn == text) return true;
    if (text.empty()) return drawn == " " || drawn.empty();
    if (!drawn.ends_with("...") || drawn.size() < 8) return false;
    return text.starts_with(drawn.substr(0, drawn.size() - 3));
}

// A list row as the canvas keeps it: the three columns' texts joined. Some split of it shows the
// letter's three columns.
bool RowShows(const std::string& row, const Letter& letter) {
    for (std::size_t i = 0; i <= row.size(); ++i) {
        if (!Shows(row.substr(0, i), letter.from)) continue;
        for (std::size_t j = i; j <= row.size(); ++j) {
            if (Shows(row.substr(i, j - i), letter.subject) && Shows(row.substr(j), letter.date)) return true;
        }
    }
    return false;
}

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

    // The sprites the module is asked to draw (30072 NAME), the mailbox list among them.
    static void Intercept(int event, uint16_t, const EDict* record, int32_t, void* user) {
        if (event == HxTraceSend && record != nullptr && EDictGetType(record) == 30072) {
            static_cast<MailCorpusTest*>(user)->drawn_.insert(EDictGetShort(record, harbor::AtomOf("NAME")));
        }
    }

    // Every row of text those sprites show on the main scene.
    std::vector<std::string> ShownRows() {
        std::vector<std::string> rows;
        for (uint16_t sprite : drawn_) {
            std::stringstream text(GetSession().Canvases().DrawnText(harbor::AtomOf("ScWnMain"), sprite).value_or(""));
            for (std::string row; std::getline(text, row);) rows.push_back(row);
        }
        return rows;
    }

    harbor_test::TempDir data_;
    std::set<uint16_t> drawn_;
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

    std::vector<std::string> shown = ShownRows();
    for (const Letter& letter : batch) {
        const auto match =
            std::find_if(shown.begin(), shown.end(), [&](const std::string& row) { return RowShows(row, letter); });
        if (match != shown.end()) {
            shown.erase(match);
            continue;
        }
        std::string seen;
        for (const std::string& row : shown) seen += "\n  [" + row + "]";
        ADD_FAILURE() << letter.file << ": no list row shows [" << letter.from << "] [" << letter.subject << "] ["
                      << letter.date << "]; the rows shown:" << seen;
    }
}

INSTANTIATE_TEST_SUITE_P(Batches, MailCorpusTest, ::testing::Range<std::size_t>(0, 5));

}  // namespace
