// The calculator on any key stream: each byte picks one of its operations
// (the keyboard's and the keypad's, the Arc functions too), and the ending is
// carried out as the panel does. The record line never passes its roll-over
// point, the record keeps its slots, and the display text fits the display's
// 18 cells right of its left edge.
#include <cstdint>
#include <string>
#include <vector>

#include "calc/calc_keypad.h"
#include "calc/calc_ops.h"
#include "fuzz_check.h"

using namespace kestrel::calc;

namespace {

constexpr size_t kDisplayCells = 18;

std::vector<Command> allOperations() {
    std::vector<Command> ops;
    for (const auto& k : kCalcKeys)
        if (k.command.act == Act::Operation) ops.push_back(k.command);
    for (const auto& k : kPadKeys)
        if (k.command.act == Act::Operation) ops.push_back(k.command);
    for (Op op : {Op::ArcSin, Op::ArcCos, Op::ArcTan}) ops.push_back(operation(op));
    return ops;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<Command> ops = allOperations();
    CalcState s;
    for (size_t i = 0; i < size; ++i) {
        const Command& c = ops[data[i] % ops.size()];
        const Ending e = apply(s, c.op, c.c);
        FUZZ_CHECK(s.n >= 1 && s.n <= kRollOverAfter);
        FUZZ_CHECK(s.lines.size() == static_cast<size_t>(kLastSlot) + 1);
        FUZZ_CHECK(s.lines[0].empty());
        if (e == Ending::Normalise) normalise(s);
        if (e == Ending::Normalise || e == Ending::DisplayRefresh || e == Ending::Error) {
            const std::string shown = displayForm(s);
            FUZZ_CHECK(!shown.empty() && shown.size() <= kDisplayCells);
        }
        for (int l = s.n - 5; l <= s.n; ++l) (void)line(s, l).substr(0, kLineLimit);
    }
    return 0;
}
