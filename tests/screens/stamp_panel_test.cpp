// The stamp panel against published stamp dictionaries and a model of the write scene.
#include "screens/stamp_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../messaging/host_tree.h"
#include "scene_model.h"

namespace {

uint16_t Atom(const std::string& name) {
    return wm::FetchAtom(name.c_str());
}

EDict Record(uint16_t type) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    return record;
}

class StampPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        model_.Install();
        HxPortAttach(scene_, &Scene);
    }
    void TearDown() override {
        panel_.reset();
        for (int n = 1; n <= 4; ++n) {
            HxWithdrawValue(wm::FetchAtomFormat("DctWrIcons%d", n));
        }
        HxSetTraceHook(nullptr, nullptr);
        HxReset();
    }

    // Publishes category n (1 to 4) with `count` stamps named "<prefix>0", "<prefix>1", ...
    void Publish(int n, const std::string& category, int count) {
        std::vector<HostValue> forms;
        for (int j = 0; j < count; ++j) {
            const std::string name = "Stamp" + category + std::to_string(j);
            names_.push_back("caption " + name);
            forms.push_back(HostTree::Name(Atom(name)));
            forms.push_back(HostTree::Text(Keep("caption " + name)));
        }
        const HostValue dict = tree_.Dict(
            {{Atom("Category"), HostTree::Text(Keep(category))},
             {Atom("TEMPLATE"), tree_.Array({HostTree::Name(Atom("image")), HostTree::Name(Atom("text"))})},
             {Atom("FORMS"), tree_.Array(forms)}},
            7);
        HxPublishValue(wm::FetchAtomFormat("DctWrIcons%d", n), tree_.Keep(dict));
    }
    const char* Keep(const std::string& text) {
        texts_.push_back(text);
        return texts_.back().c_str();
    }

    void MakePanel() { panel_ = std::make_unique<wm::StampPanel>(scene_, nullptr); }
    void Open() {
        panel_->Open();
        Settle();
    }
    // Runs the posts that place the stamps.
    static void Settle() { HxAdvanceTime(20); }

    bool Click(const std::string& sprite) {
        EDict record = Record(wm::code::kClick);
        EDictPutShort(&record, atoms::NAME, Atom(sprite));
        const bool taken = panel_->HandleMessage(&record);
        Settle();
        return taken;
    }
    bool Pointer(const std::string& sprite, uint16_t action) {
        EDict record = Record(wm::code::kCursor);
        EDictPutShort(&record, atoms::NAME, Atom(sprite));
        EDictPutShort(&record, atoms::ACTION, action);
        EDictPutShort(&record, atoms::CNAME, atoms::CURSOR);
        return panel_->HandleMessage(&record);
    }

    // The numbers of the category's stamps on show, each checked against its slot and caption.
    std::vector<int> Shown(const std::string& category, int count) {
        std::vector<int> shown;
        for (int j = 0; j < count; ++j) {
            const uint16_t sprite = Atom("Stamp" + category + std::to_string(j));
            if (!model_.Visible(sprite)) continue;
            const std::size_t slot = shown.size();
            if (slot == wm::kStampSlots) {
                ADD_FAILURE() << "more stamps shown than there are slots";
                break;
            }
            const wm::SlotPoint point = wm::StampPage::SlotPoints()[slot];
            EXPECT_EQ(model_.At(sprite).x, point.x) << "stamp " << j;
            EXPECT_EQ(model_.At(sprite).y, point.y) << "stamp " << j;
            const uint16_t caption = wm::FetchAtomFormat("IconText%d", static_cast<int>(slot));
            EXPECT_TRUE(model_.Visible(caption));
            EXPECT_EQ(model_.At(caption).text, "caption Stamp" + category + std::to_string(j));
            shown.push_back(j);
        }
        return shown;
    }

    // The scene takes what it is sent; the model follows it through the trace.
    static bool HXCALL Scene(EDict*) { return true; }

    uint16_t scene_ = atoms::ports::ScWrWrite;
    SceneModel model_{atoms::ports::ScWrWrite};
    HostTree tree_;
    std::deque<std::string> texts_;
    std::vector<std::string> names_;
    std::unique_ptr<wm::StampPanel> panel_;
};

TEST_F(StampPanelTest, ReadsEachCategoryInTheDictionaryOrderAndStartsClosed) {
    Publish(1, "Faces", 10);
    Publish(2, "Food", 3);
    Publish(4, "Sky", 12);
    MakePanel();
    EXPECT_EQ(panel_->Page(0).Category(), "Faces");
    EXPECT_EQ(panel_->Page(0).Size(), 10u);
    EXPECT_EQ(panel_->Page(1).Size(), 3u);
    EXPECT_EQ(panel_->Page(2).Size(), 0u) << "a missing dictionary gives an empty page";
    EXPECT_EQ(panel_->Page(3).Size(), 12u);
    EXPECT_FALSE(panel_->IsOpen());
    Settle();
    for (const char* sprite : {"BtnWrCategory1", "BtnWrCategory4", "AniWrBar", "BtnWrArrowUp", "BtnWrArrowDown",
                               "AniWrPanel1", "AniWrPanel3"}) {
        EXPECT_FALSE(model_.Visible(Atom(sprite))) << sprite;
    }
    EXPECT_TRUE(Shown("Faces", 10).empty());
}

TEST_F(StampPanelTest, ATenStampCategoryScrollsByWholeRowsOnly) {
    Publish(1, "Faces", 10);
    MakePanel();
    Open();
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(Click("BtnWrArrowUp")) << "up at the start is taken";
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(Click("BtnWrArrowDown"));
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(model_.At(wm::FetchAtomFormat("IconText%d", 6)).text, "") << "empty slots lose their caption";
    Click("BtnWrArrowDown");
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{8, 9}));
    const std::size_t before = model_.Count();
    Click("BtnWrArrowDown");
    EXPECT_EQ(model_.Count(), before) << "one stamp after the first shown: nothing moves";
    Click("BtnWrArrowUp");
    Click("BtnWrArrowUp");
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(StampPanelTest, EachCategoryKeepsItsScrollingAndTheCurrentButtonRolls) {
    Publish(1, "Faces", 10);
    Publish(2, "Food", 12);
    MakePanel();
    Open();
    Click("BtnWrArrowDown");
    Click("BtnWrCategory2");
    EXPECT_EQ(panel_->CurrentCategory(), 1u);
    EXPECT_TRUE(Shown("Faces", 10).empty());
    EXPECT_FALSE(model_.Visible(Atom("AniWrPanel1")));
    EXPECT_TRUE(model_.Visible(Atom("AniWrPanel2")));
    EXPECT_EQ(Shown("Food", 12), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(model_.At(Atom("BtnWrCategory2")).effect, atoms::buttons::Roll);
    EXPECT_EQ(model_.At(Atom("BtnWrCategory1")).effect, atoms::buttons::Up);
    Click("BtnWrCategory1");
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{4, 5, 6, 7, 8, 9}));
    Click("BtnWrCategory1");
    EXPECT_EQ(Shown("Faces", 10), (std::vector<int>{4, 5, 6, 7, 8, 9})) << "reselecting keeps the position";

    // Passing over a button rolls it; leaving puts it back unless it is the current one.
    EXPECT_TRUE(Pointer("BtnWrCategory3", atoms::BEGIN));
    Settle();
    EXPECT_EQ(model_.At(Atom("BtnWrCategory3")).effect, atoms::buttons::Roll);
    EXPECT_TRUE(Pointer("BtnWrCategory3", atoms::END));
    EXPECT_TRUE(Pointer("BtnWrCategory1", atoms::END));
    Settle();
    EXPECT_EQ(model_.At(Atom("BtnWrCategory3")).effect, atoms::buttons::Up);
    EXPECT_EQ(model_.At(Atom("BtnWrCategory1")).effect, atoms::buttons::Roll);
}

TEST_F(StampPanelTest, TheHighlightFollowsThePointerOverSlotsThatHoldAStamp) {
    Publish(1, "Faces", 3);
    MakePanel();
    Open();
    const uint16_t highlight = Atom("AniWrHilite");
    EXPECT_TRUE(Pointer("SptWrIconC", atoms::BEGIN));
    EXPECT_TRUE(model_.Visible(highlight));
    EXPECT_EQ(model_.At(highlight).effect, Atom("BoxC"));
    EXPECT_TRUE(Pointer("SptWrIconC", atoms::END));
    EXPECT_FALSE(model_.Visible(highlight));
    EXPECT_FALSE(Pointer("SptWrIconD", atoms::BEGIN)) << "slot D is empty";
    EXPECT_FALSE(model_.Visible(highlight));
    EXPECT_FALSE(Click("SptWrIconA")) << "a click on a stamp goes on to the screen";
    EXPECT_FALSE(Click("BtnWrDone"));
}

TEST_F(StampPanelTest, OpenAndCloseShowAndHideTheWholePanel) {
    Publish(1, "Faces", 2);
    MakePanel();
    Open();
    std::vector<uint16_t> chrome;
    for (const char* sprite : {"BtnWrCategory1", "BtnWrCategory2", "BtnWrCategory3", "BtnWrCategory4", "AniWrBar",
                               "BtnWrArrowUp", "BtnWrArrowDown", "AniWrPanel1", "SptWrIconA", "SptWrIconH"}) {
        chrome.push_back(Atom(sprite));
    }
    EXPECT_EQ(model_.ShownOf(chrome), chrome);
    EXPECT_TRUE(panel_->IsOpen());
    panel_->Close();
    Settle();
    EXPECT_TRUE(model_.ShownOf(chrome).empty());
    EXPECT_TRUE(Shown("Faces", 2).empty());
    EXPECT_FALSE(model_.Visible(wm::FetchAtomFormat("IconText%d", 0)));
    EXPECT_FALSE(panel_->IsOpen());
}

}  // namespace
