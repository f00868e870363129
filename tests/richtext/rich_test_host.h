// A stand-in host for the document's tests: logs every send and post through the trace hook,
// and answers size questions (30055) on the test port with a fixed rectangle.
#ifndef WRENMAIL_TESTS_RICHTEXT_RICH_TEST_HOST_H
#define WRENMAIL_TESTS_RICHTEXT_RICH_TEST_HOST_H

#include <cstdint>
#include <vector>

#include "edict.h"

namespace wm::testing {

struct Traced {
    uint16_t port;
    EDict record;
    bool posted;
};

class RichTestHost {
public:
    RichTestHost();
    ~RichTestHost();
    RichTestHost(const RichTestHost&) = delete;
    RichTestHost& operator=(const RichTestHost&) = delete;

    uint16_t Port() const { return port_; }
    // Messages of a type, in the order they crossed.
    std::vector<Traced> OfType(uint16_t type) const;
    const std::vector<Traced>& All() const;
    void Clear();

private:
    uint16_t port_ = 0;
};

// The size the host answers for any source sprite.
inline constexpr int32_t kHostWidth = 64;
inline constexpr int32_t kHostHeight = 48;

}  // namespace wm::testing

#endif
