#include "dock/dpi_scale.h"

#include "dock/dock_rects.h"

namespace pinnafex {

namespace {
constexpr int kMaxDpi = 96 * 16;  // far beyond any screen, small enough to keep sums in range
}  // namespace

int UsableDpi(int dpi) {
  return dpi > 0 && dpi <= kMaxDpi ? dpi : kBaseDpi;
}

int ScaleToDpi(long long v, int dpi) {
  const long long product = v * UsableDpi(dpi);
  const long long half = kBaseDpi / 2;
  return ClampCoordinate(product >= 0 ? (product + half) / kBaseDpi
                                      : -((-product + half) / kBaseDpi));
}

}  // namespace pinnafex
