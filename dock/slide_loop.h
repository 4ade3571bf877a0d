// The slide itself: a loop over NextSlideStep that moves a window through callbacks, so the
// same code runs on the Windows slide thread and in native tests with a fake window.
#pragma once
#include <atomic>

#include "dock/dock_rects.h"

namespace pinnafex {

// Written by the main thread, read by the slide thread at every step. Each field is atomic on
// its own: one step may see a target half rewritten, the next sees the new one.
struct SlideRecord {
  std::atomic<void*> window{nullptr};
  std::atomic<int> left{0};
  std::atomic<int> top{0};
  std::atomic<int> right{0};
  std::atomic<int> bottom{0};
  std::atomic<int> edge{1};           // copied from the main thread's edge; read once per slide
  std::atomic<unsigned> requests{0};  // counts targets written, to catch one set too late
  // The bar's monitor, for what of the window shows at each step.
  std::atomic<int> monitorLeft{0};
  std::atomic<int> monitorTop{0};
  std::atomic<int> monitorRight{0};
  std::atomic<int> monitorBottom{0};
  std::atomic<int> dpi{kBaseDpi};
};

// What a slide needs of the platform. Every callback gets `context`.
struct SlideSink {
  bool (*windowRect)(void* window, Rect* out, void* context);  // false: the window is gone
  void (*move)(void* window, const Rect& to, void* context);
  void (*pause)(void* context);
  void (*priority)(int level, void* context);
  void* context;
};

// Main thread: a new target for the slide that runs, or for the next one.
void SetSlideTarget(SlideRecord& record, void* window, const Rect& target, int edge,
                    const Monitor& monitor = {});
Rect SlideTarget(const SlideRecord& record);
Monitor SlideMonitor(const SlideRecord& record);

// Slide thread: slides the record's window to its target, unless another slide runs already
// (running set), in which case it returns at once without touching the priority.
void RunSlide(SlideRecord& record, std::atomic<bool>& running, const SlideSink& sink);

}  // namespace pinnafex
