// The message texts the file service has stored lately, for the mail service: a fetched message
// is acknowledged (taken out of the waiting mail) only once its text is known to be on disk, so
// a store that failed (a full disk) leaves it waiting for the next start instead of losing it.
// The module frees a fetched message whether or not storing it worked; this is how Harbor tells.
//
// Only while a file service is attached does the mail service wait for this confirmation; without
// one (a mail service on its own) freeing a fetched message acknowledges it as before.
#ifndef HARBOR_FILEIO_STORED_MESSAGES_H
#define HARBOR_FILEIO_STORED_MESSAGES_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_set>

namespace harbor {

class StoredMessages {
public:
    static StoredMessages& Instance();

    // A file service is attached and reports what it stores.
    void SetWatching(bool watching);
    bool Watching() const { return watching_; }

    // `text` was written completely (the write answered done).
    void NoteStored(std::string_view text);
    bool WasStored(std::string_view text) const;
    void Clear();

    static constexpr std::size_t kRemembered = 4096;

private:
    static uint64_t Fingerprint(std::string_view text);

    bool watching_ = false;
    std::deque<uint64_t> order_;
    std::unordered_multiset<uint64_t> seen_;
};

}  // namespace harbor

#endif
