// The x86 fast path of the fade (SSE2, which every x86-64 processor has). Other builds use
// the portable computation only.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(__SSE2__)
#define ZORV_HAS_X86_FADE 1
// The same result as FadePixelsPortable, four pixels at a time.
void FadePixelsX86(uint32_t* pixels, size_t count, int level);
#else
#define ZORV_HAS_X86_FADE 0
#endif
