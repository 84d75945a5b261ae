// The Edit Data write-back of CTessarixDoc.

#include "document/MapNotify.h"
#include "document/TessarixDoc.h"

void CTessarixDoc::ApplyEditData(int32_t pointCount, const CTXFloatArray& x, const CTXFloatArray& y,
                                 const std::vector<CTXFloatArray>& enabledValues, int32_t useBoundary,
                                 int32_t boundaryLayout, float boundaryLevel, float boundaryDistance)
{
    ApplyChange({StepEditData, RECALC_ALL}, [&] {
        std::array<CTXFloatArray, kColumnCount> values;
        size_t k = 0;
        for (int c = 0; c < kColumnCount; ++c) {
            const CTessarixDataColumn& column = Column(c);
            // A disabled column keeps the values it had; SetPointTable cuts or pads it to the new N.
            if (column.enabled && k < enabledValues.size())
                values[size_t(c)] = enabledValues[k++];
            else
                values[size_t(c)] = column.values;
        }
        SetPointTable(pointCount, x, y, values);
        m_settings.useBoundaryConditions = useBoundary ? 1 : 0;
        m_settings.boundaryLayout = std::clamp(boundaryLayout, int32_t(BoundaryCorners), int32_t(BoundaryCornersAndSides));
        m_settings.boundaryLevel = boundaryLevel;
        m_settings.boundaryDistance = boundaryDistance;
    });
}
