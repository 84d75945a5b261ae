#pragma once
// IMapComputations: the twelve per-column map computations as the document sees them. The
// document issues one request per enabled column; a request copies what it needs from the
// document at once, so nothing is read from the document afterwards.

class CTessarixDoc;

class IMapComputations {
public:
    virtual ~IMapComputations() = default;
    // Cancels the run in progress for `column`, copies its inputs from `doc` and wakes its worker.
    virtual void Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags) = 0;
    // Delete contents: cancels every run, frees every surface and cached picture.
    virtual void Reset() = 0;
};
