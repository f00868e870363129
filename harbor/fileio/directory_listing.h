// The listing the file service answers under "FioQuery": a snapshot of one directory taken at the
// request, so deleting files while walking it does not shift its entries.
//
// It holds the regular files and the subdirectories whose names the service would accept in a
// request, sorted byte by byte (strcmp order); links, devices, and temporary files of writes are
// left out. Taking a snapshot also deletes the stale temporary files it meets: those of writes
// that a crash cut short.
#ifndef HARBOR_FILEIO_DIRECTORY_LISTING_H
#define HARBOR_FILEIO_DIRECTORY_LISTING_H

#include <cstdint>
#include <string>
#include <vector>

#include "fio_query.h"

namespace harbor {

class DirectoryListing final : public FioQueryInterface {
public:
    DirectoryListing() = default;
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;
    ~DirectoryListing() override = default;

    // Replaces the snapshot with the entries of `dir`. False (and empty) when it cannot be read.
    bool Take(int dir, std::string& error);

    int32_t HXCALL Count() override { return static_cast<int32_t>(offsets_.size()); }
    const char* HXCALL NameAt(int32_t index) override;

    // Stale temporary files deleted by the last Take.
    std::size_t CleanedUp() const { return cleaned_; }

private:
    void Add(const char* name);

    std::string names_;              // every name, each followed by its NUL
    std::vector<uint32_t> offsets_;  // where each name starts in names_, in listing order
    std::size_t cleaned_ = 0;
};

}  // namespace harbor

#endif
