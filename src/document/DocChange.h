#pragma once
// DocChange: what a change of the document records and asks for, stated once. The undo step
// keeps the same three words, so a change, its undo and its redo all finish the same way (see
// CTessarixDoc::ApplyChange).

#include <cstdint>

#include "document/MapNotify.h"
#include "document/TessarixSettings.h"
#include "document/UndoStepKind.h"

struct DocChange {
    UndoStepKind kind;
    // The map work requested after the change, after its undo and after its redo; 0 requests
    // nothing (the change does not alter any map).
    int recalcFlags = 0;
    // A property step's property identifier (0: the whole settings record), a Map Setup step's
    // change level; 0 for the other kinds.
    int32_t argument = 0;
};

// The map work the drawing-axis refresh of a change adds: a new colour axis range or scale mode
// moves the contour levels. ApplyChange records it with the step, so the flags requested are
// always the flags recorded.
constexpr int AxisRefreshWork(const DocChange& change)
{
    switch (change.kind) {
    case StepProperty:
        return change.argument == 0 || change.argument == PropZRange || change.argument == PropZScaleMode
                   ? RECALC_CONTOURS
                   : 0;
    case StepAutoScaleColor:
    case StepMoveColorScale:
        return RECALC_CONTOURS;
    default:
        return 0;
    }
}

// The DocumentChanged level a change sends: a Map Setup step carries its own (names or enabled
// columns changed), every other kind changes data or settings only.
constexpr DocumentChangeLevel ChangeLevelOf(const DocChange& change)
{
    if (change.kind == StepMapSetup && change.argument > ChangeData && change.argument <= ChangeColumns)
        return DocumentChangeLevel(change.argument);
    return ChangeData;
}
