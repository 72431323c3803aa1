// Who started a chain of actions. A stack from the web reaches outside itself (a device: the
// videodisc player, live video; a program, document or address) only in a chain the person
// started. That origin is made at one door, PersonsAct, from the input message the card handles:
// a press and release on the object, Return or Space on it, or a drop. Everything else (the
// mouse passing over a rollover button, moves forwarded from a movie or a text field or posted
// after a key, timers, the card entered or left, modules, idle work) starts an event chain,
// the only origin anyone else can make.
#pragma once

#include <cstdint>

class ActionOrigin {
public:
    constexpr ActionOrigin() = default;  // an event
    constexpr bool ByPerson() const { return byPerson_; }
    constexpr bool operator==(const ActionOrigin&) const = default;

private:
    friend class PersonsAct;
    constexpr explicit ActionOrigin(bool byPerson) : byPerson_(byPerson) {}
    bool byPerson_ = false;
};

inline constexpr ActionOrigin kByEvent{};

// The one door of the person's origin (ActionOrigin_win.cpp).
class PersonsAct {
public:
    // The origin of a chain started while the card handles `message` (with its wParam): the
    // person's for the left button's press (an object that acts on the press) and its release,
    // Return or Space pressed (WM_KEYDOWN or WM_CHAR), and files dropped; an event for anything
    // else, a mouse move above all.
    static ActionOrigin Of(uint32_t message, uintptr_t wParam = 0);
};
