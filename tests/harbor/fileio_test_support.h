// The file service seen from the module's side: requests built as records and sent to
// FileIOPort, a scratch folder holding the data root (and a sibling the root must never reach).
#ifndef WRENMAIL_TESTS_HARBOR_FILEIO_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_FILEIO_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dict_object.h"
#include "edict.h"
#include "fileio/file_service.h"
#include "fio_query.h"
#include "harbor_test_support.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"

namespace fileio_test {

namespace fs = std::filesystem;

using harbor_test::A;
using harbor_test::ReadFile;
using harbor_test::WriteFile;

// base/root is the data root; base/outside is what hostile names aim at.
class Scratch {
public:
    Scratch() { fs::create_directories(Outside()); }

    fs::path Base() const { return base_.Path(); }
    fs::path Root() const { return Base() / "root"; }
    fs::path Outside() const { return Base() / "outside"; }

private:
    harbor_test::TempDir base_;
};

// One request helper per row of the file service's request table.
class FileClient {
public:
    EDict Send(EDict r) const {
        HxPortSend(A("FileIOPort"), &r);
        return r;
    }
    static EDict Request(uint16_t type, uint32_t handle) {
        EDict r = harbor_test::Record(type);
        if (handle != 0) EDictPutHandle(&r, A("HANDLE"), handle);
        return r;
    }
    static int32_t Status(const EDict& r) { return EDictGetLong(&r, A("STATUS")); }

    uint32_t Open() const {
        EDict r = Send(Request(30062, 0));
        EXPECT_GT(Status(r), 0);
        return static_cast<uint32_t>(EDictGetLong(&r, A("HANDLE")));
    }
    int32_t Close(uint32_t h) const { return Status(Send(Request(30003, h))); }
    // A folder request: each flag (CHANGE, CREATE, ROOT, PARENT) set to 1, DIRECTORY when named.
    int32_t Folder(uint32_t h, std::initializer_list<const char*> flags, const char* directory = nullptr) const {
        EDict r = Request(30052, h);
        for (const char* flag : flags) EDictPutLong(&r, A(flag), 1);
        if (directory != nullptr) EDictPutText(&r, A("DIRECTORY"), directory);
        return Status(Send(r));
    }
    int32_t Root(uint32_t h) const { return Folder(h, {"CHANGE", "ROOT"}); }
    int32_t Up(uint32_t h) const { return Folder(h, {"CHANGE", "PARENT"}); }
    int32_t Down(uint32_t h, const char* name, bool from_root = false) const {
        return from_root ? Folder(h, {"CHANGE", "ROOT"}, name) : Folder(h, {"CHANGE"}, name);
    }
    int32_t MakeDir(uint32_t h, const char* name) const { return Folder(h, {"CREATE"}, name); }
    int32_t Write(uint32_t h, const char* name, DictInterface* dict, bool create = false) const {
        EDict r = Request(30073, h);
        EDictPutText(&r, A("FILENAME"), name);
        if (dict != nullptr) EDictPutHandle(&r, A("DICT"), HxRef(dict));
        if (create) EDictPutLong(&r, A("CREATE"), 1);
        return Status(Send(r));
    }
    DictInterface* Read(uint32_t h, const char* name) const {
        EDict r = Request(30013, h);
        EDictPutText(&r, A("FILENAME"), name);
        r = Send(r);
        EXPECT_TRUE(EDictHasKey(&r, A("DICT")));
        return static_cast<DictInterface*>(HxDeref(static_cast<uint32_t>(EDictGetLong(&r, A("DICT")))));
    }
    int32_t Delete(uint32_t h, const char* name) const {
        EDict r = Request(30004, h);
        EDictPutText(&r, A("FILENAME"), name);
        return Status(Send(r));
    }
    FioQueryInterface* List(uint32_t h) const {
        EDict r = Send(Request(30049, h));
        if (Status(r) <= 0) return nullptr;
        return static_cast<FioQueryInterface*>(EDictGetPointer(&r, A("FioQuery")));
    }
    std::vector<std::string> Names(uint32_t h) const {
        std::vector<std::string> names;
        FioQueryInterface* q = List(h);
        for (int32_t i = 0; q != nullptr && q->NameAt(i) != nullptr; ++i) names.emplace_back(q->NameAt(i));
        return names;
    }
};

// The names in `dir` on disk, or every path under it when `deep`, sorted.
inline std::vector<std::string> OnDisk(const fs::path& dir, bool deep = false) {
    std::vector<std::string> names;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
        if (!deep) it.disable_recursion_pending();
        names.push_back(fs::relative(it->path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline const char* TextOf(DictInterface& d, const char* key) {
    return static_cast<const char*>(HxDeref(d.GetText(A(key))));
}

// Runs `work` in a child process and answers its exit status, -1 when it did not exit.
inline int InChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A file service on the scratch root with one open handle. Not durable by default: these tests
// need no flushes.
class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        fs::create_directories(scratch_.Root());
        Start();
    }
    void TearDown() override {
        service_.reset();
        HxReset();
    }
    // (Re)starts the service, as the next run of harbor does, with a new handle at the root.
    void Start(bool durable = false) {
        service_.reset();
        service_ = std::make_unique<harbor::FileService>(scratch_.Root(), harbor::FileServiceOptions{.durable = durable});
        service_->Attach();
        h_ = files_.Open();
    }
    // Makes (when missing) and enters each folder in turn, from the root.
    void Into(std::initializer_list<const char*> levels) {
        ASSERT_EQ(files_.Root(h_), 1);
        for (const char* level : levels) {
            ASSERT_EQ(files_.MakeDir(h_, level), 1) << level;
            ASSERT_EQ(files_.Down(h_, level), 1) << level;
        }
    }
    void IntoInBox(const char* owner = "ann_01") { Into({"MailBoxes", "kiteAccounts", owner, "InBox"}); }
    // A file holding LastID = value, written through the handle.
    void WriteLong(const char* file, int32_t value) {
        wm::DictObject d;
        d.PutLong(A("LastID"), value);
        ASSERT_EQ(files_.Write(h_, file, &d), 1) << file;
    }
    // -1: no dictionary there; 0: an empty one (or no LastID).
    int32_t ReadLong(const char* file) {
        DictInterface* d = files_.Read(h_, file);
        return d != nullptr ? d->GetLong(A("LastID")) : -1;
    }
    // Runs `work` in a child that ends at `stage` (no cleanup, as a kill), then starts the service
    // again as the next run does. True when the child ended there.
    bool CrashAt(std::optional<harbor::WriteStage> stage, const std::function<void()>& work) {
        const int status = InChild([&] {
            service_->SetWriteStageHook([stage](harbor::WriteStage now) {
                if (now == stage) ::_exit(0);
            });
            work();
            return 3;
        });
        Start();
        return status == 0;
    }

    Scratch scratch_;
    std::unique_ptr<harbor::FileService> service_;
    FileClient files_;
    uint32_t h_ = 0;
};

}  // namespace fileio_test

#endif
