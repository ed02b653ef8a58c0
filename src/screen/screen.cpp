#include "screen/screen.h"

#include <algorithm>
#include <cstdlib>

#include "extern/runner.h"
#include "screen/font.h"

namespace kestrel {

bool Screen::setMode(int width, int height) {
    const bool known = (width == 640 && height == 480) || (width == 800 && height == 600);
    if (!known || !presenter_.openWindow(width, height)) return false;
    width_ = width;
    height_ = height;
    for (auto& p : pages_) p.assign(static_cast<size_t>(width) * height, 0);
    palette_ = defaultPalette();
    work_ = visible_ = 0;
    row_ = col_ = 1;
    fg_ = 7;
    bg_ = 0;
    locks_ = 0;
    dirty_ = {0, 0, width - 1, height - 1};
    shownValid_ = false;  // a new window shows nothing of ours yet
    return true;
}

void Screen::setPaletteEntry(int index, std::uint32_t packed) {
    if (index < 0 || index > 255) return;
    palette_[index] = rgbFromPacked(packed);
    dirty_ = {0, 0, width_ - 1, height_ - 1};
}

void Screen::setPages(int work, int visible) {
    if (work >= 0 && work < kPageCount) work_ = work;
    if (visible >= 0 && visible < kPageCount && visible != visible_) {
        visible_ = visible;
        dirty_ = {0, 0, width_ - 1, height_ - 1};
    }
}

void Screen::copyPage(int from, int to) {
    if (from < 0 || from >= kPageCount || to < 0 || to >= kPageCount || from == to) return;
    pages_[to] = pages_[from];
    touch(to, 0, 0, width_ - 1, height_ - 1);
}

void Screen::unlock() {
    if (locks_ > 0 && --locks_ == 0) flush();
}

namespace {

// The smallest rectangle inside `area` holding every pixel where `page`
// differs from `shown`; empty when they are the same.
Rect changedWithin(const std::vector<std::uint8_t>& page, const std::vector<std::uint8_t>& shown, int width,
                   Rect area) {
    Rect changed;
    const auto span = static_cast<std::size_t>(area.x2 - area.x1 + 1);
    for (int y = area.y1; y <= area.y2; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * width + area.x1;
        const std::uint8_t* a = page.data() + at;
        const std::uint8_t* b = shown.data() + at;
        if (std::equal(a, a + span, b)) continue;
        int first = 0, last = static_cast<int>(span) - 1;
        while (a[first] == b[first]) ++first;
        while (a[last] == b[last]) --last;
        if (changed.empty()) {
            changed = {area.x1 + first, y, area.x1 + last, y};
        } else {
            changed.x1 = std::min(changed.x1, area.x1 + first);
            changed.x2 = std::max(changed.x2, area.x1 + last);
            changed.y2 = y;
        }
    }
    return changed;
}

}  // namespace

void Screen::flush() {
    if (locks_ > 0 || dirty_.empty()) return;
    const std::vector<std::uint8_t>& page = pages_[visible_];
    const bool sameColours = shownValid_ && palette_ == shownPalette_;
    const Rect whole{0, 0, width_ - 1, height_ - 1};
    const Rect dirty{std::max(dirty_.x1, 0), std::max(dirty_.y1, 0), std::min(dirty_.x2, whole.x2),
                     std::min(dirty_.y2, whole.y2)};
    const Rect area = !sameColours ? whole : dirty.empty() ? Rect{} : changedWithin(page, shown_, width_, dirty);
    dirty_ = {};
    if (area.empty()) return;  // the window already shows exactly these pixels
    presenter_.present(page, palette_, area);
    if (!sameColours) shown_.resize(page.size());
    for (int y = area.y1; y <= area.y2; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * width_ + area.x1;
        std::copy_n(page.data() + at, area.x2 - area.x1 + 1, shown_.data() + at);
    }
    shownPalette_ = palette_;
    shownValid_ = true;
}

void Screen::touch(int page, int x1, int y1, int x2, int y2) {
    if (page != visible_) return;
    if (dirty_.empty()) {
        dirty_ = {x1, y1, x2, y2};
        return;
    }
    dirty_ = {std::min(dirty_.x1, x1), std::min(dirty_.y1, y1), std::max(dirty_.x2, x2), std::max(dirty_.y2, y2)};
}

// ---- text ----

void Screen::putGlyph(std::uint8_t code) {
    const int rows = height_ / kCellH, cols = width_ / kCellW;
    if (row_ < 1 || row_ > rows || col_ < 1 || col_ > cols) return;
    const int x0 = (col_ - 1) * kCellW, y0 = (row_ - 1) * kCellH;
    auto& page = pages_[work_];
    const auto& glyph = kFont8x16[code];
    const auto fg = static_cast<std::uint8_t>(fg_), bg = static_cast<std::uint8_t>(bg_);
    for (int gy = 0; gy < kCellH; ++gy) {
        std::uint8_t* out = &page[static_cast<size_t>(y0 + gy) * width_ + x0];
        const unsigned bits = glyph[gy];
        for (int gx = 0; gx < kCellW; ++gx) out[gx] = (bits & (0x80u >> gx)) ? fg : bg;
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

void Screen::printNumber(long long n, bool lineEnd) {
    print((n >= 0 ? " " : "") + std::to_string(n), lineEnd);
}

void Screen::clearScreen() {
    auto& page = pages_[work_];
    std::fill(page.begin(), page.end(), static_cast<std::uint8_t>(bg_));
    touch(work_, 0, 0, width_ - 1, height_ - 1);
    row_ = col_ = 1;
}

// ---- pixels ----

void Screen::fillClipped(int x1, int y1, int x2, int y2, int colour) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_ - 1);
    y2 = std::min(y2, height_ - 1);
    if (x1 > x2 || y1 > y2) return;
    auto& page = pages_[work_];
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
    auto& page = pages_[work_];
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
