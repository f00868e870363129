// The stamp panel against the null host, its four categories published as the scene's data
// dictionary sprites: the first with ten stamps, the others empty. Paging, each category's place
// and the highlight are the write_stamps session's.
#include "screens/stamp_panel.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "host_tree.h"
#include "controls/rich_text_view.h"
#include "../controls/request_fields.h"
#include "null_host.h"

namespace {

constexpr const char* kCaptions[] = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9"};
constexpr int kStamps = 10;

class StampPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        for (int n = 1; n <= 4; ++n) Publish(n, n == 1 ? kStamps : 0);
    }
    void TearDown() override {
        for (int n = 1; n <= 4; ++n) HxWithdrawValue(Dictionary(n));
        host_.Uninstall();
    }

    static uint16_t Dictionary(int n) { return wm::FetchAtomFormat("DctWrIcons%d", n); }
    static uint16_t Stamp(int j) { return wm::FetchAtomFormat("SptTestStamp%d", j); }
    void Publish(int n, int count) {
        std::vector<HostValue> forms;
        for (int j = 0; j < count; ++j) {
            forms.push_back(HostTree::Name(Stamp(j)));
            forms.push_back(HostTree::Text(kCaptions[j]));
        }
        const HostValue root = tree_.Dict({{Atom("Category"), HostTree::Text("Animals")},
                                           {Atom("TEMPLATE"), tree_.Array({HostTree::Name(Atom("image")),
                                                                            HostTree::Name(Atom("text"))})},
                                           {Atom("FORMS"), tree_.Array(std::move(forms))}},
                                          4);
        HxPublishValue(Dictionary(n), tree_.Keep(root));
    }

    static bool Offer(wm::StampPanel& panel, uint16_t type, uint16_t sprite) {
        EDict record = Named(type, sprite);
        return panel.HandleMessage(&record);
    }
    // Where the first request of the type to the port naming the sprite under the key stands.
    std::ptrdiff_t First(uint16_t port, uint16_t type, uint16_t key, uint16_t sprite) const {
        const std::vector<HostRequest> all = host_.Requests(0);
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].port == port && EDictGetType(&all[i].record) == type &&
                EDictGetShort(&all[i].record, key) == sprite) {
                return static_cast<std::ptrdiff_t>(i);
            }
        }
        return -1;
    }

    NullHost host_;
    HostTree tree_;
};

TEST_F(StampPanelTest, ACategoryIsBoundBeforeItsPageSpritesAreMadeAndReleasedAfter) {
    wm::StampPanel panel(atoms::ports::ScWrWrite, nullptr);
    EXPECT_EQ(panel.Page(0).Category(), "Animals");
    EXPECT_EQ(panel.Page(0).Size(), static_cast<std::size_t>(kStamps));
    const std::ptrdiff_t bind = First(atoms::AppPort, code::kStart, atoms::NAME, Dictionary(1));
    const std::ptrdiff_t page = First(atoms::ports::ScWrWrite, code::kStart, atoms::SPRITENAME, Atom("AniWrPanel1"));
    const std::ptrdiff_t caption = First(atoms::ports::ScWrWrite, code::kStart, atoms::INAME, Atom("IconText7"));
    const std::ptrdiff_t release = First(atoms::AppPort, code::kStop, atoms::NAME, Dictionary(1));
    const std::ptrdiff_t next = First(atoms::AppPort, code::kStart, atoms::NAME, Dictionary(2));
    ASSERT_GE(bind, 0);
    EXPECT_LT(bind, page);
    EXPECT_LT(page, caption);
    EXPECT_LT(caption, release);
    EXPECT_LT(release, next);
}

TEST_F(StampPanelTest, AClickedStampGoesIntoTheBodyWithASpaceAndTheClickGoesOn) {
    wm::RichTextView editor(atoms::ports::ScWrWrite, Atom("PvtWrMessage"));
    wm::StampPanel panel(atoms::ports::ScWrWrite, &editor);
    panel.Open();
    EXPECT_FALSE(Offer(panel, code::kClick, Atom("SptWrIconC")));
    EXPECT_STREQ(editor.ProducePlainBodyText(), "c2 ");
    EXPECT_TRUE(panel.IsOpen());
}

}  // namespace
