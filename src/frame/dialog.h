#pragma once
// The dialog panel drawn over the browser on page 2, the lines centred on
// it and the boxed buttons with their hit tests.
#include <span>
#include <string_view>

#include "frame/app_state.h"

namespace kestrel {

// What a press on a dialog target, or a key, answers.
enum class Answer { Yes, No, Options, Buffer, View, Run, Cancel };

// Rename, paste-all and kill-all let the browser settle before the copy.
enum class PanelDelay { None, Settle };

// Copies the browser (page 0) to page 2, shows page 2 and draws the panel
// box across its lower rows. Text goes on in colour 1 on 15 afterwards.
void openDialogPanel(App& app, PanelDelay delay = PanelDelay::None);

// Prints `text` on `row` centred on column `centre` (40 for most lines, 39
// for the command lines of the four-button confirmations), cut to 78
// characters. A line too long to centre starts in column 1 rather than off
// the left edge, where its first characters would be lost.
void printCentred(Screen& s, int row, int centre, std::string_view text);
int centredStart(int centre, size_t length);

// A pressable area: a text row plus a range of pixels (boxed buttons) or of
// columns (the chooser's bare labels). The y range of a box is not tested,
// only the row of its label.
struct HitArea {
    enum class Unit { Pixels, Columns };
    int row, first, last;
    Unit unit;
    bool holds(int x, int y) const;
};

struct Button {
    int x1, y1, x2, y2;  // the box
    int row, col;        // the label
    const char* label;   // nullptr: the caller supplies it (the buffer button)
    constexpr HitArea hit() const { return {row, x1, x2, HitArea::Unit::Pixels}; }
};

constexpr Button kYesButton{227, 445, 260, 464, 29, 30, "Yes"};
constexpr Button kNoButton{360, 445, 389, 464, 29, 47, "No"};
constexpr Button kOptionsButton{548, 382, 610, 401, 25, 70, "Options"};
constexpr Button kBufferButton{508, 445, 610, 464, 29, 65, nullptr};

constexpr const char* kPasteBufferLabel = "Paste Buffer";
constexpr const char* kKillBufferLabel = "Kill Buffer";

// Box filled and outlined in colour 1, label in 15 on 1; leaves the colours
// at 1 on 15 for the panel text that follows.
void drawButton(Screen& s, const Button& b, const char* label = nullptr);
void drawYesNoButtons(Screen& s);
void drawFourButtons(Screen& s, const char* bufferLabel);

// A target of a confirmation: the area and what a press on it answers.
struct Target {
    Answer answer;
    HitArea area;
};

// The first target under the pointer, in table order.
const Target* hitTarget(std::span<const Target> targets, int x, int y);

// Row 3 of the current work page shows `path` centred the way the browser's
// path line is: at most 77 characters, centred on the first 78.
void printPathLine(App& app, const std::string& path);

}  // namespace kestrel
