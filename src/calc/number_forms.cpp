#include "calc/number_forms.h"

#include <charconv>
#include <cmath>
#include <locale.h>
#include <stdlib.h>

namespace kestrel::calc {

namespace {

// Large enough for every finite double in fixed form with 16 places: at most
// 309 integer digits, a sign, a point and 16 fraction digits.
constexpr size_t kFixedRoom = 1 + 309 + 1 + 16 + 8;

std::string toChars(double v, std::chars_format format, int precision, size_t room) {
    std::string text(room, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), v, format, precision);
    text.resize(static_cast<size_t>(result.ptr - text.data()));
    return text;
}

void dropTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the longest prefix of `t` that forms a decimal number.
size_t numberPrefix(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j])) ++j;
            i = j;
        }
    }
    return i;
}

// The conversion itself in the C locale, so a user's "," locale cannot make
// "0.5" read as 0; overflow gives an infinity as the system's reader does.
double convertC(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

std::string generalForm(double v) {
    std::string text = toChars(v, std::chars_format::general, 16, 64);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string fixedForm(double v) {
    if (!std::isfinite(v)) return generalForm(v);
    std::string text = toChars(std::fabs(v), std::chars_format::fixed, 16, kFixedRoom);
    const size_t point = text.find('.');
    std::string whole = text.substr(0, point), fraction = text.substr(point + 1);
    if (whole == "0") whole.clear();
    dropTrailingZeros(fraction);
    return (std::signbit(v) && (whole.size() || fraction.size()) ? "-" : "") + whole + "." + fraction;
}

std::string scientificForm(double v) {
    if (!std::isfinite(v)) return generalForm(v);
    std::string text = toChars(v, std::chars_format::scientific, 10, 64);
    const size_t e = text.find('e');
    std::string mantissa = text.substr(0, e), exponent = text.substr(e + 1);
    if (mantissa.find('.') != std::string::npos) {
        dropTrailingZeros(mantissa);
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa + "E" + exponent;
}

std::string piText() { return toChars(kPi, std::chars_format::fixed, 15, 64).substr(0, 16); }

double readNumber(std::string_view text) {
    for (const auto word : {"inf", "-inf", "nan", "-nan"})
        if (text == word) return text[0] == '-' ? (text[1] == 'i' ? -INFINITY : -NAN) : (text[0] == 'i' ? INFINITY : NAN);
    const size_t n = numberPrefix(text);
    if (n == 0) return 0;
    return convertC(std::string(text.substr(0, n)));
}

double roundFixed(double v) { return std::isfinite(v) ? readNumber(fixedForm(v)) : v; }

}  // namespace kestrel::calc
