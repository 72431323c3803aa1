// The testing answers kept in card records while the stack is open.
//
// The record field holds a handle number, and handle numbers are small integers any other
// handle may have: a stale or copied value would name someone else's block. So the answers this
// run made are listed here, and only a listed handle counts as an answer.
#include "stack/cards/CardList.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"

namespace {

std::vector<Handle> g_answers;

bool IsListedAnswer(Handle answer) {
    return answer && std::find(g_answers.begin(), g_answers.end(), answer) != g_answers.end() &&
           GetHandleSize(answer) == kTestingAnswerBytes;
}

uint32_t ReadAnswerField(Handle card) {
    HandleLock lock(card);
    return lock && GetHandleSize(card) >= kCardHeaderBytes ? GetU32(lock.bytes(), kCardTestingAnswers) : 0;
}

void WriteAnswerField(Handle card, Handle answer) {
    HandleLock lock(card);
    if (lock && GetHandleSize(card) >= kCardHeaderBytes)
        SetU32(lock.bytes(), kCardTestingAnswers, static_cast<uint32_t>(answer));
}

void DropAnswer(Handle answer) {
    const auto at = std::find(g_answers.begin(), g_answers.end(), answer);
    if (at == g_answers.end())
        return;
    g_answers.erase(at);
    DisposeHandle(answer);
}

}  // namespace

Handle GetCardTestingAnswer(Handle card) {
    const auto answer = static_cast<Handle>(ReadAnswerField(card));
    return IsListedAnswer(answer) ? answer : 0;
}

bool SetCardTestingAnswer(Handle card, bool correct, std::string_view label) {
    if (!IsValidHandle(card) || GetHandleSize(card) < kCardHeaderBytes)
        return false;
    Handle answer = GetCardTestingAnswer(card);
    if (!answer) {
        answer = NewHandle(kTestingAnswerBytes);
        if (!answer)
            return false;
        g_answers.push_back(answer);
    }
    {
        HandleLock lock(answer);
        if (!lock)
            return false;
        const std::span<uint8_t> bytes = lock.bytes();
        std::fill(bytes.begin(), bytes.end(), uint8_t{0});
        SetU32(bytes, 0, correct ? 1 : 0);
        const size_t length = std::min({label.size(), kTestingLabelCharacters, label.find('\0')});
        std::memcpy(bytes.data() + kTestingAnswerLabel, label.data(), length);
    }
    WriteAnswerField(card, answer);
    return true;
}

void FreeCardTestingAnswer(Handle card) {
    DropAnswer(GetCardTestingAnswer(card));
    WriteAnswerField(card, 0);
}

void FreeTestingAnswers() {
    for (int i = 1; i <= CountCards(); ++i)
        WriteAnswerField(GetCardByIndex(i), 0);
    for (const Handle answer : g_answers)
        DisposeHandle(answer);
    g_answers.clear();
}

void ZeroTestingAnswerField(std::span<uint8_t> record) {
    if (record.size() >= kCardHeaderBytes)
        SetU32(record, kCardTestingAnswers, 0);
}

void CountTestingAnswers(int* answered, int* correct) {
    *answered = 0;
    *correct = 0;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        const Handle answer = IsCardDeleted(card) ? 0 : GetCardTestingAnswer(card);
        if (!answer)
            continue;
        ++*answered;
        HandleLock lock(answer);
        if (lock && GetU32(lock.bytes(), 0) == 1)
            ++*correct;
    }
}
