#pragma once
// TX_VECTOR_CLONES marks a hot loop to be compiled for the processor's widest vector unit when it
// has one and for plain SSE2 otherwise; the program runs on both. The ThreadSanitizer and clang
// builds leave the clones out.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define TX_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define TX_VECTOR_CLONES
#endif

// Whether the clones run on registers of 256 bits or more. Loops that keep many sums in registers
// at once pay off there; the sixteen SSE2 registers would spill them.
inline bool WideVectorUnit()
{
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide;
#else
    return false;
#endif
}
