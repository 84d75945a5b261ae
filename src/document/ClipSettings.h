#pragma once
// The clipping fields of the map settings seen as one polyline set, and the Image Clip change:
// the settings keep the polylines as flat arrays (all vertices, then one count, flag, level and
// step per polyline); the dialog and the command line edit them as a ClipPolylineSet.

#include "image/ClipPolylineSet.h"

struct TessarixSettingsFields;
class CTessarixDoc;

// The polylines of the settings. A polyline whose count runs past the vertex list keeps the
// vertices there are; missing conditioning values are off, level 0, step 1.
ClipPolylineSet ClippingOf(const TessarixSettingsFields& settings);
// Writes the set into the settings' clipping fields.
void SetClipping(TessarixSettingsFields& settings, const ClipPolylineSet& set);

// The map work a new set asks for: nothing when it equals the stored one, the drawing only when
// just the outlines changed, everything when the conditioning points changed.
int ClipChangeWork(const ClipPolylineSet& before, const ClipPolylineSet& after);

// Stores the set as one "Image Clip" step when it differs from the settings (the step records
// the same map work, so its undo and redo recompute when the change did). Returns whether it did.
bool StoreImageClipping(CTessarixDoc& doc, const ClipPolylineSet& set);
