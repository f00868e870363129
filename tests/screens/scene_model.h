// Test support: what a scene would look like after the module's requests. It follows the sends and
// the deliveries of posts (in the order the host would act on them) to one scene port and keeps,
// per sprite, whether it is shown, its text, its effect and its position.
#ifndef WRENMAIL_TESTS_SCREENS_SCENE_MODEL_H
#define WRENMAIL_TESTS_SCREENS_SCENE_MODEL_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "edict.h"
#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"

struct ModelSprite {
    bool visible = false;
    std::string text;
    uint16_t effect = 0;
    int32_t x = 0;
    int32_t y = 0;
};

class SceneModel {
public:
    explicit SceneModel(uint16_t scene) : scene_(scene) {}
    ~SceneModel() { HxSetTraceHook(nullptr, nullptr); }
    SceneModel(const SceneModel&) = delete;
    SceneModel& operator=(const SceneModel&) = delete;

    void Install() { HxSetTraceHook(&SceneModel::Trace, this); }

    const ModelSprite& At(uint16_t sprite) { return sprites_[sprite]; }
    bool Visible(uint16_t sprite) { return sprites_[sprite].visible; }
    // Shown sprites among these, in the given order.
    std::vector<uint16_t> ShownOf(const std::vector<uint16_t>& sprites) {
        std::vector<uint16_t> shown;
        for (uint16_t sprite : sprites) {
            if (Visible(sprite)) shown.push_back(sprite);
        }
        return shown;
    }
    // Requests the scene received so far (sends and delivered posts).
    std::size_t Count() const { return count_; }

private:
    static void Trace(int event, uint16_t port, const EDict* record, int32_t, void* user) {
        auto* self = static_cast<SceneModel*>(user);
        if (port == self->scene_ && event != HxTracePost) self->Apply(record);
    }

    void Apply(const EDict* record) {
        ++count_;
        const uint16_t name = EDictGetShort(record, atoms::NAME);
        switch (EDictGetType(record)) {
            case wm::code::kStart:
                if (EDictHasKey(record, atoms::INAME)) {
                    ModelSprite& s = sprites_[EDictGetShort(record, atoms::INAME)];
                    s = ModelSprite{};
                    s.visible = !EDictHasKey(record, atoms::VISIBLE) || EDictGetBool(record, atoms::VISIBLE);
                    s.x = EDictGetLong(record, atoms::X);
                    s.y = EDictGetLong(record, atoms::Y);
                } else {
                    sprites_[EDictGetShort(record, atoms::SPRITENAME)].visible = true;
                }
                break;
            case wm::code::kStop: sprites_[name].visible = false; break;
            case wm::code::kMove:
                sprites_[name].x = EDictGetLong(record, atoms::X);
                sprites_[name].y = EDictGetLong(record, atoms::Y);
                break;
            case wm::code::kSetEffect: sprites_[name].effect = EDictGetShort(record, atoms::FX); break;
            case wm::code::kSet:
                if (EDictHasKey(record, atoms::VISIBLE)) sprites_[name].visible = EDictGetBool(record, atoms::VISIBLE);
                if (EDictHasKey(record, atoms::TEXT)) {
                    const char* text = EDictGetText(record, atoms::TEXT);
                    sprites_[name].text = text != nullptr ? text : "";
                }
                break;
            default: break;
        }
    }

    uint16_t scene_;
    std::map<uint16_t, ModelSprite> sprites_;
    std::size_t count_ = 0;
};

#endif
