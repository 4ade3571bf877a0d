#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/priority_table.h"
#include "dock/slide_loop.h"

// Several slide threads over one window: the real slide loop, a fake window shared between
// threads, and the main thread rewriting the target as StartSlide does.

using namespace pinnafex;

namespace {

const Rect kShown{0, -20, 1024, 70};
const Rect kHidden{0, -88, 1024, 2};

struct SharedWindow {
  std::atomic<int> top{kHidden.top};
  std::atomic<int> movers{0};  // slides inside a move right now
  std::atomic<bool> overlapped{false};
  std::atomic<int> raised{0};  // slides at realtime priority less those back at normal
  SlideRecord record;
  std::atomic<bool> running{false};
};

bool WindowRect(void* window, Rect* out, void*) {
  const int top = static_cast<SharedWindow*>(window)->top.load();
  *out = {0, top, 1024, top + 90};
  return true;
}

void Move(void* window, const Rect& to, void*) {
  auto& w = *static_cast<SharedWindow*>(window);
  if (w.movers.fetch_add(1) > 0) w.overlapped.store(true);
  w.top.store(to.top);
  std::this_thread::yield();  // widen the window for a second mover to show up
  w.movers.fetch_sub(1);
}

void Slide(SharedWindow& w) {
  RunSlide(w.record, w.running,
           {WindowRect, Move, [](void*) { std::this_thread::yield(); },
            [](int level, void* w) {
              static_cast<SharedWindow*>(w)->raised += level == kLevelNormal ? -1 : 1;
            },
            &w});
}

}  // namespace

// A hide asked for before, during or as the two slides end: the newer target always wins.
TEST(SlideHandover, TwoSlidesAtOnceMoveOneAtATimeTowardsTheNewerTarget) {
  for (int round = 0; round < 200; ++round) {
    SharedWindow w;
    SetSlideTarget(w.record, &w, kShown, 1);
    std::atomic<bool> go{false};  // two slides started in the same tick, released together
    auto slide = [&] {
      while (!go.load()) std::this_thread::yield();
      Slide(w);
    };
    std::thread a(slide), b(slide);
    go.store(true);
    for (int spin = 0; spin < round * 7 % 300; ++spin) std::this_thread::yield();
    SetSlideTarget(w.record, &w, kHidden, 1);  // what StartSlide does: a target, then a thread
    std::thread c([&w] { Slide(w); });
    a.join();
    b.join();
    c.join();
    EXPECT_FALSE(w.overlapped.load()) << "round " << round << ": two slides moved together";
    EXPECT_EQ(w.top.load(), kHidden.top) << "round " << round << ": not at the newer target";
    EXPECT_FALSE(w.running.load()) << "round " << round;
    EXPECT_EQ(w.raised.load(), 0) << "round " << round << ": a slide ended at high priority";
  }
}
