// Requests built key by key as the module builds them, for Harbor's tests.
#ifndef WRENMAIL_TESTS_HARBOR_REQUEST_BUILDER_H
#define WRENMAIL_TESTS_HARBOR_REQUEST_BUILDER_H

#include <initializer_list>
#include <vector>

#include "harbor_test_support.h"

namespace harbor_test {

// The record's long values under `keys`, in order, to compare in one check.
inline std::vector<int32_t> Longs(const EDict& record, std::initializer_list<const char*> keys) {
    std::vector<int32_t> values;
    for (const char* key : keys) values.push_back(EDictGetLong(&record, A(key)));
    return values;
}

// A request built key by key as the module builds it: Req(30052).Name("BtnTsGo").Long("Z", 2).
class Req {
public:
    explicit Req(uint16_t type) : d_(harbor_test::Record(type)) {}
    Req& Atom(const char* key, uint16_t atom) { EDictPutShort(&d_, A(key), atom); return *this; }
    Req& Atom(const char* key, const char* name) { return Atom(key, A(name)); }
    Req& Name(const char* name) { return Atom("NAME", name); }
    Req& Long(const char* key, int32_t value) { EDictPutLong(&d_, A(key), value); return *this; }
    Req& Bool(const char* key, bool value) { EDictPutBool(&d_, A(key), value); return *this; }
    Req& Text(const char* key, const char* text) { EDictPutText(&d_, A(key), text); return *this; }
    Req& Handle(const char* key, uint32_t handle) { EDictPutHandle(&d_, A(key), handle); return *this; }
    Req& Pointer(const char* key, const void* pointer) { EDictPutPointer(&d_, A(key), pointer); return *this; }
    // Sent to the port; the record comes back with the answer in it.
    EDict To(uint16_t port) { HxPortSend(port, &d_); return d_; }
    bool SendTo(uint16_t port) { return HxPortSend(port, &d_); }
    void PostTo(uint16_t port, int32_t delay = 0) { HxPortPost(port, &d_, delay); }

private:
    EDict d_;
};

}  // namespace harbor_test

#endif
