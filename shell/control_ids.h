// Identifiers shared by the dialog template, the dialog procedure and the subsystems.
// The slot controls follow no arithmetic rule: they are always looked up here.
#pragma once

namespace pinnafex {

constexpr int kSlotCount = 20;

// SlotControlTable, indexed by slot index (slot number - 1).
extern const int kPopButtonIds[kSlotCount];
extern const int kPushButtonIds[kSlotCount];
extern const int kSlotFrameIds[kSlotCount];
extern const int kSlotComboIds[kSlotCount];
// The slot edits belong to no array the program uses; the template and its test need them.
extern const int kSlotEditIds[kSlotCount];

// Slot index of a control in one of the tables, or -1.
int FindSlot(const int (&ids)[kSlotCount], int controlId);

constexpr int kClockFrameId = 133;
constexpr int kExitButtonId = 134;
constexpr int kClockFieldId = 135;
constexpr int kSpareComboId = 204;
constexpr int kFirstControlId = 101;
constexpr int kLastControlId = 204;

// Commands: the dialog manager's OK and Cancel, and the context menu.
constexpr int kCmdOk = 1;
constexpr int kCmdCancel = 2;
constexpr int kCmdTop = 1224;
constexpr int kCmdLeft = 1234;
constexpr int kCmdAutohide = 1244;
constexpr int kCmdShowClock = 1254;
constexpr int kCmdHotkeys = 1264;

constexpr unsigned kTickTimerId = 123;
constexpr unsigned kTickPeriodMs = 150;
constexpr unsigned kBarNotifyMessage = 0x0400 + 100;  // WM_USER + 100

// Names of the program in the registry, the mutex and the host window.
constexpr const char kProgramKey[] = "Quorvel_Pinnafex";

}  // namespace pinnafex
