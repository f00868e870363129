#include "services/regional_service.h"

#include <cassert>
#include <ctime>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "services/date_format.h"

namespace harbor {

RegionalService* RegionalService::live_ = nullptr;

RegionalService::RegionalService()
    : port_(AtomOf("RegionalPort")),
      date_(AtomOf("DATE")),
      string_(AtomOf("STRING")),
      size_(AtomOf("SIZE")),
      short_date_(AtomOf("SHORTDATE")) {
    assert(live_ == nullptr && "one regional service at a time");
    live_ = this;
    HxPortAttach(port_, &RegionalService::Handle);
}

RegionalService::~RegionalService() {
    HxPortDetach(port_, &RegionalService::Handle);
    live_ = nullptr;
}

uint32_t RegionalService::Now() {
    if (HxIsRealClock()) return static_cast<uint32_t>(std::time(nullptr));
    return kDeterministicEpoch + static_cast<uint32_t>(HxNow() / 1000);
}

bool RegionalService::Handle(EDict* record) {
    if (live_ == nullptr || record == nullptr) return false;
    switch (EDictGetType(record)) {
        case code::kGet:
            live_->AnswerDate(*record);
            return true;
        case code::kQuery:
            live_->FormatInto(*record);
            return true;
        default:
            return false;
    }
}

void RegionalService::AnswerDate(EDict& record) const {
    if (!EDictHasKey(&record, date_)) return;
    EDictPutLong(&record, date_, static_cast<int32_t>(Now()));
}

void RegionalService::FormatInto(const EDict& record) const {
    auto* buffer = static_cast<char*>(HxDeref(static_cast<uint32_t>(EDictGetLong(&record, string_))));
    const int32_t size = EDictGetLong(&record, size_);
    const auto date = static_cast<uint32_t>(EDictGetLong(&record, date_));
    const DateForm form = EDictGetLong(&record, short_date_) != 0 ? DateForm::Short : DateForm::Long;
    CopyBounded(FormatDate(date, form, HxIsRealClock()), buffer, size);
}

}  // namespace harbor
