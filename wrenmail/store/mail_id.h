// Reduces a sender such as "Ann Lee <ann7>" to the bare ID, before it is looked up in the address
// book or shown.
#ifndef WRENMAIL_STORE_MAIL_ID_H
#define WRENMAIL_STORE_MAIL_ID_H

#include <cstddef>

namespace wm {

// Longest ID kept.
inline constexpr std::size_t kMaxMailId = 20;

// In place: the part between the first "<" and the following ">" when the text has a part before
// the "<"; then cut to kMaxMailId characters. A text that starts with "<" stays whole.
void ExtractMailId(char* buffer);

}  // namespace wm

#endif
