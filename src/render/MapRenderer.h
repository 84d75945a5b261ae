#pragma once
// The render step of a map computation: the complete map picture (frame, axes, colour bar, map
// body, annotations) of one column, drawn into an image of the client size.

#include <QImage>

#include "render/MapDrawInput.h"

// Draws the map into `target`, which the caller has created with the client rectangle's size.
void RenderMapImage(const MapDrawInput& input, QImage& target);
