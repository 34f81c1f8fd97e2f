#pragma once
#include <cstdint>

#include "settings/saver_settings.h"

// A 64-bit FNV-1a digest of the first `frames` frames of a process on a width x height surface with
// the given settings, starting from a fresh animation state (angleStep from the speed). Each frame
// contributes its pen colour, every stroke end point in drawing order and its row count, each as
// four little-endian bytes, so that the native and the Windows build can compare their frames.
uint64_t FrameDigest(int32_t frames, int32_t width, int32_t height, const SaverSettings& settings);
