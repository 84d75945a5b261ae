#pragma once
// CContourMapThread: the map computation of one data column. The user-interface thread issues
// requests; the worker computes the surface, traces the contours and renders the map picture,
// then posts MapReady through the document's IMapNotify.
//
// Ownership: a request copies everything the worker reads (settings, layout, axes, picture,
// positions and the column's values, plus the boundary and conditioning points), so the worker
// never touches the document. A request first stops the run in progress (cancel flags, then it
// waits) and holds the worker out of DoWork while it copies.
//
// Work flags accumulate across requests and are cleared only by a successful step, so a failed
// or cancelled surface or contour step is retried by the next request; the picture flag is never
// cleared. A cancelled run leaves the cached picture as it was and posts nothing.
//
// Shared with the user-interface thread while a run is in progress: the cancel and busy flags,
// the cached picture (under m_pictureLock) and the surface for the cursor read-out (under
// m_surfaceLock, which the read-out only tries to take).

#include <QImage>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "document/TessarixSettings.h"
#include "image/TXImage.h"
#include "mapping/ContourResult.h"
#include "mapping/ContourTracer.h"
#include "mapping/Surface3DData.h"
#include "workers/ThinThread.h"
#include "geometry/MapAxis.h"
#include "geometry/MapLayout.h"
#include "util/TxTypes.h"

class CTessarixDoc;
class IMapNotify;

// What became of the last surface step.
enum class SurfaceStatus {
    NotComputed,    // no surface step has run yet
    Computed,       // the surface is valid
    TooFewPoints,   // fewer than 3 input points: not attempted, the previous surface stays
    Singular,       // a pivot of the system was exactly zero
    Cancelled,      // a newer request stopped it
    OutOfMemory,    // the grid could not be allocated
};

// Boundary points around the X and Y axis ranges for the settings' layout (0 corners, 1 side
// midpoints, 2 both), each at the boundary level; nothing for any other layout.
void AppendBoundaryPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v);
// Conditioning points at every step-th vertex of each clipping polyline that asks for them, in
// world coordinates of the picture rectangle; a step below 1 counts as 1.
void AppendConditioningPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v);

// How many threads one surface computation may use: the cores shared among the map workers that
// are running at the moment.
int SurfaceThreadBudget();

class CContourMapThread : public CThinThread {
public:
    CContourMapThread();
    ~CContourMapThread() override;

    void Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags);
    // Stops the run in progress, frees the surface and the cached picture.
    void Reset();

    bool CopyPicture(QImage* out) const;
    bool HasPicture() const;
    bool SurfaceValueAt(float x, float y, const CTessarixSettings& current, float* z) const;
    bool InputValueRange(float* smallest, float* largest) const;

    // Read only while the worker is idle (after WaitUntilIdle, or from the worker itself).
    const CSurface3DData& Surface() const { return m_surface; }
    const CCMAP_ContourResult& Contours() const { return m_result; }
    const CTXFloatArray& Levels() const { return m_levels; }
    const ContourParameters& Parameters() const { return m_contourParams; }
    const CTessarixSettings& Settings() const { return m_settings; }
    SurfaceStatus LastSurfaceStatus() const { return m_surfaceStatus; }
    int PendingWork() const { return m_workFlags; }
    int Column() const { return m_column; }

protected:
    void DoWork() override;
    void RaiseCancel() override;
    void LowerCancel() override;

private:
    bool SurfaceStep();
    void ContourStep();
    void RenderStep();

    CMapAxis m_xAxis, m_yAxis, m_zAxis;
    MapLayout m_layout;                 // graph, axis areas, colour bar
    IMapNotify* m_notify = nullptr;     // target of MapReady; not owned
    CTessarixSettings m_settings;
    CSurface3DData m_surface;
    CTXFloatArray m_levels;
    ContourParameters m_contourParams;
    CCMAP_ContourResult m_result;       // also carries the busy and cancel flags
    int32_t m_raisePriority = 0;
    int32_t m_column = 0;
    CTXFloatArray m_x, m_y, m_values;   // interpolation input: measured, boundary, conditioning
    float m_largestValue = 0.0f;
    int32_t m_measuredCount = 0;
    TxRect m_client;
    CTXImage m_image;
    int m_dpiX = 96, m_dpiY = 96;
    int32_t m_workFlags = 0;
    SurfaceStatus m_surfaceStatus = SurfaceStatus::NotComputed;

    QImage m_picture;                   // the cached map picture
    mutable std::mutex m_pictureLock;   // guards m_picture only
    mutable std::mutex m_surfaceLock;   // held by the worker while it rebuilds m_surface
};
