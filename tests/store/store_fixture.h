// Test support: the module's file service handle opened on the null host's file service, fresh
// for every test.
#ifndef WRENMAIL_TESTS_STORE_STORE_FIXTURE_H
#define WRENMAIL_TESTS_STORE_STORE_FIXTURE_H

#include <gtest/gtest.h>

#include "state/service_handles.h"
#include "state/user_identity.h"
#include "clients/file_requests.h"
#include "store/message_header_list.h"
#include "null_host.h"

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        wm::Identity().ClearIdentity();
        wm::Services() = wm::ServiceHandles{};
        wm::Services().file_service = wm::FileOpenHandle();
        ASSERT_NE(wm::Services().file_service, 0u);
    }
    void TearDown() override {
        wm::DeleteHeaderList();
        wm::Services() = wm::ServiceHandles{};
        host_.Uninstall();
    }

    uint32_t Handle() const { return wm::Services().file_service; }
    const Path& Current() { return files_.CurrentOf(Handle()); }
    FakeFileService::Directory& Dir(const Path& path) { return files_.At(path); }
    void PutMessage(const Path& folder, uint32_t id, const std::string& text) { files_.PutMessage(folder, id, text); }
    void PutLastId(const Path& folder, int32_t id) {
        Dir(folder).files["folder.dat"] = {{Atom("LastID"), EDictLong, id, ""}};
    }

    NullHost host_;
    FakeFileService& files_ = host_.files;
    FakeMailServer& mail_ = host_.mail;
};

inline const Path kKiteInBox = {"MailBoxes", "kiteAccounts", "ann_01", "InBox"};
inline const Path kKiteTrash = {"MailBoxes", "kiteAccounts", "ann_01", "Trash"};

#endif
