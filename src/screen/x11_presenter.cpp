#include "screen/x11_presenter.h"

namespace kestrel {

// Placeholder until the X11 window lands.
std::unique_ptr<Presenter> makeX11Presenter(Input&, std::string& error) {
    error = "the X11 window is not built yet";
    return nullptr;
}

}  // namespace kestrel
