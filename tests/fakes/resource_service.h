// Test support: the resource service on ResPort. Opening a served file (30040 with XFILE) answers
// the resource name it is published under; making a resource (30013) answers a fresh name, or
// STATUS false while refusing.
#ifndef WRENMAIL_TESTS_FAKES_RESOURCE_SERVICE_H
#define WRENMAIL_TESTS_FAKES_RESOURCE_SERVICE_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "edict.h"

class FakeResourceService {
public:
    void Install();

    std::map<std::string, uint16_t> served;
    // When set, a served file opens only while this answers true for it.
    std::function<bool(const std::string& file)> reachable;
    bool refusing = false;
    int made = 0;

private:
    bool Handle(EDict* record);
    static bool HXCALL OnRequest(EDict* record);
    static inline FakeResourceService* instance_ = nullptr;
};

#endif
