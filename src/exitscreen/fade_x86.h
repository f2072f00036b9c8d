// The x86 fast paths of the fade: SSE2, which every x86-64 processor has, and AVX2 where the
// processor has it, chosen at run time. Other builds use the portable computation only.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(__SSE2__)
#define ZORV_HAS_X86_FADE 1
// Each fades the whole groups at the start of the pixels (4 for SSE2, 8 for AVX2) with the
// weights keep + toward = 10 of the picture and its grey, and returns how many it faded; the
// caller fades the rest.
size_t FadeGroupsSse2(uint32_t* pixels, size_t count, int keep, int toward);
// Needs a processor with AVX2 (X86HasAvx2).
size_t FadeGroupsAvx2(uint32_t* pixels, size_t count, int keep, int toward);
bool X86HasAvx2();
#else
#define ZORV_HAS_X86_FADE 0
#endif
