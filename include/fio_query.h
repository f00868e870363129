/* A directory listing answered by the file service ("FioQuery" carries HxRef of one).
 * The order of the virtual operations is part of the ABI. */
#ifndef WRENMAIL_FIO_QUERY_H
#define WRENMAIL_FIO_QUERY_H

#include <stdint.h>

#include "hxcall.h"

class FioQueryInterface {
public:
    virtual int32_t HXCALL Count() = 0;
    virtual const char* HXCALL NameAt(int32_t index) = 0; /* null past the end */
    virtual ~FioQueryInterface() = default;
};

#endif
