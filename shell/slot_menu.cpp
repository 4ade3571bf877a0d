#include "shell/slot_menu.h"

#include <initializer_list>

#include "base/bar_ids.h"
#include "keep/keeper.h"
#include "slots/slot_caption.h"
#include "slots/slot_labels.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {

namespace {

HMENU gSlotMenu = nullptr;
WNDPROC gEditProc = nullptr;  // the class's own procedure, the same for every drop-down's edit

struct SlotMenuItem {
  int id;
  const wchar_t* text;
};
constexpr SlotMenuItem kSlotMenuItems[] = {
    {kCmdSlotName, L"&Name\u2026"},
    {kCmdSlotLock, L"&Lock"},
    {kCmdSlotClear, L"&Clear"},
};

// The parts of a slot group a right-click or the menu key can be on.
constexpr const int (*kGroupParts[])[kSlotCount] = {&kSlotFrameIds, &kPushButtonIds, &kPopButtonIds,
                                                    &kSlotComboIds};

// The edit of a drop-down would show its own menu; the slot's is the one wanted there.
LRESULT CALLBACK SlotEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU) {
    HWND combo = GetParent(edit);
    return SendMessageW(GetParent(combo), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(combo), lParam);
  }
  return CallWindowProcW(gEditProc, edit, message, wParam, lParam);
}

// The text typed into the name dialog, and the slot it names.
struct NameRequest {
  int slot;
  wchar_t typed[kSlotNameSize];
};

INT_PTR CALLBACK NameDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(box, DWLP_USER, lParam);
    const auto* request = reinterpret_cast<const NameRequest*>(lParam);
    wchar_t caption[32];
    wsprintfW(caption, L"Name Slot %d", request->slot + 1);
    SetWindowTextW(box, caption);
    SendDlgItemMessageW(box, IDC_NAME_SLOT_EDIT, EM_LIMITTEXT, kSlotNameChars, 0);
    SetDlgItemTextW(box, IDC_NAME_SLOT_EDIT, request->typed);
    SendDlgItemMessageW(box, IDC_NAME_SLOT_EDIT, EM_SETSEL, 0, -1);
    return TRUE;
  }
  if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return 0;
  auto* request = reinterpret_cast<NameRequest*>(GetWindowLongPtrW(box, DWLP_USER));
  if (LOWORD(wParam) == IDOK)
    GetDlgItemTextW(box, IDC_NAME_SLOT_EDIT, request->typed, kSlotNameSize);
  EndDialog(box, LOWORD(wParam));
  return TRUE;
}

// Asks for the slot's name.
void AskSlotName(HWND dialog, int slot) {
  NameRequest request{slot, {}};
  lstrcpynW(request.typed, SlotName(slot), kSlotNameSize);
  if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NAME_SLOT), dialog,
                      NameDialogProc, reinterpret_cast<LPARAM>(&request)) != IDOK) {
    return;
  }
  RenameSlot(dialog, slot, request.typed);
}

void ToggleLock(HWND dialog, int slot, BarSettings& settings) {
  settings.lockedSlots ^= 1 << slot;
  // Locked: its Push is disabled at once; unlocked, the next tick enables it with the others.
  if (SlotLocked(settings, slot)) EnableWindow(GetDlgItem(dialog, kPushButtonIds[slot]), FALSE);
  WriteLockedSlots(settings);
}

}  // namespace

void StartSlotMenu(HWND dialog) {
  gSlotMenu = CreatePopupMenu();
  for (const SlotMenuItem& item : kSlotMenuItems) {
    AppendMenuW(gSlotMenu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
  }
  wchar_t names[kSlotCount][kSlotNameSize];
  ReadSlotNames(names);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    NameSlot(slot, names[slot]);
    HWND edit = GetWindow(GetDlgItem(dialog, kSlotComboIds[slot]), GW_CHILD);
    if (!edit) continue;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SlotEditProc)));
    if (!gEditProc) gEditProc = previous;
  }
}

void RenameSlot(HWND dialog, int slot, const wchar_t* typed) {
  wchar_t name[kSlotNameSize];
  TrimSlotName(reinterpret_cast<const char16_t*>(typed), reinterpret_cast<char16_t*>(name),
               kSlotNameSize);
  if (lstrcmpW(name, SlotName(slot)) == 0) return;
  NameSlot(slot, name);
  RefreshSlotCaption(dialog, slot);
  LabelSlot(dialog, slot);
  WriteSlotName(slot, name);
}

int SlotOfControl(HWND control) {
  for (HWND each : {control, GetParent(control)}) {
    for (const auto* ids : kGroupParts) {
      if (const int slot = FindSlot(*ids, GetDlgCtrlID(each)); slot >= 0) return slot;
    }
  }
  return -1;
}

int SlotAtPoint(HWND dialog, POINT at) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    HWND frame = GetDlgItem(dialog, kSlotFrameIds[slot]);
    RECT box{};
    if (IsWindowVisible(frame) && GetWindowRect(frame, &box) && PtInRect(&box, at)) return slot;
  }
  return -1;
}

int ChooseFromSlotMenu(HWND dialog, int slot, POINT at, const BarSettings& settings) {
  CheckMenuItem(gSlotMenu, kCmdSlotLock, SlotLocked(settings, slot) ? MF_CHECKED : MF_UNCHECKED);
  // A locked slot cannot be cleared.
  EnableMenuItem(gSlotMenu, kCmdSlotClear,
                 SlotLocked(settings, slot) ? MF_DISABLED | MF_GRAYED : MF_ENABLED);
  return static_cast<int>(
      TrackPopupMenu(gSlotMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog, nullptr));
}

void ActOnSlotMenu(HWND dialog, int slot, int chosen, BarSettings& settings) {
  if (chosen == kCmdSlotName) AskSlotName(dialog, slot);
  if (chosen == kCmdSlotLock) ToggleLock(dialog, slot, settings);
  if (chosen == kCmdSlotClear) ClearSlot(dialog, slot, settings);
}

void ClearSlot(HWND dialog, int slot, const BarSettings& settings) {
  if (SlotLocked(settings, slot)) return;
  WithdrawPop(dialog, slot);
  WipeSlot(slot);
  SlotChanged(slot);  // its kept file goes
  RefreshSlot(dialog, slot);
}

void AskClearAllSlots(HWND dialog, const BarSettings& settings) {
  if (MessageBoxW(dialog, L"Clear all unlocked slots?", L"Clear Slots",
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return;
  }
  // Empty slots too: a kept text still being restored into one is dropped.
  for (int slot = 0; slot < kSlotCount; ++slot) ClearSlot(dialog, slot, settings);
}

}  // namespace pinnafex
