// The text scans for SSE2: built with -msse2 on i686, run only where the processor has it.
#if defined(__SSE2__)
#define PINNAFEX_SCAN_SSE2 1
#include "slots/slot_scan_body.h"
#else
#include "slots/slot_scan.h"
#endif

namespace pinnafex {

const TextScans* Sse2TextScans() {
#if defined(__SSE2__)
  return &kScans;
#else
  return nullptr;
#endif
}

}  // namespace pinnafex
