#pragma once
// What the Surface Check dialog shows of a finished check, kept free of widgets: the summary
// lines, the verdict on the largest miss, the table of the worst points and the marks the map
// view circles, or the one sentence that says why there is no check.

#include <QString>
#include <QStringList>

#include <vector>

#include "render/TessarixViewModel.h"
#include "workers/SurfaceCheckRun.h"

// The columns of the worst-points table, in the order of their headings IDS_CHECK_HEAD_POINT...
enum SurfaceCheckColumn { CheckColumnPoint, CheckColumnX, CheckColumnY, CheckColumnMeasured, CheckColumnResidual,
                          CheckColumnCount };

struct SurfaceCheckText {
    QString refusal;          // why nothing was checked; empty when the check ran
    QString rms;
    QString miss;
    QString condition;
    QString verdict;          // the sentence on the largest miss
    bool illConditioned = false;
    std::vector<QStringList> worstRows;  // CheckColumnCount cells each, worst first
    std::vector<MapMark> marks;          // the worst points, labelled 1.. in table order
};

// `pointCount`: how many points the check was given (named when there were too many).
SurfaceCheckText DescribeSurfaceCheck(const SurfaceCheckReport& report, int pointCount);
// The five table headings.
QStringList SurfaceCheckHeadings();
