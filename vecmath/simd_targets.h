// The SIMD targets every file compiled per target builds, defined before any
// Highway header: one list, so a dispatch table never names a missing one.
#pragma once

// SSSE3 and SSE4 would only add code: every x86-64 that lacks AVX2 gets the
// portable baseline (HWY_EMU128, or HWY_SCALAR where GCC < 12.3 breaks EMU128).
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SSSE3 | HWY_SSE4)
#endif
