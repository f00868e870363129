// Test support: the scene service on the scenes' ports. Edit fields keep their texts (30008 with
// GET reads, without it replaces), sprite texts set with 30052 are kept in order and answered to
// 30011, and sprites with a known rectangle answer 30055.
#ifndef WRENMAIL_TESTS_FAKES_SCENE_SERVICE_H
#define WRENMAIL_TESTS_FAKES_SCENE_SERVICE_H

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edict.h"

class FakeSceneService {
public:
    using Rect = std::array<int32_t, 4>;  // x1, y1, x2, y2

    void Install();  // on the module's five scenes
    void Attach(uint16_t scene);

    std::map<uint16_t, std::string> editTexts;
    std::map<uint16_t, std::string> spriteTexts;                // the last text each sprite got
    std::vector<std::pair<uint16_t, std::string>> textsShown;  // every text set, with its sprite, in order
    std::vector<std::string> TextsOf(uint16_t sprite) const;
    std::map<uint16_t, Rect> rects;
    std::optional<Rect> anyRect;  // the answer for a sprite without a rectangle of its own

private:
    bool Handle(EDict* record);
    static bool HXCALL OnRequest(EDict* record);
    static inline FakeSceneService* instance_ = nullptr;
};

#endif
