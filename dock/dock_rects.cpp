#include "dock/dock_rects.h"

#include <climits>

#include "base/bar_ids.h"

namespace pinnafex {

namespace {

// One coordinate of a proposal. Left and top are worked out before right and bottom.
enum class Term {
  kZero,
  kAbove,  // kTopOffset
  kScreenWidth,
  kScreenHeight,
  kStripLessWidth,          // hidden at the left: kHiddenStrip - w
  kStripLessHeight,         // hidden at the top: kHiddenStrip - h
  kScreenWidthLessWidth,    // right edge
  kScreenHeightLessHeight,  // bottom edge
  kLeftPlusWidth,
  kTopPlusHeight,
};

struct Proposal {
  Term left, top, right, bottom;
};

constexpr Proposal kShown[] = {
    {Term::kZero, Term::kAbove, Term::kLeftPlusWidth, Term::kScreenHeight},                // left
    {Term::kZero, Term::kAbove, Term::kScreenWidth, Term::kTopPlusHeight},                 // top
    {Term::kScreenWidthLessWidth, Term::kAbove, Term::kScreenWidth, Term::kScreenHeight},  // right
    {Term::kZero, Term::kScreenHeightLessHeight, Term::kScreenWidth,
     Term::kScreenHeight},  // bottom
};
// The right and bottom edges have no hidden place.
constexpr Proposal kHidden[] = {
    {Term::kStripLessWidth, Term::kAbove, Term::kLeftPlusWidth, Term::kScreenHeight},
    {Term::kZero, Term::kStripLessHeight, Term::kScreenWidth, Term::kTopPlusHeight},
    kShown[kEdgeRight],
    kShown[kEdgeBottom],
};
constexpr int kEdgeCount = sizeof kShown / sizeof kShown[0];

struct Inputs {
  long long w, h;
  ScreenSize screen;
  long long left, top;  // filled as they are worked out
};

int Evaluate(Term term, const Inputs& in) {
  switch (term) {
    case Term::kZero:
      return 0;
    case Term::kAbove:
      return ScaleToDpi(kTopOffset, in.screen.dpi);
    case Term::kScreenWidth:
      return in.screen.width;
    case Term::kScreenHeight:
      return in.screen.height;
    case Term::kStripLessWidth:
      return ClampCoordinate(ScaleToDpi(kHiddenStrip, in.screen.dpi) - in.w);
    case Term::kStripLessHeight:
      return ClampCoordinate(ScaleToDpi(kHiddenStrip, in.screen.dpi) - in.h);
    case Term::kScreenWidthLessWidth:
      return ClampCoordinate(in.screen.width - in.w);
    case Term::kScreenHeightLessHeight:
      return ClampCoordinate(in.screen.height - in.h);
    case Term::kLeftPlusWidth:
      return ClampCoordinate(in.left + in.w);
    case Term::kTopPlusHeight:
      return ClampCoordinate(in.top + in.h);
  }
  return 0;
}

// Which side follows the bar's size after the shell's answer, and from which side.
struct SizeRule {
  int Rect::*moved;
  int Rect::*anchor;
  int sign;       // +1: moved = anchor + size; -1: moved = anchor - size
  bool useWidth;  // size is the width, else the height
};
constexpr SizeRule kKeepSize[] = {
    {&Rect::right, &Rect::left, +1, true},   // left
    {&Rect::bottom, &Rect::top, +1, false},  // top
    {&Rect::left, &Rect::right, -1, true},   // right
    {&Rect::top, &Rect::bottom, -1, false},  // bottom
};

bool KnownEdge(int edge) {
  return edge >= 0 && edge < kEdgeCount;
}

}  // namespace

int ClampCoordinate(long long v) {
  if (v < INT_MIN) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

int RectWidth(const Rect& r) {
  return ClampCoordinate(static_cast<long long>(r.right) - r.left);
}
int RectHeight(const Rect& r) {
  return ClampCoordinate(static_cast<long long>(r.bottom) - r.top);
}

bool ProposesHidden(bool autohide, bool barHidden) {
  return autohide && barHidden;
}

Rect ProposeDockRect(int edge, const Rect& window, bool hidden, ScreenSize screen) {
  if (!KnownEdge(edge)) return window;
  const Proposal& row = hidden ? kHidden[edge] : kShown[edge];
  Inputs in{RectWidth(window), RectHeight(window), screen, 0, 0};
  Rect out{};
  out.left = Evaluate(row.left, in);
  out.top = Evaluate(row.top, in);
  in.left = out.left;
  in.top = out.top;
  out.right = Evaluate(row.right, in);
  out.bottom = Evaluate(row.bottom, in);
  return out;
}

Rect KeepBarSize(int edge, const Rect& shell, int width, int height) {
  if (!KnownEdge(edge)) return shell;
  const SizeRule& rule = kKeepSize[edge];
  Rect out = shell;
  const long long size = rule.useWidth ? width : height;
  out.*rule.moved = ClampCoordinate(out.*rule.anchor + rule.sign * size);
  return out;
}

Rect RedockStartRect(int edge, int width, int height, ScreenSize screen) {
  return KeepBarSize(edge, Rect{0, 0, screen.width, screen.height}, width, height);
}

}  // namespace pinnafex
