// A zero-filled bump allocator whose blocks never move: a data dictionary hands out 32-bit
// references to its nodes, so nodes must keep their addresses for the tree's whole life.
#ifndef HARBOR_DATADICT_ARENA_H
#define HARBOR_DATADICT_ARENA_H

#include <cstddef>
#include <memory>
#include <vector>

namespace harbor {

class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    Arena(Arena&&) noexcept = default;
    Arena& operator=(Arena&&) noexcept = default;

    // Zeroed bytes aligned to `align` (a power of two, at most alignof(std::max_align_t)).
    // Valid until the arena is destroyed; moving the arena does not move them.
    void* Allocate(std::size_t bytes, std::size_t align);

    // Bytes reserved from the system so far.
    std::size_t Reserved() const { return reserved_; }

private:
    void AddChunk(std::size_t at_least);

    std::vector<std::unique_ptr<std::byte[]>> chunks_;
    std::byte* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t chunk_size_ = 1024;
    std::size_t reserved_ = 0;
};

}  // namespace harbor

#endif
