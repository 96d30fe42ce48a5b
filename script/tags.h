#pragma once

// The markup's tags: each letter, the shape of its arguments and the form the
// book compiler shows when they are written wrong. The compiler checks a tag
// by its shape; the engine's ExecuteTag (tags.cpp) carries out the letters
// listed here and passes over any other.

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

struct TagInfo {
    char letter;
    TagShape shape;
    bool block;        // a { } block follows, shown or skipped by the tag's result
    const char* form;  // how to write it, for the compiler's messages
};

inline constexpr TagInfo kTags[] = {
    {'A', TagShape::Number, false, "<A n>"},
    {'B', TagShape::Bare, false, "<B> without arguments"},
    {'C', TagShape::Bare, false, "<C> without arguments"},
    {'D', TagShape::Bare, false, "<D> without arguments"},
    {'E', TagShape::Bare, true, "<E> without arguments"},
    {'F', TagShape::Bare, false, "<F> without arguments"},
    {'G', TagShape::Bare, false, "<G> without arguments"},
    {'H', TagShape::Bare, false, "<H> without arguments"},
    {'I', TagShape::Bare, false, "<I> without arguments"},
    {'J', TagShape::Bare, false, "<J> without arguments"},
    {'K', TagShape::Bare, false, "<K> without arguments"},
    {'L', TagShape::Chance, false, "<L \"label\" (chance) t1 t2>"},
    {'M', TagShape::Hotword, false, "<M \"label\" t>, <M $image t> or <M %object t>"},
    {'N', TagShape::ObjectHotword, false, "<N %o> or <N %o \"label\" t>"},
    {'O', TagShape::Condition, true,
     "<O (X %o)>, <O (%o = v)> joined by & and |, each test after an optional !"},
    {'P', TagShape::Bare, false, "<P> without arguments"},
    {'Q', TagShape::ObjectHotword, false, "<Q %o> or <Q %o \"label\" t>"},
    {'R', TagShape::SetValue, false, "<R %o v> or <R %o v \"label\" t>"},
    {'S', TagShape::Answers, false, "<S (a1) t1 [(a2) t3 [(a3) t4]] t2>"},
    {'T', TagShape::Bare, false, "<T> without arguments"},
    {'U', TagShape::Bare, false, "<U> without arguments"},
    {'V', TagShape::Number, false, "<V n>"},
    {'W', TagShape::Number, false, "<W n>"},
    {'Y', TagShape::Bare, false, "<Y> without arguments"},
    {'a', TagShape::Bare, false, "<a> without arguments"},
    {'d', TagShape::Chance, false, "<d \"label\" (c1) t1 [(c2) t3 [(c3) t4]] t2>"},
    {'g', TagShape::Hotword, false, "<g \"label\" t>, <g $image t> or <g %object t>"},
    {'l', TagShape::ObjectValue, false, "<l %o>"},
    {'m', TagShape::Hotword, false, "<m \"label\" t>, <m $image t> or <m %object t>"},
    {'n', TagShape::Arrow, false, "<n t>"},
    {'o', TagShape::Condition, true,
     "<o (X %o)>, <o (%o = v)> joined by & and |, each test after an optional !"},
    {'p', TagShape::Arrow, false, "<p t>"},
    {'r', TagShape::SetValue, false, "<r %o v> or <r %o v \"label\" t>"},
    {'s', TagShape::SaveCheckpoint, false, "<s *k>"},
    {'u', TagShape::CheckpointHotword, true, "<u *k \"label\">"},
    {'v', TagShape::Number, false, "<v n>"},
};

// The tag written with `letter`, or null for a letter the markup does not have.
constexpr const TagInfo* FindTag(char letter) {
    for (const TagInfo& t : kTags)
        if (t.letter == letter) return &t;
    return nullptr;
}
