// Every refusal of the compiler, each proven by a broken snippet and the exact
// message it must give (the limits' own refusals with the limits, each beside
// the longest text it accepts), and a book using every tag form that must pass.
#include <gtest/gtest.h>

#include "tools/bookc/bookc.h"

namespace {

// Lines 1-8 of every test book; `head` lines follow from line 9, then the
// paragraphs below, with `body` after paragraph 2's title (line 15 when
// `head` is empty).
const char* const kTables =
    "paragraphs 60\n"
    "object 0 \"Lamp\" text \"unlit\" \"lit\" info 12\n"
    "object 1 \"Count\" number 10\n"
    "object 2 \"Map\" image 0 1\n"
    "checkpoint 0 \"Gate\" page 48\n"
    "image 0 1100\n"
    "image 1 1701\n"
    "sound 0 BELL\n";
const char* const kParagraphs =
    "@12\n"
    "<H>Lamp<J><G>\n"
    "@48\n"
    "<H>Road<J><G>\n"
    "@2\n"
    "<H>Start<J>\n";

std::string BookWith(const std::string& head, const std::string& body) {
    std::string text = kTables + head;
    if (!head.empty() && head.back() != '\n') text += '\n';
    return text + kParagraphs + body + "\n<G>\n";
}

std::string FirstError(const std::string& text) {
    bookc::CompileResult r = bookc::Compile({{"t.book", text}});
    if (r.ok) return "(accepted)";
    return r.errors[0].Format();
}

struct Refusal {
    std::string head;
    std::string body;
    std::string expected;
};

TEST(Refusals, EachBrokenSnippetGivesItsMessage) {
    const Refusal cases[] = {
        // Directives.
        {"bogus 1", "", "t.book:9: unknown directive 'bogus'"},
        {"\"title\" x", "", "t.book:9: a directive starts with its keyword"},
        {"title \"a\"\ntitle \"b\"", "", "t.book:10: 'title' written twice (first at t.book:9)"},
        {"title x", "", "t.book:9: 'title' takes one quoted text"},
        {"support \"a\" \"b\"", "", "t.book:9: 'support' takes one quoted text"},
        {"title \"unterminated", "",
         "t.book:9:7: unterminated quote: this quote has no closing quote on its line"},
        {"title\"x\"", "", "t.book:9: a blank must come before a quoted text"},
        {"title \"x\"y", "", "t.book:9: a blank must follow the quoted text \"x\""},
        {"paragraphs 70", "", "t.book:9: 'paragraphs' written twice (first at t.book:1)"},
        {"title-image", "", "t.book:9: 'title-image' takes one image number"},
        {"presents-image 5", "", "t.book:9: presents-image 5 is not in the image table (2 images)"},
        {"object 3 \"X\" flag", "", "t.book:9: unknown object kind 'flag' (text, number or image)"},
        {"object 3", "", "t.book:9: object takes a number, a quoted name and a kind"},
        {"object 1 \"Again\" text", "", "t.book:9: object 1 written twice (first at t.book:3)"},
        {"object -1 \"X\" text", "", "t.book:9: bad object number '-1' (0 to 36)"},
        {"object 4 \"Gap\" text", "", "t.book:9: object 3 is missing (objects run 0 to 4)"},
        {"object 3 \"N\" number 0", "", "t.book:9: a number object needs its COUNT (1 to 32767)"},
        {"object 3 \"N\" number 5 held", "",
         "t.book:9: a number object keeps its held flag in its value: use 'start'"},
        {"object 3 \"T\" text \"a\" \"b\" start 2", "",
         "t.book:9: start 2 is outside the object's list (0 to 1)"},
        {"object 3 \"T\" text start 1", "",
         "t.book:9: start 1 is outside the object's list (0 to 0)"},
        {"object 3 \"T\" text info 99", "", "t.book:9: info page 99 is outside the book (1 to 60)"},
        {"object 3 \"I\" image 0 7", "",
         "t.book:9: object image 7 is not in the image table (2 images)"},
        {"object 3 \"T\" text \"a\" sparkle", "", "t.book:9: unexpected 'sparkle' in object"},
        {"object 3 \"T\" text held held", "", "t.book:9: unexpected 'held' in object"},
        {"object 3 \"T\" text min", "", "t.book:9: 'min' needs a number"},
        {"checkpoint 1 \"X\" page 0", "",
         "t.book:9: checkpoint page 0 is outside the book (1 to 60)"},
        {"checkpoint 1 \"X\" 48", "",
         "t.book:9: checkpoint takes a number, a quoted place and 'page P'"},
        {"checkpoint 3 \"X\" page 2", "",
         "t.book:9: checkpoint 1 is missing (checkpoints run 0 to 3)"},
        {"image 3 1702", "", "t.book:9: image 2 is missing (images run 0 to 3)"},
        {"image 2 70000", "", "t.book:9: bad image value '70000' (0 to 65535)"},
        {"image 2 1 2", "", "t.book:9: image takes a number, a resource id and optionally W H"},
        {"image 1 1702", "", "t.book:9: image 1 written twice (first at t.book:7)"},
        {"sound 1 BE-LL", "",
         "t.book:9: sound takes a number and a name of letters, digits and '_'"},
        {"sound 2 DOOR", "", "t.book:9: sound 1 is missing (sounds run 0 to 2)"},
        {"title \"caf\xC3\xA9\"", "", "t.book:9:11: character U+00E9 is not printable ASCII"},
        {"title \xE2\x80\x9C"
         "Fen\xE2\x80\x9D",
         "", "t.book:9:7: curly quote (U+201C): write a straight \" instead"},
        {"ending 48 fine \"Road\"", "",
         "t.book:9: ending takes a paragraph number, good or bad, and a quoted name"},
        {"ending 50 good \"Mill\"", "",
         "t.book:9: ending 50 is not a written paragraph of the book"},
        {"ending 48 good \"A\"\nending 48 bad \"B\"", "",
         "t.book:10: ending 48 written twice (first at t.book:9)"},
        {"part \"A\"\npart \"B\"", "", "t.book:10: 'part' written twice in one file"},
        // Paragraph lines.
        {"@61", "", "t.book:9: paragraph 61 is outside the book (1 to 60)"},
        {"@0", "", "t.book:9: paragraph 0 is outside the book (1 to 60)"},
        {"@12", "", "t.book:10: paragraph 12 written twice (first at t.book:9)"},
        {"@x", "", "t.book:9: bad paragraph line '@x' (write @ and a number)"},
        {"@50 The Mill", "", "t.book:9: bad paragraph line '@50 The Mill' (write @ and a number)"},
        // A paragraph's frame.
        {"@50\nno title <G>", "",
         "t.book:10: a paragraph with text must start with its title <H>...<J>"},
        {"@50\n<H>x<J>\nend", "", "t.book:11: a paragraph with text must end with <G>"},
        {"", "<H>t", "t.book:16: title not closed with <J>"},
        {"", "<J>", "t.book:15: <J> without <H>"},
        {"", "<H>t <l %2><J>", "t.book:15: images not allowed in title"},
        // A broken line: the first message names it, not what follows from it.
        {"", "say \"hello\nthere <M \"on\" 47>",
         "t.book:15:5: stray quote: quotes come in pairs, and this one has no partner"},
        {"", "<M \"on 47> <M \"back\" 47>",
         "t.book:15:4: stray quote: the text this quote opens in its tag is not closed before "
         "the '>'"},
        {"", "\x01", "t.book:15:1: character 0x01 is not printable ASCII"},
        {"", "It\xE2\x80\x99s",
         "t.book:15:3: curly apostrophe (U+2019): write a straight ' instead"},
        {"", "<G>\ntitle \"late\"",
         "t.book:16:1: directive 'title' after the paragraphs: directives come before the first @ "
         "line of their file"},
        // Tags and their arguments.
        {"", "<Z>", "t.book:15: unknown tag <Z>"},
        {"", "<>", "t.book:15: empty tag <>"},
        {"", "<B x>", "t.book:15: bad tag <B x>: write <B> without arguments"},
        {"", "<a 1>", "t.book:15: bad tag <a 1>: write <a> without arguments"},
        {"", "<Ax>", "t.book:15: bad tag <Ax>: write <A n>"},
        {"", "<A 3>", "t.book:15: sound 3 is not in the sound table (1 sounds)"},
        {"", "<V 2>", "t.book:15: image 2 is not in the image table (2 images)"},
        {"", "<v -1>", "t.book:15: bad tag <v -1>: write <v n>"},
        {"", "<W 3>", "t.book:15: alignment 3 (0, 1 or 2)"},
        {"", "<n 60>", "t.book:15: target 60 leads to paragraph 61, outside the book (1 to 60)"},
        {"", "<p 49>", "t.book:15: target 49 leads to paragraph 50, which is not written"},
        {"", "<p>", "t.book:15: bad tag <p>: write <p t>"},
        {"", "<M \"Go\" 47\n", "t.book:15: unterminated tag <M \"Go\" 47"},
        {"", "<M Go 47>",
         "t.book:15: bad tag <M Go 47>: write <M \"label\" t>, <M $image t> or <M %object t>"},
        {"", "<g \"Go\">",
         "t.book:15: bad tag <g \"Go\">: write <g \"label\" t>, <g $image t> or <g %object t>"},
        {"", "<m \"Go\" 47 x>",
         "t.book:15: bad tag <m \"Go\" 47 x>: write <m \"label\" t>, <m $image t> or <m %object "
         "t>"},
        {"", "<M $5 47>", "t.book:15: image 5 is not in the image table (2 images)"},
        {"", "<M %9 47>", "t.book:15: object 9 is not in the object table (3 objects)"},
        {"", "<N %0 \"x\">", "t.book:15: bad tag <N %0 \"x\">: write <N %o> or <N %o \"label\" t>"},
        {"", "<Q 0>", "t.book:15: bad tag <Q 0>: write <Q %o> or <Q %o \"label\" t>"},
        {"", "<N %3>", "t.book:15: object 3 is not in the object table (3 objects)"},
        {"", "<R %1 abc>", "t.book:15: bad tag <R %1 abc>: write <R %o v> or <R %o v \"label\" t>"},
        {"", "<r %1 z>", "t.book:15: bad tag <r %1 z>: write <r %o v> or <r %o v \"label\" t>"},
        {"", "<R %1 -%7>", "t.book:15: object 7 is not in the object table (3 objects)"},
        {"", "<R %1 2 \"go\" 60>",
         "t.book:15: target 60 leads to paragraph 61, outside the book (1 to 60)"},
        {"", "<L \"x\" (5) 47 (5) 47 11>",
         "t.book:15: <L> takes one chance: use <d> for more outcomes"},
        {"", "<L x (5) 47 11>",
         "t.book:15: bad tag <L x (5) 47 11>: write <L \"label\" (chance) t1 t2>"},
        {"", "<d \"x\" (10) 47 (10) 47 (10) 47 (10) 47 11>",
         "t.book:15: <d> takes at most three chances"},
        {"", "<d \"x\" (10) 47>",
         "t.book:15: bad tag <d \"x\" (10) 47>: write <d \"label\" (c1) t1 [(c2) t3 [(c3) t4]] "
         "t2>"},
        {"", "<S yes 47 11>",
         "t.book:15: bad tag <S yes 47 11>: write <S (a1) t1 [(a2) t3 [(a3) t4]] t2>"},
        {"", "<S (a) 47 (b) 47 (c) 47 (d) 47 11>", "t.book:15: <S> takes at most three answers"},
        {"", "<S (a) 47 (b) 47 59>",
         "t.book:15: target 59 leads to paragraph 60, which is not written"},
        {"", "<O (X %5)>{ }", "t.book:15: object 5 is not in the object table (3 objects)"},
        {"", "<O (X %0)>{ }<o (%0 = %4)>{ }",
         "t.book:15: object 4 is not in the object table (3 objects)"},
        {"", "<O (X 0)>{ }",
         "t.book:15: bad tag <O (X 0)>: write <O (X %o)>, <O (%o = v)> joined by & and |, "
         "each test after an optional !"},
        {"", "<O (%0 = -1)>{ }",
         "t.book:15: bad tag <O (%0 = -1)>: write <O (X %o)>, <O (%o = v)> joined by & and |, "
         "each test after an optional !"},
        {"", "<O (X %0)>{ }<o (X %0) &>{ }",
         "t.book:15: bad tag <o (X %0) &>: write <o (X %o)>, <o (%o = v)> joined by & and |, "
         "each test after an optional !"},
        {"", "<O>{ }",
         "t.book:15: bad tag <O>: write <O (X %o)>, <O (%o = v)> joined by & and |, "
         "each test after an optional !"},
        {"", "<O ((X %0) & (X %1) & (X %0) & (X %1) & (X %0))>{ }",
         "t.book:15: nested condition with 5 tests and 9 operators (at most 4 and 9 when groups "
         "nest)"},
        {"", "<O (!(X %0) & !(X %1) & !(X %0) & !(X %1))>{ }",
         "t.book:15: nested condition with 4 tests and 11 operators (at most 4 and 9 when groups "
         "nest)"},
        {"", "<E>{ a }", "t.book:15: <E> without an <O> before it: its block is never shown"},
        {"", "<o (X %0)>{ a }",
         "t.book:15: <o> without an <O> before it: its block is never shown"},
        {"", "<s *1>", "t.book:15: checkpoint 1 is not in the checkpoint table (1 checkpoints)"},
        {"", "<s 0>", "t.book:15: bad tag <s 0>: write <s *k>"},
        {"", "<u *0>{ }", "t.book:15: bad tag <u *0>: write <u *k \"label\">"},
        {"", "<u *2 \"x\">{ }",
         "t.book:15: checkpoint 2 is not in the checkpoint table (1 checkpoints)"},
        {"", "<l 0>", "t.book:15: bad tag <l 0>: write <l %o>"},
        // Blocks.
        {"", "<O (X %0)> x{ }", "t.book:15: <O> must be followed by its { } block"},
        {"", "<O (X %0)>{ }<E>", "t.book:15: <E> must be followed by its { } block"},
        {"", "<u *0 \"Back\">\nplace", "t.book:15: <u> must be followed by its { } block"},
        {"", "{ }", "t.book:15: '{' without a conditional tag in front of it"},
        {"", "}", "t.book:15: '}' without its '{'"},
        {"", "a > b", "t.book:15: '>' outside a tag"},
        {"", "<O (X %0)>{ open", "t.book:15: unterminated block: '{' without its '}'"},
        {"", "<O (X %0)>\n{ <O (X %0)>{ a } }",
         "t.book:16: the block holds inner blocks: its skip count is 0, counts from 16 to 17 "
         "work"},
        {"", "<O (X %0)> 15{ <O (X %0)>{ a } }",
         "t.book:15: the block holds inner blocks: its skip count is 15, counts from 16 to 17 "
         "work"},
        {"", "<O (X %0)> 9{ a }",
         "t.book:15: skip count 9 jumps past the end of the block (counts from 0 to 3 work)"},
    };
    for (const Refusal& c : cases)
        EXPECT_EQ(FirstError(BookWith(c.head, c.body)), c.expected)
            << "head: " << c.head << "\nbody: " << c.body;
}

// Each limit: a body exactly at it is accepted, one character more is refused.
TEST(Refusals, LimitsAreInclusive) {
    auto paragraph = [](int lastWord) {
        // 12 characters of title, 13 words of 100, one more word, 4 of <G>.
        std::string body;
        for (int i = 0; i < 13; ++i) body += std::string(99, 'a') + " ";
        return body + std::string(lastWord, 'b');
    };
    auto tag = [](int tests9, int tests11) {
        std::string t = "<O (X %0)";
        for (int i = 0; i < tests9; ++i) t += " & (X %0)";
        for (int i = 0; i < tests11; ++i) t += " & (%0 = 1)";
        return t + ">{ }";
    };
    auto title = [](int extra) {
        std::string t = "<H>";
        for (int i = 0; i < 29; ++i) t += "aaaaaaaaa ";
        return t + std::string(8 + extra, 'a') + " <J>";
    };
    auto hotwords = [](int n) {
        std::string t;
        for (int i = 0; i < n; ++i) t += "<M \"a\" 47> ";
        return t;
    };
    struct Limit {
        std::string atLimit, overLimit, message;
    };
    const Limit limits[] = {
        {paragraph(61), paragraph(62),
         "t.book:13: paragraph 2 has 1379 characters of text (at most 1378)"},
        {std::string(299, 'w'), std::string(300, 'w'),
         "t.book:15: word of 300 characters (at most 299): " + std::string(40, 'w') + "..."},
        {"<M \"" + std::string(103, 'x') + "\" 47>", "<M \"" + std::string(104, 'x') + "\" 47>",
         "t.book:15: button text of 104 characters (at most 103)"},
        {"<S (" + std::string(19, 'x') + ") 47 11>", "<S (" + std::string(20, 'x') + ") 47 11>",
         "t.book:15: answer \"" + std::string(20, 'x') + "\" has 20 characters (at most 19)"},
        {tag(41, 2), tag(35, 7), "t.book:15: tag of 400 characters (at most 399)"},
        {title(0), title(1), "t.book:15: title of up to 300 characters (at most 299)"},
        {hotwords(99), hotwords(100), "t.book:15: more than 99 hotwords in one paragraph"},
        {"<L \"x\" (20) 47 11>", "<L \"x\" (21) 47 11>",
         "t.book:15: chance 21 of <L> is out of 20 (0 to 20)"},
        {"<d \"x\" (50) 47 (50) 11 1>", "<d \"x\" (50) 47 (51) 11 1>",
         "t.book:15: the chances of <d> add up to 101 (at most 100)"},
        {"<O ((((X %0))))>{ }", "<O (((((X %0)))))>{ }", "t.book:15: condition nested too deeply"},
    };
    for (const Limit& l : limits) {
        EXPECT_EQ(FirstError(BookWith("", l.atLimit)), "(accepted)") << l.atLimit;
        EXPECT_EQ(FirstError(BookWith("", l.overLimit)), l.message) << l.overLimit;
    }
}

TEST(Refusals, BookWithoutItsSize) {
    EXPECT_EQ(FirstError("object 0 \"A\" text\n@2\n<H>x<J><G>\n"),
              "t.book:1: the book needs 'paragraphs N'");
    bookc::CompileResult none = bookc::Compile({});
    ASSERT_FALSE(none.ok);
}

TEST(Refusals, ErrorsAreReportedInSourceOrderAcrossFiles) {
    bookc::CompileResult r = bookc::Compile({
        {"a.book", "paragraphs 9\n@2\n<H>x<J><Q><G>\n"},
        {"b.book", "sound 0 A\n@3\n<H>y<J><A 1><G>\n"},
    });
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(r.errors[0].Format(), "a.book:3: bad tag <Q>: write <Q %o> or <Q %o \"label\" t>");
    EXPECT_EQ(r.errors[1].Format(), "b.book:3: sound 1 is not in the sound table (1 sounds)");
}

TEST(Refusals, EveryWellFormedTagIsAccepted) {
    const char* const good[] = {
        "<B>bold<D> <C> <F> <G> <I> <K> <P> <T> <U> <Y> <a> <s *0 >",
        "<A0> <A 0> <V 1> <v 0> <W 0> <W 2> <n 47> <p1> <n 5> <p 6>",
        "<M \"Go on\" 47> <g $1 47> <m %0 11> <M\"x\"47> <M \"\" 47>",
        "<N %0> <N %0 > <Q %2> <N %0 \"take\" 47> <Q %1 $0 11> <N %0\"x\" 47>",
        "<R %1 3> <R %1 -3> <R %1 +2> <R %1 %0> <R %1 -%0> <R %1 z> <r %1 -%0> <r %1 -2 \"x\" 47>",
        "<L \"flip\" (12) 47 11> <d \"roll\" (30) 47 (50) 11 (20) 1 47> <d \"r\" (100) 47 11>",
        "<S (yes) 47 11> <S (two words) 47 (no) 11 (maybe) 1 47> <S () 47 11>",
        "<O (X %0) & !(%1 = 1) >{ a }<o (%1 x %0)>{ b }<o !(X %2) | (%1 y 3)>{ c }<E>{ d }",
        "<O ((X %0) & (X %1)) | !((%1 = 2))>{ nested }",
        "<O (X %0) & (X %1) & (X %0) & (X %1) & (X %0) & (X %1) & (X %0) & (X %1) & (X %2)>{ }",
        "<O (X %0)> 16{ <O (X %0)>{ a } }<O (X %0)> 17{ <O (X %0)>{ a } }",
        "<O (X %0)>{ inner blocks of a true block need no count }<E> 3{ a }",
        "<u *0 \"Back to\">{<U>} <u *0 \"x\" >{ }",
        "<H>A title with <l %0> and <a> <l %1><J> <l %2>",
        "\"quoted <B>bold<D> text\" and \"<M \"a\" 47>\"",
    };
    for (const char* body : good) {
        bookc::CompileResult r = bookc::Compile({{"t.book", BookWith("", body)}});
        EXPECT_TRUE(r.ok) << body << "\n" << (r.ok ? "" : r.errors[0].Format());
    }
}

}  // namespace
