#include "shell/bar_dialog.h"

#include <commctrl.h>

#include "clock/ticker.h"
#include "dock/appbar.h"
#include "dock/autohide.h"
#include "dock/layout.h"
#include "dock/win_geometry.h"
#include "focus/focus_keep.h"
#include "keep/keeper.h"
#include "base/priority.h"
#include "base/priority_table.h"
#include "screen/monitors.h"
#include "settings/bar_settings.h"
#include "settings/run_at_logon.h"
#include "shell/bar_font.h"
#include "base/bar_ids.h"
#include "shell/hotkeys.h"
#include "shell/slot_menu.h"
#include "slots/slot_labels.h"
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
// The shell granted autohide at the bar's edge; gSettings.autohide is what the user chose.
bool gAutohideHeld = false;
Rect gArea{};  // what the other bars leave of the bar's monitor at its edge, as last asked
int gBarDpi = kBaseDpi;   // of the bar's monitor, read at start and at each screen change
Rect gScreen{};           // the bar's monitor, where it docks and holds its autohide claim
bool gLayingOut = false;  // a layout runs; a DPI change met on the way asks for another
bool gLayoutAgain = false;
bool gSlotsLabelled = false;  // for screen readers, at the first tick
// The bar's Push buttons, looked up once when it starts: the tick enables them.
HWND gPushButtons[kSlotCount];

constexpr unsigned char kTickerWidth = 25;

struct MenuItem {
  int id;  // 0: separator
  const wchar_t* text;
};
constexpr MenuItem kMenuItems[] = {
    {kCmdAutohide, L"Autohide"},
    {0, nullptr},
    {kCmdTop, L"Top"},
    {kCmdLeft, L"Left"},
    {kCmdRight, L"Right"},
    {kCmdBottom, L"Bottom"},
    {kCmdNextScreen, L"Next Screen"},  // grey while there is one monitor
    {0, nullptr},
    {kCmdShowClock, L"Show Clock"},
    {kCmdHotkeys, L"Hotkeys"},  // checked while the keys that paste a slot are taken
    {kCmdKeepSlots, L"Keep Slots"},
    {kCmdStartWithWindows, L"Start with Windows"},  // checked while the Run entry names this exe
    {0, nullptr},
    {kCmdClearAllSlots, L"Clear All Slots\u2026"},
    {kCmdCancel, L"Exit"},
};

// The WM_DPICHANGED message, newer than the platform headers this program builds against.
constexpr UINT kDpiChangedMessage = 0x02E0;

HMENU CreateContextMenu() {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : kMenuItems) {
    if (item.id) {
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
    } else {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
  }
  return menu;
}

DockSpot Docked() {
  return {gSettings.edge, gAutohideHeld, gBarHidden, {gScreen, gBarDpi}, gArea};
}

// The one way the bar is laid out: sized for its edge, filled with the groups that fit beside
// the other bars there, then docked. A move to a monitor of another DPI changes the DPI in the
// middle of it; the layout then runs again.
void Relayout(HWND dialog) {
  if (gLayingOut) {
    gLayoutAgain = true;
    return;
  }
  gLayingOut = true;
  do {
    gLayoutAgain = false;
    const DockSpot spot = Docked();
    SizeBar(dialog, spot.edge, spot.monitor);
    gArea = AskArea(dialog, spot);
    PlaceGroups(dialog, spot.edge, LengthAlong(spot.edge, gArea), gSettings.clockHidden,
                spot.monitor.dpi);
    RedockBar(dialog, Docked());
  } while (gLayoutAgain);
  gLayingOut = false;
  // The frames may have changed their width or font: names are cut to them afresh.
  RefreshSlotCaptions(dialog);
  PlaceSlotTips(dialog);
}

// The autohide claim at the bar's edge made or given up, as far as the shell allows. The choice
// is kept where the shell refuses it, so the bar hides again at an edge that allows it; the menu
// item shows the choice and is greyed while another bar holds the edge.
void SettleAutohide(HWND dialog, bool wanted) {
  const AutohideClaim claim = ClaimAutohide(dialog, gSettings.edge, gScreen, wanted);
  gSettings.autohide = wanted;
  gAutohideHeld = claim == AutohideClaim::kOn;
  if (!gAutohideHeld) gBarHidden = false;
  CheckMenuItem(gMenu, kCmdAutohide,
                MF_BYCOMMAND | (gSettings.autohide ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(gMenu, kCmdAutohide,
                 MF_BYCOMMAND | (claim == AutohideClaim::kHeldElsewhere ? MF_DISABLED | MF_GRAYED
                                                                        : MF_ENABLED));
}

// The chosen monitor while present, else the primary. A choice an older release saved names only
// the output: the monitor found there is known by its identity from now on.
Rect ChosenScreen() {
  const ScreenEntry found = FindScreen(gSettings.screenId, gSettings.screen);
  if (!*gSettings.screenId && *gSettings.screen && !lstrcmpiA(found.name, gSettings.screen)) {
    lstrcpynA(gSettings.screenId, found.id, sizeof gSettings.screenId);
  }
  return found.rect;
}

// The bar moved to `edge` of its monitor (the chosen one while present, else the primary) with
// autohide as wanted, and laid out there. Moving with autohide on gives up the old place's
// claim before the new one is made.
void ApplyDock(HWND dialog, int edge, bool autohide) {
  const Rect screen = ChosenScreen();
  if (gAutohideHeld && (gSettings.edge != edge || gScreen != screen)) {
    ClaimAutohide(dialog, gSettings.edge, gScreen, false);
  }
  gSettings.edge = edge;
  gScreen = screen;
  SettleAutohide(dialog, autohide);
  Relayout(dialog);
}

// A confirmed quit and the session's end: slots freed, the bar off the shell, every setting
// written. Runs once. The saves still pending go on off the bar's thread: they hold shares of
// their texts.
void EndBar(HWND dialog) {
  if (gBarEnded) return;
  gBarEnded = true;
  ReleaseHotkeys(dialog);
  StopKeeper();
  ReleaseAllSlots();
  for (int combo : kSlotComboIds) SendDlgItemMessageA(dialog, combo, CB_RESETCONTENT, 0, 0);
  DestroyMenu(gMenu);
  gMenu = nullptr;
  KillTimer(dialog, kTickTimerId);
  // One autohide bar per edge: the claim must not outlive the bar.
  if (gAutohideHeld) ClaimAutohide(dialog, gSettings.edge, gScreen, false);
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
  LendFocus();
  gMenuOrPromptOpen = true;
  const int answer = MessageBoxA(dialog, "Really Quit?", "Quit Pinnafex",
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (gBarEnded) return 1;  // the session ended while the prompt was up
  if (answer != IDYES) {
    gMenuOrPromptOpen = false;
    ReturnFocus(false);
    return 0;
  }
  EndBar(dialog);
  if (KeeperEnded()) {
    FinishKeeper();
    EndDialog(dialog, 0);
  } else {
    // The bar answers on while the saves end; kEnded ends it.
    SetDlgItemTextW(dialog, kClockFieldId, L"Saving slots\u2026");
  }
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
      screens[NextScreen(PickScreen(screens, count, gSettings.screenId, gSettings.screen), count)];
  lstrcpynA(gSettings.screen, next.primary ? "" : next.name, sizeof gSettings.screen);
  lstrcpynA(gSettings.screenId, next.primary ? "" : next.id, sizeof gSettings.screenId);
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

}  // namespace

bool RefusePush(int slot) {
  if (!SlotLocked(gSettings, slot)) return false;
  MessageBeep(MB_ICONWARNING);
  char notice[32];
  wsprintfA(notice, "Slot %d is locked", slot + 1);
  ShowTickerNotice(notice, kNoticeTicks);
  return true;
}

namespace {

// Clipboard -> slot as the Push button does it; the copy key fills a slot the same way.
ClipResult PushFromClipboard(HWND dialog, int slot) {
  if (RefusePush(slot)) return ClipResult::kFailed;
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

INT_PTR OnClearAllSlots(HWND dialog) {
  gMenuOrPromptOpen = true;
  AskClearAllSlots(dialog, gSettings);
  gMenuOrPromptOpen = false;
  return 0;
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
    {kCmdClearAllSlots, OnClearAllSlots},
};

INT_PTR OnCommand(HWND dialog, WPARAM wParam, LPARAM) {
  if (gBarEnded) return 0;  // saving slots before the end
  const int id = LOWORD(wParam);
  // A drop-down takes the focus while open; the tick gives it back.
  if (HIWORD(wParam) == CBN_DROPDOWN && FindSlot(kSlotComboIds, id) >= 0) LendFocus();
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
  MakeQuietButtons(dialog, kPushButtonIds, kSlotCount);
  MakeQuietButtons(dialog, kPopButtonIds, kSlotCount);
  ChooseTextScans();
  ClearAllSlots();
  gSettings = ReadBarSettings();
  // The kept slots come back as they are read. Kept files win over a setting that is missing
  // or stray.
  StartKeeper(dialog, gSettings.keepSlots    ? KeepStart::kOn
                      : KeepSlotsTurnedOff() ? KeepStart::kOff
                                             : KeepStart::kUnsure);
  InitCommonControls();
  gBarDpi = MonitorDpi(ChosenScreen(), dialog);
  FitBarFont(dialog, gBarDpi);
  StartSlotMenu(dialog);
  RefreshSlotView(dialog);
  StartSlotLabels(dialog);
  SetTimer(dialog, kTickTimerId, kTickPeriodMs, nullptr);
  SetWindowPos(dialog, nullptr, 2, 0, 50, 90, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
  RegisterBar(dialog);
  gMenu = CreateContextMenu();
  ShowSettingChecks();
  gBarHidden = false;
  gScreen = ChosenScreen();
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);  // the stored edge and autohide, once
  ApplyHotkeys(dialog, gSettings.hotkeys);
  return 1;
}

// The clock's words are Windows-1252 ("F\xFCnf"): shown as such whatever the system's code page.
void SetClockField(HWND dialog, const char* text) {
  wchar_t wide[kTickerBufferSize];
  if (MultiByteToWideChar(1252, 0, text, -1, wide, kTickerBufferSize) <= 0) wide[0] = L'\0';
  SetDlgItemTextW(dialog, kClockFieldId, wide);
}

INT_PTR OnTimer(HWND dialog, WPARAM timerId, LPARAM) {
  if (timerId != kTickTimerId) {
    FinishHotkey(dialog, ActOnHotkeyTimer(dialog, timerId));
    return 0;
  }
  BarShown();
  if (!gSlotsLabelled) LabelAllSlots(dialog);
  gSlotsLabelled = true;
  // While the copy key is armed its prompt stands still in the field.
  const char* prompt = CopyPrompt();
  const char* ticker = prompt ? prompt : TickerText(kTickerWidth);
  SetClockField(dialog, ticker ? ticker : "");
  if (gAutohideHeld) {
    const HitAction hit = AutohideHit(dialog, Docked(), gMenuOrPromptOpen);
    if (hit != HitAction::kNone) {
      gBarHidden = hit == HitAction::kHide;
      RedockBar(dialog, Docked());
    }
  }
  if (ExpandDroppedCombos(dialog, gSettings.edge, gBarDpi, gArea)) Relayout(dialog);
  if (FocusLent()) ReturnFocus(gMenuOrPromptOpen || AnySlotListOpen(dialog));
  WatchFocus();
  // Only a change is applied: looking up and enabling twenty buttons on every tick cost the
  // idle bar more than all the rest of the tick.
  const bool hasText =
      IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const bool enabled = hasText && !SlotLocked(gSettings, slot);
    HWND push = gPushButtons[slot];
    if ((IsWindowEnabled(push) != 0) != enabled) EnableWindow(push, enabled);
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

// A slot's group has a menu of its own; the rest of the bar has the bar's.
void OpenMenuAt(HWND dialog, int slot, POINT at) {
  LendFocus();
  SetForegroundWindow(dialog);
  // The command runs before the focus goes back, so that a prompt it opens has it.
  if (slot < 0) {
    const int command = TrackPopupMenu(gMenu, TPM_RETURNCMD, at.x, at.y, 0, dialog, nullptr);
    if (command) SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(command), 0);
  } else {
    const int chosen = ChooseFromSlotMenu(dialog, slot, at, gSettings);
    gMenuOrPromptOpen = true;  // the name dialog: the closed menu has let go of it
    ActOnSlotMenu(dialog, slot, chosen, gSettings);
    gMenuOrPromptOpen = false;
  }
  ReturnFocus(false);
}

// On the bar itself, a frame, or a disabled control: those let the mouse through to the bar.
INT_PTR OnRightButtonDown(HWND dialog, WPARAM, LPARAM) {
  POINT at{};
  GetCursorPos(&at);
  OpenMenuAt(dialog, SlotAtPoint(dialog, at), at);
  return 0;
}

// A right-click on an enabled control, or the menu key (the point is -1, -1) where the focus is:
// the slot's menu opens below its control.
INT_PTR OnContextMenu(HWND dialog, WPARAM target, LPARAM point) {
  HWND control = reinterpret_cast<HWND>(target);
  const bool byKey = point == -1;
  if (control == dialog && !byKey) return 0;  // the right-click on the bar opened it already
  if (byKey && control == dialog && GetFocus()) control = GetFocus();
  POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  if (byKey) {
    RECT box{};
    GetWindowRect(control, &box);
    at = {box.left, box.bottom};
  }
  OpenMenuAt(dialog, SlotOfControl(control), at);
  return 1;
}

INT_PTR OnMouseMove(HWND dialog, WPARAM wParam, LPARAM lParam) {
  RelaySlotTip(dialog, WM_MOUSEMOVE, wParam, lParam);
  return 0;
}

INT_PTR OnNotify(HWND, WPARAM, LPARAM header) {
  return AnswerSlotTip(reinterpret_cast<const NMHDR*>(header)) ? 1 : 0;
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
  // Another bar came, went or moved: the groups that fit may have changed too.
  if (OnBarNotify(dialog, code, flag)) Relayout(dialog);
  return 0;
}

INT_PTR OnQueryEndSession(HWND dialog, WPARAM, LPARAM) {
  HoldSessionEnd(dialog);  // with saves pending, the system says why until they are done
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);  // never held up by the bar
  return 1;
}

INT_PTR OnEndSession(HWND dialog, WPARAM ending, LPARAM how) {
  if (!ending) return 0;
  EndBar(dialog);
  // The process may end as soon as this returns: the saves end first, messages answered.
  FinishKeeper();
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
// font for that monitor's DPI, whatever DPI the message brings. The chosen monitor is kept either
// way.
INT_PTR OnScreenChanged(HWND dialog, WPARAM, LPARAM) {
  if (gBarEnded) return 0;
  gBarDpi = MonitorDpi(ChosenScreen(), dialog);
  FitBarFont(dialog, gBarDpi);
  ApplyDock(dialog, gSettings.edge, gSettings.autohide);
  return 0;
}

// Any device came or went: only a change of the bar's monitor moves it.
INT_PTR OnDeviceChange(HWND dialog, WPARAM wParam, LPARAM lParam) {
  if (!gBarEnded && ChosenScreen() != gScreen) {
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
  const KeeperNote note = OnKeeperMessage(what, value);
  if (note.event == KeeperEvent::kRestored && !gBarEnded) RefreshSlot(dialog, note.slot);
  if (note.event == KeeperEvent::kKeepingOn && !gBarEnded) {
    gSettings.keepSlots = true;
    ShowSettingChecks();
    WriteBarSettings(gSettings);
  }
  if (note.event == KeeperEvent::kEnded && gBarEnded) {  // a quit waited for the saves
    FinishKeeper();
    EndDialog(dialog, 0);
  }
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
    {WM_CONTEXTMENU, OnContextMenu},
    {WM_NOTIFY, OnNotify},
    {WM_MOUSEMOVE, OnMouseMove},
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
