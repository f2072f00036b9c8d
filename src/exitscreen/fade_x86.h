// The x86 fast paths of the fade: SSE2, which every x86-64 processor has, and AVX2 where the
// processor has it, chosen at run time. Other builds use the portable computation only.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(__SSE2__)
#define ZORV_HAS_X86_FADE 1
// Each gives the same result as FadePixelsPortable.
void FadePixelsSse2(uint32_t* pixels, size_t count, int level);
// Needs a processor with AVX2 (X86HasAvx2).
void FadePixelsAvx2(uint32_t* pixels, size_t count, int level);
bool X86HasAvx2();
#else
#define ZORV_HAS_X86_FADE 0
#endif
