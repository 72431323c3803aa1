// The test action module's requests made at idle time, while a window of the program is up: a
// module that moves the card under a dialog. NBA_TEST_IDLE_REQUESTS lists the steps in order,
// "CAPTION=CODE,CODE;CAPTION=CODE": at the first idle call that finds a window of the step's
// caption, its requests are made through the host callback and logged, and the next step waits
// for its own window; a caption written "*CAPTION" makes them again at every idle call while
// that window is up, the next step once it has gone. A code may carry numbers for its fields
// [50], [54], [58], [62] and [66] in order, "26/12/2" (otherwise they are 0), and a text,
// "129:other.stk", handed over as the first field. Two forms name an object by id and kind
// index on the card shown: "rename:ID/KIND:NAME" finds it (request 24) and renames it (183),
// "rect:ID/KIND:LEFT,TOP,RIGHT,BOTTOM" sets its rectangle (32); "menu:TITLE/ITEM" runs a menu
// item (10).
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "RequestList_win.h"

struct IdleRequest {
    uint16_t code = 0;
    std::string form;  // "rename", "rect", "menu" or empty
    std::vector<uint32_t> fields;
    std::string text;
};

struct IdleStep {
    std::string caption;
    std::vector<IdleRequest> requests;
    bool repeats = false;
    bool ran = false;
};

// "CODE/N/N:TEXT", "rename:ID/KIND:NAME", "rect:ID/KIND:L,T,R,B" or "menu:TITLE/ITEM".
inline IdleRequest ReadIdleRequest(std::string one) {
    IdleRequest r;
    if (one.rfind("menu:", 0) == 0) {
        r.form = "menu";
        r.text = one.substr(5);
        return r;
    }
    for (const char* form : {"rename:", "rect:"})
        if (one.rfind(form, 0) == 0) {
            r.form = std::string(form, std::strlen(form) - 1);
            one = one.substr(std::strlen(form));
        }
    const size_t colon = one.find(':');
    if (colon != std::string::npos) {
        r.text = one.substr(colon + 1);
        one = one.substr(0, colon);
    }
    std::vector<uint32_t> numbers;
    for (size_t from = 0; from <= one.size();) {
        const size_t slash = std::min(one.find('/', from), one.size());
        numbers.push_back(static_cast<uint32_t>(std::strtoul(one.substr(from, slash - from).c_str(), nullptr, 10)));
        from = slash + 1;
    }
    if (r.form.empty()) {
        r.code = static_cast<uint16_t>(numbers.front());
        numbers.erase(numbers.begin());
    }
    r.fields = numbers;
    return r;
}

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
            if (s.caption.rfind('*', 0) == 0) {
                s.caption.erase(0, 1);
                s.repeats = true;
            }
            // Requests are separated by commas, except inside the rectangle of a "rect:" form.
            const std::string list = step.substr(equals + 1);
            for (size_t from = 0; from < list.size();) {
                size_t comma = list.find(',', from);
                if (list.compare(from, 5, "rect:") == 0)
                    for (int skip = 0; skip < 3 && comma != std::string::npos; ++skip)
                        comma = list.find(',', comma + 1);
                comma = std::min(comma, list.size());
                s.requests.push_back(ReadIdleRequest(list.substr(from, comma - from)));
                from = comma + 1;
            }
            steps.push_back(s);
        }
        at = end + 1;
    }
    return steps;
}

inline uint32_t Pointer(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

// One request of a step, made through the callback on a cleared block.
inline void MakeIdleRequest(NbaParamBlock* block, NbaHostCallback callback, const IdleRequest& request) {
    const auto make = [&](uint16_t code, std::initializer_list<uint32_t> fields) {
        block->message = code;
        uint32_t* at[] = {&block->param1, &block->param2, &block->param3, &block->param4, &block->handled};
        size_t i = 0;
        for (uint32_t* field : at)
            *field = i < fields.size() ? fields.begin()[i++] : 0;
        callback(block);
        LogRequest(block, code);
    };
    if (request.form == "menu") {
        // Two length-prefixed texts: the menu's title and the item's.
        const size_t slash = std::min(request.text.find('/'), request.text.size());
        uint8_t title[64] = {}, item[64] = {};
        title[0] = static_cast<uint8_t>(std::min<size_t>(slash, sizeof title - 1));
        std::memcpy(title + 1, request.text.data(), title[0]);
        const std::string rest = slash < request.text.size() ? request.text.substr(slash + 1) : std::string();
        item[0] = static_cast<uint8_t>(std::min<size_t>(rest.size(), sizeof item - 1));
        std::memcpy(item + 1, rest.data(), item[0]);
        make(10, {0, 0, Pointer(title), Pointer(item)});
        return;
    }
    const uint32_t id = request.fields.size() > 0 ? request.fields[0] : 0;
    const uint32_t kind = request.fields.size() > 1 ? request.fields[1] : 0;
    if (request.form == "rename") {
        uint8_t name[64] = {};
        name[0] = static_cast<uint8_t>(std::min<size_t>(request.text.size(), sizeof name - 1));
        std::memcpy(name + 1, request.text.data(), name[0]);
        make(24, {id, kind});
        if (block->param2 != 0)
            make(183, {block->param2, block->param1, 2, Pointer(name)});
        return;
    }
    if (request.form == "rect") {
        int32_t rect[4] = {};
        std::sscanf(request.text.c_str(), "%d,%d,%d,%d", &rect[0], &rect[1], &rect[2], &rect[3]);
        make(32, {id, kind, 0, 0, Pointer(rect)});
        return;
    }
    const auto field = [&](size_t i) { return i < request.fields.size() ? request.fields[i] : 0u; };
    make(request.code, {request.text.empty() ? field(0) : Pointer(request.text.c_str()), field(1), field(2), field(3), field(4)});
}

// Called at each idle message; the block is the host's and is left as it came.
inline void RunIdleRequests(NbaParamBlock* block) {
    static std::vector<IdleStep> steps = ReadIdleSteps();
    static size_t next = 0;
    if (next >= steps.size() || !block->callback)
        return;
    IdleStep& step = steps[next];
    if (!FindWindowA(nullptr, step.caption.c_str())) {
        if (step.repeats && step.ran)
            ++next;  // its window has gone: the next step waits for its own
        return;
    }
    if (!step.repeats)
        ++next;
    const NbaParamBlock before = *block;
    const auto callback = reinterpret_cast<NbaHostCallback>(static_cast<uintptr_t>(block->callback));
    if (!step.ran)
        LogLine(("idle requests under " + step.caption).c_str());
    step.ran = true;
    for (const IdleRequest& request : step.requests) {
        *block = before;
        MakeIdleRequest(block, callback, request);
    }
    *block = before;
}
