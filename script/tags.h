#pragma once

// The markup's tags: each letter, the shape of its arguments, what it can
// change and the form the book compiler shows when they are written wrong.
// The compiler checks a tag by its shape; the engine's ExecuteTag (tags.cpp)
// carries out the letters listed here and passes over any other.

enum class TagShape {
    Bare,               // no arguments
    Number,             // <A n>: one number, one space allowed before it
    Arrow,              // <n t>: a target
    Hotword,            // <M "label" t>, <M $image t>, <M %object t>
    ObjectHotword,      // <N %o>, optionally followed by a hotword face and target
    SetValue,           // <R %o v>, optionally followed by a hotword face and target
    Chance,             // <L "label" (c) t1 t2>, <d ...>
    Answers,            // <S (a1) t1 ... t2>
    Condition,          // <O (...)>: tests joined by & and |
    ObjectValue,        // <l %o>
    SaveCheckpoint,     // <s *k>
    CheckpointHotword,  // <u *k "label">
};

// What carrying a tag out can change besides the page it builds, one bit
// each: the host tools read the table for it; the engine carries each
// letter out itself (tags.cpp).
enum TagEffect : unsigned {
    kShows = 1u << 0,    // text, a picture, a sound or layout, on this page only
    kBreaks = 1u << 1,   // ends the line: a line or paragraph break
    kCarries = 1u << 2,  // a flag a page hands on to the next: bold, title, the scanner's state
    kLeads = 1u << 3,    // may offer a way on: a hotword, chance, answer box, arrow or restore
    kGives = 1u << 4,    // sets an object's held flag, at once or when chosen
    kTakes = 1u << 5,    // clears an object's held flag, at once or when chosen
    kSets = 1u << 6,     // stores an object's value, at once or when chosen
    kAdds = 1u << 7,     // adds to an object's value, at once or when chosen
    kSaves = 1u << 8,    // saves a checkpoint
};

// A tag's place in a chain of conditions on the last result: <O> starts one,
// <o> goes on with it (tested only when nothing before it held), <E> ends it.
enum class Chain { None, If, ElseIf, Else };

struct TagInfo {
    char letter;
    TagShape shape;
    bool block;  // a { } block follows, shown or skipped by the tag's result
    Chain chain;
    unsigned effects;  // TagEffect bits
    const char* form;  // how to write it, for the compiler's messages
};

inline constexpr TagInfo kTags[] = {
    {'A', TagShape::Number, false, Chain::None, kShows, "<A n>"},
    {'B', TagShape::Bare, false, Chain::None, kCarries, "<B> without arguments"},
    {'C', TagShape::Bare, false, Chain::None, kShows, "<C> without arguments"},
    {'D', TagShape::Bare, false, Chain::None, kCarries, "<D> without arguments"},
    {'E', TagShape::Bare, true, Chain::Else, 0, "<E> without arguments"},
    {'F', TagShape::Bare, false, Chain::None, 0, "<F> without arguments"},
    {'G', TagShape::Bare, false, Chain::None, kCarries, "<G> without arguments"},
    {'H', TagShape::Bare, false, Chain::None, kCarries, "<H> without arguments"},
    {'I', TagShape::Bare, false, Chain::None, 0, "<I> without arguments"},
    {'J', TagShape::Bare, false, Chain::None, kShows | kCarries, "<J> without arguments"},
    {'K', TagShape::Bare, false, Chain::None, 0, "<K> without arguments"},
    {'L', TagShape::Chance, false, Chain::None, kLeads, "<L \"label\" (chance) t1 t2>"},
    {'M', TagShape::Hotword, false, Chain::None, kLeads,
     "<M \"label\" t>, <M $image t> or <M %object t>"},
    {'N', TagShape::ObjectHotword, false, Chain::None, kGives | kLeads,
     "<N %o> or <N %o \"label\" t>"},
    {'O', TagShape::Condition, true, Chain::If, 0,
     "<O (X %o)>, <O (%o = v)> joined by & and |, each test after an optional !"},
    {'P', TagShape::Bare, false, Chain::None, kShows | kBreaks, "<P> without arguments"},
    {'Q', TagShape::ObjectHotword, false, Chain::None, kTakes | kLeads,
     "<Q %o> or <Q %o \"label\" t>"},
    {'R', TagShape::SetValue, false, Chain::None, kSets | kLeads,
     "<R %o v> or <R %o v \"label\" t>"},
    {'S', TagShape::Answers, false, Chain::None, kLeads, "<S (a1) t1 [(a2) t3 [(a3) t4]] t2>"},
    {'T', TagShape::Bare, false, Chain::None, kShows, "<T> without arguments"},
    {'U', TagShape::Bare, false, Chain::None, kShows | kBreaks, "<U> without arguments"},
    {'V', TagShape::Number, false, Chain::None, kShows, "<V n>"},
    {'W', TagShape::Number, false, Chain::None, kShows, "<W n>"},
    {'Y', TagShape::Bare, false, Chain::None, 0, "<Y> without arguments"},
    {'a', TagShape::Bare, false, Chain::None, kShows, "<a> without arguments"},
    {'d', TagShape::Chance, false, Chain::None, kLeads,
     "<d \"label\" (c1) t1 [(c2) t3 [(c3) t4]] t2>"},
    {'g', TagShape::Hotword, false, Chain::None, kLeads,
     "<g \"label\" t>, <g $image t> or <g %object t>"},
    {'l', TagShape::ObjectValue, false, Chain::None, kShows, "<l %o>"},
    {'m', TagShape::Hotword, false, Chain::None, kLeads,
     "<m \"label\" t>, <m $image t> or <m %object t>"},
    {'n', TagShape::Arrow, false, Chain::None, kLeads, "<n t>"},
    {'o', TagShape::Condition, true, Chain::ElseIf, 0,
     "<o (X %o)>, <o (%o = v)> joined by & and |, each test after an optional !"},
    {'p', TagShape::Arrow, false, Chain::None, kLeads, "<p t>"},
    {'r', TagShape::SetValue, false, Chain::None, kAdds | kLeads,
     "<r %o v> or <r %o v \"label\" t>"},
    {'s', TagShape::SaveCheckpoint, false, Chain::None, kSaves, "<s *k>"},
    {'u', TagShape::CheckpointHotword, true, Chain::None, kLeads, "<u *k \"label\">"},
    {'v', TagShape::Number, false, Chain::None, kShows, "<v n>"},
};

// Whether the tag at most shows something on its page: text, pictures,
// sounds, layout, a condition, or nothing at all.
constexpr bool ShowsOnly(const TagInfo& tag) {
    return (tag.effects & ~(kShows | kBreaks)) == 0;
}

// The tag written with `letter`, or null for a letter the markup does not have.
constexpr const TagInfo* FindTag(char letter) {
    for (const TagInfo& t : kTags)
        if (t.letter == letter) return &t;
    return nullptr;
}
