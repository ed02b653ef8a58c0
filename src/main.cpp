#include <cstdio>
#include <string>

#include "screen/screen.h"
#include "screen/x11_presenter.h"

int main() {
    kestrel::Input input;
    std::string error;
    auto presenter = kestrel::makeX11Presenter(input, error);
    if (!presenter) {
        std::fprintf(stderr, "kestrel: cannot open a window: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
