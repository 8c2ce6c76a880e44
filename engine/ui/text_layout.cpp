#include "engine/ui/text_layout.h"

#include <algorithm>
#include <string_view>

#include "engine/ui/codepage_1252.h"
#include "engine/ui/ui_types.h"

namespace velor {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text, bool singleLine) {
    std::vector<std::string_view> lines;
    if (singleLine) {
        if (!text.empty()) lines.push_back(text);
        return lines;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

bool Intersect(const Rect& a, const Rect& b, Rect* out) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return false;
    *out = r;
    return true;
}

}  // namespace

TextLayout LayoutText(const char* text, int count, const Rect& rect, uint32_t format, int cellHeight, int ascent,
                      const GlyphBoxLookup& lookup) {
    TextLayout layout;
    if (text == nullptr) return layout;
    size_t length = 0;
    while ((count < 0 || length < size_t(count)) && text[length] != '\0') ++length;

    const bool singleLine = (format & DrawTextFormat::SingleLine) != 0;
    const bool clip = (format & DrawTextFormat::NoClip) == 0;
    std::vector<std::string_view> lines = SplitLines(std::string_view(text, length), singleLine);
    layout.lineCount = int(lines.size());
    const int textHeight = layout.lineCount * cellHeight;

    int top = rect.top;
    if (singleLine && (format & DrawTextFormat::VCenter) != 0)
        top = rect.top + (rect.bottom - rect.top - cellHeight) / 2;
    else if (singleLine && (format & DrawTextFormat::Bottom) != 0)
        top = rect.bottom - cellHeight;
    layout.height = top - rect.top + textHeight;

    int minX = rect.left, maxX = rect.left;
    bool anyLine = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::vector<GlyphBox> boxes;
        std::vector<uint32_t> codes;
        int width = 0;
        for (char c : lines[i]) {
            if (c == '\r' || c == '\n') continue;  // breaks inside a single line are not drawn
            codes.push_back(CodePointFrom1252(uint8_t(c)));
            boxes.push_back(lookup(codes.back()));
            width += boxes.back().advance;
        }
        int x = rect.left;
        if ((format & DrawTextFormat::Center) != 0)
            x = rect.left + (rect.right - rect.left - width) / 2;
        else if ((format & DrawTextFormat::Right) != 0)
            x = rect.right - width;
        minX = anyLine ? std::min(minX, x) : x;
        maxX = anyLine ? std::max(maxX, x + width) : x + width;
        anyLine = true;

        const int lineTop = top + int(i) * cellHeight;
        if (clip && lineTop >= rect.bottom) continue;
        const int baseline = lineTop + ascent;
        for (size_t g = 0; g < boxes.size(); ++g) {
            const GlyphBox& b = boxes[g];
            if (b.width > 0 && b.height > 0) {
                PlacedGlyph placed;
                placed.codePoint = codes[g];
                placed.box = Rect{x + b.left, baseline - b.top, x + b.left + b.width, baseline - b.top + b.height};
                placed.visible = placed.box;
                if (!clip || Intersect(placed.box, rect, &placed.visible)) layout.glyphs.push_back(placed);
            }
            x += b.advance;
        }
    }
    layout.bounds = Rect{minX, top, maxX, top + textHeight};
    return layout;
}

}  // namespace velor
