#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "dock/dock_rects.h"

using namespace pinnafex;

namespace pinnafex {
std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
}  // namespace pinnafex

namespace {
constexpr ScreenSize kXga{1024, 768};
}  // namespace

TEST(DockRects, ProposalPerEdgeShownAndHidden) {
  struct Row {
    int edge;
    Rect window;
    bool hidden;
    Rect expected;
  } rows[] = {
      // A 90-pixel row at the top: two pixel rows stay on the screen when hidden.
      {1, {0, 0, 1024, 90}, false, {0, -20, 1024, 70}},
      {1, {0, 0, 1024, 90}, true, {0, -88, 1024, 2}},
      {1, {2, -20, 52, 70}, false, {0, -20, 1024, 70}},  // only the size counts
      // A 120-pixel column at the left.
      {0, {0, 0, 120, 550}, false, {0, -20, 120, 768}},
      {0, {-6, -25, 114, 525}, true, {-118, -20, 2, 768}},
      // Right and bottom have no hidden place.
      {2, {2, 0, 52, 90}, false, {974, -20, 1024, 768}},
      {2, {2, 0, 52, 90}, true, {974, -20, 1024, 768}},
      {3, {2, 0, 52, 90}, false, {0, 678, 1024, 768}},
      {3, {2, 0, 52, 90}, true, {0, 678, 1024, 768}},
      // Unknown edges (only from a stored setting) keep the window as it is.
      {4, {2, 0, 52, 90}, false, {2, 0, 52, 90}},
      {-1, {2, 0, 52, 90}, true, {2, 0, 52, 90}},
      {INT_MAX, {5, 6, 7, 8}, false, {5, 6, 7, 8}},
  };
  for (const Row& row : rows) {
    const Rect got = ProposeDockRect(row.edge, row.window, row.hidden, kXga);
    EXPECT_EQ(got, row.expected) << "edge " << row.edge << " hidden " << row.hidden << " window "
                                 << row.window;
  }
}

TEST(DockRects, HiddenPlaceNeedsBothFlagsExactlyOne) {
  struct Row {
    int autohide, barHidden;
    bool expected;
  } rows[] = {{1, 1, true},  {0, 1, false}, {1, 0, false},
              {0, 0, false}, {2, 1, false}, {1, 2, false}};
  for (const Row& row : rows) {
    EXPECT_EQ(ProposesHidden(row.autohide, row.barHidden), row.expected)
        << "autohide " << row.autohide << " barHidden " << row.barHidden;
  }
  // Autohide off with the hidden flag left over: the shown place.
  EXPECT_EQ(ProposeDockRect(1, {0, 0, 1024, 90}, ProposesHidden(0, 1), kXga),
            (Rect{0, -20, 1024, 70}));
}

TEST(DockRects, SizeKeptAwayFromTheEdgeAfterTheShellMovedIt) {
  struct Row {
    int edge;
    Rect shell;
    int width, height;
    Rect expected;
  } rows[] = {
      // The shell pushed the top bar below a 30-pixel taskbar: it keeps its 90 rows.
      {1, {0, 30, 1024, 70}, 1024, 90, {0, 30, 1024, 120}},
      {1, {0, -20, 1024, 70}, 1024, 90, {0, -20, 1024, 70}},
      {0, {40, -20, 120, 768}, 120, 550, {40, -20, 160, 768}},
      {2, {974, -20, 990, 768}, 50, 90, {940, -20, 990, 768}},
      {3, {0, 678, 1024, 740}, 50, 90, {0, 650, 1024, 740}},
      {7, {1, 2, 3, 4}, 50, 90, {1, 2, 3, 4}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(KeepBarSize(row.edge, row.shell, row.width, row.height), row.expected)
        << "edge " << row.edge << " shell " << row.shell;
  }
}

TEST(DockRects, RedockStartsFromTheScreenCutToTheBar) {
  struct Row {
    int edge;
    int width, height;
    Rect expected;
  } rows[] = {
      {0, 120, 550, {0, 0, 120, 768}},  {1, 50, 90, {0, 0, 1024, 90}},
      {2, 50, 90, {974, 0, 1024, 768}}, {3, 50, 90, {0, 678, 1024, 768}},
      {9, 50, 90, {0, 0, 1024, 768}},   {-3, 50, 90, {0, 0, 1024, 768}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RedockStartRect(row.edge, row.width, row.height, kXga), row.expected)
        << "edge " << row.edge;
  }
}

TEST(DockRects, RegistrationWithTheStartWindowAtEachStoredEdge) {
  // The dialog starts at (2, 0), 50 x 90, and registers at the stored edge.
  const Rect start{2, 0, 52, 90};
  struct Row {
    int edge;
    Rect expected;
  } rows[] = {
      {0, {0, -20, 50, 768}},   {1, {0, -20, 1024, 70}}, {2, {974, -20, 1024, 768}},
      {3, {0, 678, 1024, 768}}, {5, {2, 0, 52, 90}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ProposeDockRect(row.edge, start, false, kXga), row.expected) << "edge " << row.edge;
  }
}

TEST(DockRects, ExtremeCoordinatesStayWithinInt) {
  // Rectangles from a misbehaving shell or window must not overflow the arithmetic.
  const Rect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(RectWidth(huge), INT_MAX);
  EXPECT_EQ(RectHeight(Rect{0, INT_MAX, 0, INT_MIN}), INT_MIN);
  EXPECT_EQ(ProposeDockRect(0, huge, true, kXga), (Rect{2 - INT_MAX, -20, 2, 768}));
  EXPECT_EQ(ProposeDockRect(1, huge, false, kXga), (Rect{0, -20, 1024, INT_MAX - 20}));
  EXPECT_EQ(KeepBarSize(0, Rect{INT_MAX - 5, 0, 0, 0}, 100, 0), (Rect{INT_MAX - 5, 0, INT_MAX, 0}));
  EXPECT_EQ(KeepBarSize(3, Rect{0, 0, 0, INT_MIN + 1}, 0, 10), (Rect{0, INT_MIN, 0, INT_MIN + 1}));
}
