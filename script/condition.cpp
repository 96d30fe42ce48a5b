// Condition expressions of the conditional tags: one pass over the command
// with an operand stack and an operator stack, combining tests from left to
// right and short-circuiting `&` and `|` by skipping the next group.

#include "base/report_error.h"
#include "book/state.h"
#include "script/engine.h"

Operand operandStack[STACK_SIZE];
int16_t operandCount = 0;
Operator operatorStack[STACK_SIZE];
int16_t operatorCount = 0;

namespace {

int16_t depth = 0;
bool afterComparison = false;

Operand* TopOperand() {
    return operandCount > 0 ? &operandStack[operandCount - 1] : nullptr;
}
const Operator* TopOperator() {
    return operatorCount > 0 ? &operatorStack[operatorCount - 1] : nullptr;
}

}  // namespace

// A push onto a full stack is reported and dropped.
void PushOperand(int32_t value, int kind) {
    if (operandCount >= STACK_SIZE) {
        ReportError("Operands stack overflow");
        return;
    }
    operandStack[operandCount++] = {value, kind};
    if (operandCount >= STACK_SIZE) ReportError("Operands stack overflow");
}

void PushOperator(char op) {
    if (operatorCount >= STACK_SIZE) {
        ReportError("Operators stack overflow");
        return;
    }
    operatorStack[operatorCount++] = {op, depth};
    if (operatorCount >= STACK_SIZE) ReportError("Operators stack overflow");
}

static const Operand& PopOperandEntry() {
    if (operandCount == 0) {
        ReportError("Can't remove an operand from an empty stack!");
        return operandStack[0];
    }
    return operandStack[--operandCount];
}

int32_t PopOperand() {
    return PopOperandEntry().value;
}

int32_t PopOperandValue() {
    const Operand& entry = PopOperandEntry();
    return entry.kind == ObjectReference ? ObjectValue(entry.value) : entry.value;
}

void PopOperator() {
    if (operatorCount == 0) {
        ReportError("Can't remove an operator from an empty stack!");
        return;
    }
    --operatorCount;
}

// Moves commandPos over one parenthesised group, stopping on (not past) the
// `)` that closes it, or at the terminator.
void SkipOperandGroup(int16_t level) {
    int count = level;
    for (char c; (c = CommandAt(commandPos)) != '\0'; ++commandPos) {
        if (c == '(') {
            ++count;
        } else if (c == ')') {
            if (--count == level) return;
        }
    }
}

namespace {

void ApplyTest(const Operator& top) {
    if (top.op == '=' || top.op == 'x' || top.op == 'y') {
        const char op = top.op;
        PopOperator();
        const int32_t v = PopOperandValue();
        const int32_t n = PopOperand();
        const int32_t value = ObjectValue(n);
        const bool truth = op == '=' ? value == v : op == 'x' ? value > v : value < v;
        PushOperand(truth ? 1 : 0, TruthValue);
    } else if (top.op == 'X') {
        PopOperator();
        const int32_t n = PopOperand();
        PushOperand(static_cast<int8_t>(ObjectHeld(n)), TruthValue);
    }
}

void CloseParenthesis() {
    if (const Operator* top = TopOperator(); top && top->depth == depth) ApplyTest(*top);
    --depth;
    while (const Operator* top = TopOperator()) {
        if (top->depth != depth) break;
        if (top->op == '!') {
            PopOperator();
            if (Operand* operand = TopOperand()) operand->value = operand->value == 0 ? 1 : 0;
        } else if (top->op == '&' || top->op == '|') {
            const char op = top->op;
            PopOperator();
            const int8_t b = static_cast<int8_t>(PopOperand());
            const int8_t a = static_cast<int8_t>(PopOperand());
            PushOperand(op == '&' ? (a && b) : (a || b), TruthValue);
        } else {
            // A test left open below this level: malformed, and nothing here
            // can close it, so stop rather than loop.
            break;
        }
    }
}

}  // namespace

uint8_t EvaluateCondition() {
    operandCount = 0;
    operatorCount = 0;
    depth = 0;
    afterComparison = false;
    commandPos = commandBuffer[1] == ' ' ? 2 : 1;

    for (char c; (c = CommandAt(commandPos)) != '\0';) {
        ++commandPos;
        switch (c) {
            case '(':
                ++depth;
                break;
            case '!':
                PushOperator('!');
                break;
            case '%':
                if (afterComparison && TopOperand())
                    TopOperand()->kind = ObjectReference;
                else
                    PushOperand(0, ObjectReference);
                break;
            case '=':
            case 'x':
            case 'y':
                PushOperator(c);
                PushOperand(0, NumberLiteral);
                afterComparison = true;
                break;
            case 'X':
                PushOperator('X');
                break;
            case '&': {
                const Operand* top = TopOperand();
                if (!top || top->value == 0)
                    SkipOperandGroup(depth);
                else
                    PushOperator('&');
                break;
            }
            case '|': {
                const Operand* top = TopOperand();
                if (top && top->value != 0)
                    SkipOperandGroup(depth);
                else
                    PushOperator('|');
                break;
            }
            case ')':
                CloseParenthesis();
                break;
            default:
                if (c >= '0' && c <= '9') {
                    // A digit before any operand has nothing to fill in.
                    if (Operand* top = TopOperand())
                        top->value = static_cast<int32_t>(static_cast<uint32_t>(top->value) * 10u +
                                                          static_cast<uint32_t>(c - '0'));
                    afterComparison = false;
                }
                break;
        }
    }
    ++commandPos;
    const Operand* top = TopOperand();
    return top ? static_cast<uint8_t>(top->value & 0xff) : 0;
}
