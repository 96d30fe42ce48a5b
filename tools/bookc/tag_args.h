// The arguments of one tag of the markup, read the way the book compiler
// accepts them: the objects it reads (held flag or value), the object it
// writes, where it leads, its chances and its answers. The compiler's checks
// and the explorer's reading of a book take a tag's arguments from here; what
// each letter does is a column of the markup's tag table (script/tags.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/tags.h"
#include "tools/bookc/bookc.h"

namespace bookc {

// One of an object's two state bytes: its held flag or its value.
struct ObjectByte {
    int object = 0;
    bool held = false;
    bool operator==(const ObjectByte&) const = default;
};

// One test of a condition: `X %o` (op 'X'), or `%o = v`, `%o x v`, `%o y v`
// where v is a number or another object's value `%m`.
struct ConditionTest {
    char op = 'X';
    int object = 0;
    int number = 0;
    int other = -1;        // m of `%m`, else -1
    bool negated = false;  // under a `!`, its own or a group's
};

// A hotword's face: a quoted label, a picture ($i) or an object's value (%o).
struct Face {
    char kind = 0;  // '"', '$' or '%'; 0 for none
    std::string label;
    int number = -1;  // the image or the object
};

struct TagArgs {
    const TagInfo* tag = nullptr;
    int number = -1;  // A V v W: the number; s u: the checkpoint slot
    int object = -1;  // N Q R r l: the object the tag names first
    // R r: what is stored or added.
    enum class Value { None, Number, Object, Draw } value = Value::None;
    int amount = 0;         // the number, or the object whose value is taken
    bool subtract = false;  // `-%m`: r subtracts the object's value
    // The tag makes a choice on the page: what it does waits for the click.
    bool hotword = false;
    Face face;
    std::vector<int> chances;          // L d: each outcome's chance, as written
    std::vector<std::string> answers;  // S
    // Where it leads, as written (paragraph numbers minus one), in the order
    // written: for L d S the outcomes' and answers' targets, then the one
    // taken otherwise.
    std::vector<int> targets;
    std::vector<ConditionTest> tests;  // O o
    int operators = 0;                 // O o: the `!`, `&` and `|`
    int nesting = 0;                   // O o: how many groups hold groups, one inside another
    // O o: true exactly when every test is (negated where marked): no `|`,
    // and no `!` before a group of tests.
    bool conjunction = true;

    // The object bytes the engine reads carrying the tag out, in the order
    // written: tests, a value taken from an object, an object's own value it
    // adds to, a face or a value shown.
    std::vector<ObjectByte> Reads() const;
};

// Reads a tag's text between `<` and `>`, its letter first. Nothing when the
// letter is not in the table or the arguments are not of its shape.
std::optional<TagArgs> ReadTagArgs(std::string_view tag);

// A paragraph's markup: its words, each followed by one space.
std::string ParagraphText(const Paragraph& paragraph);

// A tag of a paragraph's markup: where its `<` and `>` stand, how many blocks
// hold it, and its arguments (none for a tag the compiler refuses).
struct TagAt {
    size_t open, close;
    int depth;
    std::optional<TagArgs> args;
    const TagInfo* Info() const { return args ? args->tag : nullptr; }
};
std::vector<TagAt> TagsOf(const std::string& text);

}  // namespace bookc
