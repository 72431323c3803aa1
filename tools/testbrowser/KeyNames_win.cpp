// Key names of --key as virtual keys: "ctrl+shift+s", "Return", "F4"; names ignore case.
#include <windows.h>

#include <array>
#include <cctype>
#include <utility>

#include "TestBrowser.h"

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int ModifierKey(const std::string& name) {
    if (name == "ctrl" || name == "control") return VK_CONTROL;
    if (name == "shift") return VK_SHIFT;
    if (name == "alt") return VK_MENU;
    return 0;
}

int NamedKey(const std::string& name) {
    static constexpr std::array<std::pair<std::string_view, int>, 26> kKeys = {{
        {"return", VK_RETURN}, {"enter", VK_RETURN},   {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
        {"tab", VK_TAB},       {"delete", VK_DELETE},  {"del", VK_DELETE},    {"backspace", VK_BACK},
        {"space", VK_SPACE},   {"insert", VK_INSERT},  {"home", VK_HOME},     {"end", VK_END},
        {"pageup", VK_PRIOR},  {"pagedown", VK_NEXT},  {"left", VK_LEFT},     {"right", VK_RIGHT},
        {"up", VK_UP},         {"down", VK_DOWN},      {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT},
        {"alt", VK_MENU},      {"plus", VK_OEM_PLUS},  {"minus", VK_OEM_MINUS}, {"comma", VK_OEM_COMMA},
        {"period", VK_OEM_PERIOD}, {"apps", VK_APPS},
    }};
    for (const auto& [n, key] : kKeys)
        if (n == name)
            return key;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));  // letters and digits are their own keys
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int n = 0;
        for (size_t i = 1; i < name.size(); ++i)
            n = std::isdigit(static_cast<unsigned char>(name[i])) ? n * 10 + (name[i] - '0') : -1000;
        if (n >= 1 && n <= 24)
            return VK_F1 + n - 1;
    }
    return 0;
}

}  // namespace

bool ParseKeyStrokes(std::string_view text, std::vector<BrowserOptions::KeyStroke>& strokes, std::string& error) {
    strokes.clear();
    for (const std::string& word : SplitList(text, ' ')) {
        if (word.empty())
            continue;
        BrowserOptions::KeyStroke stroke;
        const std::vector<std::string> parts = SplitList(word, '+');
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            const int modifier = ModifierKey(Lower(parts[i]));
            if (!modifier) {
                error = "not a modifier: " + parts[i];
                return false;
            }
            stroke.modifiers.push_back(static_cast<unsigned char>(modifier));
        }
        const int key = NamedKey(Lower(parts.back()));
        if (!key) {
            error = "no key named " + parts.back();
            return false;
        }
        stroke.key = static_cast<unsigned char>(key);
        strokes.push_back(stroke);
    }
    if (strokes.empty())
        error = "no key given";
    return !strokes.empty();
}
