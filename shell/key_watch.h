// The key watch: which WM_HOTKEY is a fresh press. A low-level keyboard hook counts the presses
// of each key, and is started afresh when the system has dropped it.
#pragma once
#include <windows.h>

namespace pinnafex {

// Marks the bar's own keystrokes for the watch: they are not presses. A modifier pressed again
// with kOwnRepress is dropped if the user has let go of it meanwhile.
constexpr ULONG_PTR kOwnKeys = 0x5046584B;
constexpr ULONG_PTR kOwnRepress = 0x50465852;

void StartKeyWatch();
void StopKeyWatch();

// False for the repeats of `virtualKey` held down. A press the watch missed still acts, and the
// watch starts afresh.
bool FreshPress(unsigned char virtualKey);

}  // namespace pinnafex
