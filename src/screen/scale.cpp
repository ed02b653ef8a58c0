#include "screen/scale.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace kestrel {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

}  // namespace

std::optional<double> xftDpi(std::string_view resources) {
    while (!resources.empty()) {
        const auto end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
        const std::string value(trimmed(line.substr(colon + 1)));
        char* stop = nullptr;
        errno = 0;
        const double dpi = std::strtod(value.c_str(), &stop);
        if (errno || stop == value.c_str() || *stop || !(dpi > 0)) return std::nullopt;
        return dpi;
    }
    return std::nullopt;
}

int desktopScale(std::string_view resources, const char* gdkScale) {
    if (gdkScale && *gdkScale) {
        char* stop = nullptr;
        errno = 0;
        const long n = std::strtol(gdkScale, &stop, 10);
        if (!errno && !*stop && n > 1) return n > kMaxScale ? kMaxScale : static_cast<int>(n);
    }
    const auto dpi = xftDpi(resources);
    if (!dpi || *dpi < 144) return 1;
    const double n = (*dpi + 48) / 96;  // 144 -> 2, 240 -> 3, 336 -> 4
    return n >= kMaxScale ? kMaxScale : static_cast<int>(n);
}

void widenRow(const std::uint32_t* in, int count, int n, std::uint32_t* out) {
    switch (n) {
        case 1:
            for (int x = 0; x < count; ++x) out[x] = in[x];
            return;
        case 2:
            for (int x = 0; x < count; ++x) out[2 * x] = out[2 * x + 1] = in[x];
            return;
        default:
            for (int x = 0; x < count; ++x)
                for (int k = 0; k < n; ++k) out[n * x + k] = in[x];
    }
}

}  // namespace kestrel
