#include "tests/support/NbaCallLog.h"

#include <fstream>
#include <sstream>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

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

stackbuilder::Resource NbasResource(uint16_t id, std::string_view file) {
    stackbuilder::Resource r;
    r.type = "NBAs";
    r.id = id;
    r.name = "Test Action";
    r.data.assign(600, 0);
    for (size_t i = 0; i < file.size() && i < kNbaInfoFileNameBytes; ++i)
        r.data[kNbaInfoFileName + i] = static_cast<uint8_t>(file[i]);
    SetU16(r.data, kNbaInfoId, id);
    return r;
}
