#include "dock/slide_loop.h"

#include "dock/slide_steps.h"
#include "base/priority_table.h"
#include "base/bar_ids.h"

namespace pinnafex {

namespace {

// The window's place for one step: the target's other coordinate and its size.
Rect MovedTo(const Rect& target, int at, bool vertical) {
  const int width = RectWidth(target);
  const int height = RectHeight(target);
  const int left = vertical ? target.left : at;
  const int top = vertical ? at : target.top;
  return {left, top, ClampCoordinate(static_cast<long long>(left) + width),
          ClampCoordinate(static_cast<long long>(top) + height)};
}

// One slide from the window's present place; returns the request count it saw last.
unsigned DriveSlide(SlideRecord& record, const SlideSink& sink) {
  void* const window = record.window.load();
  const bool vertical = record.edge.load() == kEdgeTop;
  unsigned seen = record.requests.load();
  Rect now{};
  if (!sink.windowRect(window, &now, sink.context)) return seen;
  SlideCursor cursor{vertical ? now.top : now.left, SlidePhase::kOnto};
  for (;;) {
    seen = record.requests.load();
    const Rect target = SlideTarget(record);
    const SlideStep step = NextSlideStep(cursor, vertical ? target.top : target.left, vertical);
    if (!step.move) return seen;
    sink.move(window, MovedTo(target, step.at, vertical), sink.context);
    if (step.pause) sink.pause(sink.context);
    cursor = step.next;
  }
}

}  // namespace

void SetSlideTarget(SlideRecord& record, void* window, const Rect& target, int edge) {
  record.window.store(window);
  record.left.store(target.left);
  record.top.store(target.top);
  record.right.store(target.right);
  record.bottom.store(target.bottom);
  record.edge.store(edge);
  record.requests.fetch_add(1);
}

Rect SlideTarget(const SlideRecord& record) {
  return {record.left.load(), record.top.load(), record.right.load(), record.bottom.load()};
}

void RunSlide(SlideRecord& record, std::atomic<bool>& running, const SlideSink& sink) {
  for (;;) {
    if (running.exchange(true)) return;
    sink.priority(kLevelRealtime, sink.context);
    const unsigned seen = DriveSlide(record, sink);
    sink.priority(kLevelNormal, sink.context);
    running.store(false);
    // A target written after this slide's last look, whose own slide found this one still
    // running and gave up, would be lost: take it up here.
    if (record.requests.load() == seen) return;
  }
}

}  // namespace pinnafex
