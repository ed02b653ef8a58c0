#pragma once
// The calculator's operations: what each key does to the state and to the
// CalcBuffer record, and how it ends. No screen, no I/O.
#include <string>

#include "frame/calc_state.h"

namespace kestrel::calc {

enum class Op {
    Type, Delete, Clear, Pi, Store, Recall, SetOp, Percent, Equals,
    Reciprocal, Root, Square, Sin, Cos, Tan, ArcSin, ArcCos, ArcTan, ChangeSign,
};

// What the screen does after an operation.
enum class Ending {
    Ignored,         // nothing happened: the press is dropped
    DisplayRefresh,  // redraw the display
    Normalise,       // unmark the keys, normalise, redraw the display
    Poll,            // an operator was chosen: mark its key, next pass
    Stored,          // memory stored: mark the M key
    Error,           // the error notice; nothing else changed
};

// Carries out one operation. `c` is the character typed or the operator.
// The record is not rolled over here: the screen does that at the start of
// its next pass, once the display has re-read the value it shows. Until then
// N may stand up to three lines past the roll-over point; every line access
// is clamped to the last slot.
Ending apply(CalcState& s, Op op, char c = 0);

// The current value rounded to 16 places; the entry becomes its general form.
void normalise(CalcState& s);

// The text the display shows for the entry; sets the current value to it.
std::string displayForm(CalcState& s);

// Past line 999 the record is emptied, N becomes 1 and the state is
// normalised, keeping an entry text that already reads as its value (a
// number being typed, such as "5."). True when it happened.
bool rollOver(CalcState& s);

// Record line i, or an empty text for an index outside the slots.
const std::string& line(const CalcState& s, int i);

}  // namespace kestrel::calc
