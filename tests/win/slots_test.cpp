// The slots and the hotkeys that pop them against the real clipboard: failures injected through
// the allocator, the hand-over and the input, a clipboard held by another thread, text in its
// source's bytes, and a hidden list kept hidden as Windows redraws it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/bar_ids.h"
#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "borrow/borrow_rules.h"
#include "borrow/clipboard_loan.h"
#include "shell/hotkey_table.h"
#include "shell/hotkeys.h"
#include "slots/slot_labels.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {
namespace {

// Holds the clipboard open from a window of another thread for `ms`, as another program would.
// (Wine lets a second OpenClipboard(NULL) in while the holder used NULL; a window keeps it out.)
DWORD WINAPI Holder(void* ms) {
  HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  OpenClipboard(window);
  Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(ms)));
  CloseClipboard();
  return DestroyWindow(window);
}
HANDLE HoldClipboard(UINT_PTR ms) {  // returns once it holds
  HANDLE thread = CreateThread(nullptr, 0, Holder, reinterpret_cast<void*>(ms), 0, nullptr);
  for (int i = 0; i < 500 && !GetOpenClipboardWindow(); ++i) Sleep(10);
  return thread;
}
void Release(HANDLE holder) {
  WaitForSingleObject(holder, 5000);
  CloseHandle(holder);
}

bool gAllocFails = false;
DWORD gAllocPriorityClass = 0;
HGLOBAL WINAPI WatchedAlloc(UINT flags, SIZE_T bytes) {  // notes the priority, fails on demand
  gAllocPriorityClass = GetPriorityClass(GetCurrentProcess());
  return gAllocFails ? nullptr : GlobalAlloc(flags, bytes);
}
std::vector<HANDLE> gRefused;
HANDLE WINAPI RefusingSetter(UINT, HANDLE data) {
  gRefused.push_back(data);
  return nullptr;
}

class Slots : public ::testing::Test {
 protected:
  void SetUp() override { ReleaseAllSlots(); }
  void TearDown() override {
    gSlotAlloc = GlobalAlloc;
    gSetClipboardData = SetClipboardData;
    ReleaseAllSlots();
  }
  void Push(int slot, const std::vector<Format>& formats) {
    ASSERT_TRUE(Put(formats));
    ASSERT_EQ(PushSlot(Owner(), slot), ClipResult::kDone);
  }
};

// Each failure leaves the slot and the clipboard as they were, and the priority as normal.
TEST_F(Slots, FailuresChangeNeitherSlotNorClipboard) {
  Push(8, {Text("slot text")});
  ASSERT_TRUE(Put({Text("clipboard text")}));
  for (bool held : {false, true}) {  // without memory; by another program past the retries
    HANDLE holder = held ? HoldClipboard(1000) : nullptr;
    ASSERT_EQ(GetOpenClipboardWindow() != nullptr, held);
    gSlotAlloc = WatchedAlloc;
    gAllocFails = !held;
    for (auto transfer : {PopSlot, PushSlot}) {
      SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
      SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
      gAllocPriorityClass = held && transfer == PushSlot ? HIGH_PRIORITY_CLASS : 0;
      EXPECT_EQ(transfer(Owner(), 8), held ? ClipResult::kHeld : ClipResult::kFailed);
      EXPECT_EQ(gAllocPriorityClass, DWORD{HIGH_PRIORITY_CLASS}) << "while copying";
      EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS});
      EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    }
    if (holder) Release(holder);
  }
  EXPECT_EQ(Bytes(SlotBlock(8), true), "slot text");
  EXPECT_EQ(Clipboard(CF_TEXT, true), "clipboard text");
  HANDLE holder = HoldClipboard(150);  // the retries get through
  EXPECT_EQ(PopSlot(Owner(), 8), ClipResult::kDone);
  Release(holder);
  gSetClipboardData = RefusingSetter;
  EXPECT_EQ(PopSlot(Owner(), 8), ClipResult::kFailed);
  ASSERT_EQ(gRefused.size(), 2u) << "the locale and the text";
  for (HANDLE block : gRefused) EXPECT_EQ(GlobalFlags(block), UINT{GMEM_INVALID_HANDLE});
  EXPECT_EQ(Bytes(SlotBlock(8), true), "slot text");
}

// A text its source put as CF_TEXT in locale 1041 comes back as those bytes: two byte pairs of
// code page 932 read as U+2252, and only the source's own bytes say which it used. (Text put as
// UTF-16, in other scripts and locales, is checked end to end.)
TEST_F(Slots, TextComesBackAsItsSourcePutIt) {
  const std::string source = "\x93\xFA\x96\x7B \x87\x90";
  Push(5, {Text(source), Locale(1041)});
  EXPECT_EQ(SlotOf(5).captionSize, source.size() + 5);
  ASSERT_TRUE(Put({Text("something else")}));
  ASSERT_EQ(PopSlot(Owner(), 5), ClipResult::kDone);
  EXPECT_EQ(GetClipboardOwner(), Owner());
  const std::string wide = Wide(L"\u65E5\u672C \u2252").bytes;
  EXPECT_EQ(Clipboard(CF_UNICODETEXT).substr(0, wide.size()), wide);
  EXPECT_EQ(Clipboard(CF_TEXT, true), source);
  EXPECT_EQ(Clipboard(CF_LOCALE).substr(0, 4), Locale(1041).bytes);
}

// Windows' combo leaves WM_SETREDRAW to the default procedure, which sets WS_VISIBLE on TRUE;
// Wine's handles it itself. The subclass does what Windows does: a combo hidden (the bar at its
// smallest) must stay hidden through a refresh.
WNDPROC gComboProc = nullptr;
LRESULT CALLBACK RedrawLikeWindows(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) DefWindowProcW(combo, message, wParam, lParam);
  return CallWindowProcW(gComboProc, combo, message, wParam, lParam);
}

TEST_F(Slots, RefreshLeavesAHiddenListHidden) {
  HWND dialog = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  for (const int slot : {3, 4}) {
    HWND combo = GetDlgItem(dialog, kSlotComboIds[slot]);
    ShowWindow(combo, slot == 4 ? SW_HIDE : SW_SHOWNOACTIVATE);
    gComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RedrawLikeWindows)));
    Push(slot, {Text("Hello\r\nWorld")});
  }
  RefreshSlotView(dialog);
  RefreshSlot(dialog, 4);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, kSlotComboIds[3])));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kSlotComboIds[4])));
  DestroyWindow(dialog);
}

std::vector<std::pair<HWND, std::wstring>> gAccNames;
HRESULT RecordAccName(HWND control, const wchar_t* name) {
  gAccNames.emplace_back(control, name);
  return S_OK;
}

// Screen readers get the names through the accessibility service, which Wine leaves out
// (E_NOTIMPL): the calls are seen at the seam.
TEST_F(Slots, SlotControlsAreNamedForScreenReaders) {
  HWND dialog = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
  const AccNameSetter service = gSetAccName;
  std::printf("the accessibility service answers 0x%08lx\n",
              static_cast<unsigned long>(service(GetDlgItem(dialog, kPopButtonIds[0]), L"x")));
  gSetAccName = RecordAccName;
  NameSlot(3, L"IBAN K\u00F6ln");
  LabelSlot(dialog, 3);
  LabelSlot(dialog, 11);
  NameSlot(3, L"");
  gSetAccName = service;
  const std::vector<std::pair<HWND, std::wstring>> expected = {
      {GetDlgItem(dialog, kPushButtonIds[3]), L"Push into slot 4 IBAN K\u00F6ln"},
      {GetDlgItem(dialog, kPopButtonIds[3]), L"Pop slot 4 IBAN K\u00F6ln"},
      {GetDlgItem(dialog, kSlotComboIds[3]), L"Lines of slot 4 IBAN K\u00F6ln"},
      {GetDlgItem(dialog, kPushButtonIds[11]), L"Push into slot 12"},
      {GetDlgItem(dialog, kPopButtonIds[11]), L"Pop slot 12"},
      {GetDlgItem(dialog, kSlotComboIds[11]), L"Lines of slot 12"},
  };
  EXPECT_TRUE(gAccNames == expected);
  DestroyWindow(dialog);
}

UINT WINAPI SendNothing(UINT, LPINPUT, int) {
  return 0;
}

UINT gSent = 0;
UINT WINAPI CountSent(UINT count, LPINPUT, int) {
  ++gSent;
  return count;
}
HGLOBAL WINAPI FailingAlloc(UINT, SIZE_T) {
  return nullptr;
}
HWND gFronts[2];  // the window in front when the key comes, and afterwards
int gFrontReads = 0;
HWND WINAPI Front() {
  return gFronts[gFrontReads++ ? 1 : 0];
}
DWORD gTheirLevel = 0;
bool Levels(DWORD process, DWORD& level) {
  level = process == GetCurrentProcessId() ? 0x2000 : gTheirLevel;  // medium, or theirs
  return true;
}
int gHooks = 0;
HHOOK WINAPI DroppedHook(int, HOOKPROC, HINSTANCE, DWORD) {  // as if Windows removed it at once
  ++gHooks;
  return reinterpret_cast<HHOOK>(1);
}
HHOOK WINAPI CountedHook(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  ++gHooks;
  return SetWindowsHookExA(kind, proc, module, thread);
}

// A key of the bar (slot 20's unless told): with `tap`, pressed as another program sends it;
// then its WM_HOTKEY, with the message's time, as the bar gets it.
void Press(HWND bar, bool tap, int key = 19) {
  INPUT keys[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
  keys[0].ki.wVk = keys[1].ki.wVk = static_cast<WORD>(SlotHotkey(key).virtualKey);
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  if (tap) ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  PostMessageA(bar, WM_HOTKEY, static_cast<WPARAM>(HotkeyId(key)), 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, bar, WM_HOTKEY, WM_HOTKEY, PM_REMOVE));
  ActOnHotkey(bar, msg.wParam);
  ActOnClipboardKept(bar);  // at once: it waits for the keeping
}

// What Wine cannot show: input blocked, the window in front changing while another program
// holds the clipboard, an elevated window, memory running out, and a key watch the system
// dropped. The user's clipboard comes back each time, and is not even touched for an elevated
// window or when it could not be kept.
TEST_F(Slots, PasteKeyGoesOnlyWhereAimedAndGivesTheClipboardBack) {
  HWND bar = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  const IntegrityReader systemLevels = gReadIntegrity;
  gReadIntegrity = Levels;
  gForegroundWindow = Front;
  ASSERT_TRUE(Put({Text("twenty")}));
  PushSlot(bar, 19);
  const struct {
    bool sent;
    HWND after;
    DWORD level;
    bool held;
    SlotAllocator keepAlloc;
    const char* notice;
  } rows[] = {
      {false, GetDesktopWindow(), 0x2000, false, GlobalAlloc, "The keys could not be sent"},
      {true, nullptr, 0x2000, true, GlobalAlloc, "The paste was cancelled: the window changed"},
      {true, GetDesktopWindow(), 0x3000, false, GlobalAlloc,
       "Pinnafex cannot paste into an elevated window"},
      {true, GetDesktopWindow(), 0x2000, false, FailingAlloc, "Your clipboard could not be kept"},
  };
  for (const auto& row : rows) {
    ResetTicker();
    ApplyHotkeys(bar, true);
    ASSERT_TRUE(Put({Text("before")}));
    const DWORD sequence = GetClipboardSequenceNumber();
    gFronts[0] = GetDesktopWindow();  // another process's window
    gFronts[1] = row.after;
    gFrontReads = 0;
    gTheirLevel = row.level;
    gSendInput = row.sent ? CountSent : SendNothing;
    gKeepAlloc = row.keepAlloc;
    HANDLE holder = row.held ? HoldClipboard(300) : nullptr;
    Press(bar, true);
    if (holder) Release(holder);
    FinishGivingBack();
    EXPECT_STREQ(gTickerBuffer, row.notice);
    EXPECT_EQ(Clipboard(CF_TEXT, true), "before") << row.notice;
    if (row.level > 0x2000 || row.keepAlloc != GlobalAlloc)
      EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "written";
    ApplyHotkeys(bar, false);
  }
  // The copy key's keystroke, too, goes only where it was aimed.
  gKeepAlloc = GlobalAlloc;
  ResetTicker();
  ApplyHotkeys(bar, true);
  gFronts[1] = nullptr;
  gFrontReads = 0;
  gSent = 0;
  Press(bar, true, kCopyHotkey);
  Press(bar, true);
  EXPECT_STREQ(gTickerBuffer, kCopyWindowChangedNotice);
  EXPECT_EQ(gSent, 0u);
  ApplyHotkeys(bar, false);
  EXPECT_EQ(Clipboard(CF_TEXT, true), "before");
  // The watch saw no press: the key still pastes, and a new watch sees the next press, which
  // waits for the first paste's end.
  gSetHook = DroppedHook;
  gHooks = 0;
  ApplyHotkeys(bar, true);
  gSetHook = CountedHook;
  gSent = 0;
  gFronts[1] = gFronts[0];
  gTheirLevel = 0x2000;
  Sleep(50);  // a press well after the watch started, beyond the tick count's granularity
  Press(bar, false);
  EXPECT_EQ(gHooks, 2);
  EXPECT_EQ(gSent, 1u);
  Press(bar, true);
  EXPECT_EQ(gHooks, 2) << "the new watch missed the press";
  Sleep(kUnreadMs + 100);
  ActOnHotkeyTimer(bar, kLoanTimerId);
  EXPECT_EQ(gSent, 2u);
  ApplyHotkeys(bar, false);
  EXPECT_EQ(Clipboard(CF_TEXT, true), "before");
  gSendInput = SendInput;
  gSetHook = SetWindowsHookExA;
  gForegroundWindow = GetForegroundWindow;
  gReadIntegrity = systemLevels;
  DestroyWindow(bar);
}

// A clipboard too large to write at once goes back as an offer, and comes back whole through
// loans kept again, one written out as before the bar ends, and a program's read of the last.
// The history mark added on the way makes it no secret, neither to the next paste nor to Push.
TEST_F(Slots, LargeClipboardComesBackWhole) {
  HWND bar = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  const Format big = Text(std::string(5 * 1024 * 1024, 'b'));
  const Format own{RegisterClipboardFormatA("PinnafexTestPrivate"), std::string("\0\1own", 5)};
  ASSERT_TRUE(Put({big, own}));
  for (bool ending : {false, false, true, false}) {
    StartKeepingClipboard(bar, WM_APP);
    ASSERT_EQ(FinishKeeping(), KeepResult::kKept);
    ASSERT_TRUE(Put({Text("the slot")}));
    EXPECT_FALSE(GiveClipboardBack(bar)) << "taken for a secret";
    if (ending) FinishGivingBack();
  }
  // Read as Unicode first, as Notepad does: the system asks for the offered text to convert it.
  EXPECT_EQ(Clipboard(CF_UNICODETEXT).size(), 2 * big.bytes.size());
  EXPECT_TRUE(Clipboard(CF_TEXT) == big.bytes) << Clipboard(CF_TEXT).size();
  EXPECT_EQ(Clipboard(own.format), own.bytes);
  ASSERT_EQ(PushSlot(bar, 0), ClipResult::kDone);
  EXPECT_FALSE(SlotOf(0).secret);
  // A keeping that waits for a held clipboard still lets go of the loan when asked: whoever
  // empties the clipboard meanwhile is not kept waiting, and the keeping then gets it.
  StartKeepingClipboard(bar, WM_APP);
  ASSERT_EQ(FinishKeeping(), KeepResult::kKept);
  GiveClipboardBack(bar);  // on loan again
  HANDLE holder = HoldClipboard(150);
  StartKeepingClipboard(bar, WM_APP);
  Release(holder);
  ASSERT_TRUE(Put({Text("copied meanwhile")}));
  EXPECT_EQ(FinishKeeping(), KeepResult::kKept);
  DropKeptClipboard();
  DestroyWindow(bar);
}

}  // namespace
}  // namespace pinnafex
