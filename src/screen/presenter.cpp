#include "screen/presenter.h"

#include <algorithm>

namespace kestrel {

void Presenter::remember(const std::vector<std::uint8_t>& page, Rect area, int width) {
    if (shown_.size() != page.size()) shown_.assign(page.size(), 0);
    for (int y = area.y1; y <= area.y2; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(area.x1);
        std::copy_n(page.data() + at, area.x2 - area.x1 + 1, shown_.data() + at);
    }
}

}  // namespace kestrel
