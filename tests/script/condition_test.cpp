#include <string>

#include "book/state.h"
#include "script/engine.h"
#include "support/engine_fixture.h"

namespace {

class Conditions : public EngineTest {
   protected:
    uint8_t Evaluate(const std::string& expression) { return Execute("O " + expression); }
};

constexpr int LAMP = 1, COINS = 2, ROPE = 5, COUNTER = 7;

TEST_F(Conditions, TestsAndFlatChains) {
    struct Case {
        const char* expression;
        int expected;
    };
    // Lamp held and lit (1), coins 4, rope current 2, counter 4, badge not held.
    const Case cases[] = {
        {"(X %1)", 1},
        {"(X %9)", 0},
        {"!(X %9)", 1},
        {"!(X %1)", 0},
        {"(%2 = 4)", 1},
        {"(%5 = 2)", 1},  // a text object compares its current position
        {"(%2 x 3)", 1},
        {"(%2 x 4)", 0},
        {"(%2 y 5)", 1},
        {"(%2 = %7)", 1},
        {"(%2 x %5)", 1},
        {"(%2 = -4)", 1},  // the minus is ignored
        {"(X %1) & !(%2 = 1)", 1},
        {"(X %1) & (X %9)", 0},
        {"(X %9) | (%2 = 4)", 1},
        {"(X %9) | (%9 = 2) | ! (%9 = 1)", 1},
        {"(X %1) | (X %9) & (X %9)", 0},  // left to right: (a | b) & c
        {"(X %9) & (X %1) | (X %1)", 1},
        {" ( X  %1 ) ", 1},
    };
    for (const Case& c : cases) {
        SetUp();
        SetObjectHeld(LAMP, true);
        SetObjectValue(LAMP, 1);
        SetObjectValue(COINS, 4);
        SetObjectValue(ROPE, 2);
        SetObjectValue(COUNTER, 4);
        EXPECT_EQ(Evaluate(c.expression), c.expected) << c.expression;
        EXPECT_EQ(lastCondition, c.expected) << c.expression;
        EXPECT_TRUE(Messages().empty()) << c.expression;
    }
}

TEST_F(Conditions, NumberObjectsCompareSignedAndHeldIsTheLowByte) {
    SetObjectValue(COUNTER, -1);
    EXPECT_EQ(Evaluate("(%7 y 0)"), 1);
    SetObjectValue(COUNTER, 0x100);
    EXPECT_EQ(Evaluate("(X %7)"), 0);
    SetObjectValue(COUNTER, 0x102);
    EXPECT_EQ(Evaluate("(X %7)"), 2);  // the held byte itself is the truth value
    EXPECT_EQ(Evaluate("!(X %7)"), 0);
}

// A right side read would overflow the operator stack: skipped, it reports nothing.
TEST_F(Conditions, ShortCircuitSkipsTheRightSide) {
    EXPECT_EQ(Evaluate("(X %1) & (!!!!!!!!!(X %2))"), 0);
    SetObjectHeld(LAMP, true);
    EXPECT_EQ(Evaluate("(X %1) | (!!!!!!!!!(X %2))"), 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Conditions, FullStacksAreReportedAtTheTenthPush) {
    Evaluate("((((((((((X %1))))))))))");
    EXPECT_TRUE(Messages().empty());
    SetUp();
    // Each open test leaves its object and its literal on the stack.
    Evaluate("(%1 = 1 (%1 = 1 (%1 = 1 (%1 = 1 (%1 = 1");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operands stack overflow"});
    EXPECT_EQ(operandCount, 10);
    SetUp();
    EXPECT_EQ(Evaluate("!!!!!!!!!(X %1)"), 1);  // nine negations of false
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operators stack overflow"});
}

TEST_F(Conditions, MalformedExpressionsStayInsideTheStacksAndEnd) {
    const char* expressions[] = {
        "12345",           // digits before any operand
        "(%1 = (X %2)))",  // closes with a comparison pending below
        ")))))",
        "&&&&||||!!!!!!!!!!!!",
        "(%1 = 1) = = = = = = = = = = = = = =",
        "%%%%%%%%%%%%%%%%%%%%",
        "(X %99999999999)",
        "(((((((((((((((((((((((((X %1",
        "!!!!!!!!!!!!!!!!!!(X %1)",
    };
    for (const char* expression : expressions) {
        SetUp();
        Evaluate(expression);
        EXPECT_LE(operandCount, 10) << expression;
        EXPECT_LE(operatorCount, 10) << expression;
        EXPECT_EQ(commandPos, static_cast<int16_t>(std::string(expression).size() + 3))
            << expression;
    }
    SetUp();
    EXPECT_EQ(Evaluate(""), 0);  // no operand: false
    EXPECT_EQ(Evaluate("12345"), 0);
}

TEST_F(Conditions, EmptyStackPopsAreReported) {
    Evaluate(")");  // nothing pending: no pop
    EXPECT_TRUE(Messages().empty());
    Evaluate("& (X %1)");  // & on an empty stack skips the group; ) then pops X
    EXPECT_TRUE(Messages().empty());
    Evaluate("(X )");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't remove an operand from an empty stack!"});
}

}  // namespace
