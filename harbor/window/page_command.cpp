#include "window/page_command.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "runtime/locations.h"
#include "services/page_text.h"
#include "window/plain_page.h"

namespace harbor {

namespace {

constexpr std::streamsize kMaxPageBytes = 1 << 20;

const char kHelp[] = R"(harbor page FILE
  Shows a web page's words and SVG pictures in a plain window: harbor's own viewer for the pages
  the Sign Me Up and Parents buttons open (content/pages), used when there is no browser. Without
  a display the words are printed. Escape or closing the window ends it; arrows, Page Up/Down and
  the wheel scroll.

Exit status: 0 shown; 1 the file cannot be read; 2 wrong usage.
)";

}  // namespace

int RunPageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelp;
        return 0;
    }
    if (args.size() != 1 || args[0].starts_with("-")) {
        err << "harbor page: name one FILE (see harbor page --help)\n";
        return 2;
    }
    std::ifstream in(args[0], std::ios::binary);
    std::string html(kMaxPageBytes, '\0');
    if (in) in.read(html.data(), kMaxPageBytes);  // a longer page is shown as far as this goes
    if (!in && in.gcount() == 0) {
        err << "harbor page: cannot read " << args[0] << "\n";
        return 1;
    }
    html.resize(static_cast<std::size_t>(in.gcount()));
    const PageText page = ReadPageText(html);
    const PlainPage shown{page.title, page.text, "Press Escape or close this window to go back to Wrenmail.", false,
                          page.pictures, std::filesystem::path(args[0]).parent_path()};
    if (!ShowPlainPage(shown, FirstExisting(ContentCandidates(ExecutableDir())))) out << page.title << "\n\n" << page.text << "\n";
    return 0;
}

}  // namespace harbor
