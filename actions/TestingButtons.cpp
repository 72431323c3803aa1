// The user's name and the score of the open stack.
#include "actions/TestingButtons.h"

#include <algorithm>
#include <cstring>

#include "stack/cards/CardList.h"

namespace {

// Length-prefixed, so that the score hands it out as it is, and NUL-terminated after the text.
uint8_t g_userName[kUserNameCharacters + 2] = {};

}  // namespace

std::string_view GetUserName() {
    return {reinterpret_cast<const char*>(g_userName + 1), g_userName[0]};
}

void SetUserName(std::string_view name) {
    const size_t length = std::min(name.size(), kUserNameCharacters);
    std::memcpy(g_userName + 1, name.data(), length);
    g_userName[length + 1] = 0;
    g_userName[0] = static_cast<uint8_t>(length);
}

TestingScore GetCurrentScore() {
    TestingScore score;
    CountTestingAnswers(&score.answered, &score.correct);
    score.userName = g_userName;
    return score;
}
