#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "harbor_test_support.h"
#include "store/handle_file_stream.h"
#include "store/stdio_file_stream.h"
#include "store/storage_file_stream.h"

namespace {

namespace fs = std::filesystem;

// Storage in a string, logging the opens and creates it is asked for.
class MemoryStorage final : public StorageObjectInterface {
public:
    MemoryStorage(std::string* bytes, std::vector<std::string>* calls, bool refuseWrite)
        : bytes_(bytes), calls_(calls), refuseWrite_(refuseWrite) {}
    bool HXCALL Open(const char*, int32_t access) override {
        calls_->push_back("open " + std::to_string(access));
        openFlag_ = !(refuseWrite_ && access == StorageWrite);
        position_ = 0;
        return openFlag_ != 0;
    }
    void HXCALL Close() override { openFlag_ = 0; }
    int32_t HXCALL Length(int32_t, int32_t) override { return static_cast<int32_t>(bytes_->size()); }
    int32_t HXCALL Tell() override { return position_; }
    int32_t HXCALL Read(void* buffer, int32_t count) override {
        const int32_t n = std::min(count, Length(0, 0) - position_);
        bytes_->copy(static_cast<char*>(buffer), static_cast<size_t>(n), static_cast<size_t>(position_));
        position_ += n;
        return n;
    }
    bool HXCALL SeekTo(int32_t position) override {
        if (position < 0 || position > Length(0, 0)) return false;
        position_ = position;
        return true;
    }
    void HXCALL Create(const char*) override { calls_->push_back("create"); bytes_->clear(); }
    int32_t HXCALL Write(const void* buffer, int32_t count) override {
        bytes_->replace(static_cast<size_t>(position_), static_cast<size_t>(count), static_cast<const char*>(buffer),
                        static_cast<size_t>(count));
        position_ += count;
        return count;
    }

private:
    std::string* bytes_;
    std::vector<std::string>* calls_;
    bool refuseWrite_;
    int32_t position_ = 0;
};

class MemorySource final : public StorageSourceInterface {
public:
    StorageObjectInterface* HXCALL NewStorage() override { return new MemoryStorage(&bytes, &calls, refuseWrite); }
    std::string bytes;
    std::vector<std::string> calls;
    bool refuseWrite = false;
};

class FileStreamTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return (dir_.Path() / name).string(); }
    void WriteFile(const char* name, const std::string& bytes) { harbor_test::WriteFile(PathOf(name), bytes); }
    std::string ReadFile(const char* name) { return harbor_test::ReadFile(PathOf(name)); }

    // Opens the kind the flags choose (the storage kind with source_) over `name`.
    std::unique_ptr<wm::FileStream> Make(const char* name, uint32_t flags, bool storage) {
        return wm::CreateFileStream(PathOf(name).c_str(), flags, storage ? &source_ : nullptr);
    }

    harbor_test::TempDir dir_;
    MemorySource source_;
};

constexpr uint32_t kWrite = FileStreamWrite, kCreate = FileStreamCreate, kBinary = FileStreamBinary;
// The three kinds: runtime (stdio), handle, and storage (flags plus whether source_ is given).
constexpr std::pair<uint32_t, bool> kKinds[] = {{FileStreamRuntime, false}, {0, false}, {0, true}};

TEST_F(FileStreamTest, RuntimeModeTextsFollowTheFlags) {
    const std::pair<uint32_t, const char*> modes[] = {{0, "rt"}, {kWrite | kBinary, "r+b"}, {kCreate, "w+t"},
        {kCreate | kWrite | kBinary, "w+b"}, {kWrite | FileStreamAppend, "r+at"},
        {FileStreamAppend | kBinary | FileStreamRuntime, "rab"}};
    for (const auto& [flags, mode] : modes) EXPECT_EQ(wm::StdioFileStream::ModeText(flags), mode) << flags;
}

TEST_F(FileStreamTest, EveryKindWritesAndReadsStringsAsCountThenBytes) {
    for (const auto& [kind, storage] : kKinds) {
        SCOPED_TRACE(kind + (storage ? 100 : 0));
        source_.bytes.clear();
        auto out = Make("s.bin", kind | kCreate | kWrite | kBinary, storage);
        ASSERT_NE(out, nullptr);
        EXPECT_TRUE(out->WriteString("abc") && out->WriteInt32(0x01020304));
        out.reset();
        const std::string bytes = storage ? source_.bytes : ReadFile("s.bin");
        EXPECT_EQ(bytes, std::string("\x03\0\0\0abc\x04\x03\x02\x01", 11));

        auto in = Make("s.bin", kind | kBinary, storage);
        ASSERT_NE(in, nullptr);
        char text[8];
        int32_t capacity = 3;
        ASSERT_TRUE(in->ReadString(text, &capacity));
        EXPECT_STREQ(text, "ab");
        EXPECT_EQ(capacity, 3);
        EXPECT_EQ(in->Tell(), 7);  // after the c
        int32_t value = 0;
        EXPECT_TRUE(in->ReadInt32(&value));
        EXPECT_EQ(value, 0x01020304);
        EXPECT_FALSE(in->ReadInt32(&value));
        ASSERT_TRUE(in->Seek(0, FileStreamFromStart));
        capacity = 8;
        ASSERT_TRUE(in->ReadString(text, &capacity));
        EXPECT_STREQ(text, "abc");
        EXPECT_EQ(capacity, 4);
    }
}

TEST_F(FileStreamTest, ReadLineStopsAtTheBufferOrAfterTheLineFeed) {
    for (const auto& [kind, storage] : kKinds) {
        SCOPED_TRACE(kind + (storage ? 100 : 0));
        WriteFile("l.txt", "abcdef\nxy");
        source_.bytes = "abcdef\nxy";
        auto in = Make("l.txt", kind | kBinary, storage);
        ASSERT_NE(in, nullptr);
        char line[16] = "zzz";
        const std::tuple<int32_t, int32_t, const char*> reads[] = {
            {1, 0, ""}, {4, 3, "abc"}, {16, 4, "def\n"}, {16, 2, "xy"}, {16, 0, ""}};
        for (const auto& [size, count, text] : reads) {
            EXPECT_EQ(in->ReadLine(line, size), count) << size;
            EXPECT_STREQ(line, text);
        }
    }
}

TEST_F(FileStreamTest, CreateFileStreamChoosesTheKindAndRefusesWhatDoesNotOpen) {
    WriteFile("f.txt", "x");
    EXPECT_NE(dynamic_cast<wm::StdioFileStream*>(Make("f.txt", FileStreamRuntime, false).get()), nullptr);
    EXPECT_NE(dynamic_cast<wm::HandleFileStream*>(Make("f.txt", 0, false).get()), nullptr);
    EXPECT_NE(dynamic_cast<wm::StorageFileStream*>(Make("f.txt", FileStreamRuntime, true).get()), nullptr);
    EXPECT_EQ(Make("missing", FileStreamRuntime, false), nullptr);
    EXPECT_EQ(Make("missing", kWrite, false), nullptr);
    EXPECT_NE(Make("made", kCreate, false), nullptr);
    EXPECT_TRUE(fs::exists(PathOf("made")));
}

TEST_F(FileStreamTest, HandleStreamSeeksComparePositionsSetLengthCutsAndClosedAnswersNeutrally) {
    WriteFile("h.bin", "0123456789");
    auto stream = Make("h.bin", kWrite, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_GT(stream->NativeHandle(), 0);
    EXPECT_EQ(stream->Length(), 10);
    EXPECT_TRUE(stream->Seek(4, FileStreamFromStart));
    EXPECT_FALSE(stream->Seek(-2, FileStreamFromEnd));  // lands on 8, not on the offset
    EXPECT_EQ(stream->Tell(), 8);
    EXPECT_EQ(stream->SetLength(6), 1);
    EXPECT_EQ(stream->Length(), 6);
    EXPECT_EQ(stream->Tell(), 6);
    EXPECT_EQ(stream->Close(), 1);
    EXPECT_EQ(ReadFile("h.bin"), "012345");
    char byte = 0;
    EXPECT_EQ(stream->Read(&byte, 1, 1) + stream->Write(&byte, 1, 1), 0u);
    EXPECT_EQ(stream->Tell(), -1);
    EXPECT_FALSE(stream->Seek(0, FileStreamFromStart));
    EXPECT_EQ(stream->Length() + stream->SetLength(0) + stream->Close(), 0);
    EXPECT_EQ(stream->NativeHandle(), 0);
}

TEST_F(FileStreamTest, StorageStreamOpensWithFallbackAndSeeksFromTheLastByte) {
    source_.refuseWrite = true;
    auto writer = Make("n", kWrite, true);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(source_.calls, (std::vector<std::string>{"create", "open 2", "open 4"}));
    writer->Write("hello", 1, 5);
    writer.reset();

    source_.calls.clear();
    auto appender = Make("n", kWrite | FileStreamAppend, true);
    ASSERT_NE(appender, nullptr);
    EXPECT_EQ(source_.calls, (std::vector<std::string>{"open 2", "open 4"}));  // no create
    EXPECT_EQ(appender->Tell(), 5);
    EXPECT_TRUE(appender->Seek(0, FileStreamFromEnd));
    EXPECT_EQ(appender->Tell(), 4);
    EXPECT_TRUE(appender->Seek(99, FileStreamFromEnd));
    EXPECT_EQ(appender->Tell(), 0);
    EXPECT_TRUE(appender->Seek(2, FileStreamFromCurrent));
    EXPECT_EQ(appender->Tell(), 2);
    appender.reset();

    source_.bytes.clear();
    auto reader = Make("n", 0, true);
    ASSERT_NE(reader, nullptr);
    EXPECT_FALSE(reader->Seek(0, FileStreamFromEnd));  // empty
    EXPECT_EQ(reader->NativeHandle(), 0);
}

}  // namespace
