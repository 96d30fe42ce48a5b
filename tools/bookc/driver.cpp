// The command line: reads the sources, writes the requested files.
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "tools/bookc/internal.h"

namespace bookc {
namespace {

constexpr const char* kUsage =
    "usage: bookc [--map FILE.dot] [--unreached FILE.txt] [--report] --out FILE.cpp SOURCE...\n";
constexpr size_t MAX_ERRORS = 50;

bool ReadAll(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Leaves the file alone when it already holds `text`, so that whatever was
// built from it is not built again.
bool WriteIfChanged(const std::string& path, const std::string& text) {
    std::string old;
    if (ReadAll(path, old) && old == text) return true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int RunBookc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string outPath, mapPath, unreachedPath;
    bool report = false;
    std::vector<std::string> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* target = a == "--out"         ? &outPath
                              : a == "--map"       ? &mapPath
                              : a == "--unreached" ? &unreachedPath
                                                   : nullptr;
        if (target) {
            if (i + 1 == args.size() || !target->empty()) {
                err << kUsage;
                return 2;
            }
            *target = args[++i];
        } else if (a == "--report") {
            report = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "bookc: unknown option " << a << "\n" << kUsage;
            return 2;
        } else {
            paths.push_back(a);
        }
    }
    if (outPath.empty() || paths.empty()) {
        err << kUsage;
        return 2;
    }
    std::vector<Source> sources;
    for (const std::string& path : paths) {
        Source s;
        s.name = path;
        if (!ReadAll(path, s.text)) {
            err << "bookc: cannot read " << path << "\n";
            return 1;
        }
        sources.push_back(std::move(s));
    }
    CompileResult result = Compile(sources);
    if (!result.ok) {
        for (size_t i = 0; i < result.errors.size() && i < MAX_ERRORS; ++i)
            err << result.errors[i].Format() << "\n";
        if (result.errors.size() > MAX_ERRORS)
            err << "bookc: " << result.errors.size() - MAX_ERRORS << " more errors\n";
        return 1;
    }
    std::vector<std::pair<std::string, std::string>> outputs = {
        {outPath, GenerateCpp(result.book, result.text)}};
    if (!mapPath.empty()) outputs.push_back({mapPath, GenerateMap(result.book)});
    if (!unreachedPath.empty()) {
        std::ostringstream list;
        for (int n : FindUnreached(result.book)) list << n << "\n";
        outputs.push_back({unreachedPath, list.str()});
    }
    for (const auto& [path, text] : outputs) {
        if (!WriteIfChanged(path, text)) {
            err << "bookc: cannot write " << path << "\n";
            return 1;
        }
    }
    if (report) out << Summary(result.book, result.text) << "\n";
    return 0;
}

}  // namespace bookc
