// What the bar does for each notification the shell sends with kBarNotifyMessage.
#pragma once
#include <cstdint>

namespace pinnafex {

// Notification codes and the shell's state bit, as the appbar service numbers them.
constexpr std::uintptr_t kNotifyStateChange = 0;    // ABN_STATECHANGE
constexpr std::uintptr_t kNotifyPosChanged = 1;     // ABN_POSCHANGED
constexpr std::uintptr_t kNotifyFullScreenApp = 2;  // ABN_FULLSCREENAPP
constexpr std::uintptr_t kNotifyWindowArrange = 3;  // ABN_WINDOWARRANGE
constexpr unsigned kStateAlwaysOnTop = 2;           // ABS_ALWAYSONTOP

enum class ZOrderRule {
  kNone,             // the shell's state is not asked
  kTopmostOrBottom,  // topmost while the shell says always-on-top, else bottom
  kTopmostOnly,      // topmost while the shell says always-on-top, else left alone
};

struct NotifyAction {
  ZOrderRule zOrder;
  bool redock;
};

// Unknown codes do nothing. fullScreen is the second parameter being nonzero.
NotifyAction BarNotifyAction(std::uintptr_t code, bool fullScreen);

enum class ZOrder { kKeep, kTopmost, kBottom };

// The z-order to set for a rule, given the shell's answer to ABM_GETSTATE.
ZOrder ZOrderFor(ZOrderRule rule, std::uintptr_t shellState);

}  // namespace pinnafex
