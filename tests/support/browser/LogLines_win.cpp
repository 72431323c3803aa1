// Reading a run's log (LogLines_win.h).
#include "tests/support/browser/LogLines_win.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace browsertest {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        size_t start = line.find_first_not_of(' ');
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (start != std::string::npos)
            lines.push_back(line.substr(start));
    }
    return lines;
}

bool StartsWith(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

std::string Field(const std::string& line, const std::string& key) {
    size_t at = line.find(key + "=");
    if (at == std::string::npos)
        return {};
    at += key.size() + 1;
    return line.substr(at, line.find_first_of(",) ", at) - at);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines)
        all += l + "\n";
    return all;
}

int FindHolding(const std::vector<std::string>& lines, const std::string& text, int from) {
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i)
        if (lines[i].find(text) != std::string::npos)
            return i;
    return -1;
}

std::vector<int> NumbersAt(const std::vector<std::string>& lines, const std::string& prefix, int from) {
    const int line = Find(lines, prefix, from);
    std::vector<int> numbers;
    if (line < 0)
        return numbers;
    const std::string& text = lines[size_t(line)];
    // After the prefix, or after the prefix's own " at ".
    size_t at = prefix.find(" at ") != std::string::npos ? prefix.size() : text.find(" at ", prefix.size());
    at = at == std::string::npos ? at : text.find_first_of("-0123456789", at);
    while (at != std::string::npos && at < text.size()) {
        char* end = nullptr;
        numbers.push_back(int(std::strtol(text.c_str() + at, &end, 10)));
        at = size_t(end - text.c_str());
        if (at >= text.size() || text[at] != ',')
            break;
        ++at;
    }
    return numbers;
}

bool CardOnScreen(const std::vector<std::string>& lines, POINT* corner) {
    const std::vector<int> at = NumbersAt(lines, "card(instance=1) at screen ");
    if (at.size() != 2)
        return false;
    *corner = {at[0], at[1]};
    return true;
}

bool AppearedInTime(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

bool ShownPlace(const std::vector<std::string>& lines, const std::string& title, RECT* place) {
    const std::vector<int> at = NumbersAt(lines, "shown(" + title + ") ");
    if (at.size() != 4)
        return false;
    *place = {at[0], at[1], at[2], at[3]};
    return true;
}

int Find(const std::vector<std::string>& lines, const std::string& prefix, int from) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (StartsWith(lines[i], prefix))
            return i;
    return -1;
}

}  // namespace browsertest
