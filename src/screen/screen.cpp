#include "screen/screen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <cstdlib>

#include "extern/runner.h"
#include "screen/font.h"
#include "screen/utf8_text.h"

namespace kestrel {

bool Screen::setMode(int width, int height) {
    const bool known = (width == 640 && height == 480) || (width == 800 && height == 600);
    if (!known || !presenter_.openWindow(width, height)) return false;
    width_ = width;
    height_ = height;
    for (auto& p : pages_) std::vector<std::uint8_t>().swap(p);
    palette_ = defaultPalette();
    work_ = visible_ = 0;
    row_ = col_ = 1;
    fg_ = 7;
    bg_ = 0;
    locks_ = 0;
    markAllDirty();
    shownValid_ = false;  // a new window shows nothing of ours yet
    return true;
}

std::vector<std::uint8_t>& Screen::pageData(int n) const {
    auto& p = pages_[static_cast<std::size_t>(n)];
    if (p.empty()) p.assign(static_cast<std::size_t>(width_) * height_, 0);
    return p;
}

void Screen::setPaletteEntry(int index, std::uint32_t packed) {
    if (index < 0 || index > 255) return;
    palette_[index] = rgbFromPacked(packed);
    markAllDirty();
}

void Screen::setPages(int work, int visible) {
    if (work >= 0 && work < kPageCount) work_ = work;
    if (visible >= 0 && visible < kPageCount && visible != visible_) {
        visible_ = visible;
        markAllDirty();
    }
}

void Screen::copyPage(int from, int to) {
    if (from < 0 || from >= kPageCount || to < 0 || to >= kPageCount || from == to) return;
    pageData(to) = pageData(from);
    touch(to, 0, 0, width_ - 1, height_ - 1);
}

void Screen::unlock() {
    if (locks_ > 0 && --locks_ == 0) flush();
}

void Screen::markAllDirty() {
    dirty_ = {0, 0, width_ - 1, height_ - 1};
    spans_.assign(static_cast<std::size_t>(height_), Span{0, width_ - 1});
}

// The smallest rectangle holding every dirty pixel where the visible page
// differs from what the window shows; empty when they are the same. Only
// the dirty part of each pixel row is compared.
Rect Screen::changedPixels() const {
    Rect changed;
    const std::vector<std::uint8_t>& page = pageData(visible_);
    const std::vector<std::uint8_t>& shown = presenter_.shown();
    for (int y = dirty_.y1; y <= dirty_.y2; ++y) {
        const Span span = spans_[static_cast<std::size_t>(y)];
        if (span.x2 < span.x1) continue;
        const std::size_t at = static_cast<std::size_t>(y) * width_ + span.x1;
        const std::uint8_t* a = page.data() + at;
        const std::uint8_t* b = shown.data() + at;
        const auto length = static_cast<std::size_t>(span.x2 - span.x1 + 1);
        if (std::equal(a, a + length, b)) continue;
        int first = 0, last = static_cast<int>(length) - 1;
        while (a[first] == b[first]) ++first;
        while (a[last] == b[last]) --last;
        if (changed.empty()) {
            changed = {span.x1 + first, y, span.x1 + last, y};
        } else {
            changed.x1 = std::min(changed.x1, span.x1 + first);
            changed.x2 = std::max(changed.x2, span.x1 + last);
            changed.y2 = y;
        }
    }
    return changed;
}

void Screen::flush() {
    if (locks_ > 0 || dirty_.empty()) return;
    const std::vector<std::uint8_t>& page = pageData(visible_);
    const bool sameColours = shownValid_ && palette_ == shownPalette_ && presenter_.shown().size() == page.size();
    const Rect area = sameColours ? changedPixels() : Rect{0, 0, width_ - 1, height_ - 1};
    for (int y = dirty_.y1; y <= dirty_.y2; ++y) spans_[static_cast<std::size_t>(y)] = Span{};
    dirty_ = {};
    if (area.empty()) return;  // the window already shows exactly these pixels
    presenter_.present(page, palette_, area);
    shownPalette_ = palette_;
    shownValid_ = true;
}

void Screen::touch(int page, int x1, int y1, int x2, int y2) {
    if (page != visible_) return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x2 < x1 || y2 < y1) return;
    if (spans_.size() != static_cast<std::size_t>(height_)) spans_.assign(static_cast<std::size_t>(height_), Span{});
    for (int y = y1; y <= y2; ++y) {
        Span& span = spans_[static_cast<std::size_t>(y)];
        span = {std::min(span.x1, x1), std::max(span.x2, x2)};
    }
    if (dirty_.empty()) {
        dirty_ = {x1, y1, x2, y2};
        return;
    }
    dirty_ = {std::min(dirty_.x1, x1), std::min(dirty_.y1, y1), std::max(dirty_.x2, x2), std::max(dirty_.y2, y2)};
}

// ---- text ----

namespace {

// For each glyph row byte, the eight pixels it sets as 0xFF bytes in memory
// order (the leftmost pixel is the byte's top bit).
constexpr std::array<std::uint64_t, 256> makeGlyphRowMasks() {
    std::array<std::uint64_t, 256> masks{};
    for (unsigned bits = 0; bits < 256; ++bits) {
        std::uint8_t bytes[8] = {};
        for (int gx = 0; gx < 8; ++gx) bytes[gx] = (bits & (0x80u >> gx)) ? 0xFF : 0x00;
        std::uint64_t mask = 0;
        for (int i = 0; i < 8; ++i) {
            const int at = std::endian::native == std::endian::little ? i : 7 - i;
            mask |= static_cast<std::uint64_t>(bytes[i]) << (8 * at);
        }
        masks[bits] = mask;
    }
    return masks;
}
constexpr std::array<std::uint64_t, 256> kGlyphRowMasks = makeGlyphRowMasks();

}  // namespace

void Screen::putGlyph(std::uint8_t code) { putCell(kFont8x16[code]); }

void Screen::putCell(const std::array<std::uint8_t, 16>& glyph) {
    const int rows = height_ / kCellH, cols = width_ / kCellW;
    if (!drawing_ || row_ < 1 || row_ > rows || col_ < 1 || col_ > cols) return;
    const int x0 = (col_ - 1) * kCellW, y0 = (row_ - 1) * kCellH;
    auto& page = pageData(work_);
    // Eight pixels at a time: each glyph row selects, byte by byte, the
    // foreground or the background from two words that hold eight copies.
    constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
    const std::uint64_t fg = kEveryByte * static_cast<std::uint8_t>(fg_);
    const std::uint64_t bg = kEveryByte * static_cast<std::uint8_t>(bg_);
    for (int gy = 0; gy < kCellH; ++gy) {
        const std::uint64_t mask = kGlyphRowMasks[glyph[gy]];
        const std::uint64_t pixels = (fg & mask) | (bg & ~mask);
        std::memcpy(&page[static_cast<size_t>(y0 + gy) * width_ + x0], &pixels, sizeof pixels);
    }
    touch(work_, x0, y0, x0 + kCellW - 1, y0 + kCellH - 1);
}

void Screen::advance() {
    if (++col_ > width_ / kCellW) {
        col_ = 1;
        ++row_;
    }
}

void Screen::print(std::string_view text, bool lineEnd) {
    for (char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        switch (b) {
            case 10: col_ = 1; ++row_; break;
            case 13: col_ = 1; break;
            case 9:
                do {
                    putGlyph(' ');
                    advance();
                } while ((col_ - 1) % 8 != 0);
                break;
            case 8:
                if (col_ > 1) --col_;
                break;
            case 7: presenter_.bell(); break;
            default:
                putGlyph(b);
                advance();
        }
    }
    if (lineEnd) {
        col_ = 1;
        ++row_;
    }
}

void Screen::printGlyphs(std::string_view text) {
    for (char c : text) {
        putGlyph(static_cast<std::uint8_t>(c));
        advance();
    }
}

namespace {

// One visible cell for what no font can show: a question mark cut out of a
// solid block, unlike any glyph of either font.
std::array<std::uint8_t, 16> replacementGlyph() {
    std::array<std::uint8_t, 16> rows = kFont8x16['?'];
    for (auto& r : rows) r = static_cast<std::uint8_t>(~r);
    return rows;
}

}  // namespace

Screen::Shape Screen::shapeOf(std::string_view text, std::size_t at, int& length) {
    const Utf8Unit u = decodeUtf8(text, at);
    length = u.length;
    Shape shape;
    if (!u.valid) {
        shape.code = static_cast<std::uint8_t>(u.code);
    } else if (isControlCharacter(u.code)) {
        shape.replacement = true;
    } else if (const auto code = cp437Glyph(u.code)) {
        shape.code = *code;
    } else if (unifont_.combining(u.code)) {
        shape.replacement = true;
    } else if (const WideGlyph* g = unifont_.glyph(u.code)) {
        shape.wide = g;
        shape.cells = g->cells;
    } else {
        shape.replacement = true;
    }
    return shape;
}

void Screen::putShape(const Shape& shape) {
    if (shape.replacement) {
        static const std::array<std::uint8_t, 16> replacement = replacementGlyph();
        putCell(replacement);
    } else if (!shape.wide) {
        putGlyph(shape.code);
    } else {
        for (int half = 0; half < shape.cells; ++half) {
            std::array<std::uint8_t, 16> rows{};
            for (std::size_t r = 0; r < 16; ++r)
                rows[r] = static_cast<std::uint8_t>(half == 0 ? shape.wide->rows[r] >> 8 : shape.wide->rows[r] & 0xFF);
            putCell(rows);
            if (half + 1 < shape.cells) advance();
        }
    }
    advance();
}

int Screen::printText(std::string_view text, int cells) {
    int used = 0;
    for (std::size_t at = 0; at < text.size();) {
        int length = 1;
        const Shape shape = shapeOf(text, at, length);
        if (used + shape.cells > cells) break;
        // A wide character never splits over two rows of the grid.
        if (shape.cells == 2 && col_ == width_ / kCellW) {
            putGlyph(' ');
            advance();
        }
        putShape(shape);
        used += shape.cells;
        at += static_cast<std::size_t>(length);
    }
    return used;
}

void Screen::printTextPadded(std::string_view text, int cells) {
    for (int used = printText(text, cells); used < cells; ++used) {
        putGlyph(' ');
        advance();
    }
}

int Screen::textCells(std::string_view text) {
    int cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        int length = 1;
        cells += shapeOf(text, at, length).cells;
        at += static_cast<std::size_t>(length);
    }
    return cells;
}

std::size_t Screen::textTailStart(std::string_view text, int cells) {
    std::vector<std::pair<std::size_t, int>> units;  // start, cells
    for (std::size_t at = 0; at < text.size();) {
        int length = 1;
        units.emplace_back(at, shapeOf(text, at, length).cells);
        at += static_cast<std::size_t>(length);
    }
    std::size_t start = text.size();
    for (auto it = units.rbegin(); it != units.rend() && it->second <= cells; ++it) {
        cells -= it->second;
        start = it->first;
    }
    return start;
}

void Screen::printNumber(long long n, bool lineEnd) {
    print((n >= 0 ? " " : "") + std::to_string(n), lineEnd);
}

void Screen::clearScreen() {
    row_ = col_ = 1;
    if (!drawing_) return;
    auto& page = pageData(work_);
    std::fill(page.begin(), page.end(), static_cast<std::uint8_t>(bg_));
    touch(work_, 0, 0, width_ - 1, height_ - 1);
}

// ---- pixels ----

void Screen::fillClipped(int x1, int y1, int x2, int y2, int colour) {
    if (!drawing_) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x1 > x2 || y1 > y2) return;
    auto& page = pageData(work_);
    for (int y = y1; y <= y2; ++y) {
        auto row = page.begin() + static_cast<std::ptrdiff_t>(y) * width_;
        std::fill(row + x1, row + x2 + 1, static_cast<std::uint8_t>(colour & 255));
    }
    touch(work_, x1, y1, x2, y2);
}

void Screen::fillBox(int x1, int y1, int x2, int y2, int colour) { fillClipped(x1, y1, x2, y2, colour); }

void Screen::drawBox(int x1, int y1, int x2, int y2, int colour) {
    fillClipped(x1, y1, x2, y1, colour);
    fillClipped(x1, y2, x2, y2, colour);
    fillClipped(x1, y1, x1, y2, colour);
    fillClipped(x2, y1, x2, y2, colour);
}

void Screen::drawLine(int x1, int y1, int x2, int y2, int colour) {
    if (x1 == x2 || y1 == y2) {
        fillClipped(x1, y1, x2, y2, colour);
        return;
    }
    // Bresenham, plotting only the points inside the page.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x1 >= 0 && x1 < width_ && y1 >= 0 && y1 < height_) fillClipped(x1, y1, x1, y1, colour);
        if (x1 == x2 && y1 == y2) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

void Screen::drawString(int x, int y, std::string_view text) {
    if (!drawing_) return;
    auto& page = pageData(work_);
    const auto fg = static_cast<std::uint8_t>(fg_);
    for (char c : text) {
        const auto& glyph = kFont8x16[static_cast<std::uint8_t>(c)];
        for (int gy = 0; gy < kCellH; ++gy) {
            const int py = y + gy;
            if (py < 0 || py >= height_) continue;
            for (int gx = 0; gx < kCellW; ++gx) {
                const int px = x + gx;
                if (px >= 0 && px < width_ && (glyph[gy] & (0x80u >> gx)))
                    page[static_cast<size_t>(py) * width_ + px] = fg;
            }
        }
        x += kCellW;
    }
    const int len = static_cast<int>(text.size());
    const int cx1 = std::max(x - len * kCellW, 0), cy1 = std::max(y, 0);
    const int cx2 = std::min(x - 1, width_ - 1), cy2 = std::min(y + kCellH - 1, height_ - 1);
    if (cx1 <= cx2 && cy1 <= cy2) touch(work_, cx1, cy1, cx2, cy2);
}

// ---- input and time ----

MouseState Screen::pollMouse() {
    flush();
    return input_.pollMouse();
}

MouseState Screen::peekMouse() {
    flush();
    return input_.peekMouse();
}

void Screen::setMouse(std::optional<int> x, std::optional<int> y, bool visible) {
    std::optional<Point> at;
    if (x && y) at = Point{*x, *y};
    presenter_.setPointer(at, visible);
}

void Screen::sleep(int ms) {
    flush();
    if (ms == -1) {
        while (!input_.keyWaiting()) clock_.sleepMs(10);
        return;
    }
    if (ms < 100) {
        clock_.sleepMs(std::max(ms, 0));
        return;
    }
    for (int step = 0; step < ms / 50; ++step) {
        clock_.sleepMs(50);
        if (input_.keyWaiting()) return;
    }
    clock_.sleepMs(ms % 50);
}

int Screen::runShell(const std::string& line) {
    flush();
    return RealRunner{}.runShell(line);
}

}  // namespace kestrel
