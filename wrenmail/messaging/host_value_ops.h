// Reading the host's tagged values in place. The tree comes from the host, so every address is a
// reference that may not resolve: a reference that gives null reads as "nothing".
#ifndef WRENMAIL_MESSAGING_HOST_VALUE_OPS_H
#define WRENMAIL_MESSAGING_HOST_VALUE_OPS_H

#include <cstdint>

#include "host_value.h"

namespace wm::hostvalue {

HostValue NameValue(uint16_t atom);
HostValue IntegerValue(int32_t value);

// Two values are the same key when type, count and payload agree; flags do not count.
bool SameValue(const HostValue& a, const HostValue& b);

// The value a chain of references ends at; null when a link is broken or the chain is too long
// to be anything but a loop.
const HostValue* Resolve(const HostValue* value);

// The pair block of a dictionary value (references followed), null when there is none; `capacity`
// gets the most pairs it can hold.
HostPairBlock* PairBlock(const HostValue* dictionary, uint16_t* capacity);
HostPair* PairAt(HostPairBlock* block, uint32_t index);

// The pair of the dictionary (references followed) whose key is `key`; null when none.
HostPair* FindPair(const HostValue* dictionary, const HostValue& key);
// The value filed under the name `key`; null when none.
const HostValue* Find(const HostValue* dictionary, uint16_t key);

// Files `value` under `key`: over the pair's value when the key is there, in a new pair when the
// block has room. False when neither.
bool SetPair(const HostValue* dictionary, const HostValue& key, const HostValue& value);

// The elements of an array value (references followed); null when it is no array. `count` gets
// the element count (0 when null).
const HostValue* Elements(const HostValue* value, uint16_t* count);

// The characters a value stands for, references followed; null when it stands for none.
const char* TextOf(const HostValue* value);

}  // namespace wm::hostvalue

#endif
