// The stand-in's handles: blocks behind a master pointer, as the Mac keeps them, so that *h
// is the data. Only handles this library made are touched; anything else is refused.
#pragma once

#include <cstdint>
#include <span>

#include "quicktime/QtTypes.h"

QtHandle StandInNewHandle(uint32_t size);
QtHandle StandInNewHandleFrom(std::span<const uint8_t> bytes);
void StandInDisposeHandle(QtHandle h);
bool StandInIsHandle(QtHandle h);
uint32_t StandInHandleSize(QtHandle h);  // 0 for what is not a handle
bool StandInSetHandleSize(QtHandle h, uint32_t size);
// The bytes of a live handle; empty for anything else.
std::span<uint8_t> StandInHandleBytes(QtHandle h);
int StandInLiveHandles();
