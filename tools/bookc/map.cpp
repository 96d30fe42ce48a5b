// The story maps and the search for paragraphs nothing leads to. The maps are
// for the book's author: every link is labelled in words (the button, what it
// changes, the condition it is shown under), never in the markup's letters.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "tools/bookc/internal.h"

namespace bookc {
namespace {

// Paragraph 6 lists the objects; each leads to its description page when
// the book has written one.
std::vector<Link> DescriptionLinks(const Book& book) {
    std::vector<Link> links;
    for (size_t k = 0; k < book.objects.size(); ++k) {
        const Paragraph* page = book.Find(book.objects[k].info);
        if (!page || !page->HasWords() || book.objects[k].info == 6) continue;
        links.emplace_back(LinkKind::Description, 0, "", static_cast<int>(k));
        links.back().target = book.objects[k].info;
    }
    return links;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Breaks a text into lines of about `width` characters at its spaces, so that
// labels make the maps taller rather than wider.
std::string Wrap(const std::string& text, size_t width = 18) {
    std::string out, line, word;
    std::istringstream in(text);
    while (in >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += (out.empty() ? "" : "\n") + line;
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + (out.empty() || line.empty() ? "" : "\n") + line;
}

std::string ObjectName(const Book& book, int k) {
    if (k >= 0 && k < static_cast<int>(book.objects.size())) return book.objects[k].name;
    return "object " + std::to_string(k);
}

// A value of object k in words: its text when it has one for that place.
std::string ValueWords(const Book& book, int k, int v) {
    if (k >= 0 && k < static_cast<int>(book.objects.size())) {
        const Object& o = book.objects[k];
        if (o.kind == KIND_TEXT && v >= 0 && v < static_cast<int>(o.texts.size()))
            return o.texts[v];
    }
    return std::to_string(v);
}

std::string SlotName(const Book& book, int k) {
    if (k >= 0 && k < static_cast<int>(book.checkpoints.size())) return book.checkpoints[k].name;
    return "checkpoint " + std::to_string(k);
}

// A guard in words, split the way the map phrases it: "if <ifs>, unless
// <unlesses>".
struct GuardParts {
    std::vector<std::string> ifs, unlesses;
};

// Puts a condition of the markup (already checked by the compiler) into
// words: "(X %1) & !(%1 = 1)" becomes "Lantern is held and Lantern is not lit".
class ConditionWords {
   public:
    ConditionWords(const Book& book, const std::string& s) : book_(book), s_(s) {}

    // A whole guard. A chain of "&" is split into what must hold and, from
    // the negated groups that hold a chain of their own (an <E> after
    // <O (a) & (b)>), what must not.
    GuardParts Guard() {
        GuardParts parts;
        const size_t start = pos_;
        bool onlyAnd = true;
        std::vector<std::pair<std::string, bool>> groups = {TopGroup()};
        for (;;) {
            Blanks();
            const char op = Peek();
            if (op != '&' && op != '|') break;
            ++pos_;
            onlyAnd = onlyAnd && op == '&';
            groups.push_back(TopGroup());
        }
        if (!onlyAnd) {
            pos_ = start;
            parts.ifs.push_back(Expression());
            return parts;
        }
        for (const auto& [words, unless] : groups)
            (unless ? parts.unlesses : parts.ifs).push_back(words);
        return parts;
    }

   private:
    // A group of a guard's chain, and whether it is one that must not hold.
    std::pair<std::string, bool> TopGroup() {
        const size_t start = pos_;
        if (Eat('!') && Eat('(')) {
            Blanks();
            if (Peek() == '(' || Peek() == '!') {
                const int before = operators_;
                std::string inner = Expression();
                Eat(')');
                if (operators_ != before) return {inner, true};
            }
        }
        pos_ = start;
        return {Group(), false};
    }

    // With `negated`, a single group takes the negation itself ("is not");
    // a chain is put in "not (...)".
    std::string Expression(bool negated = false) {
        const size_t start = pos_;
        std::string words = Group(negated);
        Blanks();
        if (!negated || (Peek() != '&' && Peek() != '|')) return Chain(words);
        pos_ = start;
        return "not (" + Expression() + ")";
    }

    std::string Chain(std::string words) {
        char joined = 0;
        for (;;) {
            Blanks();
            char op = Peek();
            if (op != '&' && op != '|') return words;
            ++pos_;
            ++operators_;
            // The reader combines a chain from left to right: a change of
            // operator binds everything before it.
            if (joined && op != joined) words = "(" + words + ")";
            joined = op;
            words += (op == '&' ? " and " : " or ") + Group();
        }
    }

    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    void Blanks() {
        while (Peek() == ' ') ++pos_;
    }
    bool Eat(char c) {
        Blanks();
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    int Number() {
        Blanks();
        int v = 0;
        while (Peek() >= '0' && Peek() <= '9') v = v * 10 + (s_[pos_++] - '0');
        return v;
    }

    std::string Group(bool negated = false) {
        if (Eat('!')) negated = !negated;
        if (Eat('*')) return SlotName(book_, Number()) + (negated ? " is not saved" : " is saved");
        Eat('(');
        Blanks();
        std::string words;
        if (Peek() == '(' || Peek() == '!')
            words = Expression(negated);
        else
            words = Test(negated);
        Eat(')');
        return words;
    }

    std::string Test(bool negated) {
        const std::string is = negated ? " is not " : " is ";
        if (Eat('X')) {
            Eat('%');
            return ObjectName(book_, Number()) + is + "held";
        }
        Eat('%');
        const int k = Number();
        Blanks();
        const char op = Peek();
        ++pos_;
        const std::string compare = op == 'x' ? "more than " : op == 'y' ? "less than " : "";
        std::string value;
        if (Eat('%'))
            value = ObjectName(book_, Number()) + "'s value";
        else
            value = ValueWords(book_, k, Number());
        return ObjectName(book_, k) + is + compare + value;
    }

    const Book& book_;
    const std::string& s_;
    size_t pos_ = 0;
    int operators_ = 0;  // "&" and "|" read so far
};

std::string JoinWords(const std::vector<std::string>& parts, const char* with) {
    std::string s;
    for (const std::string& p : parts) {
        const bool chain = parts.size() > 1 && (p.find(" and ") != std::string::npos ||
                                                p.find(" or ") != std::string::npos);
        s += (s.empty() ? "" : with) + (chain ? "(" + p + ")" : p);
    }
    return s;
}

// When a link is there: "if ..., unless ...", from the conditions of the
// blocks around it; empty when it always is.
std::string GuardWords(const Book& book, const Link& l) {
    GuardParts all;
    for (const std::string& guard : l.guards) {
        if (guard.empty()) continue;
        GuardParts parts = ConditionWords(book, guard).Guard();
        all.ifs.insert(all.ifs.end(), parts.ifs.begin(), parts.ifs.end());
        all.unlesses.insert(all.unlesses.end(), parts.unlesses.begin(), parts.unlesses.end());
    }
    std::string words;
    if (!all.ifs.empty()) words = "if " + JoinWords(all.ifs, " and ");
    if (!all.unlesses.empty())
        words += (words.empty() ? "unless " : ", unless ") + JoinWords(all.unlesses, " or ");
    return words;
}

// A button's face: its text in quotes, a picture, or an object's value.
std::string FaceWords(const Book& book, const std::string& face) {
    if (face.empty() || face[0] == '"') return face;
    const int n = std::atoi(face.c_str() + 1);
    if (face[0] == '$') return "picture " + std::to_string(n);
    return "[" + ObjectName(book, n) + "]";
}

// What choosing the link changes.
std::string EffectWords(const Book& book, const Link& l) {
    const std::string name = ObjectName(book, l.object);
    switch (l.tag) {
        case 'N':
            return " (takes " + name + ")";
        case 'Q':
            return " (gives up " + name + ")";
        case 'R':
        case 'r': {
            const std::string& v = l.value;
            bool negative = !v.empty() && v[0] == '-';
            size_t digits = v.find_first_of("0123456789");
            int n = digits == std::string::npos ? 0 : std::atoi(v.c_str() + digits);
            if (v == "z") return " (" + name + " set at random)";
            if (v.find('%') != std::string::npos) {
                std::string other = ObjectName(book, n) + "'s value";
                if (l.tag == 'R') return " (" + name + " set to " + other + ")";
                return " (" + name + (negative ? " less " : " plus ") + other + ")";
            }
            if (l.tag == 'R')
                return " (" + name + " becomes " + ValueWords(book, l.object, n) + ")";
            // A step along the object's list or its number: "(Coins -1)".
            return " (" + name + (negative ? " -" : " +") + std::to_string(n) + ")";
        }
        default:
            return "";
    }
}

// One link's line on its edge.
std::string LinkWords(const Book& book, const Link& l) {
    std::string what;
    switch (l.kind) {
        case LinkKind::Arrow:
            what = l.tag == 'n' ? "next page" : "previous page";
            break;
        case LinkKind::Checkpoint:
            what = "restart there";
            break;
        case LinkKind::Description:
            what = "description of " + ObjectName(book, l.object);
            break;
        case LinkKind::Hotword:
            if (l.tag == 'S')
                what = l.face.empty() ? "any other answer" : "answer \"" + l.face + "\"";
            else
                what = FaceWords(book, l.face) + EffectWords(book, l);
            if (!l.odds.empty()) what += " " + l.odds;
            break;
    }
    const std::string guard = GuardWords(book, l);
    return guard.empty() ? what : guard + ": " + what;
}

// Everything from one paragraph to another drawn as one edge.
struct Edge {
    int from = 0, to = 0;
    std::vector<std::string> labels;
    LinkKind kind = LinkKind::Hotword;  // the first link's
    bool conditional = true;            // every link is conditional
    bool twoWay = false;                // a next arrow answered by a previous arrow
    bool back = false;                  // leads back up the story: a part map draws a sign
};

// The book's links, with parallel links merged, repeated labels dropped, and
// a next arrow drawn once with the previous arrow that answers it.
std::vector<Edge> Edges(const Book& book) {
    std::set<std::pair<int, int>> nexts;
    for (const Paragraph& p : book.paragraphs)
        for (const Link& l : p.links)
            if (l.kind == LinkKind::Arrow && l.tag == 'n' && !l.Conditional())
                nexts.insert({p.number, l.target});
    std::map<std::pair<int, int>, Edge> merged;
    std::vector<std::pair<int, int>> order;
    auto add = [&](int from, const Link& l) {
        const bool arrow = l.kind == LinkKind::Arrow && !l.Conditional();
        if (arrow && l.tag == 'p' && nexts.count({l.target, from})) return;
        std::pair<int, int> key{from, l.target};
        auto [it, fresh] = merged.try_emplace(key);
        Edge& e = it->second;
        if (fresh) {
            order.push_back(key);
            e.from = from;
            e.to = l.target;
            e.kind = l.kind;
        }
        std::string label = LinkWords(book, l);
        if (arrow && l.tag == 'n' && nexts.count({from, l.target})) {
            const Paragraph* target = book.Find(l.target);
            bool answered = false;
            if (target)
                for (const Link& back : target->links)
                    answered = answered || (back.kind == LinkKind::Arrow && back.tag == 'p' &&
                                            back.target == from && !back.Conditional());
            if (answered) {
                e.twoWay = true;
                label = "next page, and back";
            }
        }
        if (std::find(e.labels.begin(), e.labels.end(), label) == e.labels.end())
            e.labels.push_back(label);
        e.conditional = e.conditional && l.Conditional();
    };
    for (const Paragraph& p : book.paragraphs)
        for (const Link& l : p.links) add(p.number, l);
    for (const Link& l : DescriptionLinks(book)) add(6, l);
    std::vector<Edge> edges;
    for (const auto& key : order) edges.push_back(merged[key]);
    return edges;
}

std::string EdgeAttributes(const Edge& e, bool withLabel = true) {
    std::string label;
    for (const std::string& s : e.labels) label += (label.empty() ? "" : "\n") + Wrap(s);
    std::string a = withLabel ? "label=" + Quote(label) : "arrowhead=none";
    if (e.kind == LinkKind::Arrow) a += ", style=dashed";
    if (e.kind == LinkKind::Checkpoint) a += ", style=bold";
    if (e.kind == LinkKind::Description) a += ", style=dotted";
    if (e.twoWay) a += ", dir=both";
    if (e.conditional) a += ", color=blue, fontcolor=blue";
    return a;
}

// The source file's name without folder and extension: its map's file name.
std::string FileName(const Book& book, int file) {
    std::string name = book.files[file];
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

// The part of the story a file holds, as its `part` directive names it.
std::string PartName(const Book& book, int file) {
    if (file < static_cast<int>(book.parts.size()) && !book.parts[file].empty())
        return book.parts[file];
    return FileName(book, file);
}

// What the shapes, colours and lines of a map mean; drawn in every part's map
// as one table, so that it takes no room in the map's ranks.
const char* const kLegend = R"(    legend [shape=plaintext, fontsize=8, label=<
<TABLE BORDER="1" STYLE="rounded" COLOR="grey60" CELLBORDER="0" CELLSPACING="3">
<TR><TD COLSPAN="2"><FONT POINT-SIZE="10">How to read this map</FONT></TD></TR>
<TR><TD BORDER="1">48: The Valley Road</TD><TD ALIGN="LEFT">a page: its number and title</TD></TR>
<TR><TD><TABLE BORDER="1" CELLBORDER="1" CELLSPACING="1"><TR><TD>52: Fernvale Green</TD></TR></TABLE></TD><TD ALIGN="LEFT">a page that saves a checkpoint</TD></TR>
<TR><TD BORDER="1" BGCOLOR="palegreen">good ending</TD><TD ALIGN="LEFT">an ending meant to be good</TD></TR>
<TR><TD BORDER="1" BGCOLOR="lightpink">bad ending</TD><TD ALIGN="LEFT">an ending meant to be bad</TD></TR>
<TR><TD BORDER="1" BGCOLOR="grey92">2: Welcome (part)</TD><TD ALIGN="LEFT">a page of another part</TD></TR>
<TR><TD BORDER="1" STYLE="rounded,dashed">"Back"<BR/>to 52: Fernvale Green</TD><TD ALIGN="LEFT">a link back up the story, or out<BR ALIGN="LEFT"/>to another part, as a sign</TD></TR>
<TR><TD>solid line</TD><TD ALIGN="LEFT">a button: "its text" (what it changes) odds</TD></TR>
<TR><TD><FONT COLOR="blue">blue line</FONT></TD><TD ALIGN="LEFT"><FONT COLOR="blue">shown only if the condition before the colon holds</FONT></TD></TR>
<TR><TD>dashed line</TD><TD ALIGN="LEFT">the page arrows; two heads: next and back</TD></TR>
<TR><TD>bold line</TD><TD ALIGN="LEFT">restart at a checkpoint</TD></TR>
<TR><TD>dotted line</TD><TD ALIGN="LEFT">an object's description</TD></TR>
</TABLE>>];
)";

// A page that leads to more pages than this has the stories behind its links
// stacked in this many columns.
constexpr int kFan = 2;

// A page of another part, or several of one part, drawn as a note.
struct Note {
    std::string label;
    int part;  // the part its pages are in; -1 for the page the reader builds
};

class MapWriter {
   public:
    explicit MapWriter(const Book& book) : book_(book), edges_(Edges(book)) {
        for (const Ending& e : book.endings) endings_[e.page] = &e;
        for (size_t k = 0; k < book.checkpoints.size(); ++k)
            checkpoints_[book.checkpoints[k].page].push_back(static_cast<int>(k));
        for (const Paragraph& p : book.paragraphs)
            if (p.HasWords()) part_[p.number] = p.place.file;
        if (!book.objects.empty() && !book.Find(6)) part_[6] = -1;
    }

    std::string Node(int number, const std::string& extra = "") const {
        const Paragraph* p = book_.Find(number);
        std::string label = std::to_string(number);
        if (p && !p->title.empty()) label += ": " + p->title;
        if (!p) label += ": information (built by the reader)";
        std::string a = "label=" + Quote(label + extra);
        auto cp = checkpoints_.find(number);
        if (cp != checkpoints_.end()) {
            for (int k : cp->second)
                a.insert(a.size() - 1, "\\nsaves checkpoint " + std::to_string(k) + " (" +
                                           book_.checkpoints[k].name + ")");
            a += ", peripheries=2";
        }
        auto e = endings_.find(number);
        if (e != endings_.end()) {
            std::string what = e->second->good ? "good ending" : "bad ending";
            if (!p || e->second->name != p->title) what += ": " + e->second->name;
            a.insert(a.size() - 1, "\\n" + what);
            a += e->second->good ? ", style=filled, fillcolor=palegreen"
                                 : ", style=filled, fillcolor=lightpink";
        }
        return "p" + std::to_string(number) + " [" + a + "];\n";
    }

    std::string Whole() const {
        std::ostringstream o;
        Head(o, "book", book_.header.title);
        for (size_t f = 0; f < book_.files.size(); ++f) {
            std::ostringstream nodes;
            for (const auto& [number, file] : part_)
                if (file == static_cast<int>(f)) nodes << "        " << Node(number);
            if (nodes.str().empty()) continue;
            o << "    subgraph cluster_" << f
              << " {\n        label=" << Quote(PartName(book_, static_cast<int>(f))) << ";\n"
              << nodes.str() << "    }\n";
        }
        if (part_.count(6) && part_.at(6) < 0) o << "    " << Node(6);
        for (const Edge& e : edges_)
            o << "    p" << e.from << " -> p" << e.to << " [" << EdgeAttributes(e) << "];\n";
        o << "}\n";
        return o.str();
    }

    // One part: its paragraphs in full; the paragraphs of other parts that
    // lead here or that it leads to, as small notes (several of one part
    // with the same page, as one note); and the legend.
    std::string Part(int file) const {
        std::ostringstream o;
        Head(o, FileName(book_, file), PartName(book_, file));
        o << kLegend;
        std::vector<Edge> edges;
        for (const Edge& e : edges_)
            if (PartOf(e.from) == file || PartOf(e.to) == file) edges.push_back(e);
        const std::map<int, Note> notes = GroupNotes(edges, file);
        const std::vector<std::pair<int, int>> stacked = Rank(edges, file);
        const std::map<int, std::string> reachedBy = FanLabels(edges, file);
        auto extra = [&](int n) {
            auto it = reachedBy.find(n);
            return it == reachedBy.end() ? std::string() : "\n" + Wrap(it->second);
        };
        for (const auto& [number, f] : part_)
            if (f == file) o << "    " << Node(number, extra(number));
        // A note is drawn for the pages that lead here; a link back up the
        // story, or out to another part, ends in a small sign under the page
        // it leaves, naming where it goes, instead of a long line across the
        // map.
        std::set<int> sources;
        for (const Edge& e : edges) sources.insert(e.from);
        for (const auto& [id, note] : notes) {
            if (!sources.count(id)) continue;
            o << "    " << NodeId(id) << " [label=" << Quote(note.label + extra(id))
              << ", shape=note, style=filled, fillcolor=grey92, fontsize=8" << Link(note.part)
              << "];\n";
        }
        for (const auto& [a, b] : stacked)
            o << "    " << NodeId(a) << " -> " << NodeId(b) << " [style=invis];\n";
        int signs = 0;
        for (const Edge& e : edges) {
            auto note = notes.find(e.to);
            if (!e.back && note == notes.end()) {
                o << "    " << NodeId(e.from) << " -> " << NodeId(e.to) << " [" << EdgeAttributes(e)
                  << "];\n";
                continue;
            }
            std::string label;
            for (const std::string& l : e.labels) label += (label.empty() ? "" : "\n") + Wrap(l);
            const std::string where = note != notes.end() ? note->second.label : Wrap(Title(e.to));
            const std::string sign = "sign" + std::to_string(++signs);
            o << "    " << sign << " [label=" << Quote(label + "\nto " + where)
              << ", shape=box, style=\"rounded,dashed\", fontsize=8"
              << (e.conditional ? ", color=blue, fontcolor=blue" : "")
              << Link(note != notes.end() ? note->second.part : -1) << "];\n"
              << "    " << NodeId(e.from) << " -> " << sign << " [" << EdgeAttributes(e, false)
              << "];\n";
        }
        o << "}\n";
        return o.str();
    }

    // "52: Fernvale Green".
    std::string Title(int id) const {
        const Paragraph* p = book_.Find(id);
        return std::to_string(id) + (p && !p->title.empty() ? ": " + p->title : "");
    }

    // The link from a note or sign to the map of part `f`.
    std::string Link(int f) const {
        return f >= 0 ? ", URL=" + Quote(FileName(book_, f) + ".svg") : "";
    }

    // The parts of the story, each a link to its own map, and the links
    // between them.
    std::string Overview() const {
        std::ostringstream o;
        Head(o, "overview",
             (book_.header.title.empty() ? "" : book_.header.title + ": ") +
                 "the parts of the story (each box opens its map)");
        std::map<int, int> paragraphs, endings, checkpoints, first, last;
        for (const auto& [number, f] : part_) {
            if (!paragraphs[f]++) first[f] = number;
            last[f] = number;
            if (endings_.count(number)) ++endings[f];
            if (checkpoints_.count(number)) ++checkpoints[f];
        }
        for (const auto& [f, count] : paragraphs) {
            if (f < 0) continue;
            std::string label = PartName(book_, f) + "\n" + std::to_string(count) +
                                (count == 1 ? " page" : " pages");
            if (first[f] != last[f])
                label += " (" + std::to_string(first[f]) + " to " + std::to_string(last[f]) + ")";
            auto add = [&](int n, const char* what) {
                if (n) label += ", " + std::to_string(n) + " " + what + (n == 1 ? "" : "s");
            };
            add(endings[f], "ending");
            add(checkpoints[f], "checkpoint");
            o << "    f" << f << " [label=" << Quote(label)
              << ", URL=" << Quote(FileName(book_, f) + ".svg")
              << ", tooltip=" << Quote("the map of " + PartName(book_, f)) << "];\n";
        }
        std::map<std::pair<int, int>, int> between;
        for (const Edge& e : edges_) {
            int a = PartOf(e.from), b = PartOf(e.to);
            if (a != b && a >= 0 && b >= 0) ++between[{a, b}];
        }
        for (const auto& [key, count] : between)
            o << "    f" << key.first << " -> f" << key.second << " [label=\"" << count
              << (count == 1 ? " link" : " links") << "\"];\n";
        o << "}\n";
        return o.str();
    }

   private:
    int PartOf(int number) const {
        auto it = part_.find(number);
        return it == part_.end() ? -1 : it->second;
    }

    static std::string NodeId(int id) {
        return id >= 0 ? "p" + std::to_string(id) : "g" + std::to_string(-id);
    }

    // The notes for the pages of other parts that `edges` reach, by id; where
    // several pages of one part lead to the same page of this one, or one
    // page here to several of one part, one note (a negative id) stands for
    // them all and its edges become one.
    std::map<int, Note> GroupNotes(std::vector<Edge>& edges, int file) const {
        std::map<std::tuple<int, int, bool>, std::vector<size_t>> groups;
        for (size_t i = 0; i < edges.size(); ++i) {
            const Edge& e = edges[i];
            if (PartOf(e.from) != file) groups[{PartOf(e.from), e.to, true}].push_back(i);
            if (PartOf(e.to) != file) groups[{e.from, PartOf(e.to), false}].push_back(i);
        }
        std::map<int, Note> notes;
        std::vector<bool> gone(edges.size());
        std::vector<Edge> added;
        int next = -1;
        for (const auto& [key, members] : groups) {
            const auto& [a, b, incoming] = key;
            const int otherPart = incoming ? a : b;
            if (members.size() == 1) {
                const Edge& e = edges[members[0]];
                const int page = incoming ? e.from : e.to;
                notes[page] = {NoteLabel(page), PartOf(page)};
                continue;
            }
            std::set<int> pages;  // in order, each once
            std::vector<std::string> labels;
            Edge merged = edges[members[0]];
            for (size_t i : members) {
                const Edge& e = edges[i];
                pages.insert(incoming ? e.from : e.to);
                for (const std::string& l : e.labels)
                    if (std::find(labels.begin(), labels.end(), l) == labels.end())
                        labels.push_back(l);
                merged.conditional = merged.conditional && e.conditional;
                gone[i] = true;
            }
            const std::string part =
                otherPart >= 0 ? PartName(book_, otherPart) : std::string("the reader");
            std::vector<std::string> numbers;
            for (int page : pages) numbers.push_back(std::to_string(page));
            notes[next] = {Wrap(std::to_string(pages.size()) + " pages of " + part + ": " +
                                JoinWords(numbers, ", ")),
                           otherPart};
            if (labels.size() > 3)
                labels = {std::to_string(members.size()) + " links, each in the map of " + part};
            merged.labels = labels;
            merged.twoWay = false;
            (incoming ? merged.from : merged.to) = next--;
            added.push_back(merged);
        }
        std::vector<Edge> kept;
        for (size_t i = 0; i < edges.size(); ++i)
            if (!gone[i]) kept.push_back(edges[i]);
        kept.insert(kept.end(), added.begin(), added.end());
        edges = kept;
        return notes;
    }

    std::string NoteLabel(int page) const {
        const Paragraph* p = book_.Find(page);
        std::string label = std::to_string(page);
        if (p && !p->title.empty()) label += ": " + p->title;
        const int f = PartOf(page);
        return label + "\n(" + (f >= 0 ? PartName(book_, f) : std::string("the reader")) + ")";
    }

    // A page that leads to many pages has its links' words written in the
    // pages they lead to, where nothing else leads there, so that the fan of
    // its links stays narrow.
    std::map<int, std::string> FanLabels(std::vector<Edge>& edges, int file) const {
        std::map<int, int> incoming, fan;
        for (const Edge& e : edges) {
            ++incoming[e.to];
            if (!e.back && e.from != e.to) ++fan[e.from];
        }
        std::map<int, std::string> reachedBy;
        for (Edge& e : edges) {
            if (e.back || e.from == e.to || fan[e.from] <= kFan + 1 || incoming[e.to] != 1 ||
                PartOf(e.to) != file)
                continue;
            std::string words;
            for (const std::string& l : e.labels) words += (words.empty() ? "" : "; ") + l;
            reachedBy[e.to] = "(" + words + ")";
            e.labels.clear();
        }
        return reachedBy;
    }

    // Keeps a part's map about as wide as a screen: finds the links back up
    // the story ("Back to the green"), which are drawn as signs, and returns
    // the edges, not drawn, that stack the stories behind a page's many links.
    std::vector<std::pair<int, int>> Rank(std::vector<Edge>& edges, int file) const {
        std::map<int, std::vector<Edge*>> out;
        std::map<int, int> incoming;
        for (Edge& e : edges) {
            out[e.from].push_back(&e);
            if (e.from != e.to) ++incoming[e.to];
        }
        // Depth first from the part's entries (pages of other parts, then
        // its pages that nothing of its own leads to, then the rest): an edge
        // into a page still on the path is a link back.
        std::vector<int> starts;
        for (const auto& [from, list] : out)
            if (PartOf(from) != file) starts.push_back(from);
        for (const auto& [number, f] : part_)
            if (f == file && !incoming.count(number)) starts.push_back(number);
        for (const auto& [number, f] : part_)
            if (f == file) starts.push_back(number);
        std::map<int, int> state;  // 1 on the path, 2 done
        std::vector<std::pair<int, size_t>> stack;
        for (int start : starts) {
            if (state[start]) continue;
            state[start] = 1;
            stack.push_back({start, 0});
            while (!stack.empty()) {
                auto& [node, next] = stack.back();
                const std::vector<Edge*>& list = out[node];
                if (next == list.size()) {
                    state[node] = 2;
                    stack.pop_back();
                    continue;
                }
                Edge* e = list[next++];
                if (state[e->to] == 1) {
                    e->back = true;
                } else if (!state[e->to]) {
                    state[e->to] = 1;
                    stack.push_back({e->to, 0});
                }
            }
        }
        // A page that leads to many has the stories behind its links stacked
        // in kFan columns: each one's first page placed under the deepest page
        // of the one kFan before it, with an edge that is not drawn.
        std::map<int, std::vector<int>> forward;
        std::map<int, int> joins;  // forward links into a page
        for (const Edge& e : edges) {
            if (e.back || e.from == e.to || PartOf(e.to) != file) continue;
            forward[e.from].push_back(e.to);
            ++joins[e.to];
        }
        // The longest way down from a page, worked out without recursion (a
        // book may be one long chain): a page is done once all it leads to are.
        std::map<int, int> depth;
        auto deepest = [&](int start) {
            std::vector<std::pair<int, size_t>> path = {{start, 0}};
            depth.try_emplace(start, 0);
            while (!path.empty()) {
                auto& [n, next] = path.back();
                if (next < forward[n].size()) {
                    const int to = forward[n][next++];
                    if (depth.try_emplace(to, 0).second) path.push_back({to, 0});
                    continue;
                }
                int d = 0;
                for (int to : forward[n]) d = std::max(d, 1 + depth[to]);
                depth[n] = d;
                path.pop_back();
            }
            return depth[start];
        };
        std::vector<std::pair<int, int>> stacked;
        for (const auto& [hub, children] : forward) {
            if (children.size() <= static_cast<size_t>(kFan)) continue;
            // The end of the longest way down from each child through pages
            // only it leads to.
            std::vector<int> bottoms;
            for (int n : children) {
                for (bool deeper = true; deeper;) {
                    deeper = false;
                    int best = -1;
                    for (int to : forward[n])
                        if (joins[to] == 1 && (best < 0 || deepest(to) > deepest(best))) best = to;
                    if (best >= 0) {
                        n = best;
                        deeper = true;
                    }
                }
                bottoms.push_back(n);
            }
            for (size_t i = kFan; i < children.size(); ++i)
                if (bottoms[i - kFan] != children[i])
                    stacked.push_back({bottoms[i - kFan], children[i]});
        }
        return stacked;
    }

    static void Head(std::ostringstream& o, const std::string& name, const std::string& title) {
        o << "// Story map generated by bookc\ndigraph " << Quote(name) << " {\n"
          << "    graph [newrank=true, label=" << Quote(title)
          << ", labelloc=t, fontsize=14, nodesep=0.08, ranksep=0.3];\n"
          << "    node [shape=box, fontsize=10];\n    edge [fontsize=8];\n";
    }

    const Book& book_;
    std::vector<Edge> edges_;
    std::map<int, const Ending*> endings_;
    std::map<int, std::vector<int>> checkpoints_;
    std::map<int, int> part_;  // written paragraph to its source file; -1 built by the reader
};

}  // namespace

std::string GenerateMap(const Book& book) {
    return MapWriter(book).Whole();
}

std::vector<std::pair<std::string, std::string>> GeneratePartMaps(const Book& book) {
    MapWriter writer(book);
    std::vector<std::pair<std::string, std::string>> maps = {{"overview", writer.Overview()}};
    std::set<int> files;
    for (const Paragraph& p : book.paragraphs)
        if (p.HasWords()) files.insert(p.place.file);
    for (int f : files) maps.push_back({FileName(book, f), writer.Part(f)});
    return maps;
}

std::vector<int> FindUnreached(const Book& book) {
    std::map<int, const Paragraph*> byNumber;
    for (const Paragraph& p : book.paragraphs) byNumber[p.number] = &p;
    const std::vector<Link> descriptions = DescriptionLinks(book);
    std::set<int> reached;
    std::vector<int> work = {2, 3, 4, 5, 6, 7};
    while (!work.empty()) {
        int n = work.back();
        work.pop_back();
        if (!reached.insert(n).second) continue;
        auto it = byNumber.find(n);
        if (it != byNumber.end())
            for (const Link& l : it->second->links) work.push_back(l.target);
        if (n == 6)
            for (const Link& l : descriptions) work.push_back(l.target);
    }
    std::vector<int> unreached;
    for (const auto& [number, p] : byNumber)
        if (p->HasWords() && !reached.count(number)) unreached.push_back(number);
    return unreached;
}

}  // namespace bookc
