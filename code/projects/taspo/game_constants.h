// The game's tunable values: times in seconds, colours 0x00RRGGBB, sizes in pixels.
#pragma once

#include <cstdint>

#include "platform/app_window.h"

constexpr float TargetTimeMin = 0.5f;  // shortest time the target stays visible
constexpr float TargetTimeMax = 1.5f;  // longest time the target stays visible
constexpr float WaitTimeMin = 1.0f;    // shortest wait after a hit or a miss
constexpr float FirstWaitTime = 1.0f;  // wait before the first target
constexpr float WaitTimeMax = 2.5f;    // longest wait after a hit or a miss
constexpr float HitTime = 0.2f;        // how long the hit feedback shows
constexpr float MissTime = 0.8f;       // how long the miss feedback shows
constexpr uint32_t ColourIdle = 0x808080;
constexpr uint32_t ColourMiss = 0x800000;
constexpr uint32_t ColourHit = 0xC0C0FF;
// The picture is the window's client area.
constexpr int32_t ScreenWidth = AppClientWidth;
constexpr int32_t ScreenHeight = AppClientHeight;
