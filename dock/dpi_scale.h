// The bar's pixel tables are drawn for 96 DPI; these scale them to the DPI of the bar's window.
#pragma once

namespace pinnafex {

constexpr int kBaseDpi = 96;

// A DPI the platform could not tell (0) or beyond reason is read as the base DPI.
int UsableDpi(int dpi);

// v at `dpi`, rounded half away from zero as the platform's MulDiv does; held within int.
int ScaleToDpi(long long v, int dpi);

}  // namespace pinnafex
