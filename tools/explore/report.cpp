// The explorer's report as text and as JSON, and walkthrough scripts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tools/explore/explorer.h"

namespace explore {
namespace {

std::string StepText(const Step& s) {
    std::string t;
    switch (s.kind) {
        case Step::Tap:
            t = "tap \"" + s.text + "\"";
            break;
        case Step::Answer:
            t = "answer \"" + s.text + "\"";
            break;
        case Step::Command:
            t = s.text;
            break;
    }
    if (s.draw >= 0)
        t += " (the page drew " + std::to_string(s.draw) + " of 0-" +
             std::to_string(s.drawRange - 1) + ")";
    if (s.roll)
        t += " rolling " + std::to_string(s.roll) +
             (s.rollHigh > s.roll ? "-" + std::to_string(s.rollHigh) : "") + " of " +
             std::to_string(s.rollRange);
    return t;
}

std::string PathText(const Path& path) {
    if (path.empty()) return "(at the start)";
    std::string out;
    for (const Step& s : path) out += (out.empty() ? "" : " > ") + StepText(s);
    return out;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonPath(const Path& path) {
    std::string out = "[";
    for (size_t i = 0; i < path.size(); ++i) out += (i ? ", " : "") + Json(StepText(path[i]));
    return out + "]";
}

struct Section {
    const char* name;  // JSON key
    const char* title;
    const std::vector<Finding>* findings;
};

std::vector<Section> Sections(const Report& r) {
    return {{"deadEnds", "Dead ends", &r.deadEnds},
            {"messages", "Pages raising a message", &r.messages},
            {"impossibleOutcomes", "Chance outcomes that never come up", &r.impossibleOutcomes},
            {"unreachableAnswers", "Answer boxes never shown", &r.unreachableAnswers},
            {"unheldValues", "Values shown of objects not held", &r.unheldValues},
            {"unstablePages", "Pages that change when built again", &r.unstablePages},
            {"hopelessCheckpoints", "Checkpoints saved with no good ending ahead",
             &r.hopelessCheckpoints}};
}

std::string Numbers(const std::vector<int>& list) {
    std::string out;
    for (int n : list) out += (out.empty() ? "" : " ") + std::to_string(n);
    return out;
}

// The report's last word: something wrong; clean (nothing wrong, every class
// judged, no lint even as a warning); or nothing wrong found so far.
enum class Verdict { Wrong, Clean, SoFar };

Verdict VerdictOf(const Report& r) {
    const bool warned = !r.unheldValues.empty() || !r.unstablePages.empty();
    if (!r.Clean()) return Verdict::Wrong;
    return r.NotJudged().empty() && !warned ? Verdict::Clean : Verdict::SoFar;
}

}  // namespace

bool Report::Clean() const {
    bool allEndings = true;
    for (const EndingReached& e : endings) allEndings = allEndings && e.reached;
    const bool complete = cutShort.empty();
    const bool lints = lintsWarnOnly || (unheldValues.empty() && unstablePages.empty() &&
                                         (!complete || hopelessCheckpoints.empty()));
    return (!complete || (unreached.empty() && allEndings && unreachableAnswers.empty())) &&
           deadEnds.empty() && messages.empty() && impossibleOutcomes.empty() && lints;
}

std::vector<std::string> Report::NotJudged() const {
    std::vector<std::string> open;
    const bool complete = cutShort.empty();
    // Proven absent page by page: every page built alone, no alarm of the kind.
    auto alone = [&](const char* kind) {
        return pagesChecked > 0 && unchecked.empty() &&
               std::none_of(pageAlarms.begin(), pageAlarms.end(),
                            [&](const Finding& f) { return f.kind == kind; });
    };
    auto absent = [&](const std::vector<Finding>& found, const char* kind, const char* title) {
        if (!found.empty() || (complete && unchecked.empty()) || alone(kind)) return;
        open.push_back(std::string(title) +
                       (!unchecked.empty() ? ": some pages are not built under every value"
                                           : ": pages built alone raise alarms, and the search "
                                             "was cut short"));
    };
    absent(messages, "messages", "Pages raising a message");
    absent(deadEnds, "deadEnds", "Dead ends");
    absent(impossibleOutcomes, "impossibleOutcomes", "Chance outcomes that never come up");
    absent(unheldValues, "unheldValues", "Values shown of objects not held");
    absent(unstablePages, "unstablePages", "Pages that change when built again");
    if (!complete) {
        int missing = 0;
        for (const EndingReached& e : endings) missing += !e.reached;
        if (!unreached.empty())
            open.push_back("Paragraphs reached: " + std::to_string(unreached.size()) +
                           " not reached, and the search was cut short");
        if (missing)
            open.push_back("Endings reached: " + std::to_string(missing) +
                           " not reached, and the search was cut short");
        if (!unreachableAnswers.empty())
            open.push_back(
                "Answer boxes never shown: " + std::to_string(unreachableAnswers.size()) +
                " not shown, and the search was cut short");
        if (!checkpointsUnproven.empty() || pagesChecked == 0)
            open.push_back(
                "Checkpoints saved with no good ending ahead: not every checkpoint page is "
                "shown to have a good ending ahead in every state, and the search was cut short");
    }
    return open;
}

std::string FormatText(const Report& r) {
    std::ostringstream o;
    o << "Paragraphs reached: " << r.reached.size() << " of "
      << r.reached.size() + r.unreached.size() << " with text\n";
    if (!r.unreached.empty()) o << "  not reached: " << Numbers(r.unreached) << "\n";
    int reached = 0;
    for (const EndingReached& e : r.endings) reached += e.reached;
    o << "Endings reached: " << reached << " of " << r.endings.size() << "\n";
    for (const EndingReached& e : r.endings) {
        o << "  " << e.paragraph << " " << (e.good ? "good" : "bad") << " \"" << e.name << "\": ";
        if (e.reached)
            o << e.path.size() << " steps: " << PathText(e.path) << "\n";
        else
            o << "NOT REACHED\n";
    }
    const std::vector<std::string> open = r.NotJudged();
    auto judged = [&](const char* title) {
        return std::none_of(open.begin(), open.end(),
                            [&](const std::string& why) { return why.rfind(title, 0) == 0; });
    };
    for (const Section& s : Sections(r)) {
        o << s.title << ": " << s.findings->size();
        const bool answers = s.findings == &r.unreachableAnswers;
        if (!r.cutShort.empty() && !judged(s.title))
            o << (answers ? " (not yet shown; not faults, since the search was cut short)"
                          : " (not judged)");
        else if (!r.cutShort.empty() && !answers && s.findings->empty())
            o << " (proven: none in any state a reader can reach)";
        o << "\n";
        for (const Finding& f : *s.findings) {
            o << "  paragraph " << f.paragraph << ": " << f.what << "\n";
            if (!f.state.empty()) o << "    state: " << f.state << "\n";
            if (!f.state.empty()) o << "    path: " << PathText(f.path) << "\n";
        }
    }
    if (r.pagesChecked) {
        o << "Each page alone, under every value of what it reads (" << r.pagesChecked
          << " pages): " << r.pageAlarms.size() << " alarms";
        o << (r.pageAlarms.empty()
                  ? ": no state raises a message, leaves a story page without a way on, shows a "
                    "value of an object not held, changes a story page built again or has a "
                    "chance outcome that never comes up\n"
                  : " (each may belong to no state a reader reaches)\n");
        for (const Finding& f : r.pageAlarms)
            o << "  paragraph " << f.paragraph << ": " << f.what << "\n    under: " << f.state
              << "\n";
    }
    if (r.pagesChecked) {
        o << "Checkpoint pages with a good ending ahead in every state, proven: "
          << (r.checkpointsProven.empty() ? "none" : Numbers(r.checkpointsProven)) << "\n";
        for (const Finding& f : r.checkpointsUnproven)
            o << "  not shown, paragraph " << f.paragraph << ": " << f.what << "\n";
    }
    if (!r.unchecked.empty())
        o << "Pages not built under every value of what they read (too many): "
          << Numbers(r.unchecked) << "\n";
    o << "States: " << r.states << ", edges: " << r.edges << ", time: " << r.seconds << " s\n";
    if (!r.cutShort.empty()) o << "CUT SHORT: " << r.cutShort << "\n";
    const Verdict verdict = VerdictOf(r);
    if (verdict == Verdict::Wrong) {
        o << "Something is wrong.\n";
    } else if (verdict == Verdict::Clean) {
        o << "Clean."
          << (r.cutShort.empty()
                  ? ""
                  : " Every class proven or witnessed, though the search was cut short.")
          << "\n";
    } else {
        o << "Nothing wrong found so far" << (open.empty() ? "" : "; not judged:") << "\n";
        for (const std::string& why : open) o << "  " << why << "\n";
    }
    if (r.lintsWarnOnly) o << "(the lints above are warnings)\n";
    return o.str();
}

std::string FormatJson(const Report& r) {
    std::ostringstream o;
    auto list = [](const std::vector<int>& v) {
        std::string s = "[";
        for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + std::to_string(v[i]);
        return s + "]";
    };
    o << "{\n  \"reached\": " << list(r.reached) << ",\n  \"unreached\": " << list(r.unreached)
      << ",\n  \"endings\": [";
    for (size_t i = 0; i < r.endings.size(); ++i) {
        const EndingReached& e = r.endings[i];
        o << (i ? "," : "") << "\n    {\"paragraph\": " << e.paragraph
          << ", \"name\": " << Json(e.name) << ", \"good\": " << (e.good ? "true" : "false")
          << ", \"reached\": " << (e.reached ? "true" : "false")
          << ", \"path\": " << JsonPath(e.path) << "}";
    }
    o << "\n  ]";
    for (const Section& s : Sections(r)) {
        o << ",\n  " << Json(s.name) << ": [";
        for (size_t i = 0; i < s.findings->size(); ++i) {
            const Finding& f = (*s.findings)[i];
            o << (i ? "," : "") << "\n    {\"paragraph\": " << f.paragraph
              << ", \"what\": " << Json(f.what) << ", \"state\": " << Json(f.state)
              << ", \"path\": " << JsonPath(f.path) << "}";
        }
        o << (s.findings->empty() ? "]" : "\n  ]");
    }
    o << ",\n  \"states\": " << r.states << ",\n  \"edges\": " << r.edges
      << ",\n  \"seconds\": " << r.seconds << ",\n  \"cutShort\": " << Json(r.cutShort)
      << ",\n  \"unchecked\": " << list(r.unchecked) << ",\n  \"pagesChecked\": " << r.pagesChecked
      << ",\n  \"notJudged\": [";
    const std::vector<std::string> open = r.NotJudged();
    for (size_t i = 0; i < open.size(); ++i) o << (i ? ", " : "") << Json(open[i]);
    o << "]"
      << ",\n  \"pageAlarms\": [";
    for (size_t i = 0; i < r.pageAlarms.size(); ++i)
        o << (i ? ", " : "") << "{\"paragraph\": " << r.pageAlarms[i].paragraph
          << ", \"what\": " << Json(r.pageAlarms[i].what)
          << ", \"kind\": " << Json(r.pageAlarms[i].kind)
          << ", \"state\": " << Json(r.pageAlarms[i].state) << "}";
    o << "]"
      << ",\n  \"checkpointsProven\": " << list(r.checkpointsProven)
      << ",\n  \"checkpointsUnproven\": [";
    for (size_t i = 0; i < r.checkpointsUnproven.size(); ++i)
        o << (i ? ", " : "") << "{\"paragraph\": " << r.checkpointsUnproven[i].paragraph
          << ", \"why\": " << Json(r.checkpointsUnproven[i].what) << "}";
    const Verdict verdict = VerdictOf(r);
    o << "]"
      << ",\n  \"nothingWrong\": " << (verdict != Verdict::Wrong ? "true" : "false")
      << ",\n  \"clean\": " << (verdict == Verdict::Clean ? "true" : "false") << "\n}\n";
    return o.str();
}

// The reader seeds its generator once, at the first roll, with the device
// clock divided by 60; every roll after that takes the generator's next value.
// A clock is searched whose sequence gives every roll of the path its band.
constexpr uint32_t kFirstStartMs = 4000;

bool WalkthroughScript(const Path& path, std::string& script, uint32_t& clock) {
    // Every value the reader's generator must give, in order: what a page's
    // build draws, then the roll of the chance hotword tapped on it.
    struct Draw {
        int range, low, high;
    };
    std::vector<Draw> rolls;
    std::ostringstream o;
    // On a fresh device the reader opens on its two intro pages (2 s each)
    // and then the about page, whose button and return arrow lead to
    // paragraph 2, where the search starts.
    o << "# the intro pages, the about page, then paragraph 2\nwait " << kFirstStartMs
      << "\npress 513\npress 510\n";
    for (const Step& s : path) {
        o << "# " << StepText(s) << "\n";
        switch (s.kind) {
            case Step::Tap:
                o << "press " << s.id << "\n";
                break;
            case Step::Answer:
                o << "press " << s.id << "\ntype " << s.text << "\nkey RETURN\n";
                break;
            case Step::Command:
                o << (s.id >= 510 ? "press " : "menu ") << s.id << "\n";
                break;
        }
        if (s.draw >= 0) rolls.push_back({s.drawRange, s.draw + 1, s.draw + 1});
        if (s.roll) rolls.push_back({s.rollRange, s.roll, s.rollHigh});
    }
    o << "dump\n";
    script = o.str();
    clock = 0;
    if (rolls.empty()) return true;
    // The generator is seeded at the first roll with the device clock, which
    // the wait above has moved on, divided by 60.
    for (uint32_t seed = (kFirstStartMs + 59) / 60; seed < 70000000u; ++seed) {
        std::srand(seed);
        bool good = true;
        for (const Draw& d : rolls) {
            const int roll = std::rand() % d.range + 1;
            if (roll < d.low || roll > d.high) {
                good = false;
                break;
            }
        }
        if (good) {
            clock = seed * 60 - kFirstStartMs;
            return true;
        }
    }
    return false;
}

}  // namespace explore
