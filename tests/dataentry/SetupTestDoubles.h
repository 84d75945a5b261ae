#pragma once
// Stand-ins for the setup dialog tests: a prompt that records every message and answers
// questions as told, and a new document whose map requests and notifications are recorded.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "../support/PromptRecorder.h"
#include "../support/Recorders.h"
#include "document/TessarixDoc.h"

// A new document whose map requests land in `requests`; the requests of New itself are dropped.
struct SetupTestDocument {
    SetupTestDocument()
    {
        auto maps = std::make_unique<RequestRecorder>();
        recorder = maps.get();
        doc = std::make_unique<CTessarixDoc>(std::move(maps));
        doc->SetNotify(&notify);
        doc->OnNewDocument();
        doc->SetModifiedFlag(false);
        recorder->requests.clear();
        notify.calls.clear();
    }
    const auto& Requests() const { return recorder->requests; }

    NotifyRecorder notify;
    RequestRecorder* recorder = nullptr;  // owned by the document
    std::unique_ptr<CTessarixDoc> doc;
};
