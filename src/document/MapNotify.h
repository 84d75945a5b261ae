#pragma once
// IMapNotify: how the document and the map computations tell the main window what happened.
// Sent codes are direct calls on the user-interface thread that return a value; posted codes
// may come from any thread and are delivered later on the user-interface thread. The document
// and the workers know only this interface, so tests plug in a recorder.

#include <cstdint>

enum MapNotifyCode : int {
    MapNotifyDocumentChanged = 1,  // argument: level 0..3
    MapNotifyMapReady = 3,         // posted by a map computation; argument: column index
    MapNotifyMapsRequested = 6,    // posted; argument: number of requests
    MapNotifyActiveColumn = 8,     // sent; returns the column index of the active tab, or 0
};

// DocumentChanged levels.
enum DocumentChangeLevel : int {
    ChangeData = 0,      // data or settings changed
    ChangeNames = 1,     // column names changed
    ChangeColumns = 2,   // set of enabled columns changed (also after New)
    ChangeLoaded = 3,    // a document was loaded
};

class IMapNotify {
public:
    virtual ~IMapNotify() = default;
    virtual intptr_t SendMapNotify(int code, intptr_t argument) = 0;
    virtual void PostMapNotify(int code, intptr_t argument) = 0;
};
