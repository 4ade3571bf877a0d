#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "dock/slide_loop.h"
#include "base/priority_table.h"

// Several slide threads over one window: the real slide loop, a fake window shared between
// threads, and the main thread rewriting the target as StartSlide does.

using namespace pinnafex;

namespace {

const Rect kShown{0, -20, 1024, 70};
const Rect kHidden{0, -88, 1024, 2};

struct SharedWindow {
  std::atomic<int> top{kHidden.top};
  std::atomic<int> movers{0}, maxMovers{0}, moveCount{0};  // movers: slides inside a move
  std::mutex mutex;                                        // guards the rest
  std::condition_variable changed;
  int gateAt = -1;  // the move numbered gateAt waits until the gate opens
  bool gateReached = false, gateOpen = false;
  std::vector<int> tops;                       // every move's top, in order
  void (*afterLoop)(SharedWindow&) = nullptr;  // once, as the first slide ends
  int normalCalls = 0;
  SlideRecord record;
  std::atomic<int> running{0};
};

bool WindowRect(void* window, Rect* out, void*) {
  const int top = static_cast<SharedWindow*>(window)->top.load();
  *out = {0, top, 1024, top + 90};
  return true;
}

void Move(void* window, const Rect& to, void*) {
  auto& w = *static_cast<SharedWindow*>(window);
  const int inside = w.movers.fetch_add(1) + 1;
  for (int seen = w.maxMovers.load();
       inside > seen && !w.maxMovers.compare_exchange_weak(seen, inside);) {
  }
  w.top.store(to.top);
  const int number = w.moveCount.fetch_add(1) + 1;
  {
    std::unique_lock<std::mutex> lock(w.mutex);
    w.tops.push_back(to.top);
    if (number == w.gateAt) {
      w.gateReached = true;
      w.changed.notify_all();
      w.changed.wait(lock, [&] { return w.gateOpen; });
    }
  }
  std::this_thread::yield();  // widen the window for a second mover to show up
  w.movers.fetch_sub(1);
}

void Pause(void*) {
  std::this_thread::yield();
}

void Priority(int level, void* context) {
  auto& w = *static_cast<SharedWindow*>(context);
  std::unique_lock<std::mutex> lock(w.mutex);
  if (level != kLevelNormal || ++w.normalCalls != 1 || !w.afterLoop) return;
  lock.unlock();
  w.afterLoop(w);
}

void Slide(SharedWindow& w) {
  RunSlide(w.record, w.running, {WindowRect, Move, Pause, Priority, &w});
}

// What StartSlide does: a new target, then a new slide thread.
std::thread Request(SharedWindow& w, const Rect& target) {
  SetSlideTarget(w.record, &w, target, 1);
  return std::thread([&w] { Slide(w); });
}

}  // namespace

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
    std::thread c = Request(w, kHidden);  // part-way (or after), a hide is asked for
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(w.maxMovers.load(), 1) << "round " << round << ": two slides moved together";
    EXPECT_EQ(w.top.load(), kHidden.top) << "round " << round << ": not at the newer target";
    EXPECT_EQ(w.running.load(), 0) << "round " << round;
  }
}

TEST(SlideHandover, RedirectedSlideReversesAndTheLateSlideEndsAtOnce) {
  SharedWindow w;
  w.gateAt = 30;  // the show holds at its 30th move, at y = -59
  std::thread shower = Request(w, kShown);
  {
    std::unique_lock<std::mutex> lock(w.mutex);
    w.changed.wait(lock, [&] { return w.gateReached; });
  }
  // A hide while the show is under way; its thread finds the show running and ends at once.
  Request(w, kHidden).join();
  EXPECT_EQ(w.moveCount.load(), 30) << "the late slide moved the window";
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.gateOpen = true;
  }
  w.changed.notify_all();
  shower.join();

  std::vector<int> expected;
  for (int y = -88; y <= -59; ++y) expected.push_back(y);  // the show, up to the redirect
  for (int y = -58; y >= -88; --y) expected.push_back(y);  // turned back to the hidden place
  EXPECT_EQ(w.tops, expected);
  EXPECT_EQ(w.maxMovers.load(), 1);
  EXPECT_EQ(w.running.load(), 0);
}

TEST(SlideHandover, TargetSetAsTheSlideEndsIsNotLost) {
  // The hide has made its last move and is on its way out, still flagged as running, when a
  // show is asked for. That show's own thread gives up at once; the ending slide takes it up.
  SharedWindow w;
  w.top.store(kShown.top);
  w.afterLoop = [](SharedWindow& self) { Request(self, kShown).join(); };
  Request(w, kHidden).join();

  EXPECT_EQ(w.top.load(), kShown.top) << "the show asked for at the end was lost";
  ASSERT_GE(w.tops.size(), 69u + 71u);
  EXPECT_EQ(w.tops[68], kHidden.top) << "the hide ran to its end first";
  EXPECT_EQ(w.normalCalls, 2) << "each of the two slides ended at normal priority";
  EXPECT_EQ(w.running.load(), 0);
}
