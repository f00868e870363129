#include "canvas/measure_cache.h"

#include <utility>

namespace harbor {

MeasureCache::MeasureCache(std::size_t capacity) : capacity_(capacity) {
    SelectFont("", 0, 0);
}

void MeasureCache::SelectFont(std::string_view family, int32_t style, int32_t size) {
    font_.assign(family);
    font_.push_back('\0');
    font_ += std::to_string(style);
    font_.push_back('\0');
    font_ += std::to_string(size);
    font_.push_back('\0');
}

const std::string& MeasureCache::KeyOf(std::string_view text) {
    key_.assign(font_);
    key_.append(text);
    return key_;
}

std::optional<Measurement> MeasureCache::Find(std::string_view text) {
    if (capacity_ == 0 || text.size() > kLongestText) return std::nullopt;
    const std::string& key = KeyOf(text);
    if (auto it = newer_.find(key); it != newer_.end()) return it->second;
    auto old = older_.find(key);
    if (old == older_.end()) return std::nullopt;
    const Measurement found = old->second;
    older_.erase(old);
    Store(text, found);  // used again: it moves to the newer generation
    return found;
}

void MeasureCache::Store(std::string_view text, Measurement measurement) {
    if (capacity_ == 0 || text.size() > kLongestText) return;
    if (newer_.size() >= capacity_) {
        older_ = std::move(newer_);
        newer_ = Generation{};
    }
    newer_.insert_or_assign(KeyOf(text), measurement);
}

}  // namespace harbor
