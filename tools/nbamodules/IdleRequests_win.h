// The test action module's requests made at idle time, while a window of the program is up: a
// module that moves the card under a dialog. NBA_TEST_IDLE_REQUESTS lists the steps in order,
// "CAPTION=CODE,CODE;CAPTION=CODE": at the first idle call that finds a window of the step's
// caption, its requests are made (without parameters) through the host callback and logged,
// and the next step waits for its own window. A code may carry a text, "129:other.stk", handed
// over as the request's first field.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "RequestList_win.h"

struct IdleRequest {
    uint16_t code = 0;
    std::string text;
};

struct IdleStep {
    std::string caption;
    std::vector<IdleRequest> requests;
};

inline std::vector<IdleStep> ReadIdleSteps() {
    char text[512] = {};
    if (!GetEnvironmentVariableA("NBA_TEST_IDLE_REQUESTS", text, sizeof text))
        return {};
    std::vector<IdleStep> steps;
    const std::string all = text;
    size_t at = 0;
    while (at < all.size()) {
        const size_t end = std::min(all.find(';', at), all.size());
        const std::string step = all.substr(at, end - at);
        const size_t equals = step.find('=');
        if (equals != std::string::npos) {
            IdleStep s{step.substr(0, equals), {}};
            const std::string list = step.substr(equals + 1);
            for (size_t from = 0; from < list.size();) {
                const size_t comma = std::min(list.find(',', from), list.size());
                const std::string one = list.substr(from, comma - from);
                const size_t colon = one.find(':');
                s.requests.push_back({static_cast<uint16_t>(std::strtoul(one.c_str(), nullptr, 10)),
                                      colon == std::string::npos ? std::string() : one.substr(colon + 1)});
                from = comma + 1;
            }
            steps.push_back(s);
        }
        at = end + 1;
    }
    return steps;
}

// Called at each idle message; the block is the host's and is left as it came.
inline void RunIdleRequests(NbaParamBlock* block) {
    static const std::vector<IdleStep> steps = ReadIdleSteps();
    static size_t next = 0;
    if (next >= steps.size() || !block->callback || !FindWindowA(nullptr, steps[next].caption.c_str()))
        return;
    const IdleStep& step = steps[next++];
    const NbaParamBlock before = *block;
    const auto callback = reinterpret_cast<NbaHostCallback>(static_cast<uintptr_t>(block->callback));
    LogLine(("idle requests under " + step.caption).c_str());
    for (const IdleRequest& request : step.requests) {
        *block = before;
        block->message = request.code;
        block->param1 = block->param2 = block->param3 = block->param4 = block->handled = 0;
        if (!request.text.empty())
            block->param1 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(request.text.c_str()));
        callback(block);
        LogRequest(block, request.code);
    }
    *block = before;
}
