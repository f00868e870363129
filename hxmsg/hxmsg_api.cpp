// The exported C calls of the messaging library; each forwards to the component that owns it.
#include "hxmsg.h"
#include "messenger.h"
#include "name_atoms.h"
#include "references.h"
#include "value_registry.h"

using hxmsg::Messenger;

uint32_t DaNameGet(const char* name) { return hxmsg::NameAtoms::Instance().Get(name); }
const char* DaNameGetString(uint16_t atom) { return hxmsg::NameAtoms::Instance().Text(atom); }

bool HxPortAttach(uint16_t port, HxHandler handler) { return Messenger::Instance().Attach(port, handler); }
bool HxPortDetach(uint16_t port, HxHandler handler) { return Messenger::Instance().Detach(port, handler); }
bool HxPortSend(uint16_t port, EDict* record) { return Messenger::Instance().Send(port, record); }
bool HxPortPost(uint16_t port, const EDict* record, int32_t delay) {
    return Messenger::Instance().Post(port, record, delay);
}

const HostValue* PSGet(const HostValue* key) { return hxmsg::ValueRegistry::Instance().Find(key); }
bool HxPublishValue(uint16_t name, const HostValue* root) {
    return hxmsg::ValueRegistry::Instance().Publish(name, root);
}
bool HxWithdrawValue(uint16_t name) { return hxmsg::ValueRegistry::Instance().Withdraw(name); }

uint32_t HxRef(const void* address) { return hxmsg::ReferenceTable::Instance().Ref(address); }
void* HxDeref(uint32_t reference) { return hxmsg::ReferenceTable::Instance().Deref(reference); }

uint64_t HxNow(void) { return Messenger::Instance().Now(); }
void HxSetRealClock(bool real) { Messenger::Instance().SetRealClock(real); }
bool HxIsRealClock(void) { return Messenger::Instance().IsRealClock(); }
void HxAdvanceTime(uint32_t ms) { Messenger::Instance().AdvanceTime(ms); }
void HxRunUntilIdle(void) { Messenger::Instance().RunUntilIdle(); }
int64_t HxTimeToNextPost(void) { return Messenger::Instance().TimeToNextPost(); }
uint32_t HxPendingPostCount(void) { return Messenger::Instance().PendingPostCount(); }
void HxReset(void) { Messenger::Instance().Reset(); }

void HxSetTraceHook(HxTraceHook hook, void* user) { Messenger::Instance().SetTraceHook(hook, user); }
