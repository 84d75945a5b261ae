#pragma once
// IMapComputations: the twelve per-column map computations as the document sees them. The
// document issues one request per enabled column; a request copies what it needs from the
// document at once, so nothing is read from the document afterwards.

#include <QImage>

#include <vector>

class CTessarixDoc;
class CTessarixSettings;

class IMapComputations {
public:
    virtual ~IMapComputations() = default;
    // Cancels the run in progress for `column`, copies its inputs from `doc` and wakes its worker.
    virtual void Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags) = 0;
    // Request, telling whether it made the column's map outstanding: false when a map of the
    // column was still outstanding, whose one MapReady (still to come) answers both requests.
    // What RequestMaps counts; computations that do not track it count every request.
    virtual bool RequestCounted(const CTessarixDoc& doc, int column, bool raisePriority, int flags)
    {
        Request(doc, column, raisePriority, flags);
        return true;
    }
    // One request for several columns (`active` gets the raised priority); returns how many of
    // them it made outstanding, as RequestCounted counts. Computations that can share work among
    // the columns do so; by default each column is asked alone.
    virtual int RequestColumns(const CTessarixDoc& doc, const std::vector<int>& columns, int active, int flags)
    {
        int counted = 0;
        for (int column : columns)
            if (RequestCounted(doc, column, column == active, flags))
                ++counted;
        return counted;
    }
    // Delete contents: cancels every run, frees every surface and cached picture.
    virtual void Reset() = 0;

    // The picture of `column` as last rendered, copied under its lock; false when there is none.
    virtual bool CopyPicture(int column, QImage* out) const = 0;
    virtual bool HasPicture(int column) const = 0;
    // Cursor read-out: the value of the grid cell that holds world position (x, y), taken from
    // the cell's lower-left node, with the extent and counts of `current`; false while the
    // column's computation is busy, without a valid surface, or outside the grid.
    virtual bool SurfaceValueAt(int column, float x, float y, const CTessarixSettings& current,
                                float* z) const = 0;
    // Smallest and largest interpolation input value of the column's last request (measured,
    // boundary and conditioning points); false when it had none.
    virtual bool InputValueRange(int column, float* smallest, float* largest) const = 0;
};

// Computes nothing: the document's computations until the program wires in its workers (a
// document read only for its data needs none).
class CIdleMapComputations : public IMapComputations {
public:
    void Request(const CTessarixDoc&, int, bool, int) override {}
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }
};
