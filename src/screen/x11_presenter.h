#pragma once
// The product's window: the only part of Kestrel that talks to X11.
#include <memory>
#include <string>

#include "screen/input.h"
#include "screen/presenter.h"

namespace kestrel {

struct X11Options {
    std::string display;        // empty: $DISPLAY
    bool sharedMemory = true;   // MIT-SHM when the server offers it; off to measure plain XPutImage
    int scale = 0;              // n x n screen pixels per page pixel; 0: as the desktop asks (screen/scale.h)
};

// Connects to the display and starts the thread that turns the window's
// events into `input`. Returns nullptr (and says why in `error`) when no
// display can be opened or it has no visual Kestrel can draw on.
std::unique_ptr<Presenter> makeX11Presenter(Input& input, std::string& error, const X11Options& options = {});

}  // namespace kestrel
