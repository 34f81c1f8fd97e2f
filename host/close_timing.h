#pragma once
#include <cstdint>

// When a close request may ask the password verifier. Tick counts are milliseconds since the system
// started, 32-bit and wrapping.

// lastVerifyTick before any verification has ended.
inline constexpr uint32_t neverVerifiedTick = 0xFFFFFFFFu;
// No new password prompt within this many milliseconds of the end of the last one.
inline constexpr uint32_t verifyRetryInterval = 200;

// later - earlier modulo 2^32, so an interval across the wrap of the tick counter is measured right.
uint32_t TicksBetween(uint32_t earlier, uint32_t later);

// True when no verification has ended yet (lastVerifyTick is neverVerifiedTick) or at least
// verifyRetryInterval milliseconds have passed since the last one ended.
bool MayAskVerifier(uint32_t lastVerifyTick, uint32_t now);
