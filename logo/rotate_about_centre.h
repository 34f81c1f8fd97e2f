#pragma once

// A point of the surface in pixels: x to the right, y downward, origin at the top-left corner.
struct FloatPoint {
    float x;
    float y;
};

// Turns the point by -angle about the centre of a width x height surface (counter-clockwise on the
// screen for a growing angle). Points closer than 1.0 to the centre keep their place.
void RotateAboutCentre(FloatPoint& point, float width, float height, float angle);
