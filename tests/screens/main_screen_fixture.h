// Test support: the module against the null host, driving the main screen.
#ifndef WRENMAIL_TESTS_SCREENS_MAIN_SCREEN_FIXTURE_H
#define WRENMAIL_TESTS_SCREENS_MAIN_SCREEN_FIXTURE_H

#include <string>
#include <vector>

#include "controls/mailbox_list.h"
#include "module_test.h"
#include "screens/main_screen.h"

class MainScreenTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        HxPortAttach(atoms::PM, &PM_Main);
    }

    // A kite user starts at sign-in; the test then opens the mailbox as signing in would.
    void StartAs(const char* kite) {
        Start("p7", kite, kite != nullptr ? "pw" : nullptr);
        if (kite != nullptr) {
            wm::ShowScreen(scene_);
        }
    }
    void Enter() { Deliver(port_, code::kEntered); }
    void Leave() { Deliver(port_, code::kLeft); }
    // Runs Get/Send's posted steps to their end.
    void FinishMailChain() {
        for (int step = 0; step < 8; ++step) Advance(10);
    }

    static Path InBox(uint32_t kind) {
        return kind == 1 ? Path{"MailBoxes", "kiteAccounts", "ann_01", "InBox"}
                         : Path{"MailBoxes", "Players", "p7", "InBox"};
    }
    static Path Trash(uint32_t kind) {
        Path path = InBox(kind);
        path.back() = "Trash";
        return path;
    }
    // A stored message with its header, as the header list builder and Get/Send leave them.
    void PutMail(uint32_t kind, uint32_t id, const char* from, const char* subject, uint32_t date) {
        files_.PutMessage(InBox(kind), id, std::string("text of ") + subject);
        wm::AppendHeader(wm::Services().headerList, from, subject, date, id, kind);
    }

    static wm::MainScreen& Main() { return *static_cast<wm::MainScreen*>(wm::Screens().At(wm::kMainSlot)); }
    static wm::PMMailboxList& List() { return *Main().List(); }
    // One field (0 From, 1 Subject, 2 date, 3 type word) of every line, top to bottom.
    static std::vector<std::string> Column(int field) {
        std::vector<std::string> column;
        for (uint32_t row = 0; row < List().GetItemCount(); ++row) {
            std::string text = List().ItemAt(row).text;
            for (int skip = 0; skip < field; ++skip) text.erase(0, text.find('\t') + 1);
            column.push_back(text.substr(0, text.find('\t')));
        }
        return column;
    }
    static bool Press(uint16_t sprite, int32_t count) {
        EDict record = Record(code::kPress);
        EDictPutShort(&record, atoms::NAME, sprite);
        EDictPutLong(&record, atoms::COUNT, count);
        EDictPutLong(&record, atoms::X, 1000);
        EDictPutLong(&record, atoms::Y, 1000);
        return HxPortSend(atoms::ports::WrenmailMainPort, &record);
    }

    const uint16_t port_ = atoms::ports::WrenmailMainPort;
    const uint16_t scene_ = atoms::ports::ScWnMain;
};

#endif
