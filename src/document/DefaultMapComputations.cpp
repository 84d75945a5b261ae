#include "document/DefaultMapComputations.h"

#include "mapping/MapComputationSet.h"

std::unique_ptr<IMapComputations> CreateDefaultMapComputations()
{
    return std::make_unique<CMapComputationSet>();
}
