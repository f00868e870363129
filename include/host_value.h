/* The host's 8-byte tagged value: the nodes of a data dictionary tree that PSGet answers.
 *
 * Ownership: a published tree, with every node, pair block and text its references reach,
 * belongs to its publisher and is only read by others; it stays valid until the publisher
 * withdraws or republishes its name. The module builds its lookup keys in its own storage. */
#ifndef WRENMAIL_HOST_VALUE_H
#define WRENMAIL_HOST_VALUE_H

#include <stddef.h>
#include <stdint.h>

enum HostValueType {
    HostValueArray = 1,      /* payload: reference to `count` consecutive HostValues */
    HostValueDictionary = 3, /* payload: reference to a pair block; count: its capacity in pairs */
    HostValueInteger = 6,    /* payload: the value */
    HostValueName = 8,       /* payload: the atom in the low 16 bits */
    HostValueText = 10,      /* payload: reference to NUL-terminated characters */
    HostValueReference = 31  /* payload: reference to another HostValue */
};

/* Addresses in a payload are 32-bit references (HxRef), since addresses here are 8 bytes. */
typedef struct HostValue {
    uint8_t flags; /* 0 in values the module builds; ignored by comparisons */
    uint8_t type;  /* HostValueType */
    uint16_t count;
    uint32_t payload;
} HostValue;

/* A dictionary's pair block: the number of pairs, 4 unused bytes, then the key/value pairs. */
typedef struct HostPair {
    HostValue key;
    HostValue value;
} HostPair;

typedef struct HostPairBlock {
    uint32_t count;
    uint32_t reserved;
    HostPair pairs[1]; /* `capacity` pairs in practice, as the dictionary value's count says */
} HostPairBlock;

#ifdef __cplusplus
static_assert(sizeof(HostValue) == 8, "HostValue is 8 bytes");
static_assert(offsetof(HostValue, type) == 1 && offsetof(HostValue, count) == 2, "HostValue layout");
static_assert(offsetof(HostValue, payload) == 4, "HostValue payload offset");
static_assert(sizeof(HostPair) == 16 && offsetof(HostPairBlock, pairs) == 8, "pair block layout");
#endif

#endif
