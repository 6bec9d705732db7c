// Marks a hot loop to be compiled twice, for the processors of the last
// decade (AVX2 and FMA, four doubles per instruction) and for any x86-64,
// the choice made once at start-up. Elsewhere it marks nothing.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define SOLLUMEN_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define SOLLUMEN_VECTOR_CLONES
#endif
