// The compiler's output: word cutting, the text store, the tables it writes,
// the story map and the command line.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "scratch_folder.h"
#include "tools/bookc/bookc.h"

namespace {

using bookc::CompileResult;
using bookc::TextTables;

CompileResult Build(const std::string& text) {
    return bookc::Compile({{"t.book", text}});
}

std::string ErrorsOf(const CompileResult& r) {
    std::string all;
    for (const auto& d : r.errors) all += d.Format() + "\n";
    return all;
}

std::vector<std::string> WordsOf(const TextTables& t, int paragraph) {
    const bookc::Row& row = t.rows.at(paragraph - 1);
    std::vector<std::string> words;
    for (int32_t i = row.firstWord; i < row.endWord; ++i)
        words.push_back(t.chunks.at(row.chunk).pool.c_str() + t.chunks[row.chunk].offsets.at(i));
    return words;
}

struct CutCase {
    const char* body;
    std::vector<std::string> words;
};

TEST(WordCutting, SplitsAtWhiteSpaceButKeepsQuotedTextWhole) {
    const CutCase cases[] = {
        {"one two\nthree", {"one", "two", "three"}},
        {"  lead\t\ttab  \n\n   end ", {"lead", "tab", "end"}},
        {"<M \"Go on\" 47>", {"<M", "\"Go on\"", "47>"}},
        {"say \"two  spaces\" here", {"say", "\"two  spaces\"", "here"}},
        {"\"across\nlines\"", {"\"across lines\""}},
        {"\"across\n   indent\"", {"\"across    indent\""}},
        {"x\"a b\"y z", {"x\"a b\"y", "z"}},
        {"\"\" a", {"\"\"", "a"}},
        {"a\n# a comment line\n  # another\nb", {"a", "b"}},
        {"a\r\nb\r", {"a", "b"}},
        {"\"tab\tinside\"", {"\"tab inside\""}},
    };
    for (const CutCase& c : cases) {
        CompileResult r = Build(std::string("paragraphs 60\n@48\n<H>X<J><G>\n@2\n<H>T<J>\n") +
                                c.body + "\n<G>\n");
        ASSERT_TRUE(r.ok) << c.body << "\n" << ErrorsOf(r);
        std::vector<std::string> expected = {"<H>T<J>"};
        expected.insert(expected.end(), c.words.begin(), c.words.end());
        expected.push_back("<G>");
        EXPECT_EQ(WordsOf(r.text, 2), expected) << c.body;
    }
}

TEST(TextStore, SharesWordsInOrderOfFirstUseAndPadsThePool) {
    CompileResult r = Build("paragraphs 60\n@2\n<H>T<J> a bb a <G>\n@48\n<H>X<J> bb ccc <G>\n");
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    ASSERT_EQ(r.text.chunks.size(), 1u);
    const bookc::Chunk& c = r.text.chunks[0];
    EXPECT_EQ(c.pool, std::string("<H>T<J>\0a\0bb\0<G>\0<H>X<J>\0ccc\0\0\0\0", 32));
    EXPECT_EQ(c.offsets, (std::vector<uint16_t>{0, 8, 10, 8, 13, 17, 10, 25, 13}));
    EXPECT_EQ(WordsOf(r.text, 2), (std::vector<std::string>{"<H>T<J>", "a", "bb", "a", "<G>"}));
    EXPECT_EQ(WordsOf(r.text, 48), (std::vector<std::string>{"<H>X<J>", "bb", "ccc", "<G>"}));
}

TEST(TextStore, PoolSizeIsAlwaysAMultipleOfFour) {
    for (const char* word : {"a", "ab", "abc", "abcd", "abcde"}) {
        CompileResult r = Build(std::string("paragraphs 9\n@2\n<H>T<J>") + word + "<G>\n");
        ASSERT_TRUE(r.ok) << ErrorsOf(r);
        const std::string& pool = r.text.chunks[0].pool;
        EXPECT_EQ(pool.size() % 4, 0u) << word;
        size_t used = std::string("<H>T<J><G>").size() + std::strlen(word) + 1;
        EXPECT_GE(pool.size(), used);
        EXPECT_LT(pool.size(), used + 4);
        EXPECT_EQ(pool.find_first_not_of('\0', used), std::string::npos) << word;
    }
}

TEST(TextStore, EmptyAndMissingParagraphs) {
    CompileResult r = Build("paragraphs 9\n@8\n# nothing but a comment\n\n@2\n<H>T<J><G>\n@9\n");
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    // paragraph, chunk, first word, end word
    for (const auto& [p, chunk, first, end] :
         std::vector<std::array<int, 4>>{{1, -1, 0, 0}, {8, 0, 0, 0}, {2, 0, 0, 1}, {9, 0, 1, 1}}) {
        const bookc::Row& row = r.text.rows[p - 1];
        EXPECT_EQ((std::array<int, 3>{row.chunk, row.firstWord, row.endWord}),
                  (std::array<int, 3>{chunk, first, end}))
            << p;
    }

    // A book of empty paragraphs still has a chunk for them to live in.
    CompileResult empty = Build("paragraphs 9\n@8\n");
    ASSERT_TRUE(empty.ok) << ErrorsOf(empty);
    ASSERT_EQ(empty.text.chunks.size(), 1u);
    EXPECT_EQ(empty.text.rows[8 - 1].chunk, 0);
    std::string cpp = bookc::GenerateCpp(empty.book, empty.text);
    EXPECT_NE(cpp.find("const int16_t textChunkCount = 1;"), std::string::npos);
    EXPECT_NE(cpp.find("const char wordPool0[4] ="), std::string::npos);
}

// pool: "<H>T<J>" at 0, "aaaa" at 8, "<G>" at 13; the next new word would start at 17.
const char* const kSplitBook =
    "paragraphs 60\n@2\n<H>T<J> aaaa <G>\n@3\n<H>T<J> <G> aaaa\n<G>\n@48\n<H>X<J> <G> aaaa <G>\n";

TEST(TextStore, NewChunkStartsBeforeAWordWouldPassTheLastOffset) {
    CompileResult r = Build(kSplitBook);
    ASSERT_TRUE(r.ok) << ErrorsOf(r);

    // A word may start exactly at the last offset.
    TextTables fits = bookc::BuildTextTables(r.book, 17);
    ASSERT_EQ(fits.chunks.size(), 1u);
    EXPECT_EQ(fits.chunks[0].offsets[fits.rows[48 - 1].firstWord], 17);

    // One byte less and paragraph 48 moves, whole, to a new chunk; paragraph 3
    // stays in the full chunk because all its words are already there.
    TextTables split = bookc::BuildTextTables(r.book, 16);
    ASSERT_EQ(split.chunks.size(), 2u);
    EXPECT_EQ(split.rows[3 - 1].chunk, 0);
    EXPECT_EQ(split.rows[48 - 1].chunk, 1);
    EXPECT_EQ(split.rows[48 - 1].firstWord, 0);
    EXPECT_EQ(split.rows[48 - 1].endWord, 4);
    EXPECT_EQ(split.chunks[1].offsets, (std::vector<uint16_t>{0, 8, 12, 8}));
    EXPECT_EQ(split.chunks[0].pool.size(), 20u);
    EXPECT_EQ(WordsOf(split, 48), (std::vector<std::string>{"<H>X<J>", "<G>", "aaaa", "<G>"}));
}

TEST(TextStore, SplitsAtTheRealSixteenBitLimit) {
    // 60 paragraphs of 190 distinct 6-letter words: about 80,000 pool bytes.
    std::string src = "paragraphs 70\n";
    int word = 0;
    for (int p = 2; p < 62; ++p) {
        src += "@" + std::to_string(p) + "\n<H>T<J>";
        for (int i = 0; i < 190; ++i) {
            char w[16];
            std::snprintf(w, sizeof w, " w%05d", word++);
            src += w;
        }
        src += " <G>\n";
    }
    CompileResult r = Build(src);
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    ASSERT_EQ(r.text.chunks.size(), 2u);
    // Every paragraph's words are all in its own chunk, read back in order.
    word = 0;
    int firstInSecond = 0;
    for (int p = 2; p < 62; ++p) {
        std::vector<std::string> words = WordsOf(r.text, p);
        ASSERT_EQ(words.size(), 192u);
        char w[16];
        std::snprintf(w, sizeof w, "w%05d", word);
        EXPECT_EQ(words[1], w);
        word += 190;
        if (r.text.rows[p - 1].chunk == 1 && firstInSecond == 0) firstInSecond = p;
    }
    ASSERT_GT(firstInSecond, 2);
    EXPECT_EQ(r.text.rows[firstInSecond - 1].firstWord, 0);
    // The first chunk is as full as it may be: the paragraph that moved would
    // have started its last word past 65,535 there.
    const std::string& pool0 = r.text.chunks[0].pool;
    size_t used = pool0.find_last_not_of('\0') + 2;
    EXPECT_GT(used + 189 * 7, 65535u);
    EXPECT_LE(pool0.rfind('w'), 65535u);
}

TEST(GeneratedTables, NumberObjectsSplitTheirStartAcrossTheStateBytes) {
    CompileResult r = Build(
        "paragraphs 9\nobject 0 \"A\" number 1000 start 300\nobject 1 \"B\" number 5 start -1\n"
        "object 2 \"C\" text \"x\" \"y\" \"z\" held start 2 min 1 info 9\n");
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    std::string cpp = bookc::GenerateCpp(r.book, r.text);
    EXPECT_NE(cpp.find("{\"A\", OBJECT_NUMBER, 0, {{44, 1}}, 1000, 0, 0, 0, nullptr}"),
              std::string::npos)
        << cpp;
    EXPECT_NE(cpp.find("{\"B\", OBJECT_NUMBER, 0, {{255, 255}}, 5, 0, 0, 0, nullptr}"),
              std::string::npos);
    EXPECT_NE(cpp.find("{\"C\", OBJECT_TEXT, 0, {{1, 2}}, 3, 1, 8, 0, objectValues2}"),
              std::string::npos);
    // 3 objects, no checkpoint: the state array still has one byte.
    EXPECT_NE(cpp.find("uint8_t checkpointStates[1] = {};"), std::string::npos);
}

TEST(GeneratedTables, TextsAreEscapedForCpp) {
    CompileResult r = Build("paragraphs 9\ntitle \"back\\slash ?\?= end\"\n");
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    std::string cpp = bookc::GenerateCpp(r.book, r.text);
    EXPECT_NE(cpp.find("\"back\\\\slash \\?\\?= end\""), std::string::npos);
}

TEST(GeneratedTables, BannerNamesTheSources) {
    CompileResult r = bookc::Compile({{"one.book", "paragraphs 9\n"}, {"two.book", "@2\n"}});
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    std::string cpp = bookc::GenerateCpp(r.book, r.text);
    EXPECT_EQ(cpp.rfind("// Generated by bookc from one.book two.book.", 0), 0u);
}

TEST(Sources, FilesReadInOrderAsOneTextEachStartingWithDirectives) {
    CompileResult r = bookc::Compile({
        {"a.book", "paragraphs 60\nimage 0 1100\n@2\n<H>T<J><M \"on\" 47><G>\n"},
        {"b.book", "image 1 1701\n@48\n<H>X<J><V 1><G>\nimage 2 3\n"},
    });
    ASSERT_FALSE(r.ok);
    // In b.book the line after the paragraph is markup, not a directive.
    EXPECT_EQ(ErrorsOf(r),
              "b.book:4:1: directive 'image' after the paragraphs: directives come before the "
              "first @ line of their file\n");

    CompileResult good = bookc::Compile({
        {"a.book", "paragraphs 60\nimage 0 1100\n@2\n<H>T<J><M \"on\" 47><G>\n"},
        {"b.book", "image 1 1701\n@48\n<H>X<J><V 1><G>\n"},
    });
    ASSERT_TRUE(good.ok) << ErrorsOf(good);
    EXPECT_EQ(good.book.images.size(), 2u);
}

const char* const kMapBook = R"(paragraphs 60
object 0 "Lamp" text "unlit" "lit" info 54
object 1 "Rope" text
object 2 "Coins" text "none" "one"
checkpoint 0 "Gate" page 51
ending 50 bad "End"
@2
<H>Start<J><M "Go" 47><G>
@3
<H>Restart<J><u *0 "Back to">{<U>}<G>
@48
<H>Old<a>Road<J><n 49><d "Roll" (30) 54 (50) 55 56><S (yes) 56 (no) 57 58><G>
@50
<H>End<J><p 47><G>
@51
<H>Gate<J><s *0><N %1 "Take" 55><R %0 1 "Light" 53><r %2 -1 "Pay" 54><G>
@52
<H>Lost<J><M "on" 52><G>
@53
<H>Also lost<J><G>
@54
<H>Lamp<J><O (X %0) & !(%0 = 1)>{<M "a" 54>}<o (%2 x 0)>{<M "b" 55>}<E>{<M "c" 56>}<G>
@55
<H>A<J><G>
@56
<H>B<J><G>
@57
<H>C<J><G>
@58
<H>D<J><G>
@59
<H>E<J><L "flip" (10) 57 58><p 1><G>
@8
)";

TEST(StoryMap, EveryLinkInWords) {
    CompileResult r = Build(kMapBook);
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    std::string dot = bookc::GenerateMap(r.book);
    for (
        const char* edge : {
            R"x(p2 -> p48 [label="\"Go\""])x",
            R"x(p3 -> p51 [label="if Gate is saved:\nrestart there", style=bold, color=blue)x",
            // 50's previous arrow answers 48's next: one line, both ways.
            R"x(p48 -> p50 [label="next page, and\nback", style=dashed, dir=both])x",
            R"x(p48 -> p55 [label="\"Roll\" 30%"])x",
            R"x(p48 -> p57 [label="\"Roll\" 20%\nanswer \"yes\""])x",
            R"x(p48 -> p59 [label="any other answer"])x",
            R"x(p51 -> p56 [label="\"Take\" (takes\nRope)"])x",
            R"x(p51 -> p54 [label="\"Light\" (Lamp\nbecomes lit)"])x",
            R"x(p51 -> p55 [label="\"Pay\" (Coins -1)"])x",
            R"x(p54 -> p55 [label="if Lamp is held\nand Lamp is not\nlit: \"a\"", color=blue)x",
            R"x(p54 -> p56 [label="if Coins is more\nthan none, unless\nLamp is held and\nLamp is not lit:\n\"b\"", color=blue)x",
            R"x(p54 -> p57 [label="if Coins is not\nmore than none,\nunless Lamp is\nheld and Lamp is\nnot lit: \"c\"", color=blue)x",
            R"x(p59 -> p58 [label="\"flip\" 50%"])x",
            R"x(p59 -> p2 [label="previous page", style=dashed])x",
            R"x(p6 -> p54 [label="description of\nLamp", style=dotted])x",
            R"x(p50 [label="50: End\nbad ending", style=filled)x",
            R"x(p51 [label="51: Gate\nsaves checkpoint 0 (Gate)", peripheries=2])x",
        })
        EXPECT_NE(dot.find(edge), std::string::npos) << edge << "\n" << dot;
    EXPECT_EQ(dot.find("p50 -> p48"), std::string::npos) << "the answered arrow is drawn once";
    EXPECT_EQ(dot.find("p8 "), std::string::npos);  // an empty paragraph has no node
    // Rope's description page is paragraph 1, which the book does not write.
    EXPECT_EQ(dot.find(R"(of\nRope)"), std::string::npos);
}

TEST(StoryMap, EachPartAloneWithSignsForLinksBackAndOut) {
    CompileResult r = bookc::Compile({
        {"dir/a.book", "paragraphs 60\nobject 0 \"Lamp\" text\n@2\n<H>A<J><M \"on\" 47><G>\n"},
        {"b.txt",
         "part \"The Road\"\n@48\n<H>B<J><M \"on\" 48><G>\n"
         "@49\n<H>C<J><O (X %0)>{<M \"out\" 1>}<M \"back\" 47><G>\n"},
    });
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    auto maps = bookc::GeneratePartMaps(r.book);
    ASSERT_EQ(maps.size(), 3u);
    EXPECT_EQ(maps[0].first, "overview");
    for (const char* line : {R"x(f1 [label="The Road\n2 pages (48 to 49)", URL="b.svg")x",
                             R"x(f0 -> f1 [label="1 link"])x", R"x(f1 -> f0 [label="1 link"])x"})
        EXPECT_NE(maps[0].second.find(line), std::string::npos) << line << maps[0].second;
    EXPECT_EQ(maps[2].first, "b");
    const std::string& b = maps[2].second;
    for (const char* line :
         {R"x(label="The Road")x", R"x(p48 [label="48: B"])x",
          R"x(p2 [label="2: A\n(a)", shape=note)x", R"x(p2 -> p48 [label="\"on\""])x",
          // The link out and the link back end in signs, not lines.
          R"x([label="if Lamp is held:\n\"out\"\nto 2: A\n(a)", shape=box)x",
          R"x([label="\"back\"\nto 48: B", shape=box)x", R"x(p49 -> sign)x",
          "How to read this map"})
        EXPECT_NE(b.find(line), std::string::npos) << line << "\n" << b;
    EXPECT_EQ(b.find("p49 -> p48"), std::string::npos) << b;
    EXPECT_EQ(b.find("p49 -> p2"), std::string::npos) << b;
}

// A page with many links keeps each one's words, in the page it leads to or,
// for a link out, in its sign.
TEST(StoryMap, ManyLinksOutKeepTheirWords) {
    std::vector<bookc::Source> sources = {
        {"a",
         "paragraphs 60\n@48\n<H>Hub<J><M \"w\" 49><M \"x\" 50><M \"y\" 51><M \"z\" 52><G>\n"}};
    for (int p = 50; p <= 53; ++p)
        sources.push_back({"p" + std::to_string(p), "@" + std::to_string(p) + "\n<H>P<J><G>\n"});
    CompileResult r = bookc::Compile(sources);
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    const std::string hub = bookc::GeneratePartMaps(r.book).at(1).second;
    for (const char* face : {"w", "x", "y", "z"})
        EXPECT_NE(hub.find(R"(\")" + std::string(face) + R"(\"\nto )"), std::string::npos) << hub;
}

TEST(StoryMap, UnreachedParagraphs) {
    CompileResult r = Build(kMapBook);
    ASSERT_TRUE(r.ok) << ErrorsOf(r);
    // 52 and 53 only lead to each other; 59 is reached through 48's answer box.
    EXPECT_EQ(bookc::FindUnreached(r.book), (std::vector<int>{52, 53}));

    CompileResult all =
        Build("paragraphs 9\n@2\n<H>A<J><n 8><G>\n@9\n<H>B<J><G>\n@4\n<H>C<J><G>\n");
    ASSERT_TRUE(all.ok) << ErrorsOf(all);
    EXPECT_TRUE(bookc::FindUnreached(all.book).empty());
}

class CommandLine : public ScratchFolderTest {
   protected:
    std::string Path(const char* name) const { return (root / name).string(); }
    int Run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        return bookc::RunBookc(args, out_, err_);
    }
    std::ostringstream out_, err_;
};

TEST_F(CommandLine, WritesFilesOnlyWhenTheirContentChanges) {
    Write("a.book", "paragraphs 9\n@2\n<H>A<J><G>\n");
    const std::vector<std::string> all = {"--out",       Path("a.cpp"), "--map",
                                          Path("a.dot"), "--unreached", Path("u.txt"),
                                          Path("a.book")};
    ASSERT_EQ(Run(all), 0) << err_.str();
    EXPECT_EQ(out_.str(), "");  // silent unless asked
    EXPECT_EQ(err_.str(), "");
    EXPECT_NE(Read("a.cpp").find("paragraphTable[9]"), std::string::npos);
    EXPECT_NE(Read("a.dot").find("digraph"), std::string::npos);
    EXPECT_EQ(Read("u.txt"), "");

    auto old = std::filesystem::last_write_time(Path("a.cpp")) - std::chrono::hours(1);
    for (const char* f : {"a.cpp", "a.dot", "u.txt"})
        std::filesystem::last_write_time(Path(f), old);
    ASSERT_EQ(Run(all), 0);
    for (const char* f : {"a.cpp", "a.dot", "u.txt"})
        EXPECT_EQ(std::filesystem::last_write_time(Path(f)), old) << f;

    Write("a.book", "paragraphs 9\n@2\n<H>A<J><G>\n@5\n<H>B<J><G>\n");
    ASSERT_EQ(Run({"--out", Path("a.cpp"), "--unreached", Path("u.txt"), Path("a.book")}), 0);
    EXPECT_GT(std::filesystem::last_write_time(Path("a.cpp")), old);
    EXPECT_EQ(Read("u.txt"), "");  // 5 is a menu page
}

TEST_F(CommandLine, MediaListsEachBitmapAndSoundOnceInTableOrder) {
    Write("a.book",
          "paragraphs 9\nimage 0 1701\nimage 1 1100\nimage 2 1701\nsound 0 BELL\nsound 1 WIND\n"
          "sound 2 BELL\n@2\n<H>A<J><G>\n");
    ASSERT_EQ(Run({"--media", Path("m.txt"), Path("a.book")}), 0) << err_.str();
    EXPECT_EQ(Read("m.txt"), "bitmap 1701\nbitmap 1100\nsound BELL\nsound WIND\n");
}

TEST_F(CommandLine, ReportIsOneLineOnRequest) {
    Write("a.book", "paragraphs 9\n@2\n<H>A<J> b b <G>\n@8\n");
    ASSERT_EQ(Run({"--report", "--out", Path("a.cpp"), Path("a.book")}), 0) << err_.str();
    EXPECT_EQ(out_.str(),
              "bookc: 9 paragraphs (1 with text), 4 words in 1 chunk(s) of 16 pool bytes, "
              "0 objects, 0 checkpoints, 0 images, 0 sounds\n");
}

TEST_F(CommandLine, BrokenBookWritesNothingAndExitsWithOne) {
    Write("a.book", "paragraphs 9\n@2\n<H>A<J><Z><G>\n@2\n");
    EXPECT_EQ(Run({"--out", Path("a.cpp"), "--map", Path("a.dot"), Path("a.book")}), 1);
    EXPECT_EQ(err_.str(), Path("a.book") + ":3: unknown tag <Z>\n" + Path("a.book") +
                              ":4: paragraph 2 written twice (first at " + Path("a.book") +
                              ":2)\n");
    EXPECT_FALSE(std::filesystem::exists(Path("a.cpp")));
    EXPECT_FALSE(std::filesystem::exists(Path("a.dot")));
    EXPECT_EQ(out_.str(), "");
}

TEST_F(CommandLine, BadUsage) {
    EXPECT_EQ(Run({Path("a.book")}), 2);  // no --out
    EXPECT_NE(err_.str().find("usage: bookc"), std::string::npos);
    EXPECT_EQ(Run({"--out"}), 2);
    EXPECT_EQ(Run({"--frobnicate", "--out", Path("a.cpp"), Path("a.book")}), 2);
    EXPECT_EQ(Run({"--out", Path("a.cpp"), Path("missing.book")}), 1);
    EXPECT_EQ(err_.str(),
              "bookc: cannot read " + Path("missing.book") + ": No such file or directory\n");
}

TEST_F(CommandLine, FoldersAndUnwritableOutputsAreRefusedWritingNothing) {
    Write("a.book", "paragraphs 9\n@2\n<H>A<J><G>\n");
    EXPECT_EQ(Run({"--out", Path("a.cpp"), root.string()}), 1);
    EXPECT_EQ(err_.str(), "bookc: cannot read " + root.string() + ": it is a folder\n");
    EXPECT_EQ(Run({"--out", root.string(), Path("a.book")}), 1);
    EXPECT_EQ(err_.str(), "bookc: cannot write " + root.string() + ": it is a folder\n");
    // The map cannot be written: the tables, asked for first, are not either.
    EXPECT_EQ(Run({"--out", Path("a.cpp"), "--map", Path("no/such/a.dot"), Path("a.book")}), 1);
    EXPECT_EQ(err_.str(),
              "bookc: cannot write " + Path("no/such/a.dot") + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(Path("a.cpp")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 1);  // a.book
}

}  // namespace
