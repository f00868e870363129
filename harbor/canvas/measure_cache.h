// Text measurements a canvas has already made, by (font, style, size, text). The module lays its
// rich texts out by measuring every token again at every re-layout, and a Pango layout per
// measure costs far more than a lookup; the metrics are fixed (text_system.h), so an answer once
// made stays right.
//
// Bounded: two generations of at most `capacity` entries each. When the newer one is full the
// older one is dropped and the newer one takes its place; a hit in the older one moves the entry
// forward. Recently used measurements therefore survive, and memory stays within two generations.
#ifndef HARBOR_CANVAS_MEASURE_CACHE_H
#define HARBOR_CANVAS_MEASURE_CACHE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace harbor {

struct Measurement {
    float width = 0;
    float height = 0;
};

class MeasureCache {
public:
    static constexpr std::size_t kDefaultCapacity = 4096;
    // Texts longer than this are measured every time: they are rare and would crowd the cache.
    static constexpr std::size_t kLongestText = 256;

    // A capacity of 0 keeps nothing: every lookup misses (the uncached measure, for comparison).
    explicit MeasureCache(std::size_t capacity = kDefaultCapacity);

    // The font every following lookup and store is for.
    void SelectFont(std::string_view family, int32_t style, int32_t size);

    std::optional<Measurement> Find(std::string_view text);
    void Store(std::string_view text, Measurement measurement);

    std::size_t Size() const { return newer_.size() + older_.size(); }
    std::size_t Capacity() const { return capacity_; }

private:
    using Generation = std::unordered_map<std::string, Measurement>;
    // The font's prefix followed by the text: one string key, found with one hash.
    const std::string& KeyOf(std::string_view text);

    std::size_t capacity_;
    std::string font_;  // family, NUL, style, NUL, size, NUL
    std::string key_;   // scratch, reused between lookups
    Generation newer_;
    Generation older_;
};

}  // namespace harbor

#endif
