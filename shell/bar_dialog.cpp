#include "shell/bar_dialog.h"

#include <commctrl.h>

#include "clock/ticker.h"
#include "dock/appbar.h"
#include "dock/autohide.h"
#include "dock/layout.h"
#include "dock/win_geometry.h"
#include "keep/keeper.h"
#include "base/priority.h"
#include "base/priority_table.h"
#include "screen/monitors.h"
#include "settings/bar_settings.h"
#include "settings/run_at_logon.h"
#include "shell/bar_font.h"
#include "base/bar_ids.h"
#include "shell/hotkeys.h"
#include "slots/slot_store.h"
#include "slots/slot_text.h"
#include "slots/slot_view.h"

namespace pinnafex {

BarSettings gSettings;           // the bar's saved state; the dialog alone changes it
bool gMenuOrPromptOpen = false;  // the context menu or the quit prompt is up: no autohide

namespace {

HMENU gMenu = nullptr;
bool gBarEnded = false;   // the quit or the session's end has taken the bar down
bool gBarHidden = false;  // the autohiding bar is to sit at its 2-pixel strip
int gBarDpi = kBaseDpi;   // of the bar's window, read at start and at each screen change
Rect gScreen{};           // the bar's monitor, where it docks and holds its autohide claim
bool gLayingOut = false;  // a layout runs; a DPI change met on the way asks for another
bool gLayoutAgain = false;
// The bar's Push buttons, looked up once when it starts: the tick enables them.
HWND gPushButtons[kSlotCount];

constexpr unsigned char kTickerWidth = 25;

struct MenuItem {
  int id;  // 0: separator
  const char* text;
};
constexpr MenuItem kMenuItems[] = {
    {kCmdAutohide, "Autohide"},
    {0, nullptr},
    {kCmdTop, "Top"},
    {kCmdLeft, "Left"},
    {kCmdRight, "Right"},
    {kCmdBottom, "Bottom"},
    {kCmdNextScreen, "Next Screen"},  // grey while there is one monitor
    {0, nullptr},
    {kCmdShowClock, "Show Clock"},
    {kCmdHotkeys, "Hotkeys"},  // checked while the keys that paste a slot are taken
    {kCmdKeepSlots, "Keep Slots"},
    {kCmdStartWithWindows, "Start with Windows"},  // checked while the Run entry names this exe
    {0, nullptr},
    {kCmdCancel, "Exit"},
};

// The WM_DPICHANGED message, newer than the platform headers this program builds against.
constexpr UINT kDpiChangedMessage = 0x02E0;

HMENU CreateContextMenu() {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : kMenuItems) {
    if (item.id) {
      AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
    } else {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
  }
  return menu;
}

DockSpot Docked() {
  return {gSettings.edge, gSettings.autohide, gBarHidden, {gScreen, gBarDpi}};
}

// The one way the bar is laid out: sized and filled for its edge, then docked there. A move to
// a monitor of another DPI changes the DPI in the middle of it; the layout then runs again.
void Relayout(HWND dialog) {
  if (gLayingOut) {
    gLayoutAgain = true;
    return;
  }
  gLayingOut = true;
  do {
    gLayoutAgain = false;
    const DockSpot spot = Docked();
    LayoutBar(dialog, spot.edge, gSettings.clockHidden, spot.monitor);
    RedockBar(dialog, spot);
  } while (gLayoutAgain);
  gLayingOut = false;
}

// The autohide claim at the bar's edge made or given up, as far as the shell allows; the menu
// item shows the outcome and is greyed while another bar holds the edge.
void SettleAutohide(HWND dialog, bool wanted) {
  const AutohideClaim claim = ClaimAutohide(dialog, gSettings.edge, gScreen, wanted);
  gSettings.autohide = claim == AutohideClaim::kOn;
  if (!gSettings.autohide) gBarHidden = false;
  CheckMenuItem(gMenu, kCmdAutohide,
                MF_BYCOMMAND | (gSettings.autohide ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(gMenu, kCmdAutohide,
                 MF_BYCOMMAND | (claim == AutohideClaim::kHeldElsewhere ? MF_DISABLED | MF_GRAYED
                                                                        : MF_ENABLED));
}

// The bar moved to `edge` of its monitor (the chosen one while present, else the primary) with
// autohide as wanted, and laid out there. Moving with autohide on gives up the old place's
// claim before the new one is made.
void ApplyDock(HWND dialog, int edge, bool autohide) {
  const Rect screen = FindScreen(gSettings.screen).rect;
  if (gSettings.autohide && (gSettings.edge != edge || gScreen != screen)) {
    ClaimAutohide(dialog, gSettings.edge, gScreen, false);
  }
  gSettings.edge = edge;
  gScreen = screen;
  SettleAutohide(dialog, autohide);
  Relayout(dialog);
}

// A confirmed quit and the session's end: slots freed, the bar off the shell, every setting
// written. Runs once.
void EndBar(HWND dialog) {
  if (gBarEnded) return;
  gBarEnded = true;
  ReleaseHotkeys(dialog);
  FinishKeeper();  // the saves still pending reach the disk before the program ends
  ReleaseAllSlots();
  for (int combo : kSlotComboIds) SendDlgItemMessageA(dialog, combo, CB_RESETCONTENT, 0, 0);
  DestroyMenu(gMenu);
  gMenu = nullptr;
  KillTimer(dialog, kTickTimerId);
  // One autohide bar per edge: the claim must not outlive the bar.
  if (gSettings.autohide) ClaimAutohide(dialog, gSettings.edge, gScreen, false);
  UnregisterBar(dialog);
  WriteBarSettings(gSettings);
}

BOOL CALLBACK AnswerNo(HWND window, LPARAM owner) {
  if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner)) {
    PostMessageA(window, WM_COMMAND, IDNO, 0);
  }
  return TRUE;
}

INT_PTR OnQuit(HWND dialog) {
  gMenuOrPromptOpen = true;
  const int answer = MessageBoxA(dialog, "Really Quit?", "Quit Pinnafex",
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (gBarEnded) return 1;  // the session ended while the prompt was up
  if (answer != IDYES) {
    gMenuOrPromptOpen = false;
    return 0;
  }
  EndBar(dialog);
  EndDialog(dialog, 0);
  return 1;
}

template <int kEdge>
INT_PTR OnEdge(HWND dialog) {
  ApplyDock(dialog, kEdge, gSettings.autohide);
  return 0;
}

// The monitor after the bar's own in the system's order, at the same edge. The primary is kept
// as "" so that the bar follows the primary wherever it goes.
INT_PTR OnNextScreen(HWND dialog) {
  ScreenEntry screens[kMaxScreens];
  const int count = ListScreens(screens);
  const ScreenEntry& next =
      screens[NextScreen(PickScreen(screens, count, gSettings.screen), count)];
  lstrcpynA(gSettings.screen, next.primary ? "" : next.name, sizeof gSettings.screen);
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);
  return 0;
}

INT_PTR OnAutohide(HWND dialog) {
  ApplyDock(dialog, gSettings.edge, !gSettings.autohide);
  return 0;
}

// The menu's check marks for the clock, the hotkeys and the kept slots, as the settings stand.
void ShowSettingChecks() {
  CheckMenuItem(gMenu, kCmdShowClock, gSettings.clockHidden ? MF_UNCHECKED : MF_CHECKED);
  CheckMenuItem(gMenu, kCmdHotkeys, gSettings.hotkeys ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(gMenu, kCmdKeepSlots, gSettings.keepSlots ? MF_CHECKED : MF_UNCHECKED);
}

INT_PTR OnShowClock(HWND dialog) {
  gSettings.clockHidden = !gSettings.clockHidden;
  ShowSettingChecks();
  Relayout(dialog);
  return 0;
}

// A transfer that did not happen is heard, and a held clipboard names its holder in the clock
// field for a few seconds.
void ReportTransfer(ClipResult result) {
  if (result == ClipResult::kDone) return;
  MessageBeep(MB_ICONWARNING);
  if (result != ClipResult::kHeld) return;
  char holder[MAX_PATH];
  char notice[MAX_PATH + 32];
  ClipboardHolderName(holder, sizeof holder);
  FormatHeldNotice(holder, notice, sizeof notice);
  ShowTickerNotice(notice, kNoticeTicks);
}

// Clipboard -> slot as the Push button does it; the copy key fills a slot the same way.
ClipResult PushFromClipboard(HWND dialog, int slot) {
  const ClipResult result = PushSlot(dialog, slot);
  if (result == ClipResult::kDone) SlotChanged(slot);  // saved when Keep Slots is on
  ReportTransfer(result);
  RefreshSlot(dialog, slot);  // the other slots are unchanged
  return result;
}

// What a hotkey or the copy's wait left to the dialog: a paste's Pop reported, a copy pushed.
void FinishHotkey(HWND dialog, HotkeyOutcome outcome) {
  ReportTransfer(outcome.popped);
  if (outcome.pushSlot < 0) return;
  FinishCopy(dialog, outcome.pushSlot, PushFromClipboard(dialog, outcome.pushSlot));
}

INT_PTR OnStartWithWindows(HWND) {
  SetStartAtLogon(!StartsAtLogon());
  return 0;
}

INT_PTR OnHotkeys(HWND dialog) {
  gSettings.hotkeys = !gSettings.hotkeys;
  ShowSettingChecks();
  ApplyHotkeys(dialog, gSettings.hotkeys);
  return 0;
}

// Written at once, not only at quit: after a crash the next start must not take the kept
// files for leftovers of a bar that kept nothing, nor keep files the user turned off.
INT_PTR OnKeepSlots(HWND) {
  gSettings.keepSlots = !gSettings.keepSlots;
  ShowSettingChecks();
  SetKeeping(gSettings.keepSlots);
  WriteBarSettings(gSettings);
  return 0;
}

struct CommandRow {
  int id;
  INT_PTR (*handler)(HWND dialog);
};
constexpr CommandRow kCommands[] = {
    {kCmdOk, OnQuit},
    {kCmdCancel, OnQuit},
    {kExitButtonId, OnQuit},
    {kCmdTop, OnEdge<kEdgeTop>},
    {kCmdLeft, OnEdge<kEdgeLeft>},
    {kCmdRight, OnEdge<kEdgeRight>},
    {kCmdBottom, OnEdge<kEdgeBottom>},
    {kCmdNextScreen, OnNextScreen},
    {kCmdAutohide, OnAutohide},
    {kCmdShowClock, OnShowClock},
    {kCmdHotkeys, OnHotkeys},
    {kCmdKeepSlots, OnKeepSlots},
    {kCmdStartWithWindows, OnStartWithWindows},
};

INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  for (const CommandRow& row : kCommands) {
    if (row.id == id) return row.handler(dialog);
  }
  if (const int slot = FindSlot(kPopButtonIds, id); slot >= 0) {
    // An empty slot's Pop is disabled; only another program can press it, and it gets nothing.
    if (SlotBlock(slot)) {
      const ClipResult popped = PopSlot(dialog, slot);
      ReportTransfer(popped);
      if (popped == ClipResult::kDone) PoppedBy(dialog, slot);  // a secret leaves after a while
    }
  } else if (const int pushed = FindSlot(kPushButtonIds, id); pushed >= 0) {
    PushFromClipboard(dialog, pushed);
  }
  return 0;
}

INT_PTR OnInitDialog(HWND dialog, WPARAM, LPARAM) {
  gBarEnded = false;
  SetPriorityLevel(kLevelNormal);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    gPushButtons[slot] = GetDlgItem(dialog, kPushButtonIds[slot]);
  }
  ChooseTextScans();
  ClearAllSlots();
  gSettings = ReadBarSettings();
  StartKeeper(dialog, gSettings.keepSlots);  // the kept slots come back as they are read
  InitCommonControls();
  gBarDpi = WindowDpi(dialog);
  FitBarFont(dialog, gBarDpi);
  RefreshSlotView(dialog);
  SetTimer(dialog, kTickTimerId, kTickPeriodMs, nullptr);
  SetWindowPos(dialog, nullptr, 2, 0, 50, 90, SWP_SHOWWINDOW | SWP_NOZORDER);
  RegisterBar(dialog);
  gMenu = CreateContextMenu();
  ShowSettingChecks();
  gBarHidden = false;
  gScreen = FindScreen(gSettings.screen).rect;
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);  // the stored edge and autohide, once
  ApplyHotkeys(dialog, gSettings.hotkeys);
  return 1;
}

INT_PTR OnTimer(HWND dialog, WPARAM timerId, LPARAM) {
  if (timerId != kTickTimerId) {
    FinishHotkey(dialog, ActOnHotkeyTimer(dialog, timerId));
    return 0;
  }
  BarShown();
  // While the copy key is armed its prompt stands still in the field.
  const char* prompt = CopyPrompt();
  const char* ticker = prompt ? prompt : TickerText(kTickerWidth);
  SetDlgItemTextA(dialog, kClockFieldId, ticker ? ticker : "");
  if (gSettings.autohide) {
    const HitAction hit = AutohideHit(dialog, Docked(), gMenuOrPromptOpen);
    if (hit != HitAction::kNone) {
      gBarHidden = hit == HitAction::kHide;
      RedockBar(dialog, Docked());
    }
  }
  if (ExpandDroppedCombos(dialog, gSettings.edge, gBarDpi)) Relayout(dialog);
  // Only a change is applied: looking up and enabling twenty buttons on every tick cost the
  // idle bar more than all the rest of the tick.
  const bool hasText =
      IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
  for (HWND push : gPushButtons) {
    if ((IsWindowEnabled(push) != 0) != hasText) EnableWindow(push, hasText);
  }
  return 0;
}

INT_PTR OnMenuOpened(HWND, WPARAM, LPARAM) {
  gMenuOrPromptOpen = true;
  // The Run entry is the user's too: Task Manager or a moved folder may have changed it.
  CheckMenuItem(gMenu, kCmdStartWithWindows, StartsAtLogon() ? MF_CHECKED : MF_UNCHECKED);
  EnableMenuItem(
      gMenu, kCmdNextScreen,
      MF_BYCOMMAND | (GetSystemMetrics(SM_CMONITORS) > 1 ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
  return 0;
}

INT_PTR OnMenuClosed(HWND, WPARAM, LPARAM) {
  gMenuOrPromptOpen = false;
  return 0;
}

INT_PTR OnRightButtonDown(HWND dialog, WPARAM, LPARAM) {
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(dialog);
  TrackPopupMenu(gMenu, 0, at.x, at.y, 0, dialog, nullptr);
  return 0;
}

INT_PTR OnHotkey(HWND dialog, WPARAM id, LPARAM) {
  // A key queued before the user turned the setting off does nothing.
  if (gSettings.hotkeys) FinishHotkey(dialog, ActOnHotkey(dialog, id));
  return 0;
}

INT_PTR OnClipboardKept(HWND dialog, WPARAM, LPARAM) {
  FinishHotkey(dialog, ActOnClipboardKept(dialog));
  return 0;
}

INT_PTR OnRenderFormat(HWND dialog, WPARAM format, LPARAM) {
  RenderForPaste(dialog, static_cast<UINT>(format));
  return 0;
}

INT_PTR OnRenderAllFormats(HWND dialog, WPARAM, LPARAM) {
  RenderAllForPaste(dialog);
  return 0;
}

INT_PTR OnShellNotify(HWND dialog, WPARAM code, LPARAM flag) {
  if (OnBarNotify(dialog, code, flag)) RedockBar(dialog, Docked());
  return 0;
}

INT_PTR OnQueryEndSession(HWND dialog, WPARAM, LPARAM) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);  // never held up by the bar
  return 1;
}

INT_PTR OnEndSession(HWND dialog, WPARAM ending, LPARAM how) {
  if (!ending) return 0;
  EndBar(dialog);
  // Asked to close (an installer): the program ends as after a quit. At a logoff the system
  // ends the process itself.
  if (how & ENDSESSION_CLOSEAPP) {
    EnumThreadWindows(GetCurrentThreadId(), AnswerNo, reinterpret_cast<LPARAM>(dialog));
    EndDialog(dialog, 0);
  }
  return 0;
}

// Monitors came or went, or a screen size or the DPI changed: the bar is docked afresh on its
// monitor (back on the chosen one once it has returned, on the primary while it is away), in its
// font for the DPI. The chosen monitor is kept either way.
INT_PTR OnScreenChanged(HWND dialog, WPARAM, LPARAM) {
  if (gBarEnded) return 0;
  gBarDpi = WindowDpi(dialog);
  FitBarFont(dialog, gBarDpi);
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);
  return 0;
}

// Any device came or went: only a change of the bar's monitor moves it.
INT_PTR OnDeviceChange(HWND dialog, WPARAM wParam, LPARAM lParam) {
  if (!gBarEnded && FindScreen(gSettings.screen).rect != gScreen) {
    OnScreenChanged(dialog, wParam, lParam);
  }
  return 0;
}

INT_PTR OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam) {
  OnScreenChanged(dialog, wParam, lParam);
  // Handled: the dialog manager must not scale the controls placed just now once more.
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
  return 1;
}

INT_PTR OnKeeper(HWND dialog, WPARAM what, LPARAM value) {
  OnKeeperMessage(dialog, what, value);
  return 0;
}

// Explorer started again: the new shell knows nothing of the bar.
INT_PTR OnTaskbarCreated(HWND dialog) {
  if (gBarEnded) return 0;
  RegisterBar(dialog);
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);  // the new shell knows no claim either
  return 0;
}

struct MessageRow {
  UINT message;
  INT_PTR (*handler)(HWND dialog, WPARAM wParam, LPARAM lParam);
};
constexpr MessageRow kMessages[] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_COMMAND, OnCommand},
    {WM_TIMER, OnTimer},
    {WM_INITMENUPOPUP, OnMenuOpened},
    {WM_UNINITMENUPOPUP, OnMenuClosed},
    {WM_RBUTTONDOWN, OnRightButtonDown},
    {kBarNotifyMessage, OnShellNotify},
    {WM_HOTKEY, OnHotkey},
    {kClipboardKeptMessage, OnClipboardKept},
    {WM_RENDERFORMAT, OnRenderFormat},
    {WM_RENDERALLFORMATS, OnRenderAllFormats},
    {WM_QUERYENDSESSION, OnQueryEndSession},
    {WM_ENDSESSION, OnEndSession},
    {WM_DISPLAYCHANGE, OnScreenChanged},
    {WM_DEVICECHANGE, OnDeviceChange},
    {kDpiChangedMessage, OnDpiChanged},
    {kKeeperMessage, OnKeeper},
};

}  // namespace

INT_PTR CALLBACK BarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Its number is known only at run time.
  static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (taskbarCreated && message == taskbarCreated) return OnTaskbarCreated(dialog);
  for (const MessageRow& row : kMessages) {
    if (row.message == message) return row.handler(dialog, wParam, lParam);
  }
  return 0;
}

}  // namespace pinnafex
