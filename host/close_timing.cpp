#include "host/close_timing.h"

uint32_t TicksBetween(uint32_t earlier, uint32_t later) {
    return later - earlier;
}

bool MayAskVerifier(uint32_t lastVerifyTick, uint32_t now) {
    return lastVerifyTick == neverVerifiedTick || TicksBetween(lastVerifyTick, now) >= verifyRetryInterval;
}
