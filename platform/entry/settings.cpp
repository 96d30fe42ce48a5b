#include "entry/settings.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "files/store.h"

namespace device {
namespace {

// Name and value of a line; false for a blank line or a comment.
bool Split(const std::string& line, std::string* name, std::string* value) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') return false;
    const size_t end = line.find_first_of(" \t", start);
    *name = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    value->clear();
    if (end == std::string::npos) return true;
    const size_t from = line.find_first_not_of(" \t", end);
    if (from != std::string::npos) *value = line.substr(from);
    while (!value->empty() &&
           (value->back() == ' ' || value->back() == '\t' || value->back() == '\r'))
        value->pop_back();
    return true;
}

}  // namespace

std::string SettingsPath() {
    std::string store = StoreDirectory();
    while (store.size() > 1 && store.back() == '/') store.pop_back();
    return store + "-device.conf";
}

assist::Settings LoadSettings(const std::string& path) {
    assist::Settings s;
    std::ifstream in(path);
    std::string line, name, value;
    while (std::getline(in, line)) {
        if (!Split(line, &name, &value)) continue;
        if (name == "voice" && (value == "on" || value == "off")) s.voice = value == "on";
        if (name == "contrast" && (value == "high" || value == "normal"))
            s.highContrast = value == "high";
        if (name == "scale" && value.size() == 1 && value[0] >= '1' && value[0] <= '8')
            s.scale = value[0] - '0';
        if (name == "transcript" && !value.empty()) s.transcript = value;
    }
    return s;
}

bool SaveSetting(const std::string& path, const std::string& name, const std::string& value) {
    std::vector<std::string> lines;
    {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    bool found = false;
    std::string n, v;
    for (std::string& line : lines)
        if (Split(line, &n, &v) && n == name) {
            line = name + " " + value;
            found = true;
        }
    if (!found) lines.push_back(name + " " + value);
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : lines) out << line << "\n";
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace device
