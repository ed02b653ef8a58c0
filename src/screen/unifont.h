#pragma once
// GNU Unifont (Debian's `unifont` package) for the characters code page 437
// lacks: 8x16 glyphs take one text cell, 16x16 glyphs two. Nothing is read
// until the first such character is drawn; then the font file is mapped and
// searched in place (its lines are sorted by code point), so an ASCII-only
// run costs neither start-up time nor memory.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrel {

constexpr const char* kUnifontHex = "/usr/share/unifont/unifont.hex";
constexpr const char* kUnifontCombining = "/usr/share/unifont/plane00-combining.txt";

struct WideGlyph {
    int cells = 1;  // 1: 8 pixels wide (rows in the high byte), 2: 16 pixels wide
    std::array<std::uint16_t, 16> rows{};
};

// One line of unifont.hex ("00E9:00000C30...") read into a glyph; false when
// the line is not one.
bool parseUnifontLine(std::string_view line, char32_t& code, WideGlyph& glyph);

class Unifont {
public:
    explicit Unifont(std::string hexPath = kUnifontHex, std::string combiningPath = kUnifontCombining)
        : hexPath_(std::move(hexPath)), combiningPath_(std::move(combiningPath)) {}
    ~Unifont();
    Unifont(const Unifont&) = delete;
    Unifont& operator=(const Unifont&) = delete;

    // The glyph of `code`, or nullptr when the font is missing or lacks it.
    const WideGlyph* glyph(char32_t code);
    // A combining mark (drawn over the character before it in Unifont).
    bool combining(char32_t code);
    // Starts over with other files (tests: a machine without the package).
    void use(std::string hexPath, std::string combiningPath);

private:
    bool search(char32_t code, WideGlyph& out) const;
    void close();

    std::string hexPath_, combiningPath_;
    bool opened_ = false, combiningRead_ = false;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    std::vector<char32_t> combining_;
    // Found and missing glyphs alike, so a redraw searches nothing.
    std::unordered_map<char32_t, WideGlyph> found_;
    std::unordered_map<char32_t, bool> missing_;
};

}  // namespace kestrel
