// The kite account's address book: names the user chose for kite IDs, kept as a dictionary whose
// keys are the name atoms and whose Short values are the kite ID atoms. It is stored as
// "AddBook.wdb" in the account's own folder; entries of any other kind are carried along untouched
// and never read. Every function taking a kite ID finds nothing and writes nothing when it is empty.
#ifndef WRENMAIL_STORE_ADDRESS_BOOK_H
#define WRENMAIL_STORE_ADDRESS_BOOK_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <dict_object.h>

namespace wm {

inline constexpr const char* kAddressBookFile = "AddBook.wdb";
// Addresses are shown cut to this many characters.
inline constexpr std::size_t kShownAddressLength = 20;

// The part of a sender or recipient between "<" and ">" when there is one, cut to 20 characters,
// written with its terminator into `out` (cut further when `size` is smaller).
void NormaliseSender(const char* from, char* out, std::size_t size);
template <std::size_t N>
void NormaliseSender(const char* from, char (&out)[N]) {
    NormaliseSender(from, out, N);
}

// Puts every entry of `from` into `to`, of whatever kind.
void CopyBookEntries(DictInterface& from, DictInterface& to);

// Copies every entry of the stored book into `book`; a missing file is created empty.
void LoadAddressBook(const char* kiteId, DictInterface& book);
// Replaces the stored file with exactly the entries of `book`.
void SaveAddressBook(const char* kiteId, DictInterface& book);

// Walks the book's Short entries from the last to the first; the first whose kite ID (value)
// equals `address` ignoring case gives its name atom; 0 when none does.
uint16_t FindNameFor(DictInterface& book, const char* address);
// The same walk matching the name (key) ignoring case; gives the kite ID atom or 0.
uint16_t FindAddressFor(DictInterface& book, const char* name);

// The lookups on the stored book, read afresh for each call.
uint16_t NameForAddress(const char* kiteId, const char* address);
uint16_t AddressForName(const char* kiteId, const char* name);

// What a screen shows for a sender or recipient: the normalised address, or the book's name for
// it when there is one. `out` must hold at least kShownAddressLength + 1 bytes to show it whole.
void ShownAddress(const char* kiteId, const char* address, char* out, std::size_t size);

// One line of a name list: the name (up to 63 characters) and its key atom.
struct AddressBookName {
    char text[64];
    uint16_t atom;
};

// The names of the book's Short entries, sorted ignoring case (equal names in no set order).
std::vector<AddressBookName> SortedNames(DictInterface& book);
// The same for the stored book of the kite ID.
std::vector<AddressBookName> SortedBookNames(const char* kiteId);

// Gives the book's name for a normalised sender: null when the book has none for it.
class SenderNames {
public:
    virtual ~SenderNames() = default;
    virtual const char* NameFor(const char* address) const = 0;
};

// The stored book of a kite ID, read afresh for every sender as every other reader of the book
// does; an empty kite ID finds nothing and reads nothing.
class StoredBookNames final : public SenderNames {
public:
    explicit StoredBookNames(const char* kiteId) : kite_id_(kiteId != nullptr ? kiteId : "") {}
    const char* NameFor(const char* address) const override;

private:
    std::string kite_id_;
};

}  // namespace wm

#endif
