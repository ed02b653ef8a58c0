#include "calc/calc_ops.h"

#include <algorithm>
#include <cmath>

#include "calc/number_forms.h"

namespace kestrel::calc {

namespace {

// Every access to the record goes through here: an index past the last slot
// (or before the first) lands on the nearest slot instead of outside.
std::string& slot(CalcState& s, int i) { return s.lines[static_cast<size_t>(std::clamp(i, 1, kLastSlot))]; }
std::string& current(CalcState& s) { return slot(s, s.n); }

void append(CalcState& s, const std::string& piece) {
    if (current(s).size() + piece.size() >= static_cast<size_t>(kLineLimit)) ++s.n;
    current(s) += piece;
}

void startResultLine(CalcState& s, const std::string& text) {
    if (!current(s).empty()) ++s.n;
    current(s) = text;
}

double entryValue(const CalcState& s) { return readNumber(s.entry); }

void typeCharacter(CalcState& s, char c) {
    if (!s.entry.empty() && s.entry[0] == '0') s.entry.erase(0, 1);
    if (s.entry.size() < 16) s.entry += c;
    append(s, std::string(1, c));
}

Ending deleteLast(CalcState& s) {
    // An overflowed entry ("inf", "-inf", "nan") has no digits to take back
    // one at a time: it goes as one unit, here and at the end of its line.
    const std::string unit = std::isfinite(entryValue(s)) ? "" : s.entry;
    if (!s.entry.empty()) {
        s.entry.resize(unit.empty() ? s.entry.size() - 1 : 0);
        s.value = entryValue(s);
    }
    std::string& l = current(s);
    if (l.empty()) l = generalForm(s.value);
    else l.resize(l.size() - (!unit.empty() && l.ends_with(unit) ? unit.size() : 1));
    if (!l.empty() && l[0] == '0') l.erase(0, 1);
    return Ending::DisplayRefresh;
}

void emptyRecord(CalcState& s) {
    for (auto& l : s.lines) l.clear();
    s.n = 1;
}

Ending setOperator(CalcState& s, char op) {
    if (s.pendingOp) return Ending::Ignored;
    s.first = entryValue(s);
    s.value = 0;
    s.entry.clear();
    s.pendingOp = op;
    append(s, std::string(1, op));
    return Ending::Poll;
}

Ending percent(CalcState& s) {
    if (s.pendingOp == '+' || s.pendingOp == '-') s.value = s.first * s.value * 0.01;
    else if (s.pendingOp == '*' || s.pendingOp == '/') s.value = s.value * 0.01;
    s.value = roundFixed(s.value);
    s.entry = generalForm(s.value);
    append(s, "%");
    append(s, s.entry);
    return Ending::Normalise;
}

Ending equals(CalcState& s) {
    s.value = entryValue(s);
    if (s.pendingOp == '/' && s.value == 0) {
        // The first operand comes back and "/" stays, so a new divisor can follow.
        s.value = s.first;
        s.entry = generalForm(s.value);
        return Ending::Error;
    }
    switch (s.pendingOp) {
        case '-': s.value = s.first - s.value; break;
        case '/': s.value = s.first / s.value; break;
        case '+': s.value = s.value + s.first; break;
        case '*': s.value = s.value * s.first; break;
        default: break;
    }
    s.pendingOp = 0;
    s.first = 0;
    append(s, "=");
    const std::string result = generalForm(s.value).substr(0, 17);
    if (current(s).size() + result.size() >= static_cast<size_t>(kLineLimit)) ++s.n;
    current(s) += result;
    ++s.n;
    return Ending::Normalise;
}

// The arc functions give degrees, rounded so that 30.000000000000004 is 30.
double arcResultCut(double degrees) {
    const std::string fixed = fixedForm(degrees);
    const size_t keep = fixed.find(".00000000000") != std::string::npos ? 14 : 15;
    return readNumber(std::string_view(fixed).substr(0, std::min(keep, fixed.size())));
}

// The one-operand functions: label of the result line, how much of the
// result's general form follows it, and the result.
struct Function {
    Op op;
    const char* label;
    size_t cut;
    double (*result)(double v);
};

constexpr Function kFunctions[] = {
    // op            label    cut  result of entry value v
    {Op::Reciprocal, "1/x=", 14, [](double v) { return roundFixed(1.0 / v); }},
    {Op::Root, "x^.5=", 13, [](double v) { return std::pow(v, 0.5); }},
    {Op::Square, "x2=", 15, [](double v) { return v * v; }},
    {Op::Sin, "Sin=", 14, [](double v) { return std::sin(v * kDegree); }},
    {Op::Cos, "Cos=", 14, [](double v) { return std::cos(v * kDegree); }},
    {Op::Tan, "Tan=", 14, [](double v) { return std::tan(v * kDegree); }},
    {Op::ArcSin, "aSin=", 13, [](double v) { return arcResultCut(std::atan2(v, std::sqrt(1 - v * v)) * kRadian); }},
    {Op::ArcCos, "aCos=", 13, [](double v) { return arcResultCut(std::atan2(std::sqrt(1 - v * v), v) * kRadian); }},
    {Op::ArcTan, "aTan=", 13, [](double v) { return arcResultCut(std::atan(v) * kRadian); }},
    {Op::ChangeSign, "", 18, [](double v) { return -v; }},
};

// Offered only for a value that is not 0, or an error for a value outside
// the function's domain.
Ending refusal(Op op, double v) {
    if ((op == Op::Reciprocal || op == Op::Square) && v == 0) return Ending::Ignored;
    if (op == Op::Root && v < 0) return Ending::Error;
    if ((op == Op::ArcSin || op == Op::ArcCos) && std::fabs(v) > 1) return Ending::Error;
    return Ending::Normalise;
}

Ending function(CalcState& s, const Function& f) {
    const double v = entryValue(s);
    const Ending refused = refusal(f.op, v);
    if (refused != Ending::Normalise) return refused;
    s.value = f.result(v);
    startResultLine(s, f.label + generalForm(s.value).substr(0, f.cut));
    return Ending::Normalise;
}

Ending operate(CalcState& s, Op op, char c) {
    switch (op) {
        case Op::Type: typeCharacter(s, c); return Ending::DisplayRefresh;
        case Op::Delete: return deleteLast(s);
        case Op::Clear:
            s.pendingOp = 0;
            s.entry.clear();
            s.value = 0;
            emptyRecord(s);
            return Ending::Normalise;
        case Op::Pi:
            s.entry = piText();
            ++s.n;
            current(s) += s.entry;
            return Ending::DisplayRefresh;
        case Op::Store: s.memory = s.entry; return Ending::Stored;
        case Op::Recall:
            s.entry = s.memory;
            s.value = entryValue(s);
            append(s, s.entry);
            return Ending::DisplayRefresh;
        case Op::SetOp: return setOperator(s, c);
        case Op::Percent: return percent(s);
        case Op::Equals: return equals(s);
        default: break;
    }
    for (const auto& f : kFunctions)
        if (f.op == op) return function(s, f);
    return Ending::Ignored;
}

}  // namespace

const std::string& line(const CalcState& s, int i) {
    static const std::string none;
    return i >= 1 && i <= kLastSlot ? s.lines[static_cast<size_t>(i)] : none;
}

void normalise(CalcState& s) {
    s.value = roundFixed(s.value);
    s.entry = generalForm(s.value);
}

bool rollOver(CalcState& s) {
    if (s.n <= kRollOverAfter) return false;
    emptyRecord(s);
    // A number being typed that reads as the normalised value stays as
    // typed: "5." must go on to 5.3, not to 53.
    const std::string typed = s.entry;
    normalise(s);
    if (readNumber(typed) == s.value) s.entry = typed;
    return true;
}

Ending apply(CalcState& s, Op op, char c) { return operate(s, op, c); }

std::string displayForm(CalcState& s) {
    std::string text = s.entry;
    const size_t zeros = text.find_first_not_of('0');
    text.erase(0, zeros == std::string::npos ? text.size() : zeros);
    if (text.size() > 17) text = scientificForm(s.value);
    s.value = readNumber(text);
    if (text.empty() || text == " ") text = "0";
    return text;
}

}  // namespace kestrel::calc
