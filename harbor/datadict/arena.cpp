#include "datadict/arena.h"

#include <cstdint>

namespace harbor {

namespace {

// Chunks grow geometrically so that a small settings file costs one small chunk and a large
// scene dictionary does not cost thousands.
constexpr std::size_t kLargestChunk = std::size_t{64} * 1024;

std::size_t Padding(const std::byte* at, std::size_t align) {
    auto address = reinterpret_cast<std::uintptr_t>(at);
    return (align - address % align) % align;
}

}  // namespace

void Arena::AddChunk(std::size_t at_least) {
    std::size_t size = chunk_size_ > at_least ? chunk_size_ : at_least;
    if (chunk_size_ < kLargestChunk) chunk_size_ *= 2;
    chunks_.push_back(std::make_unique<std::byte[]>(size));  // value-initialised: zeroed
    next_ = chunks_.back().get();
    left_ = size;
    reserved_ += size;
}

void* Arena::Allocate(std::size_t bytes, std::size_t align) {
    if (bytes == 0) bytes = 1;
    if (next_ == nullptr || Padding(next_, align) + bytes > left_) {
        AddChunk(bytes + align);
    }
    std::size_t pad = Padding(next_, align);
    std::byte* at = next_ + pad;
    next_ = at + bytes;
    left_ -= pad + bytes;
    return at;
}

}  // namespace harbor
