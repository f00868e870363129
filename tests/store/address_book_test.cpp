#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "store/address_book.h"
#include "state/service_handles.h"

namespace {

// A file service that holds only the address book file and records the folders walked to it.
class BookService {
public:
    BookService() {
        instance_ = this;
        HxReset();
        HxPortAttach(atoms::files::FileIOPort, &BookService::OnRequest);
        wm::Services() = wm::ServiceHandles{};
        wm::Services().fileService = 7;
    }
    ~BookService() {
        wm::Services() = wm::ServiceHandles{};
        HxReset();
        instance_ = nullptr;
    }
    static uint16_t A(const char* name) { return wm::FetchAtom(name); }

    wm::DictObject book;
    bool exists = true;
    std::vector<std::string> folders;
    std::vector<std::string> reads;
    std::vector<std::string> creations;
    // What the last write (not a creation) handed over, copied entry by entry.
    wm::DictObject written;
    int writes = 0;

private:
    static bool HXCALL OnRequest(EDict* record) {
        BookService& self = *instance_;
        if (const char* dir = EDictGetText(record, atoms::files::DIRECTORY)) self.folders.push_back(dir);
        if (EDictGetType(record) == code::kStart) {
            const char* file = EDictGetText(record, atoms::files::FILENAME);
            self.reads.push_back(file != nullptr ? file : "");
            if (self.exists) EDictPutHandle(record, atoms::files::DICT, HxRef(static_cast<DictInterface*>(&self.book)));
        } else if (EDictGetType(record) == code::kWriteDict) {
            const char* file = EDictGetText(record, atoms::files::FILENAME);
            auto* dict = static_cast<DictInterface*>(HxDeref(static_cast<uint32_t>(EDictGetLong(record, atoms::files::DICT))));
            if (EDictGetLong(record, atoms::files::CREATE) != 0) {
                self.creations.push_back(file != nullptr ? file : "");
            } else if (dict != nullptr) {
                ++self.writes;
                self.written.Clear();
                wm::CopyBookEntries(*dict, self.written);
            }
        }
        return true;
    }
    static inline BookService* instance_ = nullptr;
};

TEST(AddressBookTest, NormalisingKeepsTheBracketedAddressAndCutsToTwenty) {
    char out[129];
    wm::NormaliseSender("Ann Lee <ann_01>", out);
    EXPECT_STREQ(out, "ann_01");
    wm::NormaliseSender("abcdefghijklmnopqrstuvwxyz", out);
    EXPECT_STREQ(out, "abcdefghijklmnopqrst");
    wm::NormaliseSender("Long <abcdefghijklmnopqrstuvwxyz>", out);
    EXPECT_STREQ(out, "abcdefghijklmnopqrst");
    wm::NormaliseSender("no close <ann", out);  // no ">": the whole text, cut
    EXPECT_STREQ(out, "no close <ann");
    wm::NormaliseSender("<>", out);
    EXPECT_STREQ(out, "");
    char small[5];
    wm::NormaliseSender("abcdefgh", small);
    EXPECT_STREQ(small, "abcd");
}

TEST(AddressBookTest, LookupsWalkShortEntriesFromTheLastIgnoringCase) {
    wm::DictObject book;
    const auto A = BookService::A;
    book.PutShort(A("Granny"), A("gran_42"));
    book.PutText(A("Note"), "gran_42");  // a text holding an address is not an entry
    book.PutShort(A("Gran"), A("GRAN_42"));
    book.PutShort(A("Bob"), A("bob_7"));
    EXPECT_EQ(wm::FindNameFor(book, "Gran_42"), A("Gran"));
    EXPECT_EQ(wm::FindNameFor(book, "BOB_7"), A("Bob"));
    EXPECT_EQ(wm::FindNameFor(book, "gran_4"), 0);
    EXPECT_EQ(wm::FindNameFor(book, "Note"), 0);
    EXPECT_EQ(wm::FindAddressFor(book, "granny"), A("gran_42"));
    EXPECT_EQ(wm::FindAddressFor(book, "bob"), A("bob_7"));
    EXPECT_EQ(wm::FindAddressFor(book, "note"), 0);
    EXPECT_EQ(wm::FindAddressFor(book, nullptr), 0);
}

TEST(AddressBookTest, SortedNamesIgnoreCaseAndSkipOtherEntries) {
    wm::DictObject book;
    const auto A = BookService::A;
    for (const char* name : {"zed", "Anna", "bob", "Carl", "alfie"}) book.PutShort(A(name), A("x_1"));
    book.PutLong(A("Counter"), 2);
    std::vector<std::string> names;
    for (const wm::AddressBookName& name : wm::SortedNames(book)) {
        EXPECT_EQ(name.atom, A(name.text));
        names.push_back(name.text);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alfie", "Anna", "bob", "Carl", "zed"}));
    EXPECT_EQ(sizeof(wm::AddressBookName), 66u);
}

TEST(AddressBookTest, FreshLookupsReadTheStoredBookEachTime) {
    BookService files;
    files.book.PutShort(BookService::A("Gran"), BookService::A("gran_42"));
    EXPECT_EQ(wm::NameForAddress("ann_01", "GRAN_42"), BookService::A("Gran"));
    EXPECT_EQ(wm::AddressForName("ann_01", "gran"), BookService::A("gran_42"));
    EXPECT_EQ(files.reads.size(), 2u);
    char shown[21];
    wm::ShownAddress("ann_01", "Granny <gran_42>", shown, sizeof shown);
    EXPECT_STREQ(shown, "Gran");
    wm::ShownAddress("ann_01", "someone_else_with_a_long_name", shown, sizeof shown);
    EXPECT_STREQ(shown, "someone_else_with_a_");
    wm::ShownAddress("", "gran_42", shown, sizeof shown);  // no kite ID, no book
    EXPECT_STREQ(shown, "gran_42");
    EXPECT_EQ(files.reads.size(), 4u);
    EXPECT_EQ(wm::SortedBookNames("ann_01").size(), 1u);
}

TEST(AddressBookTest, AMissingBookIsCreatedEmptyAndNothingHappensWithoutKiteId) {
    BookService files;
    files.exists = false;
    wm::DictObject book;
    wm::LoadAddressBook("ann_01", book);
    EXPECT_EQ(book.KeyCount(), 0);
    EXPECT_EQ(files.creations, (std::vector<std::string>{"AddBook.wdb"}));
    files.creations.clear();
    files.reads.clear();
    book.PutShort(BookService::A("Gran"), BookService::A("gran_42"));
    wm::SaveAddressBook("", book);
    wm::LoadAddressBook("", book);
    EXPECT_TRUE(files.creations.empty());
    EXPECT_EQ(files.writes, 0);
    EXPECT_TRUE(files.reads.empty());
}

TEST(AddressBookTest, ForeignEntriesSurviveALoadAndASave) {
    BookService files;
    const auto A = BookService::A;
    files.book.PutShort(A("Gran"), A("gran_42"));
    files.book.PutLong(A("Version"), 3);
    files.book.PutText(A("Owner"), "ann");
    files.book.PutHandle(A("Cookie"), 99);
    files.book.PutFloat(A("Scale"), 1.5f);
    wm::DictObject book;
    wm::LoadAddressBook("ann_01", book);
    ASSERT_EQ(book.KeyCount(), 5);
    book.PutShort(A("Bob"), A("bob_7"));
    wm::SaveAddressBook("ann_01", book);
    EXPECT_EQ(files.creations, (std::vector<std::string>{"AddBook.wdb"}));  // afresh, then written
    ASSERT_EQ(files.writes, 1);
    EXPECT_EQ(files.written.KeyCount(), 6);
    EXPECT_EQ(EDictGetFloat(files.written.FirstRecord(), A("Scale")), 1.5f);
    EXPECT_EQ(files.written.GetLong(A("Version")), 3);
    EXPECT_STREQ(static_cast<const char*>(HxDeref(files.written.GetText(A("Owner")))), "ann");
    EXPECT_EQ(files.written.GetHandle(A("Cookie")), 99u);
    EXPECT_EQ(files.written.GetShort(A("Bob")), A("bob_7"));
    uint16_t type = 0;
    for (int32_t n = 0; n < files.written.KeyCount(); ++n) {
        const uint16_t key = files.written.KeyAt(n, &type);
        uint16_t original = 0;
        if (files.book.HasKey(key)) {
            for (int32_t m = 0; m < files.book.KeyCount(); ++m) {
                if (files.book.KeyAt(m, &original) == key) break;
            }
            EXPECT_EQ(type, original) << DaNameGetString(key);
        }
    }
}

}  // namespace
