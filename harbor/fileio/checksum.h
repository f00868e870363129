// CRC-32 (the IEEE polynomial, reflected, as zip and PNG use it): the checksum that closes every
// dictionary file.
#ifndef HARBOR_FILEIO_CHECKSUM_H
#define HARBOR_FILEIO_CHECKSUM_H

#include <cstddef>
#include <cstdint>

namespace harbor {

uint32_t Crc32(const void* data, std::size_t size);

}  // namespace harbor

#endif
