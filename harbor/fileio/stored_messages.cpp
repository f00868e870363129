#include "fileio/stored_messages.h"

#include <functional>

namespace harbor {

StoredMessages& StoredMessages::Instance() {
    static StoredMessages instance;
    return instance;
}

void StoredMessages::SetWatching(bool watching) {
    watching_ = watching;
    if (!watching) Clear();
}

// The length in the fingerprint as well: two texts must agree in both to be taken for one.
uint64_t StoredMessages::Fingerprint(std::string_view text) {
    return std::hash<std::string_view>{}(text) ^ (static_cast<uint64_t>(text.size()) * 0x9E3779B97F4A7C15ull);
}

void StoredMessages::NoteStored(std::string_view text) {
    const uint64_t print = Fingerprint(text);
    order_.push_back(print);
    seen_.insert(print);
    if (order_.size() > kRemembered) {
        seen_.erase(seen_.find(order_.front()));
        order_.pop_front();
    }
}

bool StoredMessages::WasStored(std::string_view text) const { return seen_.contains(Fingerprint(text)); }

void StoredMessages::Clear() {
    order_.clear();
    seen_.clear();
}

}  // namespace harbor
