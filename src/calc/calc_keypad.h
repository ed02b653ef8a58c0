#pragma once
// The calculator panel's keypad, its three buttons and its keyboard keys, as
// tables. A press counts strictly inside a key's box.
#include "calc/calc_ops.h"

namespace kestrel::calc {

// What a press or a key does: one of the operations, or screen work.
enum class Act { Operation, View, Arc, Leave, Centre };

struct Command {
    Act act;
    Op op = Op::Type;
    char c = 0;
};

struct Box {
    int x1, y1, x2, y2;
    bool holdsStrictly(int x, int y) const { return x1 < x && x < x2 && y1 < y && y < y2; }
};

struct PadKey {
    const char* label;
    int labelX, labelY;
    Box box;
    int colour;  // the box's colour
    Command command;
};

constexpr Command operation(Op op, char c = 0) { return {Act::Operation, op, c}; }
constexpr Command typed(char c) { return {Act::Operation, Op::Type, c}; }
constexpr Command setOp(char c) { return {Act::Operation, Op::SetOp, c}; }

// In the order presses are tested, after the three buttons below the pad.
constexpr PadKey kPadKeys[] = {
    // label  label at    box                    colour  command
    {"M", 653, 130, {647, 124, 665, 148}, 12, operation(Op::Store)},
    {"R", 677, 130, {671, 124, 689, 148}, 12, operation(Op::Recall)},
    {"/x", 702, 130, {695, 124, 720, 148}, 13, operation(Op::Reciprocal)},
    {" x", 734, 130, {728, 124, 753, 148}, 13, operation(Op::Root)},
    {"x ", 766, 130, {761, 124, 784, 148}, 13, operation(Op::Square)},
    {"Arc", 653, 161, {647, 156, 681, 180}, 9, {Act::Arc}},
    {"Sin", 693, 161, {688, 156, 719, 180}, 6, operation(Op::Sin)},
    {"Cos", 726, 161, {721, 156, 752, 180}, 6, operation(Op::Cos)},
    {"Tan", 758, 161, {754, 156, 784, 180}, 6, operation(Op::Tan)},
    {"6", 653, 192, {647, 187, 665, 211}, 11, typed('6')},
    {"7", 677, 192, {671, 187, 689, 211}, 11, typed('7')},
    {"8", 701, 192, {695, 187, 713, 211}, 11, typed('8')},
    {"9", 725, 192, {719, 187, 737, 211}, 11, typed('9')},
    {"-", 749, 192, {743, 187, 761, 211}, 9, setOp('-')},
    {"/", 772, 192, {767, 187, 785, 211}, 9, setOp('/')},
    {"2", 653, 224, {647, 219, 665, 243}, 11, typed('2')},
    {"3", 677, 224, {671, 219, 689, 243}, 11, typed('3')},
    {"4", 701, 224, {695, 219, 713, 243}, 11, typed('4')},
    {"5", 725, 224, {719, 219, 737, 243}, 11, typed('5')},
    {"+", 749, 224, {743, 219, 761, 243}, 9, setOp('+')},
    {"*", 772, 224, {767, 219, 785, 243}, 9, setOp('*')},
    {"0", 653, 255, {647, 250, 665, 274}, 11, typed('0')},
    {"1", 677, 255, {671, 250, 689, 274}, 11, typed('1')},
    {".", 701, 255, {695, 250, 713, 274}, 11, typed('.')},
    {"+", 725, 253, {719, 250, 737, 274}, 9, operation(Op::ChangeSign)},  // "-" drawn below it
    {"%", 749, 255, {743, 250, 761, 274}, 9, operation(Op::Percent)},
    {"=", 772, 255, {767, 250, 785, 274}, 12, operation(Op::Equals)},
};

// The buttons below the keypad: drawn label and box, and the press area,
// which is not quite the box.
struct PanelButton {
    const char* label;
    int labelX, labelY;
    Box box;
    Box pressArea;
    Command command;
};

constexpr PanelButton kPanelButtons[] = {
    {" View  ", 642, 336, {645, 328, 686, 356}, {645, 328, 687, 357}, {Act::View}},
    {" Clear ", 695, 336, {695, 328, 749, 356}, {694, 327, 753, 357}, operation(Op::Clear)},
    {" PI ", 759, 336, {759, 328, 788, 356}, {759, 327, 792, 357}, operation(Op::Pi)},
};

// The keyboard, compared in upper case.
struct CalcKey {
    int key;
    Command command;
};

constexpr CalcKey kCalcKeys[] = {
    {27, {Act::Leave}},
    {'0', typed('0')}, {'1', typed('1')}, {'2', typed('2')}, {'3', typed('3')}, {'4', typed('4')},
    {'5', typed('5')}, {'6', typed('6')}, {'7', typed('7')}, {'8', typed('8')}, {'9', typed('9')},
    {'.', typed('.')},
    {8, operation(Op::Delete)},
    {'-', setOp('-')}, {'/', setOp('/')}, {'+', setOp('+')}, {'*', setOp('*')},
    {'%', operation(Op::Percent)},
    {'=', operation(Op::Equals)}, {13, operation(Op::Equals)},
    {'P', operation(Op::Pi)},
    {'C', operation(Op::Clear)},
    {'V', {Act::View}},
    {'@', {Act::Centre}},
    {'M', operation(Op::Store)},
    {'R', operation(Op::Recall)},
};

// The press areas of the Arc selection loop.
constexpr Box kArcCancelArea{648, 343, 679, 372};
constexpr Box kArcZeroArea{706, 343, 742, 372};

}  // namespace kestrel::calc
