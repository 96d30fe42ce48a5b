// The story maps and the search for paragraphs nothing leads to.
#include <map>
#include <set>
#include <sstream>

#include "tools/bookc/internal.h"

namespace bookc {
namespace {

// Paragraph 6 lists the objects; each leads to its description page when
// the book has written one.
std::vector<Link> DescriptionLinks(const Book& book) {
    std::vector<Link> links;
    for (const Object& object : book.objects) {
        const Paragraph* page = book.Find(object.info);
        if (page && page->HasWords() && object.info != 6)
            links.push_back({LinkKind::Description, object.info, "info " + object.name, "", false});
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

const char* KindName(LinkKind kind) {
    switch (kind) {
        case LinkKind::Hotword:
            return "hotword";
        case LinkKind::Arrow:
            return "arrow";
        case LinkKind::Checkpoint:
            return "checkpoint";
        case LinkKind::Description:
            return "description";
    }
    return "";
}

// Everything from one paragraph to another drawn as one edge.
struct Edge {
    int from = 0, to = 0;
    std::vector<std::string> labels;
    LinkKind kind = LinkKind::Hotword;  // the first link's
    bool conditional = true;            // every link is conditional
};

// The book's links, with parallel links merged and repeated labels dropped.
std::vector<Edge> Edges(const Book& book) {
    std::map<std::pair<int, int>, Edge> merged;
    std::vector<std::pair<int, int>> order;
    auto add = [&](int from, const Link& l) {
        std::pair<int, int> key{from, l.target};
        auto [it, fresh] = merged.try_emplace(key);
        Edge& e = it->second;
        if (fresh) {
            order.push_back(key);
            e.from = from;
            e.to = l.target;
            e.kind = l.kind;
        }
        std::string label = std::string(KindName(l.kind)) + ": " + l.label;
        if (!l.odds.empty()) label += " " + l.odds;
        if (l.conditional) label = "if " + label;
        bool repeat = false;
        for (const std::string& s : e.labels) repeat = repeat || s == label;
        if (!repeat) e.labels.push_back(label);
        e.conditional = e.conditional && l.conditional;
    };
    for (const Paragraph& p : book.paragraphs)
        for (const Link& l : p.links) add(p.number, l);
    for (const Link& l : DescriptionLinks(book)) add(6, l);
    std::vector<Edge> edges;
    for (const auto& key : order) edges.push_back(merged[key]);
    return edges;
}

std::string EdgeAttributes(const Edge& e) {
    std::string label;
    for (const std::string& s : e.labels) label += (label.empty() ? "" : "\n") + s;
    std::string a = "label=" + Quote(label);
    if (e.kind == LinkKind::Arrow) a += ", style=dashed";
    if (e.kind == LinkKind::Checkpoint) a += ", style=bold";
    if (e.kind == LinkKind::Description) a += ", style=dotted";
    if (e.conditional) a += ", color=blue, fontcolor=blue";
    return a;
}

// The source file's name without folder and extension: the story's part.
std::string PartName(const Book& book, int file) {
    std::string name = book.files[file];
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

class MapWriter {
   public:
    explicit MapWriter(const Book& book) : book_(book) {
        for (const Ending& e : book.endings) endings_[e.page] = &e;
        for (size_t k = 0; k < book.checkpoints.size(); ++k)
            checkpoints_[book.checkpoints[k].page].push_back(static_cast<int>(k));
        for (const Paragraph& p : book.paragraphs)
            if (p.HasWords()) part_[p.number] = p.place.file;
        if (!book.objects.empty() && !book.Find(6)) part_[6] = -1;
    }

    std::string Node(int number) const {
        const Paragraph* p = book_.Find(number);
        std::string label = std::to_string(number);
        if (p && !p->title.empty()) label += ": " + p->title;
        if (!p) label += ": information (built by the reader)";
        std::string a = "label=" + Quote(label);
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
        Head(o, "book");
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
        for (const Edge& e : Edges(book_))
            o << "    p" << e.from << " -> p" << e.to << " [" << EdgeAttributes(e) << "];\n";
        o << "}\n";
        return o.str();
    }

    // One part: its paragraphs in full; paragraphs of other parts that lead
    // here or that it leads to, as small notes.
    std::string Part(int file) const {
        std::ostringstream o;
        Head(o, PartName(book_, file));
        std::set<int> others;
        for (const auto& [number, f] : part_)
            if (f == file) o << "    " << Node(number);
        std::ostringstream edges;
        for (const Edge& e : Edges(book_)) {
            bool from = PartOf(e.from) == file, to = PartOf(e.to) == file;
            if (!from && !to) continue;
            if (!from) others.insert(e.from);
            if (!to) others.insert(e.to);
            edges << "    p" << e.from << " -> p" << e.to << " [" << EdgeAttributes(e) << "];\n";
        }
        for (int n : others) {
            const Paragraph* p = book_.Find(n);
            std::string label = std::to_string(n);
            if (p && !p->title.empty()) label += ": " + p->title;
            int f = PartOf(n);
            label += "\n(" + (f >= 0 ? PartName(book_, f) : std::string("the reader")) + ")";
            o << "    p" << n << " [label=" << Quote(label)
              << ", shape=note, style=filled, fillcolor=grey92, fontsize=8];\n";
        }
        o << edges.str() << "}\n";
        return o.str();
    }

    std::string Overview() const {
        std::ostringstream o;
        Head(o, "overview");
        std::map<int, int> paragraphs, endings, checkpoints;
        for (const auto& [number, f] : part_) {
            ++paragraphs[f];
            if (endings_.count(number)) ++endings[f];
            if (checkpoints_.count(number)) ++checkpoints[f];
        }
        for (const auto& [f, count] : paragraphs) {
            if (f < 0) continue;
            std::string label = PartName(book_, f) + "\n" + std::to_string(count) + " paragraphs";
            auto add = [&](int n, const char* what) {
                if (n) label += ", " + std::to_string(n) + " " + what + (n == 1 ? "" : "s");
            };
            add(endings[f], "ending");
            add(checkpoints[f], "checkpoint");
            o << "    f" << f << " [label=" << Quote(label) << "];\n";
        }
        std::map<std::pair<int, int>, int> between;
        for (const Edge& e : Edges(book_)) {
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
    static void Head(std::ostringstream& o, const std::string& name) {
        o << "// Story map generated by bookc\ndigraph " << Quote(name) << " {\n"
          << "    graph [newrank=true];\n    node [shape=box, fontsize=10];\n"
          << "    edge [fontsize=8];\n";
    }

    const Book& book_;
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
    for (int f : files) maps.push_back({PartName(book, f), writer.Part(f)});
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
