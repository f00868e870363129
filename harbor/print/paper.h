// Paper for printed pages: its size in PDF points (1/72 inch), from the machine's locale or by
// name, and how a stage is placed on it: scaled to fit inside the margins with its aspect kept.
#ifndef HARBOR_PRINT_PAPER_H
#define HARBOR_PRINT_PAPER_H

#include <optional>
#include <string>
#include <string_view>

namespace harbor {

struct Paper {
    std::string name;  // "A4", "Letter"
    double width = 0;  // points
    double height = 0;
};

Paper A4Paper();
Paper LetterPaper();
// "a4" or "letter", in any letter case; nothing for another name.
std::optional<Paper> PaperNamed(std::string_view name);
// The locale's paper (LC_PAPER): Letter where the locale's paper is 216 by 279 mm, else A4.
Paper PaperFromLocale();

struct PagePlacement {
    double x = 0;  // where the stage's top left corner lands, in points
    double y = 0;
    double scale = 1;
};

// The stage (width by height units) as large as it fits inside `margin` points of every edge,
// aspect kept, centred across the page and at the top margin, as a letter sits on paper.
PagePlacement FitOnPage(const Paper& paper, double width, double height, double margin);

}  // namespace harbor

#endif
