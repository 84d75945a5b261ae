#pragma once
// Kinds of undo steps; the name of kind k is the text with identifier 32552 + k.

#include <cstdint>

enum UndoStepKind : int32_t {
    StepInsertPoint = 0,
    StepMapSetup = 1,
    StepGrid = 2,
    StepEditData = 3,
    StepImageScale = 4,
    StepImageClip = 5,
    StepProperty = 6,
    StepMapMode = 7,
    StepImage = 8,
    StepAutoScaleColor = 9,
    StepMoveColorScale = 10,
    StepBandSum = 11,
    StepMergeReadings = 12,
};
