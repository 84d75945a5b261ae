#pragma once
// A stand-in for the twelve map computations: it counts requests, hands out pictures the test
// sets, and answers the surface read-out from a grid whose node (i, j) holds 100 * i + j.

#include <QImage>

#include <array>
#include <atomic>
#include <optional>
#include <utility>

#include "document/MapComputations.h"
#include "document/TessarixSettings.h"
#include "util/TxTypes.h"

class CFakeMapComputations final : public IMapComputations {
public:
    struct Shared {
        std::atomic<int> requests{0};
        std::array<QImage, kColumnCount> pictures;
        bool busy = false;
        bool hasSurface = true;
        // The input values of the last request, as InputValueRange reports them.
        std::optional<std::pair<float, float>> inputRange;
    };
    explicit CFakeMapComputations(Shared* shared) : m_shared(shared) {}

    void Request(const CTessarixDoc&, int, bool, int) override { ++m_shared->requests; }
    void Reset() override {}
    bool CopyPicture(int column, QImage* out) const override
    {
        const QImage& p = m_shared->pictures.at(size_t(column));
        if (p.isNull())
            return false;
        *out = p.copy();
        return true;
    }
    bool HasPicture(int column) const override { return !m_shared->pictures.at(size_t(column)).isNull(); }
    bool SurfaceValueAt(int, float x, float y, const CTessarixSettings& s, float* z) const override
    {
        if (m_shared->busy || !m_shared->hasSurface)
            return false;
        const float cellX = std::abs(s.extent.x1 - s.extent.x0) / float(s.gridCountX);
        const float cellY = std::abs(s.extent.y1 - s.extent.y0) / float(s.gridCountY);
        const int i = int((x - s.extent.x0) / cellX);
        const int j = int((y - s.extent.y0) / cellY);
        if (x < s.extent.x0 || y < s.extent.y0 || i < 0 || i >= s.gridCountX || j < 0 || j >= s.gridCountY)
            return false;
        *z = float(100 * i + j);
        return true;
    }
    bool InputValueRange(int, float* smallest, float* largest) const override
    {
        if (!m_shared->inputRange)
            return false;
        *smallest = m_shared->inputRange->first;
        *largest = m_shared->inputRange->second;
        return true;
    }

private:
    Shared* m_shared;
};
