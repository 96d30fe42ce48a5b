// Feeds arbitrary text to the book compiler. A NUL byte splits the input into
// two source files. A book that compiles must give a text store the reader
// can use safely, holding every paragraph's words; anything else must be
// refused with a message.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tools/bookc/bookc.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckTextStore(const bookc::CompileResult& r) {
    const bookc::TextTables& t = r.text;
    Require(t.rows.size() == static_cast<size_t>(r.book.paragraphCount));
    for (const bookc::Chunk& c : t.chunks) {
        Require(c.pool.size() % 4 == 0);
        Require(c.pool.empty() || c.pool.back() == '\0');
        for (uint16_t offset : c.offsets) Require(offset < c.pool.size());
    }
    for (const bookc::Row& row : t.rows) {
        if (row.chunk < 0) {
            Require(row.firstWord == 0 && row.endWord == 0);
            continue;
        }
        Require(static_cast<size_t>(row.chunk) < t.chunks.size());
        const bookc::Chunk& c = t.chunks[row.chunk];
        Require(row.firstWord <= row.endWord);
        Require(static_cast<size_t>(row.endWord) <= c.offsets.size());
        size_t length = 0;
        for (int32_t i = row.firstWord; i < row.endWord; ++i) {
            size_t word = std::strlen(c.pool.c_str() + c.offsets[i]);
            Require(word <= bookc::MAX_WORD_LENGTH);
            length += word + 1;
        }
        Require(length <= bookc::MAX_PARAGRAPH_TEXT);
    }
}

// Every paragraph's words read back from the text store, in order; a number
// without a paragraph has no row.
void CheckRoundTrip(const bookc::CompileResult& r) {
    const bookc::TextTables& t = r.text;
    for (int n = 1; n <= r.book.paragraphCount; ++n) {
        const bookc::Row& row = t.rows[static_cast<size_t>(n - 1)];
        const bookc::Paragraph* p = r.book.Find(n);
        if (!p) {
            Require(row.chunk < 0);
            continue;
        }
        Require(row.chunk >= 0 &&
                row.endWord - row.firstWord == static_cast<int32_t>(p->words.size()));
        const bookc::Chunk& c = t.chunks[static_cast<size_t>(row.chunk)];
        for (size_t i = 0; i < p->words.size(); ++i)
            Require(p->words[i].text ==
                    c.pool.c_str() + c.offsets[static_cast<size_t>(row.firstWord) + i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<bookc::Source> sources;
    size_t split = input.find('\0');
    if (split == std::string::npos) {
        sources.push_back({"fuzz.book", input});
    } else {
        sources.push_back({"one.book", input.substr(0, split)});
        sources.push_back({"two.book", input.substr(split + 1)});
    }
    bookc::CompileResult r = bookc::Compile(sources);
    if (!r.ok) {
        Require(!r.errors.empty());
        for (const bookc::Diagnostic& d : r.errors) Require(!d.Format().empty());
        return 0;
    }
    CheckTextStore(r);
    CheckRoundTrip(r);
    std::string cpp = bookc::GenerateCpp(r.book, r.text);
    Require(cpp.find("const BookHeader bookHeader") != std::string::npos);
    std::string map = bookc::GenerateMap(r.book);
    for (const auto& part : bookc::GeneratePartMaps(r.book)) Require(!part.second.empty());
    std::vector<int> unreached = bookc::FindUnreached(r.book);
    for (int n : unreached) Require(n >= 1 && n <= r.book.paragraphCount);
    bookc::Summary(r.book, r.text);
    return 0;
}
