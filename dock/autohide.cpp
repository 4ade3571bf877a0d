#include "dock/autohide.h"

#include <process.h>

#include "dock/appbar.h"
#include "dock/dock_state.h"
#include "dock/hit_rule.h"
#include "dock/slide_steps.h"
#include "dock/win_geometry.h"
#include "base/priority.h"
#include "shell/bar_state.h"
#include "base/bar_ids.h"

namespace pinnafex {

namespace {

SlideRecord gSlideRecord;
std::atomic<int> gSlideRunning{0};

bool SlideWindowRect(void* window, Rect* out, void*) {
  RECT now{};
  if (!GetWindowRect(static_cast<HWND>(window), &now)) return false;
  *out = ToRect(now);
  return true;
}

void SlideMove(void* window, const Rect& to, void*) {
  MoveWindow(static_cast<HWND>(window), to.left, to.top, RectWidth(to), RectHeight(to), TRUE);
}

void SlidePause(void*) {
  Sleep(kSlidePauseMs);
}

void SlidePriority(int level, void*) {
  SetPriorityLevel(level);
}

constexpr SlideSink kWindowsSlide{SlideWindowRect, SlideMove, SlidePause, SlidePriority, nullptr};

unsigned __stdcall SlideThread(void* record) {
  SlideBar(static_cast<SlideRecord*>(record));
  return 0;
}

bool AnySlotListOpen(HWND bar) {
  bool open = false;
  for (int combo : kSlotComboIds) {  // every combo is asked, even after one answered
    if (SendDlgItemMessageA(bar, combo, CB_GETDROPPEDSTATE, 0, 0) == 1) open = true;
  }
  return open;
}

void Redock(HWND bar) {
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(gBar.edge);
  RedockBar(&record);
}

}  // namespace

void ToggleAutohide(HWND bar, HMENU menu) {
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(gBar.edge);
  const HWND holder = reinterpret_cast<HWND>(gShellBarMessage(ABM_GETAUTOHIDEBAR, &record));
  if (holder && holder != bar) {
    gBar.autohide = 0;
    EnableMenuItem(menu, kCmdAutohide, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
  } else {
    EnableMenuItem(menu, kCmdAutohide, MF_BYCOMMAND | MF_ENABLED);
  }
  if (gBar.autohide) {
    ReleaseAutohideClaim(bar, gBar.edge);
    gBar.autohide = 0;
    CheckMenuItem(menu, kCmdAutohide, MF_BYCOMMAND | MF_UNCHECKED);
    gDock.barHidden = 0;
    return;
  }
  record.lParam = 1;
  if (gShellBarMessage(ABM_SETAUTOHIDEBAR, &record)) {
    gBar.autohide = 1;
    CheckMenuItem(menu, kCmdAutohide, MF_BYCOMMAND | MF_CHECKED);
  }
}

void ReleaseAutohideClaim(HWND bar, int edge) {
  APPBARDATA record = BarRecord(bar);
  record.uEdge = static_cast<UINT>(edge);
  record.lParam = 0;
  gShellBarMessage(ABM_SETAUTOHIDEBAR, &record);
}

void AutohideHitTest(HWND bar) {
  if (gBar.autohide != 1) return;
  POINT cursor{};
  RECT window{};
  HitInputs in{};
  in.autohide = gBar.autohide;
  in.barHidden = gDock.barHidden;
  in.cursorKnown = GetCursorPos(&cursor) && GetWindowRect(bar, &window);
  in.inside = CursorInside(ToRect(window), cursor.x, cursor.y);
  in.insideSlideTarget =
      gSlideRunning.load() != 0 && CursorInside(SlideTarget(gSlideRecord), cursor.x, cursor.y);
  in.slotListOpen = !gDock.barHidden && AnySlotListOpen(bar);
  in.menuOrPromptOpen = gBar.menuOrPromptOpen;
  switch (DecideHit(in)) {
    case HitAction::kHide:
      gDock.barHidden = 1;
      Redock(bar);
      break;
    case HitAction::kShow:
      gDock.barHidden = 0;
      Redock(bar);
      break;
    case HitAction::kNone:
      break;
  }
}

void StartSlide(HWND bar, const RECT& target) {
  // The slide thread must not read the main thread's edge: it gets a copy here.
  SetSlideTarget(gSlideRecord, bar, ToRect(target), gBar.edge);
  const uintptr_t thread = _beginthreadex(nullptr, 0, SlideThread, &gSlideRecord, 0, nullptr);
  // Detached; if it cannot start, the window stays where it is.
  if (thread) CloseHandle(reinterpret_cast<HANDLE>(thread));
}

void SlideBar(SlideRecord* record) {
  RunSlide(*record, gSlideRunning, kWindowsSlide);
}

bool SlideRunning() {
  return gSlideRunning.load() != 0;
}

}  // namespace pinnafex
