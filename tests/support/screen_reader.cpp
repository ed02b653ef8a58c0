#include "rig.h"

#include <array>
#include <map>

#include "screen/font.h"

namespace kestrel::test {

using Bitmap = std::array<std::uint8_t, 16>;

CellRead readCell(const Screen& s, int page, int row, int col) {
    // Bitmap to character; printable ASCII wins over other codes that look the same.
    static const std::map<Bitmap, int> index = [] {
        std::map<Bitmap, int> m;
        for (int c = 32; c < 127; ++c) m.emplace(kFont8x16[c], c);
        for (int c = 0; c < 256; ++c) m.emplace(kFont8x16[c], c);
        return m;
    }();
    const int x0 = (col - 1) * kCellW, y0 = (row - 1) * kCellH;
    if (row < 1 || col < 1 || x0 + kCellW > s.width() || y0 + kCellH > s.height()) return {'?', -1, -1};
    const int a = s.pixel(page, x0, y0);
    int b = -1;
    Bitmap inA{};
    for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x) {
            const int p = s.pixel(page, x0 + x, y0 + y);
            if (p == a) inA[y] |= static_cast<std::uint8_t>(0x80u >> x);
            else if (b == -1) b = p;
            else if (p != b) return {'?', -1, -1};
        }
    if (b == -1) return {' ', -1, a};
    Bitmap inB = inA;
    for (auto& bits : inB) bits = static_cast<std::uint8_t>(~bits);
    const auto asA = index.find(inA), asB = index.find(inB);
    auto printable = [&](auto it) { return it != index.end() && it->second > 32 && it->second < 127; };
    if (asA != index.end() && (printable(asA) || !printable(asB))) return {asA->second, a, b};
    if (asB != index.end()) return {asB->second, b, a};
    return {'?', -1, -1};
}

std::string readText(const Screen& s, int page, int row, int col, int len) {
    std::string out;
    for (int c = col; c < col + len; ++c) out += static_cast<char>(readCell(s, page, row, c).ch);
    return out;
}

}  // namespace kestrel::test
