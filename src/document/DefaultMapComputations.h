#pragma once
#include <memory>

#include "document/MapComputations.h"

// The program's own map computations: one worker per data column.
std::unique_ptr<IMapComputations> CreateDefaultMapComputations();
