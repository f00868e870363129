#include "print/pdf_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include <cairo-pdf.h>

#include "print/job_name.h"

namespace harbor {

namespace {

constexpr int kMaxCopies = 1000;

bool MakeFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot make " + folder.string() + ": " + ec.message();
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::unique_ptr<PdfTarget> PdfTarget::Open(const PdfTargetOptions& options, const PrintJobInfo& job,
                                           std::string& error) {
    if (!MakeFolder(options.folder, error)) return nullptr;
    std::string name = (options.folder / ".printing-XXXXXX").string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot write in " + options.folder.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    fchmod(fd, S_IRUSR | S_IWUSR);
    return std::unique_ptr<PdfTarget>(new PdfTarget(options, job, fd, name));
}

PdfTarget::PdfTarget(PdfTargetOptions options, PrintJobInfo job, int fd, std::filesystem::path temporary)
    : options_(std::move(options)), job_(std::move(job)), fd_(fd), temporary_(std::move(temporary)) {
    // The size is set again for every page; this one only opens the document.
    surface_.reset(cairo_pdf_surface_create_for_stream(&PdfTarget::Write, this, 595, 842));
    const std::string title = job_.subject.empty() ? std::string("Letter") : job_.subject;
    cairo_pdf_surface_set_metadata(surface_.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface_.get(), CAIRO_PDF_METADATA_CREATOR, "Wrenmail");
}

PdfTarget::~PdfTarget() {
    if (final_.empty()) Discard();
}

cairo_status_t PdfTarget::Write(void* closure, const unsigned char* data, unsigned int length) {
    auto* self = static_cast<PdfTarget*>(closure);
    while (length > 0 && self->write_errno_ == 0) {
        const ssize_t wrote = write(self->fd_, data, length);
        if (wrote < 0) {
            if (errno != EINTR) self->write_errno_ = errno;
            continue;
        }
        data += wrote;
        length -= static_cast<unsigned int>(wrote);
    }
    return self->write_errno_ == 0 ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

bool PdfTarget::Failed(std::string& error) const {
    if (write_errno_ != 0) {
        error = "cannot write " + temporary_.string() + ": " + std::strerror(write_errno_);
        return true;
    }
    const cairo_status_t status = surface_ ? cairo_surface_status(surface_.get()) : CAIRO_STATUS_NULL_POINTER;
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("the PDF surface failed: ") + cairo_status_to_string(status);
        return true;
    }
    return false;
}

bool PdfTarget::AddPage(const Paper& paper, const PageDrawing& draw, std::string& error) {
    if (fd_ < 0 || Failed(error)) {
        if (error.empty()) error = "the job has ended";
        return false;
    }
    cairo_pdf_surface_set_size(surface_.get(), paper.width, paper.height);
    {
        CairoPtr cr(cairo_create(surface_.get()));
        draw(cr.get());
        cairo_show_page(cr.get());
        const cairo_status_t status = cairo_status(cr.get());
        if (status != CAIRO_STATUS_SUCCESS) {
            error = std::string("drawing the page failed: ") + cairo_status_to_string(status);
            return false;
        }
    }
    if (Failed(error)) return false;
    ++pages_;
    return true;
}

// Links the complete temporary file under the first free final name, then lets the temporary
// name go; a link never replaces a file, so an earlier job of the same day and subject stays.
bool PdfTarget::Publish(std::string& error) {
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        const std::filesystem::path name =
            options_.folder / (JobFileStem(job_.date, job_.local_time, job_.subject, copy) + ".pdf");
        if (link(temporary_.c_str(), name.c_str()) == 0) {
            unlink(temporary_.c_str());
            SyncFolder(options_.folder);
            final_ = name;
            return true;
        }
        if (errno != EEXIST) {
            error = "cannot name " + name.string() + ": " + std::strerror(errno);
            return false;
        }
    }
    error = "too many printed copies of \"" + job_.subject + "\" today";
    return false;
}

bool PdfTarget::Finish(std::string& where, std::string& error) {
    if (fd_ < 0) {
        error = "the job has ended";
        return false;
    }
    if (pages_ == 0) {
        error = "no page was printed";
        Discard();
        return false;
    }
    cairo_surface_finish(surface_.get());
    if (Failed(error) || fsync(fd_) != 0) {
        if (error.empty()) error = "cannot write " + temporary_.string() + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        error = "cannot write " + temporary_.string() + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    if (!Publish(error)) {
        Discard();
        return false;
    }
    where = final_.string();
    if (!options_.printer) return true;
    const std::string printer = options_.printer->name.empty() ? "the default printer" : options_.printer->name;
    if (!SendToPrinter(*options_.printer, final_, error)) {
        where += " (not printed on " + printer + ")";
        return false;
    }
    where += " and " + printer;
    return true;
}

void PdfTarget::Discard() {
    surface_.reset();
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

PrintTargetFactory PdfTargets(PdfTargetOptions options) {
    return [options](const PrintJobInfo& job, std::string& error) -> std::unique_ptr<PrintTarget> {
        return PdfTarget::Open(options, job, error);
    };
}

}  // namespace harbor
