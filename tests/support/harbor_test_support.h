// Pieces shared by Harbor's runtime and driver tests: the stand-in module seen from the test
// side, temporary folders, and a small content folder for the stand-in module's scene.
#ifndef WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H
#define WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "edict.h"
#include "hxmsg.h"

namespace harbor_test {

inline uint16_t A(const char* name) { return static_cast<uint16_t>(DaNameGet(name)); }

inline EDict Record(uint16_t type) {
    EDict d;
    EDictClear(&d);
    EDictSetType(&d, type);
    return d;
}

// The test's own handle on the stand-in module (tests/harbor/fake_module.cpp): it keeps the
// library loaded after Harbor unloads it, so its records can still be read.
class FakeModule {
public:
    FakeModule() : handle_(dlopen(FAKE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ == nullptr) ADD_FAILURE() << dlerror();
        Clear();
        ConfirmQuit(true);
    }
    ~FakeModule() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    FakeModule(const FakeModule&) = delete;
    FakeModule& operator=(const FakeModule&) = delete;

    int Count() const { return Get<int (*)()>("FakeModule_CallCount")(); }
    const EDict& Call(int i) const { return *Get<const EDict* (*)(int)>("FakeModule_Call")(i); }
    uint16_t Port(int i) const { return Get<uint16_t (*)(int)>("FakeModule_CallPort")(i); }
    int Ticks() const { return Get<int (*)()>("FakeModule_Ticks")(); }
    void Clear() const { Get<void (*)()>("FakeModule_Clear")(); }
    void ConfirmQuit(bool confirm) const { Get<void (*)(bool)>("FakeModule_ConfirmQuit")(confirm); }

    // The types of the records that reached the module on `port`, in order.
    std::vector<uint16_t> TypesOn(uint16_t port) const {
        std::vector<uint16_t> types;
        for (int i = 0; i < Count(); ++i) {
            if (Port(i) == port) types.push_back(EDictGetType(&Call(i)));
        }
        return types;
    }

private:
    template <class F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle_, name));
    }

    void* handle_;
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "harbor-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern) : std::filesystem::path();
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// The stand-in module's scene ScFkStart (events to FakePort) and a common scene with the dialog.
inline void WriteFakeContent(const std::filesystem::path& content) {
    WriteFile(content / "scenes" / "ScCoCommon.json", R"({
  "scene": "ScCoCommon", "size": [640, 480], "background": {},
  "sprites": [
    { "name": "TxtCoDialog", "kind": "text", "rect": [190, 134, 260, 140], "z": 1, "visible": false, "text": "" }
  ]
})");
    WriteFile(content / "scenes" / "ScFkStart.json", R"({
  "scene": "ScFkStart", "eventPort": "FakePort", "size": [640, 480], "background": {},
  "sprites": [
    { "name": "BtnFkAsk", "kind": "button", "rect": [10, 10, 100, 40], "z": 20, "text": "Ask" },
    { "name": "BtnFkOk", "kind": "button", "rect": [10, 60, 100, 40], "z": 20, "text": "OK" },
    { "name": "BtnFkExit", "kind": "button", "rect": [10, 110, 100, 40], "z": 20, "text": "Exit" },
    { "name": "BtnFkHidden", "kind": "button", "rect": [10, 160, 100, 40], "z": 20, "visible": false },
    { "name": "EdtFkName", "kind": "edit", "rect": [200, 10, 200, 28], "z": 20, "edit": { "maxLength": 10 } },
    { "name": "TxtFkGreeting", "kind": "text", "rect": [200, 60, 200, 28], "z": 20, "visible": false, "text": "" },
    { "name": "DctFkColors", "kind": "datadict", "data": { "COLOR": "blue" } }
  ]
})");
}

}  // namespace harbor_test

#endif
