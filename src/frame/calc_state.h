#pragma once
// The calculator's whole state. It lives in App for the run of the program
// and survives leaving and entering the calculator panel.
#include <string>
#include <vector>

namespace kestrel::calc {

// CalcBuffer slots 0 to 1001; slot 0 is never used.
constexpr int kLastSlot = 1001;
// A record line is continued on the next line before it reaches this length.
constexpr int kLineLimit = 18;
// Past this line index the record starts over.
constexpr int kRollOverAfter = 999;

struct CalcState {
    std::string entry;     // the number being typed, or the last result
    double value = 0;      // the current value
    double first = 0;      // the operand taken when an operator was chosen
    char pendingOp = 0;    // 0 or one of + - * /
    std::string memory;    // a copy of an earlier entry text
    std::vector<std::string> lines = std::vector<std::string>(kLastSlot + 1);
    int n = 1;             // the current record line
};

}  // namespace kestrel::calc
