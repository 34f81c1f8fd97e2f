#pragma once
#include <cstdint>

// The four persisted settings of the saver. Filled from the settings file once per saver window and
// once per opening of the configuration dialog; read by the frame renderer.
struct SaverSettings {
    int32_t speed;    // hundredths of a radian per frame
    int32_t xOffset;  // starting value of the drift, in pixels
    int32_t yOffset;  // upper turning value of the drift, in pixels
    float margin;     // distance from the right edge at which the curve stops ("len")
};

// The process-wide record. It starts with the default values, but every user loads the file first.
extern SaverSettings saverSettings;
