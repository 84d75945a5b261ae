// Adds this folder's built-in English texts to the string table when the program starts.
#include "print/PrintStrings.h"
#include "util/StringTable.h"

namespace {

constexpr TxBuiltInText kTexts[] = {
#include "print/Strings.inc"
};
[[maybe_unused]] const bool kAdded = TxAddBuiltInTexts(kTexts);

}  // namespace
