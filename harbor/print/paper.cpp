#include "print/paper.h"

#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>

namespace harbor {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A word item of nl_langinfo: glibc hands back the number in the union it shares with the
// string pointer, so only the word's own bytes are the number.
unsigned int LanginfoWord(nl_item item) {
    union {
        const char* string;
        unsigned int word;
    } value{};
    value.string = nl_langinfo(item);
    return value.word;
}

// The locale's paper size in millimetres.
std::pair<long, long> LocalePaperMm() {
    const char* saved = std::setlocale(LC_PAPER, nullptr);
    const std::string restore = saved != nullptr ? saved : "C";
    std::setlocale(LC_PAPER, "");
    const long width = LanginfoWord(_NL_PAPER_WIDTH);
    const long height = LanginfoWord(_NL_PAPER_HEIGHT);
    std::setlocale(LC_PAPER, restore.c_str());
    return {width, height};
}

}  // namespace

Paper A4Paper() { return Paper{"A4", 210 * kPointsPerMm, 297 * kPointsPerMm}; }

Paper LetterPaper() { return Paper{"Letter", 8.5 * 72, 11 * 72}; }

std::optional<Paper> PaperNamed(std::string_view name) {
    if (SameLetters(name, "a4")) return A4Paper();
    if (SameLetters(name, "letter")) return LetterPaper();
    return std::nullopt;
}

Paper PaperFromLocale() {
    const auto [width, height] = LocalePaperMm();
    return width == 216 && height == 279 ? LetterPaper() : A4Paper();
}

PagePlacement FitOnPage(const Paper& paper, double width, double height, double margin) {
    PagePlacement placed;
    const double room_x = std::max(0.0, paper.width - 2 * margin);
    const double room_y = std::max(0.0, paper.height - 2 * margin);
    if (width <= 0 || height <= 0) return placed;
    placed.scale = std::min(room_x / width, room_y / height);
    placed.x = (paper.width - width * placed.scale) / 2;
    placed.y = std::min(margin, (paper.height - height * placed.scale) / 2);
    return placed;
}

}  // namespace harbor
