#include <gtest/gtest.h>
#include <locale.h>

#include <cmath>

#include "calc/calc_ops.h"
#include "calc/number_forms.h"

using namespace kestrel::calc;

namespace {

// Keys: digits . + - * / as themselves, then backspace, clear, PI, store,
// recall, % = 1/x, root, square, sine cosine tangent, their arcs, change sign.
constexpr std::string_view kShort = "BCPMR%=iqwsctSKTn";
constexpr Op kShortOps[] = {Op::Delete, Op::Clear, Op::Pi, Op::Store, Op::Recall, Op::Percent, Op::Equals, Op::Reciprocal, Op::Root,
                            Op::Square, Op::Sin, Op::Cos, Op::Tan, Op::ArcSin, Op::ArcCos, Op::ArcTan, Op::ChangeSign};

// One key as the calculator screen carries it out, keeping the display text.
Ending act(CalcState& s, char key, std::string& display) {
    Ending e = Ending::Ignored;
    if ((key >= '0' && key <= '9') || key == '.') e = apply(s, Op::Type, key);
    else if (std::string_view("+-*/").find(key) != std::string_view::npos) e = apply(s, Op::SetOp, key);
    else if (kShort.find(key) != std::string_view::npos) e = apply(s, kShortOps[kShort.find(key)]);
    if (e == Ending::Normalise) normalise(s);
    if (e == Ending::DisplayRefresh || e == Ending::Normalise || e == Ending::Error) display = displayForm(s);
    return e;
}

// A pass of the screen: the record's roll-over check, then the key.
Ending press(CalcState& s, char key, std::string& display) {
    rollOver(s);
    return act(s, key, display);
}

std::string run(CalcState& s, const std::string& keys) {
    std::string display = "0";
    for (char k : keys) press(s, k, display);
    return display;
}

std::vector<std::string> usedLines(const CalcState& s) {
    std::vector<std::string> out;
    for (int i = 1; i <= kLastSlot; ++i)
        if (!line(s, i).empty()) out.push_back(line(s, i));
    return out;
}

}  // namespace

// Refusals (an operator while one waits, square of nothing, a root or arc outside its domain, a division
// by 0) change neither the number nor the waiting operation, as the keys after them show.
TEST(CalcOps, ExamplesShowTheirDisplayAndRecord) {
    struct Case { const char* keys; const char* display; std::vector<std::string> lines; int n; };
    const Case cases[] = {
        {"2+3=7", "57", {"2+3=5", "7"}, 2}, {"200+10%", "20", {"200+10%20"}, 1}, {"50*10%=", "5", {"50*10%0.1=5"}, 2}, {"2+3*=", "5", {"2+3=5"}, 2},
        {"11111111111111111", "1111111111111111", {"11111111111111111"}, 1}, {"1111111111111111+2", "2", {"1111111111111111+", "2"}, 2}, {"1+2C", "0", {}, 1},
        {"50/10%", ".1", {"50/10%0.1"}, 1}, {"7MCR", "7", {"7"}, 1}, {"12B", "1", {"1"}, 1}, {"w", "0", {}, 1}, {"3w", "9", {"3", "x2=9"}, 2},
        {"1/3=i", "3", {"1/3=", "0.333333333333333", "1/x=3"}, 3}, {"2q", "1.414213562373095", {"2", "x^.5=1.41421356237"}, 2}, {"2K1", "21", {"21"}, 1},
        {"0q", "0", {"0", "x^.5=0"}, 2}, {"30s", ".4999999999999999", {"30", "Sin=0.499999999999"}, 2}, {"1T", "45", {"1", "aTan=45"}, 2},
        {"60c", ".5000000000000001", {"60", "Cos=0.500000000000"}, 2}, {"0.5K", "59.999999999999", {"0.5", "aCos=59.9999999999"}, 2},
        {"2nq1", "-21", {"2", "-21"}, 2}, {"5/0=2=", ".0961538461538462", {"5/02=", "0.096153846153846"}, 3},
    };
    for (const auto& c : cases) {
        CalcState s;
        const std::string display = run(s, c.keys);
        EXPECT_EQ(std::tuple(display, usedLines(s), s.n), std::tuple(std::string(c.display), c.lines, c.n)) << c.keys;
    }
}

TEST(CalcOps, NumberFormsAndReading) {
    struct Form { std::string (*form)(double); double value; const char* text; };
    for (const Form f : {Form{generalForm, 1e20, "1e+20"}, {generalForm, 1e-7, "1e-07"}, {generalForm, 0.0001, "0.0001"}, {generalForm, -INFINITY, "-inf"},
                         {fixedForm, 0.25, ".25"}, {fixedForm, -0.25, "-.25"}, {fixedForm, 30, "30."}, {fixedForm, 1e-20, "."},
                         {scientificForm, 1.0 / 3, "3.3333333333E-01"}, {scientificForm, -1.5e-300, "-1.5E-300"}})
        EXPECT_EQ(f.form(f.value), f.text) << f.value;
    EXPECT_EQ(fixedForm(1e300).size(), 302u);  // no text buffer cuts a large value
    const std::pair<const char*, double> reads[] = {{"", 0}, {".", 0}, {"abc", 0}, {"-.5x", -0.5}, {"1.5e3", 1500}, {"2e+", 2}, {"+7", 7}, {"0x10", 0},
                                                    {"1.2193263111E+17", 121932631110000000.0}, {"-inf", -INFINITY}, {"infinity", 0}, {"1e999", INFINITY}};
    for (const auto& [text, value] : reads) EXPECT_EQ(readNumber(text), value) << text;
    EXPECT_TRUE(std::isnan(readNumber("nan")));
    // A locale with a decimal comma must not change how a text is read.
    if (setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ(std::pair(readNumber("0.5"), generalForm(0.5)), std::pair(0.5, std::string("0.5")));
        setlocale(LC_ALL, "C");
    }
}

// A nearly full line at N moves N up to three lines at once. Past line 999 the record starts over at the next pass,
// after the display has read the result: the value shown stays, and so does a number being typed.
TEST(CalcOps, RecordRollsOverAtTheNextPassKeepingTheValueShown) {
    for (const char* before : {"8+5", "5"})
        for (int start = 997; start <= kLastSlot; ++start)
            for (char key : "7.+" + std::string(kShort)) {  // every operation
                CalcState low;
                std::string shown = run(low, before);
                CalcState high = low;
                high.n = start;
                high.lines[static_cast<size_t>(start)] = "12345678901234567";
                press(low, key, shown);
                act(high, key, shown);
                ASSERT_TRUE(high.n >= 1 && high.n <= start + 3 && high.lines.size() == kLastSlot + 1u) << start << key;
                const bool rolls = high.n > kRollOverAfter;
                press(high, 0, shown);  // the next pass
                const double value = readNumber(displayForm(high));
                EXPECT_EQ(std::tuple(value, high.n <= kRollOverAfter, rolls && !usedLines(high).empty()),
                          std::tuple(readNumber(displayForm(low)), true, false)) << before << ' ' << start << key;
            }
    // Line 999 is still kept; the record starts over only past it, here after the "." typed.
    CalcState s;
    s.n = kRollOverAfter;
    s.lines[kRollOverAfter] = "1234567890123456";
    const std::string five = run(s, "5") + "@" + std::to_string(s.n);
    EXPECT_EQ((std::tuple{five, run(s, ".3"), s.n}), std::tuple("5@999", "5.3", 1));
}
