#pragma once
// Stand-ins for the setup dialog tests: map computations that only count requests, a notify
// recorder, and a prompt that records every message and answers questions as told.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "dataentry/SetupFields.h"
#include "document/MapComputations.h"
#include "document/MapNotify.h"
#include "document/TessarixDoc.h"

struct RecordedRequest {
    int column;
    int flags;
};

class CRecordingMaps : public IMapComputations {
public:
    explicit CRecordingMaps(std::vector<RecordedRequest>* log) : m_log(log) {}
    void Request(const CTessarixDoc&, int column, bool, int flags) override { m_log->push_back({column, flags}); }
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }

private:
    std::vector<RecordedRequest>* m_log;
};

class CRecordingNotify : public IMapNotify {
public:
    intptr_t SendMapNotify(int code, intptr_t argument) override
    {
        sent.push_back({code, int(argument)});
        return 0;
    }
    void PostMapNotify(int, intptr_t) override {}
    std::vector<std::pair<int, int>> sent;
};

class CRecordingPrompt : public ISetupPrompt {
public:
    void Inform(const QString& text, PromptIcon icon) override
    {
        messages.append(text);
        icons.push_back(icon);
    }
    bool AskOkCancel(const QString& text) override
    {
        questions.append(text);
        return answerOk;
    }
    void Beep() override { ++beeps; }

    QStringList messages;
    std::vector<PromptIcon> icons;
    QStringList questions;
    bool answerOk = true;
    int beeps = 0;
};

// A new document whose map requests land in `requests`; the requests of New itself are dropped.
struct SetupTestDocument {
    SetupTestDocument() : doc(std::make_unique<CRecordingMaps>(&requests))
    {
        doc.SetNotify(&notify);
        doc.OnNewDocument();
        doc.SetModifiedFlag(false);
        requests.clear();
        notify.sent.clear();
    }
    std::vector<RecordedRequest> requests;
    CRecordingNotify notify;
    CTessarixDoc doc;
};
