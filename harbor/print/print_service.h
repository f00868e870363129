// Printing scenes. 30047 on a scene's port prints that scene as it stands onto a page of the
// current print job; the job ends, and goes to its target, when the scene is left:
//
//   scene port 30047 NEWPRINT BESTFIT     the scene becomes a page: its decorations, texts and
//                                         sprite instances as the scene painter draws them, and
//                                         its rich text sprites as the module paints them when
//                                         asked now (30072 to the scene's event port, on a
//                                         vector canvas, so their text stays text)
//   event port 30063 STATUS               0: the page is on the job; else it could not be added
//
// The page is the scene scaled to fit the paper inside the margins with its aspect kept, so
// BESTFIT holds always, and each request is a page of its own (NEWPRINT). The first page starts
// a job named after the scene's subject sprite and the date. When the scene is left (30041 on
// its event port) the job is finished: written and sent on. A job that could not be finished
// (the disk, the printer command) is reported as one more 30063 with a non-zero STATUS, so the
// module shows its printing error wherever the user now is.
//
// One print service at a time (port handlers carry no context).
#ifndef HARBOR_PRINT_PRINT_SERVICE_H
#define HARBOR_PRINT_PRINT_SERVICE_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edict.h"
#include "print/paper.h"
#include "print/print_target.h"
#include "print/tee_canvas.h"
#include "render/gobject_ptr.h"
#include "render/scene_painter.h"
#include "scene/scene_service.h"

namespace harbor {

struct PrintOptions {
    std::optional<Paper> paper;  // none: the locale's paper
    PrintTargetFactory targets;  // where jobs go (pdf_target.h, recording_target.h)
    std::string subject_sprite = "TxtPrSubject";  // the job's name; else the scene's name
    // Scenes whose rich text pictures are kept as vectors for their pages; the pictures of
    // other scenes print as the window shows them.
    std::vector<std::string> vector_scenes = {"ScPrPrint"};
    double margin = 36;                           // points on every side
    // Told in words where each finished job went, or why it failed (a window shows it).
    std::function<void(const std::string&)> notice;
};

class PrintService {
public:
    // `pictures` answers the pictures of the other sprites the module paints (canvas sprites),
    // as the window shows them. Made before the module starts: the vector scenes' draw requests
    // must reach this service before the module.
    PrintService(SceneService& scenes, std::filesystem::path content_dir, ScenePainter::PictureProvider pictures,
                 PrintOptions options);
    ~PrintService();  // an unfinished job is dropped
    PrintService(const PrintService&) = delete;
    PrintService& operator=(const PrintService&) = delete;

    bool JobOpen() const { return job_.target != nullptr; }
    // Where the last finished job went, or why it failed.
    const std::string& LastOutcome() const { return last_outcome_; }
    const Paper& PaperSize() const { return paper_; }

    // A record on the port of the scene bound to `slot`: for the port handlers.
    static bool OnScene(std::size_t slot, EDict* record);

private:
    struct Job {
        uint16_t scene = 0;
        uint16_t event_port = 0;
        std::unique_ptr<PrintTarget> target;
        int pages = 0;
    };
    using Key = std::pair<uint16_t, uint16_t>;  // scene, sprite

    static bool HXCALL OnEventPort(EDict* record);
    static bool HXCALL OnDrawRequest(EDict* record);

    void Bind();
    void Unbind();
    void PrintScene(uint16_t scene);
    bool AddPage(const SceneState& scene, std::string& error);
    ScenePainter& Painter();
    bool StartJob(const SceneState& scene, std::string& error);
    void FinishJob();
    void DropJob();
    void TeeDrawing(EDict& record);
    void KeepTeedPicture();
    void ForgetPictures(uint16_t scene);
    void Answer(uint16_t event_port, int32_t status) const;
    void Tell(const std::string& what) const;

    SceneService& scenes_;
    std::filesystem::path content_dir_;
    ScenePainter::PictureProvider pictures_;
    PrintOptions options_;
    Paper paper_;
    std::unique_ptr<ScenePainter> painter_;  // made by the first page
    std::map<Key, CairoSurfacePtr> vector_pictures_;  // the module's last pictures, as vectors
    std::unique_ptr<TeeCanvas> tee_;                  // handed to the module by the last draw request
    Key tee_key_{0, 0};
    std::vector<uint16_t> bound_;         // the scene of each handler slot
    std::vector<uint16_t> vector_ports_;  // the event ports of the vector scenes
    std::vector<uint16_t> vector_scenes_;
    Job job_;
    std::string last_outcome_;
    static PrintService* live_;
};

}  // namespace harbor

#endif
