#pragma once
// A key as the keyboard poll returns it: nothing, one character byte, or an
// extended key (the 255 prefix followed by a scan code).
#include <cstdint>

namespace kestrel {

namespace scan {
constexpr int F1 = 59, F2 = 60, F3 = 61, F4 = 62, F10 = 68;
constexpr int Home = 71, Up = 72, PgUp = 73, Left = 75, Right = 77;
constexpr int End = 79, Down = 80, PgDn = 81, Ins = 82, Del = 83;
constexpr int Close = 107;  // the window manager asked the window to close
}  // namespace scan

namespace ch {
constexpr int Backspace = 8, Tab = 9, Enter = 13, CtrlQ = 17, CtrlW = 23, Esc = 27;
}

struct Key {
    enum class Kind : std::uint8_t { None, Char, Extended };
    Kind kind = Kind::None;
    std::uint8_t code = 0;  // the character byte, or the scan code

    static Key character(std::uint8_t c) { return {Kind::Char, c}; }
    static Key extended(std::uint8_t s) { return {Kind::Extended, s}; }

    bool empty() const { return kind == Kind::None; }
    bool isChar(int c) const { return kind == Kind::Char && code == c; }
    bool isExt(int s) const { return kind == Kind::Extended && code == s; }
    // Commands compare letters in upper case.
    int upper() const {
        if (kind != Kind::Char) return -1;
        return (code >= 'a' && code <= 'z') ? code - 32 : code;
    }
    bool operator==(const Key&) const = default;
};

}  // namespace kestrel
