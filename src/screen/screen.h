#pragma once
// The screen and input layer: five in-memory pages of palette indices, the
// palette, a text grid of 8x16 cells with its cursor and colours, pixel
// drawing, and polled keyboard and mouse input. A Presenter shows the visible
// page; without one Kestrel runs headless.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screen/clock.h"
#include "screen/input.h"
#include "screen/palette.h"
#include "screen/presenter.h"
#include "screen/unifont.h"

namespace kestrel {

constexpr int kPageCount = 5;
constexpr int kCellW = 8, kCellH = 16;

class Screen {
public:
    Screen(Clock& clock, Input& input, Presenter& presenter) : clock_(clock), input_(input), presenter_(presenter) {}

    // Mode and window. Set mode accepts 640x480 (80x30) and 800x600 (100x37).
    bool setMode(int width, int height);
    void setPaletteEntry(int index, std::uint32_t packed);
    void setTitle(const std::string& title) { presenter_.setTitle(title); }
    Point desktopSize() { return presenter_.desktopSize(); }
    Point windowPosition() { return presenter_.windowPosition(); }
    void setWindowPosition(Point p) { presenter_.setWindowPosition(p); }
    void setPages(int work, int visible);
    void copyPage(int from, int to);
    void lock() { ++locks_; }
    void unlock();

    // Text.
    void setColors(int fg, int bg) { fg_ = fg & 255; bg_ = bg & 255; }
    void locate(int row, int col) { row_ = row; col_ = col; }
    void print(std::string_view text, bool lineEnd = false);
    // Locate and print in one step.
    void printAt(int row, int col, std::string_view text) {
        locate(row, col);
        print(text);
    }
    void printNumber(long long n, bool lineEnd = false);
    // Every byte drawn as its glyph, control bytes included: for names and
    // paths, whose bytes must never move the cursor.
    void printGlyphs(std::string_view text);
    // Off: text output still moves the cursor, but no text, fill or line is
    // drawn. For work that needs only where text goes (the viewer's fuzz
    // target lays pages out so); on by default.
    void setDrawing(bool on) { drawing_ = on; }
    // Names and paths decoded as UTF-8 (screen/utf8_text.h): a character code
    // page 437 has is drawn with Kestrel's own glyph, any other with its
    // Unifont glyph of one or two cells; a combining mark, a control character
    // or a character neither font has gets the replacement glyph, and a byte
    // that is not valid UTF-8 its code-page-437 glyph. At most `cells` cells:
    // a character that would not fit whole is left out. Returns the cells drawn.
    int printText(std::string_view text, int cells = kWholeText);
    // printText, then blanks up to `cells`.
    void printTextPadded(std::string_view text, int cells);
    // The cells printText would take for the whole text.
    int textCells(std::string_view text);
    // Where the last `cells` cells of the text begin (a byte offset).
    std::size_t textTailStart(std::string_view text, int cells);
    Unifont& unifont() { return unifont_; }
    static constexpr int kWholeText = 1 << 30;
    int cursorRow() const { return row_; }
    int cursorCol() const { return col_; }
    void clearScreen();

    // Pixels: inclusive corners, clipped to the page.
    void drawLine(int x1, int y1, int x2, int y2, int colour);
    void drawBox(int x1, int y1, int x2, int y2, int colour);
    void fillBox(int x1, int y1, int x2, int y2, int colour);
    void drawString(int x, int y, std::string_view text);

    // Input and time.
    Key pollKey() { return input_.pollKey(); }
    bool keyWaiting() { return input_.keyWaiting(); }
    void dropKeys() { input_.dropKeys(); }
    MouseState pollMouse();
    MouseState peekMouse();
    void setMouse(std::optional<int> x, std::optional<int> y, bool visible);
    // Up to 99 ms exactly; 100 ms or more in 50 ms steps that end early once
    // a key is waiting; -1 until a key is waiting.
    void sleep(int ms);
    std::int64_t nowMs() { return clock_.nowMs(); }
    // Presents, then waits until input comes (Input::changes differs from
    // `seen`) or `ms` pass: for loops whose last pass found nothing to do.
    void waitForInput(std::uint64_t seen, int ms) {
        flush();
        clock_.waitForInput(input_, seen, ms);
    }
    int runShell(const std::string& line);

    // Shows the visible page if it changed and no lock is held.
    void flush();

    int width() const { return width_; }
    int height() const { return height_; }
    int cols() const { return width_ / kCellW; }
    int rows() const { return height_ / kCellH; }
    int workPage() const { return work_; }
    int visiblePage() const { return visible_; }
    int fg() const { return fg_; }
    int bg() const { return bg_; }
    const Palette& palette() const { return palette_; }
    const std::vector<std::uint8_t>& page(int n) const { return pageData(n); }
    std::uint8_t pixel(int page, int x, int y) const { return pageData(page)[y * width_ + x]; }
    Clock& clock() { return clock_; }
    Input& input() { return input_; }
    Presenter& presenter() { return presenter_; }

private:
    void putGlyph(std::uint8_t code);
    void putCell(const std::array<std::uint8_t, 16>& rows);
    struct Shape {
        const WideGlyph* wide = nullptr;  // a Unifont glyph, else `code` in code page 437
        std::uint8_t code = 0;
        bool replacement = false;
        int cells = 1;
    };
    Shape shapeOf(std::string_view text, std::size_t at, int& length);
    void putShape(const Shape& shape);
    void advance();
    void touch(int page, int x1, int y1, int x2, int y2);
    void markAllDirty();
    Rect changedPixels() const;
    void fillClipped(int x1, int y1, int x2, int y2, int colour);

    Clock& clock_;
    Input& input_;
    Presenter& presenter_;
    int width_ = 640, height_ = 480;
    // A page's memory is taken when it is first used (most screens use only
    // page 0); until then it reads as all zeros, like a fresh page.
    std::vector<std::uint8_t>& pageData(int n) const;
    mutable std::array<std::vector<std::uint8_t>, kPageCount> pages_;
    Palette palette_ = defaultPalette();
    Unifont unifont_;
    int work_ = 0, visible_ = 0;
    int row_ = 1, col_ = 1;
    int fg_ = 7, bg_ = 0;
    int locks_ = 0;
    bool drawing_ = true;
    Rect dirty_;  // what changed on the visible page since the last present
    // The dirty part of each pixel row (x1 > x2: clean), so that a status row
    // and a scroll bar drawn in one pass are compared without the space between.
    struct Span {
        int x1 = 1 << 30, x2 = -1;
    };
    std::vector<Span> spans_;
    // The colours of what the window shows (its pixels: Presenter::shown), so
    // a present sends only pixels that differ and none at all when nothing does.
    Palette shownPalette_{};
    bool shownValid_ = false;
};

}  // namespace kestrel
