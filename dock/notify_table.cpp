#include "dock/notify_table.h"

namespace pinnafex {

namespace {

struct NotifyRow {
  std::uintptr_t code;
  bool anyFlag;     // the full-screen flag does not matter
  bool fullScreen;  // else: the flag this row is for
  NotifyAction action;
};

constexpr NotifyRow kNotifyRows[] = {
    {kNotifyStateChange, true, false, {ZOrderRule::kTopmostOrBottom, false}},
    {kNotifyPosChanged, true, false, {ZOrderRule::kNone, true}},
    // A full-screen program started: step back unless the shell keeps bars on top.
    {kNotifyFullScreenApp, false, true, {ZOrderRule::kTopmostOrBottom, true}},
    // The last one closed: come back on top if the shell wants it, never go down.
    {kNotifyFullScreenApp, false, false, {ZOrderRule::kTopmostOnly, true}},
};

}  // namespace

NotifyAction BarNotifyAction(std::uintptr_t code, bool fullScreen) {
  for (const NotifyRow& row : kNotifyRows) {
    if (row.code == code && (row.anyFlag || row.fullScreen == fullScreen)) return row.action;
  }
  return {ZOrderRule::kNone, false};
}

ZOrder ZOrderFor(ZOrderRule rule, std::uintptr_t shellState) {
  const bool onTop = (shellState & kStateAlwaysOnTop) != 0;
  switch (rule) {
    case ZOrderRule::kNone:
      return ZOrder::kKeep;
    case ZOrderRule::kTopmostOrBottom:
      return onTop ? ZOrder::kTopmost : ZOrder::kBottom;
    case ZOrderRule::kTopmostOnly:
      return onTop ? ZOrder::kTopmost : ZOrder::kKeep;
  }
  return ZOrder::kKeep;
}

}  // namespace pinnafex
