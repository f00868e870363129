// One Harbor session: the services on their ports, the scenes, the loaded module and the clock.
// Everything that runs the module goes through here, so the script driver, the test fixture and
// the demo behave alike:
//   Session s(options);  s.LoadModule(error);  s.Start();  s.Advance(500);  s.RequestQuit();
// The session moves the deterministic clock itself and notices when the application ends; it
// then stops and unloads the module between deliveries, never inside one.
#ifndef HARBOR_RUNTIME_SESSION_H
#define HARBOR_RUNTIME_SESSION_H

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas_sprites.h"
#include "datadict/data_dict_store.h"
#include "fileio/file_service.h"
#include "mail/connection_service.h"
#include "mail/mail_service.h"
#include "base/identity.h"
#include "runtime/module_host.h"
#include "scene/scene_service.h"
#include "services/application.h"
#include "services/harbor_port_service.h"
#include "services/plugin_data_service.h"
#include "services/regional_service.h"
#include "services/resource_service.h"
#include "services/timer_service.h"

namespace harbor {

struct SessionOptions {
    std::filesystem::path module_path;
    std::filesystem::path content_dir;  // scenes/ and the data dictionary files
    std::filesystem::path data_dir;     // the user's data: the file service's root (created)
    Identity identity;                  // what a launcher would hand over
    // No window: the deterministic clock, and web addresses are only noted in the trace.
    bool headless = true;
    // The mail service; its data root and domain come from data_dir and WNSettings.dct unless set.
    MailServiceOptions mail;
    DialupOptions dialup;  // no connection manager by default: the machine is online
};

class Session {
public:
    // Attaches the services, loads the scenes (problems go to SceneProblems() and the trace)
    // and starts the timers. Switches the messaging clock to deterministic when headless.
    explicit Session(SessionOptions options);
    ~Session();  // stops and unloads the module; detaches everything
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool LoadModule(std::string& error);
    // Fills the plug-in data store, sends the start message (identity values in `overrides`
    // replace the options'), then delivers what is due now. False when no module is loaded or
    // it runs already.
    bool Start(const Identity& overrides = {});
    // 30041 at once and unload; the application ends (EndReason::Stopped) if it had not.
    void Stop();
    // The user asks to close: 30026 to the module, then the clock runs until the module's 30003
    // reaches HarborPort or the grace period is over. Ends at once without a running module.
    void Quit();

    // Moves the deterministic clock by `ms`, one due time after another, and stops early when
    // the application ends. Under the real clock: delivers what is due now.
    void Advance(uint32_t ms);
    // Delivers what is due now; stops the module if the application ended meanwhile. After the
    // end, neither this nor Advance delivers anything.
    void Settle();

    bool Ended() const { return application_.Ended(); }
    bool Running() const { return module_.Running(); }
    const SessionOptions& Options() const { return options_; }
    const std::vector<std::string>& SceneProblems() const { return scene_problems_; }

    Application& App() { return application_; }
    ModuleHost& Module() { return module_; }
    SceneService& Scenes() { return scenes_; }
    CanvasSprites& Canvases() { return canvases_; }
    PluginDataService& PluginData() { return plugin_data_; }
    HarborPortService& HarborPort() { return harbor_port_; }
    TimerService& Timers() { return timers_; }
    ResourceService& Resources() { return resources_; }
    DataDictStore& Dictionaries() { return dictionaries_; }
    MailService& Mail() { return mail_; }
    ConnectionService& Connection() { return connection_; }
    FileService& Files() { return files_; }

private:
    // Addresses without a scheme are pages of the content folder.
    static HarborPortService::AddressOpener Opener(bool headless, const std::filesystem::path& content_dir);
    // Reports scene or resource names on AppPort that no service knows: a missing scene file
    // would otherwise leave the stage silently empty.
    static bool OnAppPortUnknownName(EDict* record);
    void PublishSceneDictionaries();
    void AfterDelivery();

    SessionOptions options_;
    Application application_;
    DataDictStore dictionaries_;
    PluginDataService plugin_data_;
    HarborPortService harbor_port_;
    RegionalService regional_;
    MailService mail_;
    ConnectionService connection_;
    ResourceService resources_;
    SceneService scenes_;
    CanvasSprites canvases_;  // after scenes_: it is their sprite resolver
    TimerService timers_;
    FileService files_;
    ModuleHost module_;
    std::vector<std::string> scene_problems_;
    static Session* live_;  // HxHandler carries no context: one live session
};

}  // namespace harbor

#endif
