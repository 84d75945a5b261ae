#include "document/DefaultMapComputations.h"

namespace {

// Until the map engine is linked in, requests are accepted and nothing is computed.
class CIdleMapComputations final : public IMapComputations {
public:
    void Request(const CTessarixDoc&, int, bool, int) override {}
    void Reset() override {}
};

}  // namespace

std::unique_ptr<IMapComputations> CreateDefaultMapComputations()
{
    return std::make_unique<CIdleMapComputations>();
}
