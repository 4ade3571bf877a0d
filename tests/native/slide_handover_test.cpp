#include <gtest/gtest.h>

#include <atomic>
#include <future>
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
  std::atomic<int> movers{0};  // slides inside a move right now
  std::atomic<bool> overlapped{false};
  std::mutex mutex;
  std::vector<int> tops;   // every move's top, in order (guarded by mutex)
  std::size_t gateAt = 0;  // the move numbered gateAt waits until the test opens the gate
  std::promise<void> gateReached, gateOpen;
  void (*afterLoop)(SharedWindow&) = nullptr;  // once, as the first slide ends
  std::atomic<int> normalCalls{0};
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
  std::size_t number = 0;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.tops.push_back(to.top);
    number = w.tops.size();
  }
  if (number == w.gateAt) {
    w.gateReached.set_value();
    w.gateOpen.get_future().wait();
  }
  std::this_thread::yield();  // widen the window for a second mover to show up
  w.movers.fetch_sub(1);
}

void Priority(int level, void* context) {
  auto& w = *static_cast<SharedWindow*>(context);
  if (level == kLevelNormal && w.normalCalls.fetch_add(1) == 0 && w.afterLoop) w.afterLoop(w);
}

void Slide(SharedWindow& w) {
  RunSlide(w.record, w.running,
           {WindowRect, Move, [](void*) { std::this_thread::yield(); }, Priority, &w});
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
    EXPECT_FALSE(w.overlapped.load()) << "round " << round << ": two slides moved together";
    EXPECT_EQ(w.top.load(), kHidden.top) << "round " << round << ": not at the newer target";
    EXPECT_FALSE(w.running.load()) << "round " << round;
  }
}

TEST(SlideHandover, RedirectedSlideReversesAndTheLateSlideEndsAtOnce) {
  SharedWindow w;
  w.gateAt = 30;  // the show holds at its 30th move, at y = -59
  std::thread shower = Request(w, kShown);
  w.gateReached.get_future().wait();
  // A hide while the show is under way; its thread finds the show running and ends at once.
  Request(w, kHidden).join();
  EXPECT_EQ(w.tops.size(), 30u) << "the late slide moved the window";
  w.gateOpen.set_value();
  shower.join();

  std::vector<int> expected;
  for (int y = -88; y <= -59; ++y) expected.push_back(y);  // the show, up to the redirect
  for (int y = -58; y >= -88; --y) expected.push_back(y);  // turned back to the hidden place
  EXPECT_EQ(w.tops, expected);
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
  EXPECT_EQ(w.normalCalls.load(), 2) << "each of the two slides ended at normal priority";
}
