// The names the user gave to addresses in the kite account's address book, read once so that many
// senders can be looked up without reading the book again for each.
#ifndef WRENMAIL_SCREENS_ADDRESS_BOOK_NAMES_H
#define WRENMAIL_SCREENS_ADDRESS_BOOK_NAMES_H

#include <string>
#include <vector>

namespace wm {

inline constexpr const char* kAddressBookFile = "AddBook.wdb";

class AddressBookNames {
public:
    // Reads the book of the kite ID; an empty ID or a missing book leaves no names.
    void Load(const char* kiteId);
    void Add(std::string name, std::string address);
    // The name of the last entry whose address equals this one ignoring case; null when none does.
    const char* NameFor(const char* address) const;
    bool Empty() const { return entries_.empty(); }

private:
    struct Entry {
        std::string name;
        std::string address;
    };
    std::vector<Entry> entries_;  // in the book's order
};

}  // namespace wm

#endif
