// Test support: the module against the null host, with import files served as data dictionaries on
// ResPort while the file service's current folder is Import.
#ifndef WRENMAIL_TESTS_TRANSPORT_TRANSPORT_FIXTURE_H
#define WRENMAIL_TESTS_TRANSPORT_TRANSPORT_FIXTURE_H

#include <map>
#include <string>

#include "host_tree.h"
#include "module_test.h"

struct ImportFile {
    std::string to, from, subject, type, message;
    int32_t date = 0;
};

class TransportTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        // Import files are found only in the file service's current directory.
        host_.resources.reachable = [this](const std::string&) {
            const bool inImport = files_.CurrentOf(wm::Services().file_service) == Path{"Import"};
            importReadsOutsideImport_ += inImport ? 0 : 1;
            return inImport;
        };
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
        host_.resources.served[name] = Atom(name.c_str());
    }
    // Headers of the module's list as "box_kind/mail_id from: subject".
    static std::vector<std::string> Headers() {
        std::vector<std::string> rows;
        if (wm::Services().header_list == nullptr) return rows;
        for (auto* h = wm::Services().header_list->Head(); h != nullptr; h = h->next) {
            rows.push_back(std::to_string(h->box_kind) + "/" + std::to_string(h->mail_id) + " " + h->from + ": " +
                           h->subject);
        }
        return rows;
    }
    // Dialog texts shown, in order.
    std::vector<std::string> DialogTexts() const { return host_.scenes.TextsOf(atoms::dialog_sprites::TxtCoDialog); }

    FakeConnectionManager& ras_ = host_.ras;
    std::map<std::string, ImportFile> imports_;
    HostTree tree_;
    int importReadsOutsideImport_ = 0;
};

#endif
