#pragma once
// What the screen layer needs from a window system. The X11 presenter is the
// product's; the headless one keeps the same window facts in memory for tests
// and for runs that have no display.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "screen/palette.h"

namespace kestrel {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// A rectangle of pixels that changed, inclusive corners.
struct Rect {
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
    bool empty() const { return x2 < x1 || y2 < y1; }
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // Opens or resizes the window and places it centred on the desktop.
    virtual bool openWindow(int width, int height) = 0;
    // Shows `area` of the indexed page through the palette.
    virtual void present(const std::vector<std::uint8_t>& page, const Palette& palette, Rect area) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual Point desktopSize() = 0;
    virtual Point windowPosition() = 0;
    virtual void setWindowPosition(Point p) = 0;
    // Moves the pointer (when given) and shows or hides it.
    virtual void setPointer(std::optional<Point> at, bool visible) = 0;
    virtual void bell() {}

    // What the window shows, as palette indices of its page-sized grid
    // (empty before the first present): the screen compares pages with it so
    // it sends only pixels that differ.
    const std::vector<std::uint8_t>& shown() const { return shown_; }

protected:
    // Copies `area` of the presented page into shown(); a presenter calls it
    // from present (under its own lock, if another thread reads shown_).
    void remember(const std::vector<std::uint8_t>& page, Rect area, int width);
    std::vector<std::uint8_t> shown_;
};

class Input;

// No window: remembers what a window would have done, and turns pointer
// moves into input so the program sees its own warps as X11 would report them.
class HeadlessPresenter final : public Presenter {
public:
    explicit HeadlessPresenter(Input* input = nullptr, Point desktop = {1920, 1080})
        : input_(input), desktop_(desktop) {}
    bool openWindow(int width, int height) override;
    void present(const std::vector<std::uint8_t>& page, const Palette&, Rect area) override {
        ++presents;
        lastArea = area;
        remember(page, area, size.x);
    }
    void setTitle(const std::string& t) override { title = t; }
    Point desktopSize() override { return desktop_; }
    Point windowPosition() override { return position; }
    void setWindowPosition(Point p) override { position = p; }
    void setPointer(std::optional<Point> at, bool visible) override;
    void bell() override { ++bells; }

    std::string title;
    Point position;
    Point size;
    bool pointerVisible = false;
    int presents = 0;
    Rect lastArea;
    int bells = 0;

private:
    Input* input_;
    Point desktop_;
};

}  // namespace kestrel
