// The calls the project's test modules log, one line each: who, then name=value words
// (NbaCallLog.cpp).
#pragma once

#include <map>
#include <string>
#include <vector>

struct NbaCall {
    std::string who;
    std::map<std::string, std::string> f;
    // The named field as a number; 0xDEAD when the line has none.
    unsigned long N(const std::string& name) const;
};

// Every line of the log; a word without '=' is kept with an empty value.
std::vector<NbaCall> ReadNbaCalls(const std::string& path);
