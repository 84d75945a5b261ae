#pragma once
// The snapshot of an undo step: the part of the document a step kind (and, for property steps,
// the property group) selects, written and read by one routine for both directions.
//
// Restoring goes through a copy: the document's present state is copied into a
// CTXUndoDocumentState, the snapshot is read into that copy (which fails as a whole on a short
// or inconsistent record), and only then is the copy put back into the document. A damaged
// record therefore never leaves the document half restored.
//
// Snapshot contents by kind (little-endian, strings and records as in the document file):
//   0     pointCount, column count (12), the values of each enabled column, x, y. Restoring
//         leaves every column with exactly pointCount values (disabled ones cut or padded with 0).
//   3     pointCount, column count (12), the values of all twelve columns (a disabled column
//         keeps values that Edit Data cuts away), x, y, then use boundary conditions, boundary
//         layout, level, distance.
//   1     12 x (enabled, name)
//   2     grid counts, extent X0 X1 Y0 Y1, function, parameter, the coordinate input grid
//   4     imageRect X0 Y0 X1 Y1
//   5     clip target, fill mode, P, P point counts, P flags, P levels, P steps, M, M vertices,
//         automatic boundary polyline
//   6     the property group of the argument (see SerializePropertyGroup); argument 0
//         (the pane's "Apply Changes") carries the whole settings record, the axis labels and
//         the energy option
//   7     mapMode
//   8     the picture record with its version word
//   9, 10 zAxis font, font colour, start, stop, step, hidden

#include <QByteArray>

#include <array>

#include "document/TessarixDoc.h"

class CTXArchive;

struct CTXUndoDocumentState {
    int32_t pointCount = 0;
    CTXFloatArray x;
    CTXFloatArray y;
    std::array<int32_t, kColumnCount> enabled{};
    std::array<QString, kColumnCount> names;
    std::array<CTXFloatArray, kColumnCount> values;
    CTessarixSettings settings;
    CoordinateInputGrid inputGrid;
    CTXImage image;
};

// The document's present state (all of the parts any snapshot can touch).
CTXUndoDocumentState CaptureUndoState(const CTessarixDoc& doc);
// Puts a restored state back into the document.
void ApplyUndoState(CTessarixDoc& doc, CTXUndoDocumentState state);

// Writes or reads the snapshot that `kind` and `argument` select.
void SerializeUndoSnapshot(CTXArchive& ar, int32_t kind, int32_t argument, CTXUndoDocumentState& s);
// One property group (PropertyGroup) of the settings; other groups transfer nothing.
void SerializePropertyGroup(CTXArchive& ar, int32_t group, CTessarixSettings& s);

// The snapshot bytes of the document as it is now.
QByteArray UndoSnapshotBytes(const CTessarixDoc& doc, int32_t kind, int32_t argument);
// Reads `snapshot` into a copy of the document's state; throws CTXArchiveError on a record
// that is short, too long or inconsistent.
CTXUndoDocumentState RestoreUndoSnapshot(const CTessarixDoc& doc, int32_t kind, int32_t argument,
                                         const QByteArray& snapshot);
