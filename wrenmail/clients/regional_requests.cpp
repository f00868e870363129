#include "clients/regional_requests.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {

uint32_t RegionalNow() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kGet);
    EDictPutLong(&record, atoms::files::DATE, 1);
    HxPortSend(atoms::RegionalPort, &record);
    return static_cast<uint32_t>(EDictGetLong(&record, atoms::files::DATE));
}

void RegionalFormatDate(uint32_t date, char* buffer, int32_t size, bool shortForm) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kQuery);
    EDictPutLong(&record, atoms::files::DATE, static_cast<int32_t>(date));
    EDictPutHandle(&record, atoms::files::STRING, HxRef(buffer));
    EDictPutLong(&record, atoms::files::SIZE, size);
    if (shortForm) {
        EDictPutLong(&record, atoms::files::SHORTDATE, 1);
    }
    HxPortSend(atoms::RegionalPort, &record);
}

}  // namespace wm
