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

// How a slide travels at each edge: along y at the top and the bottom; mirrored at the right
// and the bottom, so that onto the monitor is always the growing coordinate of the stepping.
struct SlideAxis {
  bool vertical;
  int sign;
};
constexpr SlideAxis kSlideAxes[kEdgeCount] = {{false, 1}, {true, 1}, {false, -1}, {true, -1}};

int Along(const SlideAxis& axis, int v) {
  return axis.sign > 0 ? v : ClampCoordinate(-static_cast<long long>(v));
}

// One slide from the window's present place; returns the request count it saw last.
unsigned DriveSlide(SlideRecord& record, const SlideSink& sink) {
  void* const window = record.window.load();
  const int edge = record.edge.load();
  const SlideAxis& axis = kSlideAxes[IsEdge(edge) ? edge : kEdgeLeft];
  const bool vertical = axis.vertical;
  unsigned seen = record.requests.load();
  Rect now{};
  if (!sink.windowRect(window, &now, sink.context)) return seen;
  SlideCursor cursor{Along(axis, vertical ? now.top : now.left), SlidePhase::kOnto};
  for (;;) {
    seen = record.requests.load();
    const Rect target = SlideTarget(record);
    const SlideStep step =
        NextSlideStep(cursor, Along(axis, vertical ? target.top : target.left), vertical);
    if (!step.move) return seen;
    sink.move(window, MovedTo(target, Along(axis, step.at), vertical), sink.context);
    if (step.pause) sink.pause(sink.context);
    cursor = step.next;
  }
}

}  // namespace

void SetSlideTarget(SlideRecord& record, void* window, const Rect& target, int edge,
                    const Monitor& monitor) {
  record.monitorLeft.store(monitor.rect.left);
  record.monitorTop.store(monitor.rect.top);
  record.monitorRight.store(monitor.rect.right);
  record.monitorBottom.store(monitor.rect.bottom);
  record.dpi.store(monitor.dpi);
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

Monitor SlideMonitor(const SlideRecord& record) {
  return {{record.monitorLeft.load(), record.monitorTop.load(), record.monitorRight.load(),
           record.monitorBottom.load()},
          record.dpi.load()};
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
