// Parsing alert texts and laying out the standard alert box.
#include "core/ui/AlertText.h"

#include <algorithm>

namespace {

constexpr std::array<AlertBoxSize, 10> kClassSizes = {{
    {400, 130}, {250, 100}, {280, 120}, {320, 130}, {360, 130},
    {400, 180}, {480, 140}, {470, 120}, {490, 210}, {490, 220},
}};

constexpr int kMessageTop = 12;
constexpr int kIconGap = 8;       // between the icon and the message

}  // namespace

bool ParseAlertText(std::string_view text, AlertText* alert) {
    if (!alert)
        return false;
    *alert = AlertText{};
    text = text.substr(0, std::min(text.size(), kAlertTextMax));

    // The two leading digits are always taken off, whatever they hold.
    if (!text.empty()) {
        const char c = text[0];
        alert->sizeClass = (c >= '0' && c <= '9') ? c - '0' : 0;
    }
    if (text.size() >= 2) {
        const char c = text[1];
        alert->iconKind = (c >= '0' && c <= '9') ? c - '0' : kAlertIconNone;
        if (alert->iconKind == 2)
            alert->iconKind = kAlertIconMascot;
    }
    text.remove_prefix(std::min<size_t>(2, text.size()));

    const size_t firstTilde = text.find('~');
    if (firstTilde == std::string_view::npos)
        return false;
    alert->message.assign(text.substr(0, firstTilde));

    std::string_view rest = text.substr(firstTilde + 1);
    for (int i = 0; i < kAlertMaxButtons; ++i) {
        const size_t end = rest.find('~');
        std::string_view label = rest.substr(0, end);
        if (!label.empty() && label.front() == '^') {
            label.remove_prefix(1);
            alert->defaultButton = i;
        }
        alert->labels[static_cast<size_t>(i)].assign(label);
        alert->buttonCount = i + 1;
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return true;
}

AlertBoxSize AlertClassSize(int sizeClass) {
    if (sizeClass < 0 || sizeClass >= static_cast<int>(kClassSizes.size()))
        sizeClass = 0;
    return kClassSizes[static_cast<size_t>(sizeClass)];
}

std::string FillTwoNumbers(std::string_view message, int first, int second) {
    std::string out;
    out.reserve(message.size() + 16);
    int filled = 0;
    for (size_t i = 0; i < message.size(); ++i) {
        if (filled < 2 && message[i] == '%' && i + 1 < message.size() && message[i + 1] == 'd') {
            out += std::to_string(filled == 0 ? first : second);
            ++filled;
            ++i;
        } else {
            out += message[i];
        }
    }
    return out;
}

int MinimumCardExtent(int systemMinimum) { return systemMinimum <= 40 ? 40 : systemMinimum; }

std::array<int, kAlertMaxButtons> AlertButtonWidths(const AlertText& alert, const AlertMetrics& m) {
    std::array<int, kAlertMaxButtons> widths{};
    for (int i = 0; i < alert.buttonCount && i < kAlertMaxButtons; ++i) {
        const int needed =
            m.baseUnitX * static_cast<int>(alert.labels[static_cast<size_t>(i)].size()) + 24;
        widths[static_cast<size_t>(i)] = std::max(m.designedButtonWidth, needed);
    }
    return widths;
}

AlertBoxSize AlertWindowSize(const AlertText& alert, const AlertMetrics& m) {
    const auto widths = AlertButtonWidths(alert, m);
    int total = kAlertButtonGap * alert.buttonCount + 2 * (m.frameWidth + m.borderWidth) - 7;
    for (int w : widths)
        total += w;
    const AlertBoxSize classSize = AlertClassSize(alert.sizeClass);
    return {std::max(total, classSize.width), classSize.height};
}

AlertLayout LayoutAlert(const AlertText& alert, const AlertMetrics& m, int clientWidth,
                        int clientHeight, int iconWidth, int iconHeight) {
    AlertLayout layout;
    const bool hasIcon = iconWidth > 0 && iconHeight > 0;
    if (hasIcon)
        layout.icon = {kAlertMargin, kAlertMargin, kAlertMargin + iconWidth, kAlertMargin + iconHeight};

    layout.message.left = hasIcon ? iconWidth + kAlertMargin + kIconGap : kAlertMargin;
    layout.message.top = kMessageTop;
    layout.message.right = clientWidth - kAlertMargin;
    layout.message.bottom = kMessageTop + std::max(0, clientHeight - m.buttonHeight - 20);

    const auto widths = AlertButtonWidths(alert, m);
    int right = clientWidth - kAlertMargin;
    const int bottom = clientHeight - kAlertMargin;
    for (int i = 0; i < alert.buttonCount && i < kAlertMaxButtons; ++i) {
        const int w = widths[static_cast<size_t>(i)];
        layout.buttons[static_cast<size_t>(i)] = {right - w, bottom - m.buttonHeight, right, bottom};
        right -= w + kAlertButtonGap;
    }
    return layout;
}

uint32_t ErrorMessageStringId(int32_t code) {
    constexpr int32_t kListed[] = {2680, 2681, 2682, 2683, 2684, 2685, 2686, 2687,
                                   -2688, 2689, 2690, 2691, 2692, 2693, 2694};
    if (code == 0 || code == -12)
        return 0;
    for (int32_t listed : kListed) {
        if (code == listed)
            return static_cast<uint32_t>(code < 0 ? -code : code);
    }
    return 2235;
}
