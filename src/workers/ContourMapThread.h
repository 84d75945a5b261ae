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
// A request adds the surface (and contour) work itself when the worker holds no surface for the
// inputs it is given, whatever flags the request carries: a column that never had a surface, or
// whose data or grid changed while it was disabled (and so got no requests), computes at once.
// Likewise the contours are traced again when the colour axis changed since the last trace.
//
// A map that cannot be made as asked (a failed solve, a refused level or tick series, memory
// running out) is still drawn and posted: without the surface and contours it cannot stand
// behind, with the reason as a "WARNING! " text in the graph area, which WarningText() returns
// as well. No stale contour is drawn as if it were current.
//
// Shared surfaces: a request that covers several columns hands each of their workers one
// CSharedSurfaceJob (see there). A worker whose surface is to be computed joins it, and its
// surface step then computes through the job instead of alone; everything else (contours,
// picture, MapReady) stays its own. A worker leaves the job when its request is superseded, so
// the job never holds up a newer request.
//
// Outstanding maps: a request that finds no map outstanding makes one (Request returns true);
// the run that finally completes clears it just before it posts MapReady. A cancelled run leaves
// it to the newer request's run, so every outstanding map gets exactly one MapReady.
//
// Shared with the user-interface thread while a run is in progress: the cancel and busy flags,
// the cached picture (under m_pictureLock) and the surface for the cursor read-out (under
// m_surfaceLock, which the read-out only tries to take).

#include <QImage>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "document/TessarixSettings.h"
#include "image/TXImage.h"
#include "mapping/ContourResult.h"
#include "mapping/ContourTracer.h"
#include "mapping/Surface3DData.h"
#include "render/MapDrawInput.h"
#include "workers/SharedSurfaceJob.h"
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
    Singular,       // two points at one position, or a pivot of the system exactly zero
    Cancelled,      // a newer request stopped it
    OutOfMemory,    // memory ran out for the grid, the system or the tracing
    GridTooLarge,   // the grid counts lie outside 1..kMaxGridCount
    TooManyPoints,  // more than kMaxInterpolationPoints input points: not attempted
};

// Boundary points around the X and Y axis ranges for the settings' layout (0 corners, 1 side
// midpoints, 2 both), each at the boundary level; nothing for any other layout.
void AppendBoundaryPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v);
// Conditioning points at every step-th vertex of each clipping polyline that asks for them, in
// world coordinates of the picture rectangle; a step below 1 counts as 1.
void AppendConditioningPoints(const CTessarixSettings& s, CTXFloatArray& x, CTXFloatArray& y, CTXFloatArray& v);

// The interpolation input of one column: its measured points (the first `measured`), then the
// boundary points when the settings use them, then the conditioning points.
struct InterpolationInput {
    CTXFloatArray x, y, v;
    int32_t measured = 0;
};
InterpolationInput InterpolationInputOf(const CTessarixDoc& doc, const CTessarixSettings& s, int column);
// The positions as the solver sees them: normalised to the extent, in float.
void NormaliseToExtent(const MapExtent& e, const CTXFloatArray& x, const CTXFloatArray& y, CTXFloatArray* xn,
                       CTXFloatArray* yn);

// How many threads one surface computation may use: the cores shared among the map workers that
// are running at the moment.
int SurfaceThreadBudget();

// The "WARNING! " texts of a refused series: the contour levels of a colour axis range, and the
// ticks of a drawing axis (named "X", "Y" or "Z").
QString LevelRefusalText(float step, float start, float stop);
QString TickRefusalText(const char* axisName, const CMapAxis& axis);

// The first two input points (0-based, first < second) at exactly the same position: `second` is
// the first point that repeats an earlier position, `first` the earliest point there. False when
// all positions differ (points with a NaN coordinate take no part).
bool FindCoincidingPoints(const CTXFloatArray& x, const CTXFloatArray& y, int32_t* first, int32_t* second);

class CContourMapThread : public CThinThread {
public:
    CContourMapThread();
    ~CContourMapThread() override;

    // Cancels the run in progress, copies the inputs and wakes the worker; true when this made a
    // map outstanding (none was before), false when it joins one still outstanding. With a
    // `job`, the surface (when one is to be computed) is computed through it if its inputs match.
    bool Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags,
                 const std::shared_ptr<CSharedSurfaceJob>& job = nullptr);
    // Stops the run in progress, frees the surface and the cached picture.
    void Reset();

    bool CopyPicture(QImage* out) const;
    bool HasPicture() const;
    bool SurfaceValueAt(float x, float y, const CTessarixSettings& current, float* z) const;
    bool InputValueRange(float* smallest, float* largest) const;
    // The warning drawn into the last picture ("WARNING! ..."), empty when the map is complete.
    QString WarningText() const;
    // A map was requested and its MapReady not yet posted.
    bool MapOutstanding() const { return m_mapOutstanding.load() != 0; }

    // Read only while the worker is idle (after WaitUntilIdle, or from the worker itself).
    const CSurface3DData& Surface() const { return m_surface; }
    const CCMAP_ContourResult& Contours() const { return m_result; }
    const CTXFloatArray& Levels() const { return m_levels; }
    const ContourParameters& Parameters() const { return m_contourParams; }
    const CTessarixSettings& Settings() const { return m_settings; }
    // What the drawing reads of the last computed map, pointing into this computation's own
    // copies; the surface and contours only while the last surface step stands behind them.
    // Printing draws the page from it at its own resolution and layout, without an abort flag.
    MapDrawInput DrawInput() const;
    SurfaceStatus LastSurfaceStatus() const { return m_surfaceStatus; }
    // With the energy option: how many grid nodes of the last computed surface had no positive
    // interpolated energy and took the lowest measured level instead; 0 without the option.
    int32_t NonPositiveEnergyNodes() const { return m_nonPositiveEnergyNodes; }
    // How far the last computed surface misses a measured point (in the unit of the values),
    // and which (0-based; -1 before any surface). Above SurfaceCheck::kIllConditionedMiss the
    // map warns.
    double LargestMiss() const { return m_largestMiss; }
    int32_t LargestMissPoint() const { return m_largestMissPoint; }
    LevelSeriesStatus LastLevelStatus() const { return m_levelStatus; }
    // Why the surface step failed ("WARNING! ..."), empty unless it did.
    QString SurfaceFailureText() const;
    // Why the contour levels were refused ("WARNING! ..."), empty unless they were.
    QString LevelRefusalText() const;
    int PendingWork() const { return m_workFlags; }
    // The last request's surface is computed through a shared job (read while the worker is idle).
    bool SharesSurface() const { return m_job != nullptr; }
    int Column() const { return m_column; }

protected:
    void DoWork() override;
    void RaiseCancel() override;
    void LowerCancel() override;

private:
    // The settings the surface is computed with, besides the interpolation input.
    struct GridInputs {
        MapExtent extent;
        int32_t gridCountX = 0, gridCountY = 0, function = 0;
        float parameter = 0.0f;
        int32_t energy = 0;
        friend bool operator==(const GridInputs&, const GridInputs&) = default;
    };
    // What the contour levels are generated from.
    struct LevelInputs {
        float start = 0.0f, stop = 0.0f, step = 0.0f, fixedAmplitude = 0.0f;
        int32_t scaleMode = 0;
        friend bool operator==(const LevelInputs&, const LevelInputs&) = default;
    };
    static GridInputs GridInputsOf(const CTessarixSettings& s);
    static LevelInputs LevelInputsOf(const CTessarixSettings& s);

    bool SurfaceStep();
    // Leaves the shared job of the previous request, if any (worker held idle or cancelled).
    void LeaveJob();
    void ContourStep();
    void RenderStep(bool withSurface, const QString& warning);
    // The last surface step failed (not merely skipped or cancelled).
    bool SurfaceFailed() const;
    // The reasons the map is incomplete, one "WARNING! " text per line; empty when complete.
    QString Warnings() const;

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
    GridInputs m_gridInputs;            // with m_x, m_y, m_values: what the surface is computed from
    bool m_haveSurfaceInputs = false;   // false until the first surface request, and after Reset
    LevelInputs m_levelInputs;          // what the contours are (to be) traced for
    LevelSeriesStatus m_levelStatus = LevelSeriesStatus::Ok;
    float m_largestValue = 0.0f;
    int32_t m_measuredCount = 0;
    TxRect m_client;
    CTXImage m_image;
    int m_dpiX = 96, m_dpiY = 96;
    int32_t m_workFlags = 0;
    SurfaceStatus m_surfaceStatus = SurfaceStatus::NotComputed;
    int32_t m_nonPositiveEnergyNodes = 0;
    double m_largestMiss = 0.0;
    int32_t m_largestMissPoint = -1;
    int32_t m_nonFinitePoint = -1;      // the first measured point whose position or value is not a number
    std::atomic<int32_t> m_mapOutstanding{0};
    // The shared surface job of the last request and this worker's slot in it; written only
    // while the worker is held idle, so the worker and RaiseCancel may read it.
    std::shared_ptr<CSharedSurfaceJob> m_job;
    int m_jobSlot = -1;

    QImage m_picture;                   // the cached map picture
    QString m_warning;                  // the warning drawn into it
    mutable std::mutex m_pictureLock;   // guards m_picture and m_warning only
    mutable std::mutex m_surfaceLock;   // held by the worker while it rebuilds m_surface
};
