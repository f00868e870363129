// The check made before a name or ID is used as an owner directory or an address.
#ifndef WRENMAIL_STORE_MAIL_NAME_H
#define WRENMAIL_STORE_MAIL_NAME_H

namespace wm {

// True for the empty name (and null) and for names of ASCII letters, digits and underscores only.
bool IsValidMailName(const char* name);

}  // namespace wm

#endif
