#pragma once
// The product's window: the only part of Kestrel that talks to X11.
#include <memory>
#include <string>

#include "screen/input.h"
#include "screen/presenter.h"

namespace kestrel {

// Connects to $DISPLAY. Returns nullptr (and says why in `error`) when no
// display can be opened.
std::unique_ptr<Presenter> makeX11Presenter(Input& input, std::string& error);

}  // namespace kestrel
