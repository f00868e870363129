// Test support: the module against the shell's fake host, with a file service, a mail service and a
// connection manager behind their ports, and import files served as data dictionaries on ResPort.
#ifndef WRENMAIL_TESTS_TRANSPORT_TRANSPORT_FIXTURE_H
#define WRENMAIL_TESTS_TRANSPORT_TRANSPORT_FIXTURE_H

#include <map>
#include <string>

#include "../messaging/host_tree.h"
#include "../shell/shell_fixture.h"
#include "../store/store_fakes.h"
#include "fake_mail_server.h"
#include "store/message_header_list.h"

struct ImportFile {
    std::string to, from, subject, type, message;
    int32_t date = 0;
};

class TransportTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        instance_ = this;
        files_.Install();
        mail_.Install();
        ras_.Install();
        HxPortAttach(atoms::ResPort, &TransportTest::OnResPort);
    }
    void TearDown() override {
        ShellTest::TearDown();
        wm::DeleteHeaderList();
        wm::Services() = wm::ServiceHandles{};
        instance_ = nullptr;
    }

    // Puts a message file into the folder as the store writes one.
    void PutMessage(const Path& folder, uint32_t id, const std::string& data) {
        files_.At(folder).files["WN" + std::to_string(id) + ".wnl"] = {
            {atoms::mail::Message, EDictText, 0, data}, {Atom("MailID"), EDictLong, static_cast<int32_t>(id), ""}};
    }
    // The stored "Message" text of a file, "" when there is none.
    std::string StoredText(const Path& folder, const std::string& name) {
        auto& stored = files_.At(folder).files;
        if (stored.count(name) == 0) return "";
        for (const StoredEntry& entry : stored[name]) {
            if (entry.key == atoms::mail::Message) return entry.text;
        }
        return "";
    }
    // An import file in "Import", readable as a data dictionary while that is the current directory.
    void PutImport(const std::string& name, const ImportFile& file) {
        files_.At({"Import"}).files[name] = {};
        imports_[name] = file;
        const ImportFile& kept = imports_[name];
        const HostValue root = tree_.Dict({{Atom("TO"), HostTree::Text(kept.to.c_str())},
                                           {Atom("FROM"), HostTree::Text(kept.from.c_str())},
                                           {Atom("SUBJECT"), HostTree::Text(kept.subject.c_str())},
                                           {Atom("DATE"), HostTree::Int(kept.date)},
                                           {Atom("MAILTYPE"), HostTree::Text(kept.type.c_str())},
                                           {Atom("MESSAGE"), HostTree::Text(kept.message.c_str())}},
                                          6);
        HxPublishValue(Atom(name.c_str()), tree_.Keep(root));
    }
    // Headers of the module's list as "boxKind/mailId from: subject".
    static std::vector<std::string> Headers() {
        std::vector<std::string> rows;
        if (wm::Services().headerList == nullptr) return rows;
        for (auto* h = wm::Services().headerList->Head(); h != nullptr; h = h->next) {
            rows.push_back(std::to_string(h->boxKind) + "/" + std::to_string(h->mailId) + " " + h->from + ": " +
                           h->subject);
        }
        return rows;
    }
    // Dialog texts shown on the scene, in order.
    std::vector<std::string> DialogTexts(uint16_t scene) const {
        std::vector<std::string> texts;
        for (const HostRequest& r : host_.Requests(scene)) {
            if (EDictGetShort(&r.record, atoms::SPRITENAME) == atoms::dialog_sprites::TxtCoDialog ||
                EDictGetShort(&r.record, atoms::NAME) == atoms::dialog_sprites::TxtCoDialog) {
                if (const char* text = EDictGetText(&r.record, atoms::TEXT)) texts.emplace_back(text);
            }
        }
        return texts;
    }

    FakeFileService files_;
    FakeMailServer mail_;
    FakeConnectionManager ras_;
    std::map<std::string, ImportFile> imports_;
    HostTree tree_;
    int importReadsOutsideImport_ = 0;

private:
    static bool HXCALL OnResPort(EDict* record) {
        TransportTest* self = instance_;
        const char* file = EDictGetText(record, atoms::XFILE);
        if (self == nullptr || file == nullptr || self->imports_.count(file) == 0) return true;
        // Import files are found only in the file service's current directory.
        if (self->files_.CurrentOf(wm::Services().fileService) != Path{"Import"}) {
            ++self->importReadsOutsideImport_;
            return true;
        }
        EDictPutShort(record, atoms::NAME, Atom(file));
        return true;
    }

    static inline TransportTest* instance_ = nullptr;
};

inline const Path kAnnOutBox = {"MailBoxes", "kiteAccounts", "ann_01", "OutBox"};
inline const Path kAnnInBox = {"MailBoxes", "kiteAccounts", "ann_01", "InBox"};
inline const Path kAnnTrash = {"MailBoxes", "kiteAccounts", "ann_01", "Trash"};
inline const Path kP7InBox = {"MailBoxes", "Players", "p7", "InBox"};
inline const Path kP7Trash = {"MailBoxes", "Players", "p7", "Trash"};

#endif
