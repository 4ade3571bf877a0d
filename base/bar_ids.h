// What every part of the bar shares: the slot count and the slot tables, control and command
// identifiers, the edge codes, the tick and the program's name.
#pragma once
#include "base/control_ids.h"

namespace pinnafex {

constexpr int kSlotCount = 20;
// A slot's name: at most this many UTF-16 units, in any script.
constexpr int kSlotNameChars = 32;
constexpr int kSlotNameSize = kSlotNameChars + 1;

constexpr bool IsSlotIndex(int slot) {
  return slot >= 0 && slot < kSlotCount;
}

// SlotControlTable, indexed by slot index (slot number - 1).
extern const int kPopButtonIds[kSlotCount];
extern const int kPushButtonIds[kSlotCount];
extern const int kSlotFrameIds[kSlotCount];
extern const int kSlotComboIds[kSlotCount];

// Slot index of a control in one of the tables, or -1.
int FindSlot(const int (&ids)[kSlotCount], int controlId);

constexpr int kClockFrameId = IDC_CLOCK_FRAME;
constexpr int kExitButtonId = IDC_EXIT;
constexpr int kClockFieldId = IDC_CLOCK_FIELD;
constexpr int kSpareComboId = IDC_SPARE_COMBO;

// Commands: the dialog manager's OK and Cancel, and the context menu.
constexpr int kCmdOk = 1;
constexpr int kCmdCancel = 2;
constexpr int kCmdTop = IDM_TOP;
constexpr int kCmdLeft = IDM_LEFT;
constexpr int kCmdRight = IDM_RIGHT;
constexpr int kCmdBottom = IDM_BOTTOM;
constexpr int kCmdNextScreen = IDM_NEXT_SCREEN;
constexpr int kCmdAutohide = IDM_AUTOHIDE;
constexpr int kCmdShowClock = IDM_SHOW_CLOCK;
constexpr int kCmdHotkeys = IDM_HOTKEYS;
constexpr int kCmdKeepSlots = IDM_KEEP_SLOTS;
constexpr int kCmdStartWithWindows = IDM_START_WITH_WINDOWS;
constexpr int kCmdClearAllSlots = IDM_CLEAR_ALL_SLOTS;
constexpr int kCmdSlotName = IDM_SLOT_NAME;
constexpr int kCmdSlotLock = IDM_SLOT_LOCK;
constexpr int kCmdSlotClear = IDM_SLOT_CLEAR;

// Edge codes as the shell's appbar service numbers them.
enum DockEdge : int { kEdgeLeft = 0, kEdgeTop = 1, kEdgeRight = 2, kEdgeBottom = 3 };
constexpr int kEdgeCount = 4;
constexpr bool IsEdge(int edge) {
  return edge >= 0 && edge < kEdgeCount;
}

constexpr unsigned kTickTimerId = 123;
constexpr unsigned kTickPeriodMs = 150;
constexpr unsigned kNoticeTicks = 3000 / kTickPeriodMs;  // a notice in the clock field: about 3 s
constexpr unsigned kCopyTimerId = 124;    // runs while the copy key is armed or a copy waits
constexpr unsigned kLoanTimerId = 125;    // runs while a paste by key has the user's clipboard
constexpr unsigned kSecretTimerId = 126;  // a secret on the clipboard, until it leaves
constexpr unsigned kBarNotifyMessage = 0x0400 + 100;  // WM_USER + 100

// Names of the program in the registry, the mutex and the host window.
constexpr const char kProgramKey[] = "Quorvel_Pinnafex";

}  // namespace pinnafex
