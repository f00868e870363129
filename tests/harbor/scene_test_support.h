// Shared pieces of the scene service tests: a content folder written per test into a temporary
// directory, handlers that record what reaches the event ports and KeyboardPort, and request
// builders as the module sends them.
#ifndef WRENMAIL_TESTS_HARBOR_SCENE_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_SCENE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "harbor_test_support.h"
#include "request_builder.h"
#include "hxmsg.h"
#include "scene/scene_service.h"

namespace scene_test {

using harbor_test::A;
using harbor_test::Req;
inline std::string N(uint16_t atom) { return harbor::AtomName(atom); }

// The common sprites: a cover at layer 3, dialog sprites at 1 and 2.
inline const char* kCommon = R"({
  "scene": "ScCoCommon",
  "sprites": [
    { "name": "SptCoCover", "kind": "sprite", "rect": [0, 0, 640, 480], "z": 3, "visible": false,
      "cover": true },
    { "name": "AniCoDialog", "kind": "animation", "rect": [120, 100, 400, 240], "z": 2, "visible": false },
    { "name": "BtnCoOk", "kind": "button", "rect": [280, 280, 80, 40], "z": 1, "visible": false }
  ]
})";

// The main test scene. BtnTsGo and BtnTsBack overlap at (60..110, 20..50); BtnTsBack is nearer.
// BtnTsLow and BtnTsHigh share a layer and a rectangle; BtnTsHigh is defined later.
inline const char* kMain = R"({
  "scene": "ScTsMain",
  "eventPort": "TsMainPort",
  "size": [640, 480],
  "background": { "fill": "#bfe3ff" },
  "sprites": [
    { "name": "BtnTsGo", "kind": "button", "rect": [10, 10, 100, 40], "z": 20,
      "effects": { "Up": {}, "Roll": {}, "Disabled": {} } },
    { "name": "BtnTsBack", "kind": "button", "rect": [60, 20, 100, 40], "z": 10 },
    { "name": "BtnTsLow", "kind": "button", "rect": [400, 10, 50, 50], "z": 30 },
    { "name": "BtnTsHigh", "kind": "button", "rect": [400, 10, 50, 50], "z": 30 },
    { "name": "TxtTsBanner", "kind": "text", "rect": [0, 0, 640, 480], "z": 6, "text": "Hello" },
    { "name": "EdtTsName", "kind": "edit", "rect": [200, 100, 150, 24], "z": 20, "text": "ab",
      "edit": { "maxLength": 5 } },
    { "name": "EdtTsPass", "kind": "edit", "rect": [200, 140, 150, 24], "z": 20,
      "edit": { "maxLength": 8, "password": true } },
    { "name": "BtnTsHidden", "kind": "button", "rect": [500, 300, 40, 40], "visible": false },
    { "name": "BtnTsPlaced", "kind": "button", "rect": [200, 150, 60, 30], "origin": [0, 0], "visible": false },
    { "name": "TplTsIcon", "kind": "template", "of": "sprite", "rect": [0, 0, 32, 24],
      "interactive": true, "text": "icon" },
    { "name": "SndTsHelp", "kind": "sound", "effects": { "Play1": { "say": "hi" }, "Play2": {} } }
  ]
})";

inline const char* kOther = R"({
  "scene": "ScTsOther", "eventPort": "TsOtherPort",
  "sprites": [ { "name": "BtnTsOther", "kind": "button", "rect": [10, 10, 50, 50] } ]
})";

inline const char* kOver = R"({
  "scene": "ScTsOver", "eventPort": "TsOverPort", "overlay": true,
  "sprites": [ { "name": "BtnTsDone", "kind": "button", "rect": [300, 10, 60, 30], "z": 8 } ]
})";

// A whole click on BtnTsGo, as its event port sees it.
inline const std::vector<std::string> kGoClicked = {"TsMainPort 30027 BtnTsGo BEGIN", "TsMainPort 30036 BtnTsGo",
                                                    "TsMainPort 30027 BtnTsGo END", "TsMainPort 30068",
                                                    "TsMainPort 30035 BtnTsGo"};

struct Event {
    uint16_t port;
    EDict record;
};

inline std::vector<Event> events;

template <int Which>
bool HXCALL Recorder(EDict* record) {
    static const uint16_t ports[] = {A("TsMainPort"), A("TsOtherPort"), A("TsOverPort"), A("KeyboardPort")};
    events.push_back({ports[Which], *record});
    return true;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        events.clear();
        std::filesystem::create_directories(dir_ / "scenes");
        HxPortAttach(A("TsMainPort"), &Recorder<0>);
        HxPortAttach(A("TsOtherPort"), &Recorder<1>);
        HxPortAttach(A("TsOverPort"), &Recorder<2>);
        HxPortAttach(A("KeyboardPort"), &Recorder<3>);
    }

    void TearDown() override {
        service_.reset();
        HxReset();
    }

    void Write(const std::string& file, const std::string& text) { harbor_test::WriteFile(dir_ / "scenes" / file, text); }

    void WriteStandard() {
        Write("ScCoCommon.json", kCommon);
        Write("ScTsMain.json", kMain);
        Write("ScTsOther.json", kOther);
        Write("ScTsOver.json", kOver);
    }

    // Loads the folder into a fresh attached service that keeps its trace notes.
    std::vector<std::string> Start() {
        service_ = std::make_unique<harbor::SceneService>(dir_);
        service_->SetTraceSink([this](const std::string& note) { notes_.push_back(note); });
        std::vector<std::string> errors = service_->Load();
        EXPECT_TRUE(service_->Attach());
        return errors;
    }

    // The standard scenes loaded and ScTsMain entered, with the entering notice delivered.
    void StartInMain() {
        WriteStandard();
        EXPECT_TRUE(Start().empty());
        EXPECT_TRUE(service_->ShowScene(A("ScTsMain")));
        Delivered();
    }

    // Delivers what is pending and gives the records that arrived, then forgets them.
    std::vector<Event> Delivered() {
        HxRunUntilIdle();
        std::vector<Event> out = events;
        events.clear();
        return out;
    }

    harbor::SpriteInfo Info(const char* sprite) {
        std::optional<harbor::SpriteInfo> info = service_->FindSprite(A(sprite));
        EXPECT_TRUE(info.has_value()) << sprite;
        return info.value_or(harbor::SpriteInfo{});
    }

    harbor_test::TempDir temp_;
    std::filesystem::path dir_ = temp_.Path();
    std::unique_ptr<harbor::SceneService> service_;
    std::vector<std::string> notes_;
};

// "type NAME" for each event, e.g. "30035 BtnTsGo" or "30033 EdtTsName TAB".
inline std::string Describe(const Event& e) {
    std::string out = std::to_string(e.record.type);
    if (EDictHasKey(&e.record, A("NAME"))) out += " " + N(EDictGetShort(&e.record, A("NAME")));
    if (EDictHasKey(&e.record, A("ACTION"))) out += " " + N(EDictGetShort(&e.record, A("ACTION")));
    if (e.record.type == 30033) out += " " + N(EDictGetShort(&e.record, A("KEY")));
    return out;
}

inline std::vector<std::string> Describe(const std::vector<Event>& list) {
    std::vector<std::string> out;
    for (const Event& e : list) out.push_back(N(e.port) + " " + Describe(e));
    return out;
}

}  // namespace scene_test

#endif
