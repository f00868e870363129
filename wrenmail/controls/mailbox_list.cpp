#include "controls/mailbox_list.h"

#include <algorithm>
#include <cstring>

namespace wm {
namespace {

constexpr char kEllipsis[] = "...";
constexpr Rgb kSelectedTint{180, 180, 180};
constexpr Rgb kEvenTint{240, 246, 244};
constexpr Rgb kOddTint{255, 251, 240};

// The float factor and float arithmetic decide where fractions fall: the boundaries must land
// on the same pixel as every other reader of these shares.
int32_t Boundary(int32_t share, int32_t width, int32_t start) {
    const float factor = 0.01f;
    const float x = static_cast<float>(share) * factor * static_cast<float>(width) +
                    static_cast<float>(start);
    return static_cast<int32_t>(x);
}

float Measure(CanvasInterface& canvas, const char* text) {
    float width = 0.0f;
    float height = 0.0f;
    canvas.MeasureText(text, &width, &height);
    return width;
}

void CopyBounded(char* out, const char* text, std::size_t length) {
    const std::size_t n = std::min(length, kLineBufferSize - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// Splits the line in place at tabs; missing fields are empty.
void SplitFields(char* line, const char* fields[3]) {
    char* cursor = line;
    for (int i = 0; i < 3; ++i) {
        fields[i] = cursor;
        char* tab = std::strchr(cursor, '\t');
        if (tab == nullptr) {
            cursor += std::strlen(cursor);
            continue;
        }
        *tab = '\0';
        cursor = tab + 1;
    }
}

}  // namespace

ColumnBounds ColumnBoundaries(const ColumnShares& shares, int32_t left, int32_t right) {
    const int32_t width = right - left;
    const int32_t subject_x = Boundary(shares.from, width, left + 4);
    return ColumnBounds{subject_x, Boundary(shares.subject, width, subject_x)};
}

void FitText(CanvasInterface& canvas, const char* text, int32_t room, char* out) {
    std::size_t length = std::strlen(text);
    CopyBounded(out, text, length);
    if (length == 0) {
        return;
    }
    length = std::strlen(out);
    const auto limit = static_cast<float>(room);
    float width = Measure(canvas, out);
    bool shortened = false;
    char trial[kLineBufferSize];
    while (width > limit) {
        out[--length] = '\0';
        shortened = true;
        if (length == 0) {
            break;
        }
        CopyBounded(trial, out, length);
        std::strncat(trial, kEllipsis, kLineBufferSize - 1 - std::strlen(trial));
        width = Measure(canvas, trial);
    }
    if (shortened) {
        std::strncat(out, kEllipsis, kLineBufferSize - 1 - length);
    }
}

PMMailboxList::PMMailboxList(const ListBoxGeometry& geometry, const ColumnShares& shares)
    : PMListBox(geometry), shares_(shares) {}

void PMMailboxList::DrawItem(CanvasInterface& canvas, uint32_t index, int32_t left, int32_t top,
                             int32_t right, int32_t bottom, bool selected) {
    const ColumnBounds bounds = ColumnBoundaries(shares_, left, right);
    SetColour(canvas, selected ? kSelectedTint : (index % 2 == 0 ? kEvenTint : kOddTint));
    DrawRectangle(canvas, static_cast<float>(left), static_cast<float>(top),
                  static_cast<float>(right), static_cast<float>(bottom), 1.0f, true);
    char line[kLineBufferSize];
    const char* text = ItemAt(index).text;
    CopyBounded(line, text != nullptr ? text : "", text != nullptr ? std::strlen(text) : 0);
    SetColour(canvas, text_);
    canvas.SelectFont(font_name_.c_str(), selected ? 1 : 0, static_cast<int32_t>(font_size_));
    const char* fields[3];
    SplitFields(line, fields);
    const int32_t xs[3] = {left + 4, bounds.subject_x, bounds.date_x};
    const int32_t rooms[3] = {bounds.subject_x - left - 7, bounds.date_x - bounds.subject_x - 3,
                              right - bounds.date_x - 3};
    char fitted[kLineBufferSize];
    for (int i = 0; i < 3; ++i) {
        FitText(canvas, fields[i], rooms[i], fitted);
        canvas.MoveTo(static_cast<float>(xs[i]), static_cast<float>(top));
        canvas.DrawText(fitted);
    }
}

bool PMMailboxList::IsOwnSprite(uint16_t atom) const { return atom == sprite_; }

}  // namespace wm
