// The words of a web page, for harbor's own page viewer: the parents' pages shipped in
// content/pages shown without a browser. Only what a person reads is kept: the title (the first
// heading, else <title>), paragraphs separated by blank lines, list items as "• " lines,
// preformatted text as written, character references decoded. Anything else (styles,
// scripts, pictures, attributes) is dropped. Any bytes are accepted.
#ifndef HARBOR_SERVICES_PAGE_TEXT_H
#define HARBOR_SERVICES_PAGE_TEXT_H

#include <string>
#include <string_view>

namespace harbor {

struct PageText {
    std::string title;
    std::string text;
};

PageText ReadPageText(std::string_view html);

}  // namespace harbor

#endif
