// The command line: reads the sources, writes the requested files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>

#include "tools/bookc/internal.h"

namespace bookc {
namespace {

constexpr const char* kUsage =
    "usage: bookc [--out FILE.cpp] [--map FILE.dot] [--map-dir FOLDER] [--unreached FILE.txt] "
    "[--media FILE.txt] [--report] SOURCE...\n";
constexpr size_t MAX_ERRORS = 50;

namespace fs = std::filesystem;

// Reads a whole file; on failure `why` says what went wrong.
bool ReadAll(const std::string& path, std::string& text, std::string& why) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        why = "it is a folder";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    text.clear();
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    bool bad = std::ferror(f);
    if (bad) why = std::strerror(errno);
    std::fclose(f);
    return !bad;
}

bool WriteAll(const std::string& path, const std::string& text, std::string& why) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    bool good = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (!good) why = std::strerror(errno);
    if (std::fclose(f) != 0 && good) {
        why = std::strerror(errno);
        good = false;
    }
    return good;
}

// Writes every output or none: each goes to a temporary file beside it
// first, and only when all of them are written do they take their names.
// A file that already holds its text is left alone, so that whatever was
// built from it is not built again.
bool WriteOutputs(const std::vector<std::pair<std::string, std::string>>& outputs,
                  std::ostream& err) {
    std::vector<std::pair<std::string, std::string>> pending;  // temporary, final
    auto discard = [&] {
        std::error_code ec;
        for (const auto& [temp, path] : pending) fs::remove(temp, ec);
    };
    for (const auto& [path, text] : outputs) {
        std::string old, why;
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            err << "bookc: cannot write " << path << ": it is a folder\n";
            discard();
            return false;
        }
        if (ReadAll(path, old, why) && old == text) continue;
        std::string temp = path + ".bookc-new";
        if (!WriteAll(temp, text, why)) {
            err << "bookc: cannot write " << path << ": " << why << "\n";
            discard();
            return false;
        }
        pending.push_back({temp, path});
    }
    for (const auto& [temp, path] : pending) {
        std::error_code ec;
        fs::rename(temp, path, ec);
        if (ec) {
            err << "bookc: cannot write " << path << ": " << ec.message() << "\n";
            discard();
            return false;
        }
    }
    return true;
}

}  // namespace

int RunBookc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string outPath, mapPath, mapDir, unreachedPath, mediaPath;
    bool report = false;
    std::vector<std::string> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* target = a == "--out"         ? &outPath
                              : a == "--map"       ? &mapPath
                              : a == "--map-dir"   ? &mapDir
                              : a == "--unreached" ? &unreachedPath
                              : a == "--media"     ? &mediaPath
                                                   : nullptr;
        if (target) {
            if (i + 1 == args.size() || !target->empty() || args[i + 1].empty()) {
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
    const bool anyOutput = !outPath.empty() || !mapPath.empty() || !mapDir.empty() ||
                           !unreachedPath.empty() || !mediaPath.empty() || report;
    if (!anyOutput || paths.empty()) {
        err << kUsage;
        return 2;
    }
    std::vector<Source> sources;
    for (const std::string& path : paths) {
        Source s;
        s.name = path;
        std::string why;
        if (!ReadAll(path, s.text, why)) {
            err << "bookc: cannot read " << path << ": " << why << "\n";
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
    std::vector<std::pair<std::string, std::string>> outputs;
    if (!outPath.empty()) outputs.push_back({outPath, GenerateCpp(result.book, result.text)});
    if (!mapPath.empty()) outputs.push_back({mapPath, GenerateMap(result.book)});
    if (!mapDir.empty()) {
        std::error_code ec;
        fs::create_directories(mapDir, ec);
        if (ec) {
            err << "bookc: cannot make the folder " << mapDir << ": " << ec.message() << "\n";
            return 1;
        }
        for (const auto& [name, dot] : GeneratePartMaps(result.book))
            outputs.push_back({(fs::path(mapDir) / (name + ".dot")).string(), dot});
    }
    if (!unreachedPath.empty()) {
        std::ostringstream list;
        for (int n : FindUnreached(result.book)) list << n << "\n";
        outputs.push_back({unreachedPath, list.str()});
    }
    if (!mediaPath.empty()) outputs.push_back({mediaPath, ListMedia(result.book)});
    if (!WriteOutputs(outputs, err)) return 1;
    if (report) out << Summary(result.book, result.text) << "\n";
    return 0;
}

}  // namespace bookc
