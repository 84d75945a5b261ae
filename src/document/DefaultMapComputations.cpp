#include "document/DefaultMapComputations.h"

namespace {

// Until the map engine is linked in, requests are accepted and nothing is computed.
class CIdleMapComputations final : public IMapComputations {
public:
    void Request(const CTessarixDoc&, int, bool, int) override {}
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }
};

}  // namespace

std::unique_ptr<IMapComputations> CreateDefaultMapComputations()
{
    return std::make_unique<CIdleMapComputations>();
}
