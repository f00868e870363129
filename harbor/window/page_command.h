// `harbor page FILE`: harbor's own viewer for the parents' pages (content/pages), used when the
// computer has no browser. The page's words are shown in a plain window; without a display they
// are printed instead.
#ifndef HARBOR_WINDOW_PAGE_COMMAND_H
#define HARBOR_WINDOW_PAGE_COMMAND_H

#include <iosfwd>
#include <string>
#include <vector>

namespace harbor {

// 0 shown (or printed), 1 the file cannot be read, 2 wrong usage.
int RunPageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace harbor

#endif
