#include "shell/bar_font.h"

namespace pinnafex {

namespace {

constexpr int kTemplateFontPoints = 8;  // the point size of the bar template's FONT line

// Made for a DPI the dialog manager did not use. The dialog's own font stays with the dialog,
// which deletes it.
HFONT gMadeFont = nullptr;

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
  SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void FitBarFont(HWND bar, int dpi) {
  LOGFONTA face{};
  HWND first = GetWindow(bar, GW_CHILD);
  const auto now = reinterpret_cast<HFONT>(SendMessageA(first, WM_GETFONT, 0, 0));
  if (!now || !GetObjectA(now, sizeof face, &face)) return;
  const LONG height = -MulDiv(kTemplateFontPoints, dpi, 72);
  if (face.lfHeight == height) return;
  face.lfHeight = height;
  face.lfWidth = 0;
  HFONT made = CreateFontIndirectA(&face);
  if (!made) return;
  EnumChildWindows(bar, SetChildFont, reinterpret_cast<LPARAM>(made));
  InvalidateRect(bar, nullptr, TRUE);
  if (gMadeFont) DeleteObject(gMadeFont);  // no control holds it any more
  gMadeFont = made;
}

}  // namespace pinnafex
