/* A directory listing answered by the file service ("FioQuery" carries HxRef of one).
 * The order of the virtual operations is part of the ABI.
 *
 * Ownership: the listing belongs to the file service, one object per file-service handle, and
 * lives until that handle is closed; the module never deletes it. Each listing request on the
 * handle refills the same object and a change of folder that fails empties it, so its count and
 * the names NameAt answers hold until the next listing, failed change of folder or close on that
 * handle. Reads, writes, deletes and changes of folder that succeed leave it as it is. */
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
