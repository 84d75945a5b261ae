// libFuzzer driver: TESSARIX_FUZZ_TARGET names the reader to feed (see FuzzTargets.cpp).
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "FuzzTargets.h"

namespace {
const FuzzTarget* g_target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_target = FindFuzzTarget(std::getenv("TESSARIX_FUZZ_TARGET"));
    if (!g_target) {
        std::fprintf(stderr, "TESSARIX_FUZZ_TARGET must name one of:");
        for (const FuzzTarget& t : FuzzTargets())
            std::fprintf(stderr, " %s", t.name);
        std::fprintf(stderr, "\n");
        std::exit(2);
    }
    // Fonts and the SVG renderer need a GUI application; offscreen needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(*argc, *argv));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_target->run(data, size);
    return 0;
}
