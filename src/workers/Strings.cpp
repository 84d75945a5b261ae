// Adds this folder's built-in English texts to the string table when the program starts.
#include "util/StringTable.h"
#include "workers/WorkerStrings.h"

namespace {

constexpr TxBuiltInText kTexts[] = {
#include "workers/Strings.inc"
};
[[maybe_unused]] const bool kAdded = TxAddBuiltInTexts(kTexts);

}  // namespace
