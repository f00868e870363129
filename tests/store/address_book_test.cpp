#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"
#include "store/address_book.h"
#include "store_fixture.h"

namespace {

// The book's folder and what the file service was asked to do with the book.
class AddressBookTest : public StoreTest {
protected:
    static uint16_t A(const char* name) { return wm::FetchAtom(name); }
    void StoreBook(wm::DictObject& book) { files_.Store(kFolder, wm::kAddressBookFile, book); }
    std::unique_ptr<wm::DictObject> Written() { return files_.Load(kFolder, wm::kAddressBookFile); }
    long Logged(const char* what) const {
        return std::count(files_.writeLog.begin(), files_.writeLog.end(), std::string("AddBook.wdb ") + what);
    }

    const Path kFolder = {"MailBoxes", "kiteAccounts", "ann_01"};
};

TEST_F(AddressBookTest, LookupsWalkShortEntriesFromTheLastIgnoringCase) {
    wm::DictObject book;
    book.PutShort(A("Granny"), A("gran_42"));
    book.PutText(A("Note"), "gran_42");  // a text holding an address is not an entry
    book.PutShort(A("Gran"), A("GRAN_42"));
    book.PutShort(A("Bob"), A("bob_7"));
    const std::pair<const char*, uint16_t> names[] = {
        {"Gran_42", A("Gran")}, {"BOB_7", A("Bob")}, {"gran_4", 0}, {"Note", 0}};
    for (const auto& [address, name] : names) EXPECT_EQ(wm::FindNameFor(book, address), name) << address;
    const std::pair<const char*, uint16_t> addresses[] = {
        {"granny", A("gran_42")}, {"bob", A("bob_7")}, {"note", 0}, {nullptr, 0}};
    for (const auto& [name, address] : addresses) EXPECT_EQ(wm::FindAddressFor(book, name), address) << (name ? name : "null");
}

TEST_F(AddressBookTest, FreshLookupsReadTheStoredBookEachTime) {
    wm::DictObject book;
    book.PutShort(A("Gran"), A("gran_42"));
    StoreBook(book);
    EXPECT_EQ(wm::NameForAddress("ann_01", "GRAN_42"), A("Gran"));
    EXPECT_EQ(wm::AddressForName("ann_01", "gran"), A("gran_42"));
    EXPECT_EQ(files_.reads, 2);
    char shown[21];
    wm::ShownAddress("ann_01", "Granny <gran_42>", shown, sizeof shown);
    EXPECT_STREQ(shown, "Gran");
    wm::ShownAddress("ann_01", "someone_else_with_a_long_name", shown, sizeof shown);
    EXPECT_STREQ(shown, "someone_else_with_a_");
    wm::ShownAddress("", "gran_42", shown, sizeof shown);  // no kite ID, no book
    EXPECT_STREQ(shown, "gran_42");
    EXPECT_EQ(files_.reads, 4);
    EXPECT_EQ(wm::SortedBookNames("ann_01").size(), 1u);
}

TEST_F(AddressBookTest, AMissingBookIsCreatedEmptyAndNothingHappensWithoutKiteId) {
    wm::DictObject book;
    wm::LoadAddressBook("ann_01", book);
    EXPECT_EQ(book.KeyCount(), 0);
    EXPECT_EQ(Logged("create"), 1);
    const int reads = files_.reads;
    book.PutShort(A("Gran"), A("gran_42"));
    wm::SaveAddressBook("", book);
    wm::LoadAddressBook("", book);
    EXPECT_EQ(files_.writeLog.size(), 1u);
    EXPECT_EQ(files_.reads, reads);
}

TEST_F(AddressBookTest, ForeignEntriesSurviveALoadAndASave) {
    wm::DictObject stored;
    stored.PutShort(A("Gran"), A("gran_42"));
    stored.PutLong(A("Version"), 3);
    stored.PutText(A("Owner"), "ann");
    stored.PutHandle(A("Cookie"), 99);
    stored.PutFloat(A("Scale"), 1.5f);
    StoreBook(stored);
    wm::DictObject book;
    wm::LoadAddressBook("ann_01", book);
    ASSERT_EQ(book.KeyCount(), 5);
    book.PutShort(A("Bob"), A("bob_7"));
    wm::SaveAddressBook("ann_01", book);
    EXPECT_EQ(files_.writeLog, (std::vector<std::string>{"AddBook.wdb create", "AddBook.wdb write"}))
        << "afresh, then written";
    const auto written = Written();
    EXPECT_EQ(written->KeyCount(), 6);
    EXPECT_EQ(EDictGetFloat(written->FirstRecord(), A("Scale")), 1.5f);
    EXPECT_EQ(written->GetLong(A("Version")), 3);
    EXPECT_STREQ(static_cast<const char*>(HxDeref(written->GetText(A("Owner")))), "ann");
    EXPECT_EQ(written->GetHandle(A("Cookie")), 99u);
    EXPECT_EQ(written->GetShort(A("Bob")), A("bob_7"));
    for (int32_t n = 0; n < written->KeyCount(); ++n) {
        uint16_t type = 0;
        const uint16_t key = written->KeyAt(n, &type);
        for (int32_t m = 0; m < stored.KeyCount(); ++m) {
            uint16_t original = 0;
            if (stored.KeyAt(m, &original) == key) {
                EXPECT_EQ(type, original) << DaNameGetString(key);
            }
        }
    }
}

}  // namespace
