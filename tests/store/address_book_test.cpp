#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "store/address_book.h"
#include "shell/service_handles.h"

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

private:
    static bool HXCALL OnRequest(EDict* record) {
        BookService& self = *instance_;
        if (const char* dir = EDictGetText(record, atoms::files::DIRECTORY)) self.folders.push_back(dir);
        if (EDictGetType(record) == wm::code::kStart) {
            const char* file = EDictGetText(record, atoms::files::FILENAME);
            self.reads.push_back(file != nullptr ? file : "");
            if (self.exists) EDictPutHandle(record, atoms::files::DICT, HxRef(static_cast<DictInterface*>(&self.book)));
        }
        return true;
    }
    static inline BookService* instance_ = nullptr;
};

TEST(AddressBookNamesTest, TheKiteAccountsBookGivesNamesForAddressesIgnoringCase) {
    BookService files;
    files.book.PutShort(BookService::A("Granny"), BookService::A("gran_42"));
    files.book.PutLong(BookService::A("Counter"), 3);  // not an address
    files.book.PutShort(BookService::A("Gran"), BookService::A("GRAN_42"));
    wm::AddressBookNames names;
    names.Load("ann_01");
    EXPECT_EQ(files.reads, (std::vector<std::string>{"AddBook.wdb"}));
    ASSERT_FALSE(files.folders.empty());
    EXPECT_EQ(files.folders.back(), "ann_01");
    EXPECT_NE(std::find(files.folders.begin(), files.folders.end(), "kiteAccounts"), files.folders.end());
    ASSERT_NE(names.NameFor("Gran_42"), nullptr);
    EXPECT_STREQ(names.NameFor("Gran_42"), "Gran");  // the last matching entry
    EXPECT_EQ(names.NameFor("gran_4"), nullptr);
    EXPECT_EQ(names.NameFor("3"), nullptr);
}

TEST(AddressBookNamesTest, NoKiteIdOrNoBookMeansNoNames) {
    BookService files;
    files.book.PutShort(BookService::A("Granny"), BookService::A("gran_42"));
    wm::AddressBookNames names;
    names.Load("");
    EXPECT_TRUE(files.reads.empty());
    EXPECT_TRUE(names.Empty());
    files.exists = false;
    names.Load("ann_01");
    EXPECT_TRUE(names.Empty());
}

}  // namespace
