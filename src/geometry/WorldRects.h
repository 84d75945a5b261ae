#pragma once
// Rectangles in world units (the user's coordinates): the map extent the surface covers and the
// rectangle the background picture is stretched over.

struct MapExtent {
    float x0 = 0.0f;
    float x1 = 1.0f;
    float y0 = 0.0f;
    float y1 = 1.0f;
    friend bool operator==(const MapExtent&, const MapExtent&) = default;
};

struct ImageRect {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 1.0f;
    float y1 = 1.0f;
    friend bool operator==(const ImageRect&, const ImageRect&) = default;
};
