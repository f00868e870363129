#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../controls/request_fields.h"
#include "host_tree.h"
#include "module_test.h"
#include "store/mail_id.h"

namespace {

using IdentityTest = ModuleTest;

TEST_F(IdentityTest, StartValuesBecomeTheIdentityAndAKiteIdSetsTheFlag) {
    struct Case { const char *player, *kite, *password, *expectedKite, *expectedPassword; };
    const Case cases[] = {
        {"Robin", "robin7", "s3cret", "robin7", "s3cret"},
        {nullptr, "robin7", nullptr, "robin7", ""},  // a kite ID alone gets an empty password
        {"Robin", nullptr, nullptr, "old", "oldpw"},  // without a kite ID the login is left alone
    };
    for (const Case& c : cases) {
        wm::Identity().ClearIdentity();
        wm::Identity().SetKiteLogin("old", "oldpw");
        Start(c.player, c.kite, c.password);
        EXPECT_STREQ(wm::Identity().GetPlayerId(), c.player != nullptr ? c.player : "");
        EXPECT_STREQ(wm::Identity().GetKiteId(), c.expectedKite);
        EXPECT_STREQ(wm::Identity().GetPassword(), c.expectedPassword);
        EXPECT_EQ(wm::KiteGivenAtStart(), c.kite != nullptr);
        Stop();
    }
    wm::Identity().ClearKiteLogin();
    EXPECT_STREQ(wm::MailboxOwnerName(), "Robin");

    // Values are cut to 63 characters, and a value left out reads as empty, never null.
    const std::string longName(80, 'k');
    wm::Identity().SetKiteLogin(longName.c_str(), nullptr);
    EXPECT_EQ(std::string(wm::Identity().GetKiteId()), longName.substr(0, 63));
    EXPECT_STREQ(wm::Identity().GetPassword(), "");
    wm::Identity().ClearKiteLogin();
    ASSERT_NE(wm::Identity().GetKiteId(), nullptr);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
}

TEST_F(IdentityTest, TheHostsCopyIsErasedWithEmptyNamesUnderTheThreeKeys) {
    EDict start = Record(code::kEntered);
    EDictPutShort(&start, Atom("WNPlayerID"), Atom("Robin"));
    wm::LoadIdentity(&start);

    const auto sets = host_.Requests(atoms::AppPort, code::kSet);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].event, HxTraceSend);
    EXPECT_EQ(EDictKeyCount(&sets[0].record), 1);
    ASSERT_EQ(host_.moduleData.size(), 1u);
    const EDict& erased = host_.moduleData[0];
    const auto empty = static_cast<uint16_t>(DaNameGet(""));
    EXPECT_NE(empty, 0);
    const uint16_t keys[] = {Atom("WNPlayerID"), Atom("WNOrbitID"), Atom("WNPassword")};
    using Keys = std::vector<std::pair<uint16_t, uint16_t>>;  // key, kind in slot order
    ASSERT_EQ(KeysOf(erased), (Keys{{keys[0], EDictShort}, {keys[1], EDictShort}, {keys[2], EDictShort}}));
    for (uint16_t key : keys) EXPECT_EQ(EDictGetShort(&erased, key), empty);
}

// A settings file as the host holds it once loaded: one dictionary of named values.
class SettingsTest : public ModuleTest {
protected:
    void TearDown() override {
        HxWithdrawValue(resource_);
        ModuleTest::TearDown();
    }

    void Publish(const std::vector<std::pair<uint16_t, HostValue>>& pairs) {
        HxPublishValue(resource_, tree_.Keep(tree_.Dict(pairs, static_cast<uint16_t>(pairs.size()))));
        host_.resources.served["WNSettings.dct"] = resource_;
    }
    Atoms Released() const { return Shorts(host_.Requests(atoms::AppPort, code::kStop), atoms::NAME); }

    const uint16_t resource_ = Atom("WNSettingsResource");
    HostTree tree_;
    const std::string signUp_ = "https://kite.example/join";
    const std::string longServer_ = std::string(140, 's');
};

TEST_F(SettingsTest, AMissingFileChangesNothingAndAFoundOneIsReadAndReleased) {
    wm::AppSettings().parent_url = "https://parents.example";
    wm::LoadSettings();
    EXPECT_EQ(wm::AppSettings().parent_url, "https://parents.example");
    const auto opens = host_.Requests(atoms::ResPort, code::kStart);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_STREQ(EDictGetText(&opens[0].record, atoms::XFILE), "WNSettings.dct");
    // The reader lets go even of a file it never got.
    EXPECT_EQ(Released().size(), 1u);

    Publish({{Atom("SIGNUPURL"), HostTree::Text(signUp_.c_str())},
             {Atom("SMTPSERVER"), HostTree::Text(longServer_.c_str())},
             {Atom("IMAPPORT"), HostTree::Int(993)}});
    wm::LoadSettings();
    const wm::Settings& settings = wm::AppSettings();
    EXPECT_EQ(settings.sign_up_url, signUp_);
    EXPECT_EQ(settings.smtp_server, longServer_.substr(0, 127));
    EXPECT_EQ(settings.imap_port, 993);
    EXPECT_EQ(settings.parent_url, "");  // a found file's missing texts are empty
    EXPECT_EQ(settings.smtp_port, 0);
    ASSERT_EQ(Released().size(), 2u);
    EXPECT_EQ(Released()[1], resource_);
}

TEST(ExtractMailId, KeepsTheBracketedIdAndCutsToTwentyCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"Ann Lee <ann7>", "ann7"},
        {"ann7", "ann7"},
        {"<ann7>", "<ann7>"},
        {"Ann <ann7", "ann7"},
        {"Ann <>", "Ann <>"},
        {"", ""},
        {"abcdefghijklmnopqrstuvwxy", "abcdefghijklmnopqrst"},
        {"Ann <abcdefghijklmnopqrstuvwxy> x", "abcdefghijklmnopqrst"},
        {"<abcdefghijklmnopqrstuvwxy>", "<abcdefghijklmnopqrs"},
    };
    for (const auto& [input, expected] : cases) {
        std::string buffer = input;
        wm::ExtractMailId(buffer.data());
        EXPECT_STREQ(buffer.c_str(), expected.c_str()) << input;
    }
}

}  // namespace
