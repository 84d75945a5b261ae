#pragma once
// The spectrum of a colour scale drawn across a rectangle: every pixel column x from the left edge
// to the right edge (exclusive) takes the colour at fraction (x - left) / width, over the full
// height. The colour scale editor shows it above its marker strip; any cell that shows a scale
// can draw it the same way.

class CKWColorScale;
class QPainter;
class QRect;

void DrawColorScaleBar(QPainter& painter, const QRect& rect, const CKWColorScale& scale);
