// The book compiler: reads a book's source text and produces the reader's
// tables as C++ source, a story map and a list of unreached paragraphs.
// Everything here works on strings in memory; only RunBookc touches files.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "book/limits.h"

namespace bookc {

// Limits the reader's buffers put on a book (book/limits.h), as lengths.
constexpr int MAX_WORD_LENGTH = WORD_BUFFER_SIZE - 1;
constexpr int MAX_PARAGRAPH_TEXT = PARAGRAPH_TEXT_LIMIT;
constexpr int MAX_COMMAND_LENGTH = COMMAND_BUFFER_SIZE - 1;
constexpr int MAX_LABEL_LENGTH = BUTTON_TEXT_SIZE - 1;
constexpr int MAX_ANSWER_LENGTH = ANSWER_SIZE - 1;
constexpr int MAX_HOTWORDS = HOTWORD_LIMIT - 1;      // the engine reports reaching the limit
constexpr int MAX_TITLE_RUN = WORD_BUFFER_SIZE - 1;  // a title gathers in the word buffer
constexpr uint32_t MAX_POOL_OFFSET = WORD_OFFSET_LIMIT;

struct Source {
    std::string name;
    std::string text;
};

struct Diagnostic {
    std::string file;
    int line = 0;
    int column = 0;  // 0 when the message is about the whole line
    std::string message;
    std::string Format() const;  // "file:line: message" or "file:line:column: message"
};

// Where something was written.
struct Place {
    int file = 0;  // index into the list of sources
    int line = 0;
    int column = 0;  // counted in characters from 1; 0 for the whole line
};

struct Word {
    std::string text;
    Place place;
};

// One edge of the story map.
enum class LinkKind { Hotword, Arrow, Checkpoint, Description };

struct Link {
    Link(LinkKind k, char t, std::string f = "", int o = -1, std::string v = "",
         std::string chance = "")
        : kind(k),
          tag(t),
          face(std::move(f)),
          object(o),
          value(std::move(v)),
          odds(std::move(chance)) {}
    LinkKind kind;
    int target = 0;     // real paragraph number
    char tag = 0;       // the tag letter that makes it; 0 for a description
    std::string face;   // the button as written: its text, $image or %object; an answer
                        // of <S> ("" for any other answer); the slot of <u>
    int object = -1;    // the object that <N Q R r> change, or a description's
    std::string value;  // the value <R r> store, as written: 1, -1, z, %3, -%3
    std::string odds;   // a chance outcome's probability ("35%"), else empty
    // The conditions of the blocks around it, outermost first, in the markup's
    // expression syntax; `*k` holds when checkpoint slot k is saved.
    std::vector<std::string> guards;
    bool Conditional() const { return !guards.empty(); }
};

struct Paragraph {
    int number = 0;
    Place place;  // the `@N` line
    std::vector<Word> words;
    std::string title;  // the text between <H> and <J>, without tags
    std::vector<Link> links;
    bool sourceError = false;  // its lines could not be read: its markup is not checked
    bool HasWords() const { return !words.empty(); }
};

enum ObjectKind : int8_t { KIND_TEXT = 0, KIND_NUMBER = 1, KIND_IMAGE = 2 };

struct Object {
    bool defined = false;
    Place place;
    std::string name;
    ObjectKind kind = KIND_TEXT;
    std::vector<std::string> texts;  // text objects
    std::vector<int> images;         // image objects
    int count = 0;                   // entries, or the number object's range
    int minimum = 0;
    int info = 1;  // real paragraph number of its description page
    bool held = false;
    int start = 0;
};

struct Checkpoint {
    bool defined = false;
    Place place;
    std::string name;
    int page = 0;  // real paragraph number
};

struct Image {
    bool defined = false;
    Place place;
    int resourceId = 0;
    int width = 0;
    int height = 0;
};

struct Sound {
    bool defined = false;
    Place place;
    std::string name;
};

// A page the author means the story to end on. Kept out of the reader's
// tables: only the tools read it.
struct Ending {
    Place place;
    int page = 0;  // real paragraph number
    bool good = false;
    std::string name;
};

struct Header {
    std::string title, copyrightHolder, language, author, closingLine;
    std::string webAddress, contactAddress, supportAddress;
    int presentsImage = 0;
    int titleImage = 0;
};

struct Book {
    std::vector<std::string> files;  // source names, in order
    std::vector<std::string> parts;  // each file's `part` name, or empty
    int paragraphCount = 0;
    std::vector<Paragraph> paragraphs;  // in source order
    std::vector<Object> objects;
    std::vector<Checkpoint> checkpoints;
    std::vector<Image> images;
    std::vector<Sound> sounds;
    std::vector<Ending> endings;
    Header header;

    // The paragraph written with this number, or null.
    const Paragraph* Find(int number) const;
    // Paragraph number to position in `paragraphs`; kept by Compile.
    std::map<int, size_t> index;
};

// The text store as the reader holds it.
struct Chunk {
    std::vector<uint16_t> offsets;
    std::string pool;  // words with their NULs, padded with NULs to a multiple of 4
};

struct Row {
    int16_t chunk = -1;
    int32_t firstWord = 0;
    int32_t endWord = 0;
};

struct TextTables {
    std::vector<Chunk> chunks;
    std::vector<Row> rows;  // row 0 is paragraph 1
};

struct CompileResult {
    bool ok = false;
    std::vector<Diagnostic> errors;  // in the order found; empty when ok
    Book book;
    TextTables text;
};

// Reads the sources as one text and checks the whole book.
CompileResult Compile(const std::vector<Source>& sources);

// Cuts the paragraphs' words into chunks; `maxOffset` is the largest pool
// offset a word may start at (tests lower it to see chunks split).
TextTables BuildTextTables(const Book& book, uint32_t maxOffset = MAX_POOL_OFFSET);

// The generated C++ defining everything book/tables.h declares.
// An object's state bytes at a fresh start, as the reader's table holds them:
// `held` and `current`, or the low and high bytes of a number object's value.
std::pair<uint8_t, uint8_t> StartBytes(const Object& obj);

std::string GenerateCpp(const Book& book, const TextTables& text);

// The story map in Graphviz DOT: the whole book, one cluster per source file.
std::string GenerateMap(const Book& book);
// The readable maps: "overview" (the source files and the links between
// them) and one map per source file, named by the file without its folder
// and extension. Pairs of (name, DOT text).
std::vector<std::pair<std::string, std::string>> GeneratePartMaps(const Book& book);

// The media the book's tables name, for the build to embed: a line
// "bitmap ID" for each bitmap resource of the image table, then "sound NAME"
// for each WAVE resource of the sound table, each once, in table order.
std::string ListMedia(const Book& book);

// Paragraphs with words that nothing reaches from paragraphs 2 to 7.
std::vector<int> FindUnreached(const Book& book);

// One line describing the compiled book.
std::string Summary(const Book& book, const TextTables& text);

// The whole command: arguments without the program name. Returns the exit
// status; messages go to `out` and `err`.
int RunBookc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace bookc
