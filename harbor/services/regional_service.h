// RegionalPort: the current date (30011 answers DATE) and formatted dates (30049 writes into the
// caller's buffer). Under the deterministic clock the date is kDeterministicEpoch plus the clock's
// whole seconds and is printed in UTC, so runs repeat; under the real clock it is the system's
// time, printed in the local time zone.
#ifndef HARBOR_SERVICES_REGIONAL_SERVICE_H
#define HARBOR_SERVICES_REGIONAL_SERVICE_H

#include <cstdint>

#include "edict.h"

namespace harbor {

class RegionalService {
public:
    RegionalService();
    ~RegionalService();
    RegionalService(const RegionalService&) = delete;
    RegionalService& operator=(const RegionalService&) = delete;

    // Seconds since 1970, UTC, as the service answers them now.
    static uint32_t Now();

private:
    static bool Handle(EDict* record);
    void AnswerDate(EDict& record) const;
    void FormatInto(const EDict& record) const;

    static RegionalService* live_;  // HxHandler carries no context: one live instance
    uint16_t port_;
    uint16_t date_;
    uint16_t string_;
    uint16_t size_;
    uint16_t short_date_;
};

}  // namespace harbor

#endif
