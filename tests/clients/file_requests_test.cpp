#include "app/lifecycle.h"
#include "../store/store_fixture.h"
#include "wrenmail.h"

namespace {

using RequestsTest = StoreTest;

bool HXCALL AnswerWithoutSuccess(EDict* record) {
    static wm::DictObject stray;
    EDictPutLong(record, atoms::STATUS, 0);
    EDictPutHandle(record, atoms::files::HANDLE, 5);
    EDictPutPointer(record, atoms::files::FioQuery, &stray);
    return true;
}

TEST_F(RequestsTest, OpenAndListAnswerOnlyOnSuccess) {
    EXPECT_NE(wm::FileList(Handle()), nullptr);
    HxReset();
    HxPortAttach(atoms::files::FileIOPort, &AnswerWithoutSuccess);
    EXPECT_EQ(wm::FileOpenHandle(), 0u);
    EXPECT_EQ(wm::FileList(Handle()), nullptr);
}

TEST_F(RequestsTest, ModuleStartOpensTheFileServiceAndStopClosesIt) {
    wm::Services() = wm::ServiceHandles{};
    host_.Forget();
    EDict record = Record(code::kEntered);
    PM_Main(&record);
    const uint32_t handle = wm::Services().file_service;
    EXPECT_NE(handle, 0u);
    ASSERT_NE(wm::Services().header_list, nullptr);
    EXPECT_EQ(wm::Services().header_list->Size(), 0u);
    EDictSetType(&record, code::kLeft);
    PM_Main(&record);
    EXPECT_EQ(wm::Services().header_list, nullptr);
    EXPECT_EQ(wm::Services().file_service, 0u);
    const auto closes = host_.Requests(atoms::files::FileIOPort, code::kClose);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(EDictGetLong(&closes[0].record, atoms::files::HANDLE)), handle);

    files_.failOpen = true;
    EDictSetType(&record, code::kEntered);
    PM_Main(&record);
    EXPECT_EQ(wm::Services().file_service, 0u);
    EDictSetType(&record, code::kLeft);
    PM_Main(&record);
    EXPECT_EQ(host_.log.Count(atoms::files::FileIOPort, code::kClose), 1u);  // handle 0: no close
}

}  // namespace
