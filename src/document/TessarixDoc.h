#pragma once
// CTessarixDoc: the one document of the program. It holds the measurement table (positions and
// twelve data columns), the map settings, the background picture, the coordinate input grid,
// the four print text blocks, the three drawing axes, and the twelve map computations.
//
// Every change goes one way, ApplyChange: it empties the redo history, records the undo step,
// applies the change, and finishes it (modified, drawing axes, DocumentChanged with the change's
// level, RequestMaps with the flags the step records). Undo and redo finish through the same
// step. RequestMaps lays out the map for the view size and issues one request per enabled column.
//
// The columns invariant: x, y and every column's values (disabled columns too) have exactly
// pointCount elements after every operation; column 0 is always enabled; columns never move.

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "document/DocChange.h"
#include "document/MapComputations.h"
#include "document/TessarixDataColumn.h"
#include "document/TessarixSettings.h"
#include "document/UndoStepKind.h"
#include "image/TXImage.h"
#include "document/TXPrintSettings.h"
#include "geometry/MapAxis.h"
#include "geometry/MapLayout.h"
#include "util/TxTypes.h"

class IMapNotify;
class CTXUndoStack;

// The coordinate input grid: snapping of mouse positions and rounding of typed coordinates.
struct CoordinateInputGrid {
    int32_t snapMouse = 0;
    float snapX = 0.01f;
    float snapY = 0.01f;
    int32_t roundKeyboard = 0;
    float roundX = 0.01f;
    float roundY = 0.01f;
    // snapMouse, snapX, snapY, roundKeyboard, roundX, roundY.
    void Serialize(class CTXArchive& ar);
    friend bool operator==(const CoordinateInputGrid&, const CoordinateInputGrid&) = default;
};

// What the Grid Setting dialog sets: the map extent, the interpolation grid and function, and
// the coordinate input grid.
struct GridDefinition {
    MapExtent extent;
    int32_t countX = 20;
    int32_t countY = 20;
    int32_t function = RbfMultiquadric;
    float parameter = 0.333f;
    CoordinateInputGrid input;
};

// Outcome of reading or writing a document file; DocFileMessage gives the text to show.
enum class DocFileStatus {
    Ok,
    UnexpectedFormat,   // wrong magic or version, a bad record, or the file ends too soon
    FileNotFound,
    AccessDeniedRead,   // the file is locked by another program
    ReadPermissionDenied,  // the user may not read the file
    AccessDeniedWrite,
    DiskFull,
    OpenFailed,         // any other failure while opening (for instance more than 12 columns)
    SaveFailed,         // any other failure while saving
};
// `reason`: the record or field that failed (LoadFailureReason), added after the format message.
QString DocFileMessage(DocFileStatus status, const QString& path, const QString& reason = {});
// The status of a document file that could not be opened for reading, from the system's error
// number (errno); Qt reports all of these as one OpenError, without the reason.
DocFileStatus OpenErrorStatus(int systemError);

class CTessarixDoc {
public:
    enum AxisIndex { AxisX = 0, AxisY = 1, AxisZ = 2 };

    // `maps` receives the map requests; without one nothing is computed (the program and the
    // command-line tool wire in the twelve worker threads of workers/MapComputationSet.h).
    explicit CTessarixDoc(std::unique_ptr<IMapComputations> maps = nullptr);
    ~CTessarixDoc();
    CTessarixDoc(const CTessarixDoc&) = delete;
    CTessarixDoc& operator=(const CTessarixDoc&) = delete;

    void SetNotify(IMapNotify* notify) { m_notify = notify; }
    IMapNotify* Notify() const { return m_notify; }
    IMapComputations& Maps() { return *m_maps; }

    // New: default columns, settings, input grid and print blocks; maps requested; level 2.
    void OnNewDocument();
    // Open: reads the file into a cleared document; on failure the document is set up as new.
    DocFileStatus OnOpenDocument(const QString& path);
    // Save: writes a temporary file beside the target and renames it over the target only when
    // complete and on the disk, so a failed save never damages the previous file. `faults`
    // makes chosen system calls fail (tests).
    DocFileStatus OnSaveDocument(const QString& path, class IFileWriteFaults* faults = nullptr);
    // Before New, Open and Close: empties the table, stops the computations, clears undo.
    void DeleteContents();

    // The file bytes of the document as it is now, and the reader of such bytes.
    QByteArray WriteFileBytes();
    DocFileStatus ReadFileBytes(const QByteArray& bytes);
    // After a refused read: the field that failed, for the user (empty when none is known).
    const QString& LoadFailureReason() const { return m_loadFailureReason; }
    // After a read: the settings values that were brought into range, one "WARNING! " text each.
    const QStringList& LoadNotes() const { return m_loadNotes; }

    // The measurement table.
    int32_t PointCount() const { return m_pointCount; }
    const CTXFloatArray& X() const { return m_x; }
    const CTXFloatArray& Y() const { return m_y; }
    int ColumnCount() const { return int(m_columns.size()); }
    const CTessarixDataColumn& Column(int i) const { return *m_columns.at(size_t(i)); }
    CTessarixDataColumn& Column(int i) { return *m_columns.at(size_t(i)); }
    QStringList EnabledColumnNames() const;
    std::vector<int32_t> EnabledColumnIndices() const;
    // Replaces the whole table (Edit Data write-back, undo restore); pads or cuts every column.
    void SetPointTable(int32_t pointCount, CTXFloatArray x, CTXFloatArray y,
                       const std::array<CTXFloatArray, kColumnCount>& values);

    // Edit Data write-back as one undoable step: X, Y and the enabled columns' values (in column
    // order) for `pointCount` points, and the boundary conditions; disabled columns keep their
    // values, cut or padded with zeros. Defined in TessarixDocEditData.cpp.
    void ApplyEditData(int32_t pointCount, const CTXFloatArray& x, const CTXFloatArray& y,
                       const std::vector<CTXFloatArray>& enabledValues, int32_t useBoundary,
                       int32_t boundaryLayout, float boundaryLevel, float boundaryDistance);
    // Appends a point; the k-th enabled column takes the k-th value (0 when there are fewer).
    void InsertPoint(float x, float y, const CTXFloatArray& values);
    // Main Setup: returns the change level (2 flags changed, 1 names changed, 0 nothing). A
    // change of the enabled columns recomputes every map, so a newly enabled column gets its own.
    int SetColumnDefinitions(const std::array<bool, kColumnCount>& enabled,
                             const std::array<QString, kColumnCount>& names);
    // Grid Setting (one undoable step): stores the extent, counts, function, parameter and both
    // input-grid flags; the snap steps only when snapping is on, the round steps only when
    // rounding is on. Recomputes the maps, and returns true, only when the extent, a count,
    // the function or the parameter changed; the coordinate input grid alone changes no map.
    bool SetGridDefinition(const GridDefinition& grid);

    // Settings and related records.
    CTessarixSettings& Settings() { return m_settings; }
    const CTessarixSettings& Settings() const { return m_settings; }
    CoordinateInputGrid& InputGrid() { return m_inputGrid; }
    const CoordinateInputGrid& InputGrid() const { return m_inputGrid; }
    CTXImage& Image() { return *m_image; }
    const CTXImage& Image() const { return *m_image; }
    CTXPrintSettings& PrintBlock(int kind) { return m_printBlocks.at(size_t(kind)); }
    const CTXPrintSettings& PrintBlock(int kind) const { return m_printBlocks.at(size_t(kind)); }
    CMapAxis& Axis(int i) { return m_axes.at(size_t(i)); }
    const CMapAxis& Axis(int i) const { return m_axes.at(size_t(i)); }

    // Copies settings into the drawing axes by property identifier (-1: all of them).
    void RefreshAxes(int propertyId);
    void AddPendingWork(int flags) { m_pendingWork |= flags; }
    int PendingWork() const { return m_pendingWork; }

    // Document commands on the settings. Moving the colour scale traces the contours again, as
    // the levels inside the shifted range can differ. Selecting the map mode in force changes
    // nothing and returns false.
    void MoveColorScale(bool up);
    // Autorange: the colour axis spans the input values of the column's last map request
    // (measured, boundary and conditioning points), rounded to a fifth of the step; false, and
    // nothing recorded, when that request had no values or they are all equal.
    bool AutoScaleColor(int column);
    bool SetMapMode(int mode);

    // The view of column 0 reports its client rectangle.
    void OnViewSizeChanged(const TxRect& client);
    // Pixels per inch of the screen the maps are rendered for.
    void SetScreenResolution(int dpiX, int dpiY);
    int ScreenDpiX() const { return m_dpiX; }
    int ScreenDpiY() const { return m_dpiY; }
    const TxRect& ClientRect() const { return m_clientRect; }
    const MapLayout& Layout() const { return m_layout; }

    // The single entry point by which changes start map computations.
    void RequestMaps(int work);

    // The one path of every change of the document: empties the redo history, records the undo
    // step `change` describes (its flags joined by the work its axis refresh adds, so what is
    // requested is what is recorded), runs `apply`, then finishes the change (FinishChange).
    template <class Apply>
    void ApplyChange(DocChange change, Apply&& apply)
    {
        change.recalcFlags |= AxisRefreshWork(change);
        BeginUndoableChange(change);
        apply();
        FinishChange(change);
    }

    // Undo and redo: enabled while the history is open and holds a step; the menu text is
    // "&Undo <step>\t(Ctrl+Z)" or "Can't Undo" (the same for Redo).
    bool CanUndo() const;
    bool CanRedo() const;
    QString UndoMenuText() const;
    QString RedoMenuText() const;
    void Undo();
    void Redo();
    // Receives the message of a failed undo history file (once; that history is then closed).
    void SetUndoErrorHandler(std::function<void(const QString&)> handler);
    CTXUndoStack& UndoHistory() { return *m_undo; }
    CTXUndoStack& RedoHistory() { return *m_redo; }

    // Import Image: reads `path` as picture kind `filterIndex` (1 metafile, 2 bitmap, 3 TIFF,
    // 4 JPEG). A refused file changes nothing and returns false.
    bool ImportImage(const QString& path, int filterIndex);
    // Replaces the picture with an imported one as an undoable step; the maps are drawn again
    // only while the map mode shows the picture.
    void ReplaceImage(const CTXImage& picture);

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    const QString& PathName() const { return m_pathName; }
    void SetPathName(const QString& path) { m_pathName = path; }
    // The file name without folder, or "Untitled" for a document that was never saved.
    QString Title() const;

private:
    // Records the undo step of a change that is about to happen, after emptying the redo stack.
    void BeginUndoableChange(const DocChange& change);
    // The end of a change, of its undo and of its redo: marks the document modified, refreshes
    // the drawing axes the step touches, sends DocumentChanged with the change's level and
    // requests the maps with the step's flags (none when they are 0).
    void FinishChange(const DocChange& change);
    // Sends DocumentChanged with a level.
    void NotifyDocumentChanged(int level);
    void AppendDefaultColumns();
    void ResetContentsToDefaults();
    // The whole file in both directions; loading into a cleared document.
    void SerializeFile(class CTXArchive& ar);
    // The optional blocks after the reserved words: axis labels, interpolation options.
    void SerializeOptionalBlocks(class CTXArchive& ar);
    void TransferStep(CTXUndoStack& from, CTXUndoStack& to);

    std::unique_ptr<IMapComputations> m_maps;
    IMapNotify* m_notify = nullptr;

    int32_t m_pointCount = 0;
    std::vector<std::unique_ptr<CTessarixDataColumn>> m_columns;
    CTXFloatArray m_x;
    CTXFloatArray m_y;

    CTessarixSettings m_settings;
    CoordinateInputGrid m_inputGrid;
    std::unique_ptr<CTXImage> m_image;
    std::array<CTXPrintSettings, kPrintBlockCount> m_printBlocks;
    std::array<CMapAxis, 3> m_axes;

    int m_pendingWork = 0;
    TxRect m_clientRect;
    MapLayout m_layout;
    int m_dpiX = 96;
    int m_dpiY = 96;

    bool m_modified = false;
    QString m_pathName;
    QString m_loadFailureReason;
    QStringList m_loadNotes;

    std::unique_ptr<CTXUndoStack> m_undo;
    std::unique_ptr<CTXUndoStack> m_redo;
    std::function<void(const QString&)> m_undoError;
};
