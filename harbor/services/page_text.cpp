#include "services/page_text.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace harbor {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The tag's name without '/' and attributes: "h2" for "<h2 class=x>", "/p" for "</p>".
std::string TagName(std::string_view tag) {
    std::size_t end = 0;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '>') ++end;
    std::string name = Lower(tag.substr(0, end));
    if (name.size() > 1 && name.back() == '/') name.pop_back();
    return name;
}

bool StartsParagraph(const std::string& name) {
    static const char* const kBlocks[] = {"p", "/p", "h1", "/h1", "h2", "/h2", "h3", "/h3", "pre", "/pre",
                                          "ul", "/ul", "ol", "/ol", "div", "/div", "nav", "/nav", "header", "/header"};
    for (const char* block : kBlocks) {
        if (name == block) return true;
    }
    return false;
}

// Appends the character reference at `html[i]` ('&'), moving `i` past it; a lone '&' stays.
void AppendReference(std::string_view html, std::size_t& i, std::string& out) {
    static const std::map<std::string, std::string> kNamed = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}, {"hellip", "…"}};
    const std::size_t semi = html.find(';', i);
    if (semi != std::string_view::npos && semi - i <= 8) {
        if (auto it = kNamed.find(Lower(html.substr(i + 1, semi - i - 1))); it != kNamed.end()) {
            out += it->second;
            i = semi + 1;
            return;
        }
    }
    out += '&';
    ++i;
}

// The value of attribute `name` in a tag's text ("img src=x alt=y"), quoted or not; empty when
// the tag has none.
std::string Attribute(std::string_view tag, std::string_view name) {
    const std::string lower = Lower(tag);
    for (std::size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        const bool starts = at > 0 && std::isspace(static_cast<unsigned char>(lower[at - 1]));
        std::size_t i = at + name.size();
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (!starts || i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const std::size_t close = tag.find(tag[i], i + 1);
            return std::string(tag.substr(i + 1, (close == std::string_view::npos ? tag.size() : close) - i - 1));
        }
        std::size_t end = i;
        while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '/') ++end;
        return std::string(tag.substr(i, end - i));
    }
    return {};
}

class PageReader {
public:
    explicit PageReader(std::string_view html) : html_(html) {}

    PageText Read() {
        for (std::size_t i = 0; i < html_.size();) {
            if (html_[i] == '<') {
                i = Tag(i);
            } else if (html_[i] == '&') {
                if (!skipping_) AppendReference(html_, i, Target());
                else ++i;
            } else {
                if (!skipping_) Character(html_[i]);
                ++i;
            }
        }
        const std::size_t dropped = Trim(page_.text);
        for (PagePicture& picture : page_.pictures) {
            picture.offset = std::min(picture.offset - std::min(picture.offset, dropped), page_.text.size());
        }
        if (page_.title.empty()) page_.title = title_tag_;
        Trim(page_.title);
        return page_;
    }

private:
    std::string& Target() { return in_title_tag_ ? title_tag_ : in_heading_ ? page_.title : page_.text; }

    void Character(char c) {
        std::string& out = Target();
        if (preformatted_ || !std::isspace(static_cast<unsigned char>(c))) {
            out += c;
        } else if (!out.empty() && out.back() != ' ' && out.back() != '\n') {
            out += ' ';
        }
    }

    // Handles the tag starting at `i`; where the text goes on.
    std::size_t Tag(std::size_t i) {
        std::size_t end = html_.find('>', i);
        if (end == std::string_view::npos) end = html_.size();
        if (html_.substr(i, 4) == "<!--") {
            end = html_.find("-->", i);
            return end == std::string_view::npos ? html_.size() : end + 3;
        }
        const std::string name = TagName(html_.substr(i + 1, end - i - 1));
        if (!skipping_ && (name == "style" || name == "script")) {
            skipping_ = true;
            skip_tag_ = "/" + name;
            return end + 1;
        }
        if (skipping_) {
            skipping_ = name != skip_tag_;
            return end + 1;
        }
        if (name == "title") in_title_tag_ = true;
        if (name == "/title") in_title_tag_ = false;
        if (name == "img") Picture(html_.substr(i + 1, end - i - 1));
        Structure(name);
        return end + 1;
    }

    // A picture in the title stays out: the title is words only.
    void Picture(std::string_view tag) {
        std::string source = Attribute(tag, "src");
        if (source.empty() || in_heading_ || in_title_tag_) return;
        page_.pictures.push_back({page_.text.size(), std::move(source), in_subheading_});
    }

    void Structure(const std::string& name) {
        if (name == "h2" || name == "h3") in_subheading_ = true;
        if (name == "/h2" || name == "/h3") in_subheading_ = false;
        if (name == "h1" && page_.title.empty() && !title_done_) {
            in_heading_ = true;
            return;
        }
        if (name == "/h1" && in_heading_) {
            in_heading_ = false;
            title_done_ = true;
            return;
        }
        if (name == "pre") preformatted_ = true;
        if (name == "/pre") preformatted_ = false;
        if (name == "br") Line("\n");
        if (name == "li") Line("\n• ");
        if (StartsParagraph(name)) Line("\n\n");
    }

    // Starts a new line or paragraph, never more than one blank line in a row.
    void Line(const char* breaks) {
        if (skipping_ || in_heading_ || in_title_tag_) return;
        std::string& out = page_.text;
        while (!out.empty() && out.back() == ' ') out.pop_back();
        if (out.empty()) return;
        std::string_view add = breaks;
        while (!add.empty() && add.front() == '\n' && out.size() >= 2 && out.ends_with("\n\n")) add.remove_prefix(1);
        if (add.starts_with("\n\n") && out.ends_with("\n")) add.remove_prefix(1);
        out += add;
    }

    // Trims blanks at both ends; how many bytes went from the front comes back.
    static std::size_t Trim(std::string& text) {
        const std::size_t first = text.find_first_not_of(" \n");
        if (first == std::string::npos) {
            const std::size_t all = text.size();
            text.clear();
            return all;
        }
        text = text.substr(first, text.find_last_not_of(" \n") + 1 - first);
        return first;
    }

    std::string_view html_;
    PageText page_;
    std::string title_tag_;
    std::string skip_tag_;
    bool skipping_ = false;
    bool in_title_tag_ = false;
    bool in_heading_ = false;
    bool in_subheading_ = false;
    bool title_done_ = false;
    bool preformatted_ = false;
};

}  // namespace

PageText ReadPageText(std::string_view html) { return PageReader(html).Read(); }

}  // namespace harbor
