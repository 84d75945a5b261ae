#pragma once
// A document with the program's own map workers and a waiter in place of the main window.

#include <memory>

#include "document/TessarixDoc.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"

struct WorkerDocument {
    CMapReadyWaiter notify;
    CMapComputationSet* maps = nullptr;
    std::unique_ptr<CTessarixDoc> doc;

    WorkerDocument()
    {
        auto set = std::make_unique<CMapComputationSet>();
        maps = set.get();
        doc = std::make_unique<CTessarixDoc>(std::move(set));
        doc->SetNotify(&notify);
    }
    ~WorkerDocument() { doc.reset(); }  // stops the workers before the waiter goes
    WorkerDocument(const WorkerDocument&) = delete;
    WorkerDocument& operator=(const WorkerDocument&) = delete;
};
