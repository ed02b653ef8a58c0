#include "screen_reader.h"

#include <array>
#include <map>

#include "screen/font.h"

namespace kestrel::test {

namespace {

using Bitmap = std::array<std::uint8_t, 16>;

// Bitmap to character; the first printable ASCII glyph wins over other codes
// that look the same, so text reads as text.
const std::map<Bitmap, int>& glyphIndex() {
    static const std::map<Bitmap, int> index = [] {
        std::map<Bitmap, int> m;
        for (int c = 32; c < 127; ++c) m.emplace(kFont8x16[c], c);
        for (int c = 0; c < 256; ++c) m.emplace(kFont8x16[c], c);
        return m;
    }();
    return index;
}

}  // namespace

CellRead readCell(const Screen& s, int page, int row, int col) {
    const int x0 = (col - 1) * kCellW, y0 = (row - 1) * kCellH;
    if (row < 1 || col < 1 || x0 + kCellW > s.width() || y0 + kCellH > s.height()) return {'?', -1, -1};
    int a = s.pixel(page, x0, y0), b = -1;
    for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x) {
            const int p = s.pixel(page, x0 + x, y0 + y);
            if (p == a) continue;
            if (b == -1) b = p;
            else if (p != b) return {'?', -1, -1};
        }
    if (b == -1) return {' ', -1, a};
    auto bitmapFor = [&](int fg) {
        Bitmap bm{};
        for (int y = 0; y < kCellH; ++y)
            for (int x = 0; x < kCellW; ++x)
                if (s.pixel(page, x0 + x, y0 + y) == fg) bm[y] |= static_cast<std::uint8_t>(0x80u >> x);
        return bm;
    };
    const auto& index = glyphIndex();
    auto asA = index.find(bitmapFor(a));
    auto asB = index.find(bitmapFor(b));
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

std::string readRow(const Screen& s, int row) { return readText(s, s.visiblePage(), row, 1, s.cols()); }

int findOnRow(const Screen& s, int row, const std::string& text) {
    const auto pos = readRow(s, row).find(text);
    return pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
}

}  // namespace kestrel::test
