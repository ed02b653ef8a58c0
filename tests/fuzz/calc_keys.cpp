// Any stream of calculator operations, one per pass as the panel takes them: the pass's roll-over brings
// the record line back, one operation moves it at most three lines; the display fits 18 cells.
#include "calc/calc_keypad.h"
#include "calc/calc_ops.h"
#include "fuzz_check.h"

using namespace kestrel::calc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<Command> ops = [] {
        std::vector<Command> all{operation(Op::ArcSin), operation(Op::ArcCos), operation(Op::ArcTan)};
        for (const auto& k : kCalcKeys) if (k.command.act == Act::Operation) all.push_back(k.command);
        for (const auto& k : kPadKeys) if (k.command.act == Act::Operation) all.push_back(k.command);
        return all;
    }();
    CalcState s;
    for (size_t i = 0; i < size; ++i) {
        rollOver(s);
        const int before = s.n;
        FUZZ_CHECK(before >= 1 && before <= kRollOverAfter);
        const Ending e = apply(s, ops[data[i] % ops.size()].op, ops[data[i] % ops.size()].c);
        FUZZ_CHECK(s.n >= 1 && s.n <= before + 3 && s.lines.size() == size_t{kLastSlot} + 1 && s.lines[0].empty());
        if (e == Ending::Normalise) normalise(s);
        if (e == Ending::Normalise || e == Ending::DisplayRefresh || e == Ending::Error)
            FUZZ_CHECK(!displayForm(s).empty() && displayForm(s).size() <= 18);
        for (int l = s.n - 5; l <= s.n; ++l) (void)line(s, l).substr(0, kLineLimit);  // the six lines shown
    }
    return 0;
}
