#pragma once
// A document for data entry tests: map requests are counted instead of computed.

#include <memory>

#include "document/MapComputations.h"
#include "document/TessarixDoc.h"

class CCountingMaps final : public IMapComputations {
public:
    explicit CCountingMaps(int* requests) : m_requests(requests) {}
    void Request(const CTessarixDoc&, int, bool, int flags) override
    {
        ++*m_requests;
        lastFlags = flags;
    }
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }
    int lastFlags = 0;

private:
    int* m_requests;
};

struct TestDoc {
    int requests = 0;
    std::unique_ptr<CTessarixDoc> doc;

    // A new document with `points` points (X = i, Y = 10 i, column c value = 100 c + i) and
    // the given data columns enabled besides column 0.
    explicit TestDoc(int points = 0, std::initializer_list<int> enabled = {})
    {
        doc = std::make_unique<CTessarixDoc>(std::make_unique<CCountingMaps>(&requests));
        doc->OnNewDocument();
        for (int c : enabled)
            doc->Column(c).enabled = 1;
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int i = 0; i < points; ++i) {
            x.push_back(float(i));
            y.push_back(float(10 * i));
            for (int c = 0; c < kColumnCount; ++c)
                values[size_t(c)].push_back(float(100 * c + i));
        }
        doc->SetPointTable(points, x, y, values);
        doc->SetModifiedFlag(false);
        requests = 0;
    }
};
