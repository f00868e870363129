// The words of a web page, for harbor's own page viewer: the parents' pages shipped in
// content/pages shown without a browser. Only what a person reads is kept: the title (the first
// heading, else <title>), paragraphs separated by blank lines, list items as "• " lines,
// preformatted text as written, character references decoded, and where each picture stands.
// Anything else (styles, scripts, attributes) is dropped. Any bytes are accepted.
#ifndef HARBOR_SERVICES_PAGE_TEXT_H
#define HARBOR_SERVICES_PAGE_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

// An <img> of the page: its src as written, and the byte of `text` it stands before. A picture
// inside a heading is an icon, drawn at the height of a line.
struct PagePicture {
    std::size_t offset = 0;
    std::string source;
    bool icon = false;
};

struct PageText {
    std::string title;
    std::string text;
    std::vector<PagePicture> pictures;
};

PageText ReadPageText(std::string_view html);

}  // namespace harbor

#endif
