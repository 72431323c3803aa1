// "Samples.stk" in the test program's folder, which is the plug-in's, made to hold what a test
// needs while it lives: the resources given, or no file at all. The file that was there before
// (the one the build ships) is put back after, byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"

class SamplesStackBeside {
public:
    // No resources: the program's folder holds no samples stack.
    explicit SamplesStackBeside(const std::vector<stackbuilder::Resource>& resources);
    ~SamplesStackBeside();
    SamplesStackBeside(const SamplesStackBeside&) = delete;
    SamplesStackBeside& operator=(const SamplesStackBeside&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::optional<std::vector<uint8_t>> shipped_;
};
