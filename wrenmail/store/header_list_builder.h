// Filling the header list from the stored inboxes of the kite account and of the player.
#ifndef WRENMAIL_STORE_HEADER_LIST_BUILDER_H
#define WRENMAIL_STORE_HEADER_LIST_BUILDER_H

namespace wm {

// Creates the header list when there is none and appends a header for every readable message file
// with a non-zero id: the kite account's inbox first, then the player's, each in listing order.
void BuildHeaderList();
// Replaces the header list with one built afresh, for a change of who is signed in.
void RebuildHeaderList();

}  // namespace wm

#endif
