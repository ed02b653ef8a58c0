#include "screen/input.h"
#include "screen/presenter.h"

namespace kestrel {

bool HeadlessPresenter::openWindow(int width, int height) {
    size = {width, height};
    position = {(desktop_.x - width) / 2, (desktop_.y - height) / 2};
    return true;
}

void HeadlessPresenter::setPointer(std::optional<Point> at, bool visible) {
    pointerVisible = visible;
    if (at && input_) input_->pointerMoved(at->x, at->y);
}

}  // namespace kestrel
