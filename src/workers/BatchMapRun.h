#pragma once
// CBatchMapRun: a document with the program's own map computations and a waiting IMapNotify,
// for callers without a main window (the command-line tool, tests). Everything goes through the
// same requests and workers as the interactive program; the caller only waits.
//
//     CBatchMapRun run(column);
//     const int before = run.Notify().Count(column);
//     run.Doc().OnOpenDocument(path);            // or any other change that calls RequestMaps
//     run.WaitForColumn(column, before);
//     run.Thread(column).Surface() ...            // safe to read: the worker is idle
//
// The document is destroyed (stopping the workers) before the notify object it points at.

#include <QString>

#include <memory>

#include "document/TessarixDoc.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"

class CBatchMapRun {
public:
    // `activeColumn` is what the document is told the active tab is.
    explicit CBatchMapRun(int activeColumn = 0);
    ~CBatchMapRun();
    CBatchMapRun(const CBatchMapRun&) = delete;
    CBatchMapRun& operator=(const CBatchMapRun&) = delete;

    CTessarixDoc& Doc() { return *m_doc; }
    CMapComputationSet& Maps() { return *m_maps; }
    CMapReadyWaiter& Notify() { return m_notify; }
    const CContourMapThread& Thread(int column) const { return m_maps->Thread(column); }

    // Waits for a MapReady of `column` beyond the `readyBefore` already counted, then until its
    // worker is idle; false on timeout (timeoutMs < 0 waits forever).
    bool WaitForColumn(int column, int readyBefore, int timeoutMs = -1);

    // Opens the document file `path` (which requests every enabled column) and waits until
    // `column` is computed. An empty text on success, otherwise the message to show (the file
    // could not be read, or the column is not enabled).
    QString OpenAndCompute(const QString& path, int column);

    // Why the column has no valid surface, or an empty text when it has one.
    QString SurfaceProblem(int column) const;
    // Why the column has no contour lines as asked (no surface, or its levels were refused), or
    // an empty text.
    QString ContourProblem(int column) const;

private:
    CMapReadyWaiter m_notify;
    CMapComputationSet* m_maps = nullptr;  // owned by m_doc
    std::unique_ptr<CTessarixDoc> m_doc;
};
