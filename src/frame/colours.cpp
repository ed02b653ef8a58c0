#include "frame/colours.h"

#include <cstdint>

namespace kestrel {

namespace {

struct ColourPair {
    int background, accent;
};

constexpr ColourPair kColourChoices[4] = {{2, 5}, {5, 2}, {13, 5}, {10, 2}};

struct PaletteEntry {
    int index;
    std::uint32_t packed;
};

constexpr PaletteEntry kPaletteEntries[] = {{2, 0x002801}, {5, 0x363A3A}, {10, 0x152371}, {13, 0x1B280C}};

}  // namespace

void setColoursFromChoice(App& app) {
    app.backgroundColour = kColourChoices[app.BackGround].background;
    app.accentColour = kColourChoices[app.BackGround].accent;
}

void setPaletteAndColours(App& app) {
    for (const auto& e : kPaletteEntries) app.screen.setPaletteEntry(e.index, e.packed);
    if (app.BackGround < 0 || app.BackGround > 3) app.BackGround = 0;
    setColoursFromChoice(app);
}

}  // namespace kestrel
