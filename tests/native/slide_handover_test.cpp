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
  std::atomic<int> top{0};
  std::atomic<int> movers{0};  // slides inside a move right now
  std::atomic<int> maxMovers{0};
  std::atomic<int> moveCount{0};

  // Optional gate: the move numbered gateAt waits until the test opens it.
  std::mutex mutex;
  std::condition_variable changed;
  int gateAt = -1;
  bool gateReached = false;
  bool gateOpen = false;
  std::vector<int> tops;  // every move's top, in order (guarded by mutex)

  // Called once after the first slide's loop ends, before its flag is cleared.
  void (*afterLoop)(SharedWindow&) = nullptr;
  int normalCalls = 0;  // guarded by mutex
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
  int seen = w.maxMovers.load();
  while (inside > seen && !w.maxMovers.compare_exchange_weak(seen, inside)) {
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
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    if (level == kLevelNormal) first = ++w.normalCalls == 1;
  }
  if (first && w.afterLoop) w.afterLoop(w);
}

SlideSink SinkFor(SharedWindow& w) {
  return {WindowRect, Move, Pause, Priority, &w};
}

// What StartSlide does: a new target, then a new slide thread.
std::thread Request(SharedWindow& w, const Rect& target) {
  SetSlideTarget(w.record, &w, target, 1);
  return std::thread([&w] { RunSlide(w.record, w.running, SinkFor(w)); });
}

}  // namespace

TEST(SlideHandover, TwoSlidesAtOnceMoveOneAtATimeTowardsTheNewerTarget) {
  for (int round = 0; round < 200; ++round) {
    SharedWindow w;
    w.top.store(kHidden.top);
    SetSlideTarget(w.record, &w, kShown, 1);

    // Two slides started in the same tick, released together.
    std::atomic<bool> go{false};
    auto slide = [&] {
      while (!go.load()) std::this_thread::yield();
      RunSlide(w.record, w.running, SinkFor(w));
    };
    std::thread a(slide), b(slide);
    go.store(true);
    // Part-way (or after), a hide is asked for, with its own slide thread.
    for (int spin = 0; spin < round * 7 % 300; ++spin) std::this_thread::yield();
    std::thread c = Request(w, kHidden);
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
  w.top.store(kHidden.top);
  w.gateAt = 30;  // the show holds at its 30th move, at y = -59

  std::thread shower = Request(w, kShown);
  {
    std::unique_lock<std::mutex> lock(w.mutex);
    w.changed.wait(lock, [&] { return w.gateReached; });
  }
  // A hide while the show is under way; its thread finds the show running and ends at once.
  std::thread hider = Request(w, kHidden);
  hider.join();
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
  std::lock_guard<std::mutex> lock(w.mutex);
  EXPECT_EQ(w.tops, expected);
  EXPECT_EQ(w.maxMovers.load(), 1);
  EXPECT_EQ(w.running.load(), 0);
}

TEST(SlideHandover, TargetSetAsTheSlideEndsIsNotLost) {
  // The hide has made its last move and is on its way out, still flagged as running, when a
  // show is asked for. That show's own thread gives up at once; the ending slide takes it up.
  SharedWindow w;
  w.top.store(kShown.top);
  w.afterLoop = [](SharedWindow& self) {
    std::thread late = Request(self, kShown);
    late.join();
  };

  std::thread hider = Request(w, kHidden);
  hider.join();

  EXPECT_EQ(w.top.load(), kShown.top) << "the show asked for at the end was lost";
  std::lock_guard<std::mutex> lock(w.mutex);
  ASSERT_GE(w.tops.size(), 69u + 71u);
  EXPECT_EQ(w.tops[68], kHidden.top) << "the hide ran to its end first";
  EXPECT_EQ(w.normalCalls, 2) << "each of the two slides ended at normal priority";
  EXPECT_EQ(w.running.load(), 0);
}
