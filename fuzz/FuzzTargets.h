#pragma once
// Entry points for feeding arbitrary bytes to every reader of outside data. The libFuzzer driver
// (FuzzMain.cpp) runs one of them; the regression tests replay stored inputs through the same
// functions, so an input that once crashed stays a test in the ordinary build.
//
// An entry returns normally for any input; a broken invariant (a document that reads but does
// not read back after writing, say) aborts with a message, which the fuzzer counts as a crash.

#include <cstddef>
#include <cstdint>
#include <vector>

struct FuzzTarget {
    const char* name;
    void (*run)(const uint8_t* data, size_t size);
    // Where its seed inputs come from: globs relative to the checkout ("../shared/..." reaches
    // the shared samples), read by scripts/fuzz.
    const char* seeds;
};

const std::vector<FuzzTarget>& FuzzTargets();
const FuzzTarget* FindFuzzTarget(const char* name);
