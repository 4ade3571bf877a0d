#include <gtest/gtest.h>

#include <tuple>

#include "screen/screen_pick.h"

using namespace pinnafex;

// The primary listed second; a saved identity and output, the monitor picked, Next Screen's.
TEST(ScreenPick, ByIdentityThenByOutputElseThePrimary) {
  const ScreenEntry screens[] = {{"\\\\.\\DISPLAY1", {0, 0, 800, 600}, false, "\\\\?\\DISPLAY#A"},
                                 {"\\\\.\\DISPLAY2", {800, 0, 1824, 768}, true, "\\\\?\\DISPLAY#B"},
                                 {"\\\\.\\DISPLAY3", {1824, 0, 2624, 600}, false, ""}};
  const std::tuple<const char*, const char*, int, int> rows[] = {
      {"", "", 1, 2},                                 // the primary, not the first listed
      {"\\\\?\\display#a", "\\\\.\\DISPLAY2", 0, 1},  // by identity, case aside
      {"\\\\?\\DISPLAY#Z", "\\\\.\\DISPLAY1", 1, 2},  // gone: not the monitor on its output
      {"", "\\\\.\\display3", 2, 0},                  // an older release's choice
  };
  for (const auto& [id, name, picked, next] : rows) {
    EXPECT_EQ(PickScreen(screens, 3, id, name), picked) << id << " " << name;
    EXPECT_EQ(NextScreen(picked, 3), next) << id << " " << name;
  }
}
