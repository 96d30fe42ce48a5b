// Reading the book's source: lines, directives, paragraphs and word cutting.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <optional>

#include "tools/bookc/internal.h"

namespace bookc {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Diagnostic::Format() const {
    std::string where = file + ":" + std::to_string(line);
    if (column > 0) where += ":" + std::to_string(column);
    return where + ": " + message;
}

void Errors::Add(Place place, std::string message) {
    Diagnostic d;
    d.file = place.file >= 0 && place.file < static_cast<int>(book_.files.size())
                 ? book_.files[place.file]
                 : std::string("?");
    d.line = place.line;
    d.column = place.column;
    d.message = std::move(message);
    out_.push_back(std::move(d));
}

const Paragraph* Book::Find(int number) const {
    if (index.size() == paragraphs.size()) {
        auto it = index.find(number);
        return it == index.end() ? nullptr : &paragraphs[it->second];
    }
    for (const Paragraph& p : paragraphs)
        if (p.number == number) return &p;
    return nullptr;
}

namespace {

// Table sizes the compiler accepts; far above any book, they keep a stray
// number from asking for huge tables. Objects are as many as the reader holds.
constexpr int MAX_PARAGRAPHS = 32767;
constexpr int MAX_OBJECTS = OBJECT_LIMIT;
constexpr int MAX_CHECKPOINTS = 100;
constexpr int MAX_IMAGES = 10000;
constexpr int MAX_SOUNDS = 1000;
constexpr int MAX_TEXTS = 256;  // `current` is one byte

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Token {
    std::string text;
    bool quoted = false;
};

bool IsContinuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// The column of byte `at`, counting a UTF-8 character as one.
int ColumnOf(const std::string& line, size_t at) {
    int column = 1;
    for (size_t i = 0; i < at && i < line.size(); ++i)
        if (!IsContinuation(static_cast<unsigned char>(line[i]))) ++column;
    return column;
}

// Why the character starting at byte `at` is refused, naming the usual
// culprits of a text pasted from a word processor. `length` receives the
// bytes it takes.
std::string Unprintable(const std::string& line, size_t at, size_t& length) {
    const unsigned char lead = static_cast<unsigned char>(line[at]);
    length = 1;
    int more = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (lead >= 0xF5) more = 0;
    uint32_t cp = lead & (0x3F >> more);
    bool utf8 = more > 0 && at + more < line.size();
    for (int k = 1; utf8 && k <= more; ++k) {
        unsigned char c = static_cast<unsigned char>(line[at + k]);
        utf8 = IsContinuation(c);
        cp = cp << 6 | (c & 0x3F);
    }
    if (!utf8) return Format("character 0x%02X is not printable ASCII", lead);
    length = 1 + more;
    if (cp == 0x201C || cp == 0x201D || cp == 0x201E || cp == 0xAB || cp == 0xBB)
        return Format("curly quote (U+%04X): write a straight \" instead", cp);
    if (cp == 0x2018 || cp == 0x2019)
        return Format("curly apostrophe (U+%04X): write a straight ' instead", cp);
    if (cp == 0xFEFF) return "byte-order mark (U+FEFF): save the file as plain ASCII without one";
    if (cp == 0xA0) return "no-break space (U+00A0): write a plain space (<a> in a title)";
    if (cp == 0x2013 || cp == 0x2014) return Format("dash (U+%04X): write '-' instead", cp);
    return Format("character U+%04X is not printable ASCII", cp);
}

const char* const kDirectives[] = {
    "paragraphs", "title",   "copyright", "language",       "author",      "closing-line",
    "web",        "contact", "support",   "presents-image", "title-image", "object",
    "checkpoint", "image",   "sound",     "ending",         "part"};

bool IsDirective(const std::string& word) {
    for (const char* d : kDirectives)
        if (word == d) return true;
    return false;
}

std::string Show(const Token& t) {
    return t.quoted ? "\"" + t.text + "\"" : t.text;
}

// A whole number token within lo..hi, or nothing.
std::optional<int> Number(const Token& t, long lo, long hi) {
    if (t.quoted || t.text.empty() || t.text.size() > 9) return std::nullopt;
    size_t i = t.text[0] == '-' ? 1 : 0;
    if (i == t.text.size()) return std::nullopt;
    long v = 0;
    for (; i < t.text.size(); ++i) {
        if (!IsDigit(t.text[i])) return std::nullopt;
        v = v * 10 + (t.text[i] - '0');
    }
    if (t.text[0] == '-') v = -v;
    if (v < lo || v > hi) return std::nullopt;
    return static_cast<int>(v);
}

struct PendingRef {
    Place place;
    int paragraph;
    std::string what;
};

class Reader {
   public:
    Reader(Book& book, std::vector<Diagnostic>& errors) : book_(book), errors_(book, errors) {}

    void ReadFile(int fileIndex, const std::string& text);
    void Finish();

   private:
    void Directive(Place place, const std::vector<Token>& tokens);
    void HeaderText(Place place, const std::vector<Token>& tokens, std::string& field);
    void HeaderImage(Place place, const std::vector<Token>& tokens, int& field);
    void ObjectDirective(Place place, const std::vector<Token>& tokens);
    void CheckpointDirective(Place place, const std::vector<Token>& tokens);
    void ImageDirective(Place place, const std::vector<Token>& tokens);
    void SoundDirective(Place place, const std::vector<Token>& tokens);
    void EndingDirective(Place place, const std::vector<Token>& tokens);
    void PartDirective(Place place, const std::vector<Token>& tokens);
    void StrayQuote();
    bool ParagraphEnded() const;
    bool Tokenize(Place place, const std::string& line, std::vector<Token>& tokens);
    void StartParagraph(Place place, const std::string& line, size_t at);
    void EndParagraph();
    std::string Where(Place place) const {
        return book_.files[place.file] + ":" + std::to_string(place.line);
    }
    // Reserves table entry `index`, refusing a repeat.
    template <typename T>
    T* Entry(std::vector<T>& table, Place place, const Token& token, int limit, const char* what);

    Book& book_;
    Errors errors_;
    std::map<std::string, Place> headerSeen_;
    std::optional<Place> paragraphsSeen_;
    std::map<int, Place> paragraphSeen_;
    std::vector<PendingRef> refs_;  // paragraph numbers checked once the book's size is known
    std::vector<PendingRef> imageRefs_;
    std::map<int, Place> endingSeen_;

    // The paragraph being read: its lines of markup.
    bool inParagraph_ = false;
    Paragraph paragraph_;
    std::vector<std::pair<Place, std::string>> lines_;
};

bool Reader::Tokenize(Place place, const std::string& line, std::vector<Token>& tokens) {
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        Token t;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) {
                errors_.Add({place.file, place.line, ColumnOf(line, i)},
                            "unterminated quote: this quote has no closing quote on its line");
                return false;
            }
            t.quoted = true;
            t.text = line.substr(i + 1, end - i - 1);
            i = end + 1;
            if (i < line.size() && !IsBlank(line[i])) {
                errors_.Add(place, "a blank must follow the quoted text \"" + t.text + "\"");
                return false;
            }
        } else {
            size_t end = i;
            while (end < line.size() && !IsBlank(line[end])) {
                if (line[end] == '"') {
                    errors_.Add(place, "a blank must come before a quoted text");
                    return false;
                }
                ++end;
            }
            t.text = line.substr(i, end - i);
            i = end;
        }
        tokens.push_back(std::move(t));
    }
    return true;
}

template <typename T>
T* Reader::Entry(std::vector<T>& table, Place place, const Token& token, int limit,
                 const char* what) {
    std::optional<int> index = Number(token, 0, limit - 1);
    if (!index) {
        errors_.Add(place,
                    Format("bad %s number '%s' (0 to %d)", what, Show(token).c_str(), limit - 1));
        return nullptr;
    }
    if (static_cast<int>(table.size()) <= *index) table.resize(*index + 1);
    T& entry = table[*index];
    if (entry.defined) {
        errors_.Add(place, Format("%s %d written twice (first at %s)", what, *index,
                                  Where(entry.place).c_str()));
        return nullptr;
    }
    entry.defined = true;
    entry.place = place;
    return &entry;
}

void Reader::HeaderText(Place place, const std::vector<Token>& tokens, std::string& field) {
    if (tokens.size() != 2 || !tokens[1].quoted) {
        errors_.Add(place, "'" + tokens[0].text + "' takes one quoted text");
        return;
    }
    field = tokens[1].text;
}

void Reader::HeaderImage(Place place, const std::vector<Token>& tokens, int& field) {
    std::optional<int> v;
    if (tokens.size() == 2) v = Number(tokens[1], 0, MAX_IMAGES - 1);
    if (!v) {
        errors_.Add(place, "'" + tokens[0].text + "' takes one image number");
        return;
    }
    field = *v;
    imageRefs_.push_back({place, *v, tokens[0].text});
}

void Reader::ObjectDirective(Place place, const std::vector<Token>& tokens) {
    // object K "name" KIND values... options...
    if (tokens.size() < 4 || !tokens[2].quoted) {
        errors_.Add(place, "object takes a number, a quoted name and a kind");
        return;
    }
    Object* object = Entry(book_.objects, place, tokens[1], MAX_OBJECTS, "object");
    if (!object) return;
    object->name = tokens[2].text;
    const std::string& kind = tokens[3].text;
    size_t i = 4;
    if (kind == "text" && !tokens[3].quoted) {
        object->kind = KIND_TEXT;
        while (i < tokens.size() && tokens[i].quoted) object->texts.push_back(tokens[i++].text);
        object->count = static_cast<int>(object->texts.size());
        if (object->count > MAX_TEXTS) {
            errors_.Add(place,
                        Format("object has %d texts (at most %d)", object->count, MAX_TEXTS));
            return;
        }
    } else if (kind == "number" && !tokens[3].quoted) {
        object->kind = KIND_NUMBER;
        std::optional<int> count;
        if (i < tokens.size()) count = Number(tokens[i], 1, 32767);
        if (!count) {
            errors_.Add(place, "a number object needs its COUNT (1 to 32767)");
            return;
        }
        object->count = *count;
        ++i;
    } else if (kind == "image" && !tokens[3].quoted) {
        object->kind = KIND_IMAGE;
        while (i < tokens.size()) {
            std::optional<int> image = Number(tokens[i], 0, MAX_IMAGES - 1);
            if (!image) break;
            object->images.push_back(*image);
            imageRefs_.push_back({place, *image, "object image"});
            ++i;
        }
        object->count = static_cast<int>(object->images.size());
        if (object->count > MAX_TEXTS) {
            errors_.Add(place,
                        Format("object has %d images (at most %d)", object->count, MAX_TEXTS));
            return;
        }
    } else {
        errors_.Add(place, "unknown object kind '" + Show(tokens[3]) + "' (text, number or image)");
        return;
    }
    std::map<std::string, bool> seen;
    bool startGiven = false;
    while (i < tokens.size()) {
        const Token& option = tokens[i];
        if (option.quoted || seen[option.text]) {
            errors_.Add(place, "unexpected '" + Show(option) + "' in object");
            return;
        }
        seen[option.text] = true;
        if (option.text == "held") {
            if (object->kind == KIND_NUMBER) {
                errors_.Add(place, "a number object keeps its held flag in its value: use 'start'");
                return;
            }
            object->held = true;
            ++i;
            continue;
        }
        if (option.text != "min" && option.text != "info" && option.text != "start") {
            errors_.Add(place, "unexpected '" + option.text + "' in object");
            return;
        }
        std::optional<int> v;
        if (i + 1 < tokens.size()) v = Number(tokens[i + 1], -32768, 32767);
        if (!v) {
            errors_.Add(place, "'" + option.text + "' needs a number");
            return;
        }
        if (option.text == "min") {
            object->minimum = *v;
        } else if (option.text == "info") {
            object->info = *v;
            refs_.push_back({place, *v, "info page"});
        } else {
            object->start = *v;
            startGiven = true;
        }
        i += 2;
    }
    if (startGiven && object->kind != KIND_NUMBER) {
        int last = std::max(object->count - 1, 0);
        if (object->start < 0 || object->start > last)
            errors_.Add(place, Format("start %d is outside the object's list (0 to %d)",
                                      object->start, last));
    }
}

void Reader::CheckpointDirective(Place place, const std::vector<Token>& tokens) {
    std::optional<int> page;
    if (tokens.size() == 5 && tokens[2].quoted && tokens[3].text == "page" && !tokens[3].quoted)
        page = Number(tokens[4], -32768, 32767);
    if (!page) {
        errors_.Add(place, "checkpoint takes a number, a quoted place and 'page P'");
        return;
    }
    Checkpoint* slot = Entry(book_.checkpoints, place, tokens[1], MAX_CHECKPOINTS, "checkpoint");
    if (!slot) return;
    slot->name = tokens[2].text;
    slot->page = *page;
    refs_.push_back({place, *page, "checkpoint page"});
}

void Reader::ImageDirective(Place place, const std::vector<Token>& tokens) {
    if (tokens.size() != 3 && tokens.size() != 5) {
        errors_.Add(place, "image takes a number, a resource id and optionally W H");
        return;
    }
    std::optional<int> values[3];
    for (size_t i = 2; i < tokens.size(); ++i) {
        values[i - 2] = Number(tokens[i], 0, 65535);
        if (!values[i - 2]) {
            errors_.Add(place, "bad image value '" + Show(tokens[i]) + "' (0 to 65535)");
            return;
        }
    }
    Image* image = Entry(book_.images, place, tokens[1], MAX_IMAGES, "image");
    if (!image) return;
    image->resourceId = *values[0];
    image->width = values[1].value_or(0);
    image->height = values[2].value_or(0);
}

void Reader::SoundDirective(Place place, const std::vector<Token>& tokens) {
    bool good = tokens.size() == 3 && !tokens[2].quoted && !tokens[2].text.empty();
    if (good)
        for (char c : tokens[2].text)
            if (!(IsDigit(c) || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
                good = false;
    if (!good) {
        errors_.Add(place, "sound takes a number and a name of letters, digits and '_'");
        return;
    }
    Sound* sound = Entry(book_.sounds, place, tokens[1], MAX_SOUNDS, "sound");
    if (sound) sound->name = tokens[2].text;
}

void Reader::EndingDirective(Place place, const std::vector<Token>& tokens) {
    std::optional<int> page;
    bool good = false;
    if (tokens.size() == 4 && tokens[3].quoted && !tokens[2].quoted &&
        (tokens[2].text == "good" || tokens[2].text == "bad")) {
        page = Number(tokens[1], 1, MAX_PARAGRAPHS);
        good = tokens[2].text == "good";
    }
    if (!page) {
        errors_.Add(place, "ending takes a paragraph number, good or bad, and a quoted name");
        return;
    }
    auto seen = endingSeen_.find(*page);
    if (seen != endingSeen_.end()) {
        errors_.Add(place, Format("ending %d written twice (first at %s)", *page,
                                  Where(seen->second).c_str()));
        return;
    }
    endingSeen_[*page] = place;
    book_.endings.push_back({place, *page, good, tokens[3].text});
}

// The part of the story a file holds, as the story maps name it: once a file.
void Reader::PartDirective(Place place, const std::vector<Token>& tokens) {
    std::string& name = book_.parts[place.file];
    if (!name.empty()) {
        errors_.Add(place, "'part' written twice in one file");
        return;
    }
    HeaderText(place, tokens, name);
}

void Reader::Directive(Place place, const std::vector<Token>& tokens) {
    const Token& key = tokens[0];
    if (key.quoted) {
        errors_.Add(place, "a directive starts with its keyword");
        return;
    }
    static const char* const kTexts[] = {"title",          "copyright",   "language",  "author",
                                         "closing-line",   "web",         "contact",   "support",
                                         "presents-image", "title-image", "paragraphs"};
    for (const char* name : kTexts) {
        if (key.text != name) continue;
        auto seen = headerSeen_.find(key.text);
        if (seen != headerSeen_.end()) {
            errors_.Add(place,
                        "'" + key.text + "' written twice (first at " + Where(seen->second) + ")");
            return;
        }
        headerSeen_[key.text] = place;
    }
    Header& h = book_.header;
    if (key.text == "paragraphs") {
        std::optional<int> n;
        if (tokens.size() == 2) n = Number(tokens[1], 1, MAX_PARAGRAPHS);
        if (!n) {
            errors_.Add(place, Format("'paragraphs' takes one number (1 to %d)", MAX_PARAGRAPHS));
            return;
        }
        book_.paragraphCount = *n;
        paragraphsSeen_ = place;
    } else if (key.text == "title") {
        HeaderText(place, tokens, h.title);
    } else if (key.text == "copyright") {
        HeaderText(place, tokens, h.copyrightHolder);
    } else if (key.text == "language") {
        HeaderText(place, tokens, h.language);
    } else if (key.text == "author") {
        HeaderText(place, tokens, h.author);
    } else if (key.text == "closing-line") {
        HeaderText(place, tokens, h.closingLine);
    } else if (key.text == "web") {
        HeaderText(place, tokens, h.webAddress);
    } else if (key.text == "contact") {
        HeaderText(place, tokens, h.contactAddress);
    } else if (key.text == "support") {
        HeaderText(place, tokens, h.supportAddress);
    } else if (key.text == "presents-image") {
        HeaderImage(place, tokens, h.presentsImage);
    } else if (key.text == "title-image") {
        HeaderImage(place, tokens, h.titleImage);
    } else if (key.text == "object") {
        ObjectDirective(place, tokens);
    } else if (key.text == "checkpoint") {
        CheckpointDirective(place, tokens);
    } else if (key.text == "image") {
        ImageDirective(place, tokens);
    } else if (key.text == "sound") {
        SoundDirective(place, tokens);
    } else if (key.text == "ending") {
        EndingDirective(place, tokens);
    } else if (key.text == "part") {
        PartDirective(place, tokens);
    } else {
        errors_.Add(place, "unknown directive '" + key.text + "'");
    }
}

void Reader::StartParagraph(Place place, const std::string& line, size_t at) {
    EndParagraph();
    size_t i = at + 1;
    size_t digits = i;
    while (digits < line.size() && IsDigit(line[digits])) ++digits;
    size_t rest = digits;
    while (rest < line.size() && IsBlank(line[rest])) ++rest;
    if (digits == i || digits - i > 5 || rest != line.size()) {
        errors_.Add(place, "bad paragraph line '" + line.substr(at) + "' (write @ and a number)");
        return;
    }
    int number = std::stoi(line.substr(i, digits - i));
    auto seen = paragraphSeen_.find(number);
    if (seen != paragraphSeen_.end()) {
        errors_.Add(place, Format("paragraph %d written twice (first at %s)", number,
                                  Where(seen->second).c_str()));
        return;
    }
    paragraphSeen_[number] = place;
    inParagraph_ = true;
    paragraph_ = Paragraph();
    paragraph_.number = number;
    paragraph_.place = place;
    lines_.clear();
}

// Cuts the paragraph's lines into words: white space separates words, except
// inside double quotes, where spaces stay and a line break becomes one space.
void Reader::EndParagraph() {
    if (!inParagraph_) return;
    inParagraph_ = false;
    bool inQuote = false;
    Place quoteAt;
    Word word;
    bool inWord = false;
    auto endWord = [&] {
        if (inWord) paragraph_.words.push_back(std::move(word));
        word = Word();
        inWord = false;
    };
    for (size_t l = 0; l < lines_.size(); ++l) {
        const auto& [place, line] = lines_[l];
        if (inQuote && l > 0) word.text += ' ';
        for (char c : line) {
            if (IsBlank(c) && !inQuote) {
                endWord();
                continue;
            }
            if (!inWord) {
                inWord = true;
                word.place = place;
            }
            if (c == '"') {
                inQuote = !inQuote;
                if (inQuote) quoteAt = place;
            }
            word.text += IsBlank(c) ? ' ' : c;
        }
        if (!inQuote) endWord();
    }
    if (inQuote) StrayQuote();
    endWord();
    book_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = Paragraph();
}

// The paragraph holds an odd number of quotes. Quotes pair up inside each tag
// and, outside the tags, around words kept together: the stray one is the
// unpaired quote of the first tag with an odd count, else the last quote
// outside the tags.
void Reader::StrayQuote() {
    std::optional<Place> inTag, outside;
    int tagQuotes = 0, outsideQuotes = 0;
    bool tagOpen = false;
    for (const auto& [place, line] : lines_) {
        for (size_t i = 0; i < line.size() && !inTag; ++i) {
            Place at{place.file, place.line, ColumnOf(line, i)};
            if (line[i] == '<') {
                tagOpen = true;
                tagQuotes = 0;
            } else if (line[i] == '>' && tagOpen) {
                tagOpen = false;
            } else if (line[i] == '"' && tagOpen) {
                if (++tagQuotes % 2 == 1) {
                    size_t close = line.find_first_of("\">", i + 1);
                    if (close == std::string::npos || line[close] == '>') inTag = at;
                }
            } else if (line[i] == '"') {
                ++outsideQuotes;
                outside = at;
            }
        }
    }
    Place at = inTag ? *inTag : outsideQuotes % 2 == 1 ? *outside : lines_.front().first;
    errors_.Add(at, inTag ? "stray quote: the text this quote opens in its tag is not closed "
                            "before the '>'"
                          : "stray quote: quotes come in pairs, and this one has no partner");
    paragraph_.sourceError = true;
}

// The paragraph read so far already ends with its <G>.
bool Reader::ParagraphEnded() const {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        const std::string& line = it->second;
        size_t end = line.find_last_not_of(" \t");
        if (end == std::string::npos) continue;
        return end >= 2 && line.compare(end - 2, 3, "<G>") == 0;
    }
    return false;
}

void Reader::ReadFile(int fileIndex, const std::string& text) {
    bool directives = true;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Place place{fileIndex, lineNumber};
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            errors_.Add({fileIndex, 1, 1},
                        "the file starts with a byte-order mark: save it as plain ASCII "
                        "without one");
            line.erase(0, 3);
        }
        // One message a line, for its first refused character; in a paragraph
        // the character is replaced so that the words around it stay put.
        bool printable = true;
        for (size_t i = 0; i < line.size(); ++i) {
            unsigned char u = static_cast<unsigned char>(line[i]);
            if ((u >= 32 || line[i] == '\t') && u <= 126) continue;
            size_t length = 1;
            std::string why = Unprintable(line, i, length);
            if (printable) errors_.Add({fileIndex, lineNumber, ColumnOf(line, i)}, why);
            printable = false;
            line.replace(i, length, "?");
        }
        if (!printable && (directives || !inParagraph_)) continue;
        if (!printable) paragraph_.sourceError = true;
        size_t first = 0;
        while (first < line.size() && IsBlank(line[first])) ++first;
        if (first < line.size() && line[first] == '#') continue;
        if (first < line.size() && line[first] == '@') {
            directives = false;
            StartParagraph(place, line, first);
            continue;
        }
        if (!directives) {
            if (!inParagraph_) continue;
            size_t wordEnd = line.find_first_of(" \t", first);
            if (ParagraphEnded() && IsDirective(line.substr(first, wordEnd - first))) {
                errors_.Add({fileIndex, lineNumber, ColumnOf(line, first)},
                            "directive '" + line.substr(first, wordEnd - first) +
                                "' after the paragraphs: directives come before the first @ "
                                "line of their file");
                continue;
            }
            lines_.push_back({place, line});
            continue;
        }
        if (first == line.size()) continue;
        std::vector<Token> tokens;
        if (Tokenize(place, line, tokens)) Directive(place, tokens);
    }
    EndParagraph();
}

void Reader::Finish() {
    Place top{0, 1};
    if (!paragraphsSeen_) {
        errors_.Add(top, "the book needs 'paragraphs N'");
        return;
    }
    int n = book_.paragraphCount;
    for (const Paragraph& p : book_.paragraphs)
        if (p.number < 1 || p.number > n)
            errors_.Add(p.place, Format("paragraph %d is outside the book (1 to %d)", p.number, n));
    for (const PendingRef& r : refs_)
        if (r.paragraph < 1 || r.paragraph > n)
            errors_.Add(r.place, Format("%s %d is outside the book (1 to %d)", r.what.c_str(),
                                        r.paragraph, n));
    auto complete = [&](auto& table, const char* what) {
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].defined) continue;
            errors_.Add(table.back().place, Format("%s %zu is missing (%ss run 0 to %zu)", what, i,
                                                   what, table.size() - 1));
            break;
        }
    };
    complete(book_.objects, "object");
    complete(book_.checkpoints, "checkpoint");
    complete(book_.images, "image");
    complete(book_.sounds, "sound");
    for (const Ending& e : book_.endings) {
        const Paragraph* p = book_.Find(e.page);
        if (e.page > n || !p || !p->HasWords())
            errors_.Add(e.place,
                        Format("ending %d is not a written paragraph of the book", e.page));
    }
    for (const PendingRef& r : imageRefs_)
        if (r.paragraph >= static_cast<int>(book_.images.size()))
            errors_.Add(r.place, Format("%s %d is not in the image table (%zu images)",
                                        r.what.c_str(), r.paragraph, book_.images.size()));
}

}  // namespace

CompileResult Compile(const std::vector<Source>& sources) {
    CompileResult result;
    Book& book = result.book;
    for (const Source& s : sources) book.files.push_back(s.name);
    book.parts.resize(book.files.size());
    Reader reader(book, result.errors);
    for (size_t i = 0; i < sources.size(); ++i)
        reader.ReadFile(static_cast<int>(i), sources[i].text);
    if (sources.empty()) {
        result.errors.push_back({"bookc", 0, 0, "no source files"});
        return result;
    }
    reader.Finish();
    for (size_t i = 0; i < book.paragraphs.size(); ++i) book.index[book.paragraphs[i].number] = i;
    // The markup is checked whenever the book's size is known, so that one
    // run reports as much as it can.
    if (book.paragraphCount > 0) {
        Errors errors(book, result.errors);
        for (Paragraph& p : book.paragraphs)
            if (!p.sourceError) CheckParagraph(book, p, errors);
    }
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [&](const Diagnostic& a, const Diagnostic& b) {
                         auto ia = std::find(book.files.begin(), book.files.end(), a.file);
                         auto ib = std::find(book.files.begin(), book.files.end(), b.file);
                         if (ia != ib) return ia < ib;
                         if (a.line != b.line) return a.line < b.line;
                         return a.column < b.column;
                     });
    result.ok = result.errors.empty();
    if (result.ok) result.text = BuildTextTables(book);
    return result;
}

}  // namespace bookc
