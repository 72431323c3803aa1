// Events sent to the stack's extension modules.
#pragma once

inline constexpr int kNbaEventIdle = 5;
inline constexpr int kNbaEventLeaveCard = 9;
inline constexpr int kNbaEventEnterCard = 10;

// Sends the event code to every module of the stack; nothing while a module call is in progress.
void NotifyStackNBAs(int eventCode);
