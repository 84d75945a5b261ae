#pragma once
// The render step of a map computation: the complete map picture (frame, axes, colour bar, map
// body, annotations) of one column, drawn into an image of the client size.

#include <QImage>

#include "render/MapDrawInput.h"

// Draws the map into `target`, which the caller has created with the client rectangle's size
// (Format_RGB32 draws fastest). In the fixed-amplitude scale mode the Z axis runs from the
// largest value less the amplitude to the largest value. When the abort flag rises the map body
// stops early; the frame and the border are drawn all the same.
void RenderMapImage(const MapDrawInput& input, QImage& target);

// A new image of `size` with the map drawn into it.
QImage RenderMapImage(const MapDrawInput& input, const QSize& size);
