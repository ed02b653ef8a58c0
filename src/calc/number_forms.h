#pragma once
// The calculator's number texts: how a double is written (general, fixed and
// scientific display forms, the PI text) and how a text is read back. All of
// them are the same whatever the user's locale: the point is always ".".
#include <string>
#include <string_view>

namespace kestrel::calc {

// PI, the double nearest to pi, and the factors between degrees and radians.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegree = kPi / 180.0;
inline constexpr double kRadian = 180.0 / kPi;

// As printf "%.16g" writes it, a final "." removed; "inf", "-inf", "nan".
std::string generalForm(double v);
// Integer digits (none for 0), ".", the fraction rounded to 16 places with
// trailing zeros dropped; "-" before a negative value. Any magnitude.
std::string fixedForm(double v);
// One digit, ".", up to 10 digits (trailing zeros dropped), "E", sign and an
// exponent of at least two digits: 3.3333333333E-01.
std::string scientificForm(double v);
// PI with 15 fraction digits, cut to 16 characters: 3.14159265358979.
std::string piText();

// Sign, digits, point and exponent as far as they form a number; anything
// else reads as 0. The texts "inf", "-inf" and "nan" read as themselves so a
// result that overflowed reads back as what it shows.
double readNumber(std::string_view text);

// A value rounded to 16 decimal places: written in fixed form and read back.
// A non-finite value stays as it is.
double roundFixed(double v);

}  // namespace kestrel::calc
