// The calls the project's test modules log, one line each: who, then name=value words, and the
// stack resource that names a module (NbaCallLog.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "StackBuilder.h"

struct NbaCall {
    std::string who;
    std::map<std::string, std::string> f;
    // The named field as a number; 0xDEAD when the line has none.
    unsigned long N(const std::string& name) const;
};

// Every line of the log; a word without '=' is kept with an empty value.
std::vector<NbaCall> ReadNbaCalls(const std::string& path);

// The stack's 'NBAs' resource naming the module file (raw, in the machine's order).
stackbuilder::Resource NbasResource(uint16_t id, std::string_view file);
