#include "tests/support/SamplesStackBeside_win.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace {

std::optional<std::vector<uint8_t>> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

SamplesStackBeside::SamplesStackBeside(const std::vector<stackbuilder::Resource>& resources) {
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string module(exe, n < MAX_PATH ? n : 0);
    path_ = module.substr(0, module.find_last_of("\\/")) + "\\Samples.stk";
    shipped_ = ReadAll(path_);
    DeleteFileA(path_.c_str());
    if (resources.empty())
        return;
    stackbuilder::Stack samples;
    samples.cards.push_back(stackbuilder::PlainCard(1));
    samples.resources = resources;
    stackbuilder::WriteFile(path_, stackbuilder::BuildStack(samples).bytes);
}

SamplesStackBeside::~SamplesStackBeside() {
    DeleteFileA(path_.c_str());
    if (shipped_)
        stackbuilder::WriteFile(path_, *shipped_);
}
