#include "scene_service.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

void FakeSceneService::Install() {
    instance_ = this;
    for (uint16_t scene : {atoms::ports::ScCsSignIn, atoms::ports::ScWnMain, atoms::ports::ScRdRead,
                           atoms::ports::ScWrWrite, atoms::ports::ScAbAddress}) {
        Attach(scene);
    }
}

void FakeSceneService::Attach(uint16_t scene) { HxPortAttach(scene, &FakeSceneService::OnRequest); }

std::vector<std::string> FakeSceneService::TextsOf(uint16_t sprite) const {
    std::vector<std::string> texts;
    for (const auto& [name, text] : textsShown) {
        if (name == sprite) texts.push_back(text);
    }
    return texts;
}

bool FakeSceneService::Handle(EDict* record) {
    const uint16_t name = EDictGetShort(record, atoms::NAME);
    switch (EDictGetType(record)) {
        case code::kSet:
            if (EDictHasKey(record, atoms::TEXT)) {
                const char* text = EDictGetText(record, atoms::TEXT);
                spriteTexts[name] = text != nullptr ? text : "";
                textsShown.emplace_back(name, spriteTexts[name]);
            }
            return false;
        case code::kGet:
            if (spriteTexts.count(name) == 0) return false;
            EDictPutText(record, atoms::TEXT, spriteTexts[name].c_str());
            return true;
        case code::kGetRect: {
            const auto found = rects.find(name);
            if (found == rects.end() && !anyRect) return false;
            const Rect& r = found != rects.end() ? found->second : *anyRect;
            EDictPutLong(record, atoms::RX1, r[0]);
            EDictPutLong(record, atoms::RY1, r[1]);
            EDictPutLong(record, atoms::RX2, r[2]);
            EDictPutLong(record, atoms::RY2, r[3]);
            return true;
        }
        case code::kEditText: {
            std::string& text = editTexts[name];
            if (EDictHasKey(record, atoms::GET)) {
                EDictPutText(record, atoms::TEXT, text.c_str());
            } else {
                const char* replacement = EDictGetText(record, atoms::TEXT);
                text = replacement != nullptr ? replacement : "";
            }
            return true;
        }
        default:
            return false;
    }
}

bool HXCALL FakeSceneService::OnRequest(EDict* record) { return instance_ != nullptr && instance_->Handle(record); }
