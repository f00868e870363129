// A host may call the module again from inside a send the module made: a stop delivered while a
// screen waits for an answer, a click while a list asks for its sprite. Each handler of the module
// opens a DeliveryScope for its call; what a stop deletes while a handler further down the stack
// may still be running is deleted only once the outermost handler returns.
#ifndef WRENMAIL_MESSAGING_DELIVERY_SCOPE_H
#define WRENMAIL_MESSAGING_DELIVERY_SCOPE_H

#include <functional>

namespace wm {

class DeliveryScope {
public:
    DeliveryScope();
    ~DeliveryScope();
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;
};

// Runs `release` now when no other handler of the module is below the current one on the stack,
// else when the outermost handler returns.
void ReleaseAfterDelivery(std::function<void()> release);

}  // namespace wm

#endif
