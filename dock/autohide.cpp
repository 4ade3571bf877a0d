#include "dock/autohide.h"

#include <process.h>

#include "dock/slide_loop.h"
#include "dock/slide_steps.h"
#include "dock/win_geometry.h"
#include "base/bar_ids.h"
#include "base/priority.h"

namespace pinnafex {

namespace {

SlideRecord gSlideRecord;
std::atomic<bool> gSlideRunning{false};

// Where the bar appears; written by the main thread and by the slide at each step.
std::atomic<int> gAppearedLeft{0};
std::atomic<int> gAppearedTop{0};
std::atomic<int> gAppearedRight{0};
std::atomic<int> gAppearedBottom{0};

void StoreAppeared(const Rect& place) {
  gAppearedLeft.store(place.left);
  gAppearedTop.store(place.top);
  gAppearedRight.store(place.right);
  gAppearedBottom.store(place.bottom);
}

bool SlideWindowRect(void* window, Rect* out, void*) {
  *out = AppearedAt();
  return IsWindow(static_cast<HWND>(window)) != 0;
}

void SlideMove(void* window, const Rect& to, void* record) {
  AppearAt(static_cast<HWND>(window), to, SlideMonitor(*static_cast<const SlideRecord*>(record)));
}

void SlidePause(void*) {
  Sleep(kSlidePauseMs);
}

void SlidePriority(int level, void*) {
  SetPriorityLevel(level);
}

constexpr SlideSink kWindowsSlide{SlideWindowRect, SlideMove, SlidePause, SlidePriority,
                                  &gSlideRecord};

unsigned __stdcall SlideThread(void* record) {
  RunSlide(*static_cast<SlideRecord*>(record), gSlideRunning, kWindowsSlide);
  return 0;
}

}  // namespace

HitAction AutohideHit(HWND bar, const DockSpot& spot, bool menuOrPromptOpen) {
  POINT cursor{};
  HitInputs in{};
  in.autohide = true;
  in.barHidden = spot.hidden;
  in.cursorKnown = GetCursorPos(&cursor) && IsWindow(bar);
  in.inside = CursorOnBar(AppearedAt(), ShownArea(spot), cursor.x, cursor.y);
  in.insideSlideTarget = gSlideRunning.load() && CursorOnBar(SlideTarget(gSlideRecord),
                                                             ShownArea(spot), cursor.x, cursor.y);
  in.slotListOpen = !spot.hidden && AnySlotListOpen(bar);
  in.menuOrPromptOpen = menuOrPromptOpen;
  return DecideHit(in);
}

void StartSlide(HWND bar, const Rect& from, const Rect& target, const DockSpot& spot) {
  StoreAppeared(from);
  // The slide thread must not read the main thread's edge: it gets a copy here.
  SetSlideTarget(gSlideRecord, bar, target, spot.edge, ShownArea(spot));
  const uintptr_t thread = _beginthreadex(nullptr, 0, SlideThread, &gSlideRecord, 0, nullptr);
  // Detached; if it cannot start, the window stays where it is.
  if (thread) CloseHandle(reinterpret_cast<HANDLE>(thread));
}

bool AnySlotListOpen(HWND bar) {
  bool open = false;
  for (int combo : kSlotComboIds) {  // every combo is asked, even after one answered
    if (SendDlgItemMessageA(bar, combo, CB_GETDROPPEDSTATE, 0, 0) == 1) open = true;
  }
  return open;
}

bool SlideRunning() {
  return gSlideRunning.load();
}

void AppearAt(HWND bar, const Rect& place, const Monitor& area) {
  RECT window{};
  if (!GetWindowRect(bar, &window)) return;
  StoreAppeared(place);
  const Rect shown = ShownPart(place, area);
  const bool any = shown.left < shown.right && shown.top < shown.bottom;
  HRGN region = any ? CreateRectRgn(shown.left - window.left, shown.top - window.top,
                                    shown.right - window.left, shown.bottom - window.top)
                    : CreateRectRgn(0, 0, 0, 0);
  // The window owns the region once it is set.
  if (region && !SetWindowRgn(bar, region, TRUE)) DeleteObject(region);
}

Rect AppearedAt() {
  return {gAppearedLeft.load(), gAppearedTop.load(), gAppearedRight.load(), gAppearedBottom.load()};
}

}  // namespace pinnafex
