// Test support: the module's file service handle opened on the null host's file service, fresh
// for every test.
#ifndef WRENMAIL_TESTS_STORE_STORE_FIXTURE_H
#define WRENMAIL_TESTS_STORE_STORE_FIXTURE_H

#include "clients/file_requests.h"
#include "module_test.h"

class StoreTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        wm::OpenFileService();
        ASSERT_NE(wm::Services().file_service, 0u);
    }

    uint32_t Handle() const { return wm::Services().file_service; }
    const Path& Current() { return files_.CurrentOf(Handle()); }
    FakeFileService::Directory& Dir(const Path& path) { return files_.At(path); }
    // The number the folder's counter file holds first, -1 when it holds none.
    int32_t StoredLastId(const Path& folder) {
        const StoredDict& counter = Dir(folder).files["folder.dat"];
        return counter.empty() ? -1 : counter[0].number;
    }
};

#endif
