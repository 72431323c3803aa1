#include "tests/support/NbaCallLog.h"

#include <fstream>
#include <sstream>

unsigned long NbaCall::N(const std::string& name) const {
    auto it = f.find(name);
    return it == f.end() ? 0xDEADu : std::stoul(it->second);
}

std::vector<NbaCall> ReadNbaCalls(const std::string& path) {
    std::vector<NbaCall> calls;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        NbaCall c;
        words >> c.who;
        std::string word;
        while (words >> word) {
            const size_t eq = word.find('=');
            c.f[eq == std::string::npos ? word : word.substr(0, eq)] = eq == std::string::npos ? "" : word.substr(eq + 1);
        }
        calls.push_back(c);
    }
    return calls;
}
