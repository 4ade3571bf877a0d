// The slots against the real clipboard: exact bytes in and out, failures injected through the
// allocator and the hand-over, a clipboard held by another thread, and what the bar shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/bar_ids.h"
#include "clipboard_helpers.h"
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
    if (dialog_) DestroyWindow(dialog_);
  }
  void Push(int slot, const std::vector<Format>& formats) {
    ASSERT_TRUE(Put(formats));
    ASSERT_EQ(PushSlot(Owner(), slot), ClipResult::kDone);
  }
  // A slot as the user sees it: caption, Pop and the list enabled (+) or not (-), the listed
  // lines, and the edit field.
  std::wstring Look(int slot) {
    wchar_t text[300] = L"";
    GetDlgItemTextW(dialog_, kSlotFrameIds[slot], text, 300);
    std::wstring look = text;
    HWND combo = GetDlgItem(dialog_, kSlotComboIds[slot]);
    look += IsWindowEnabled(GetDlgItem(dialog_, kPopButtonIds[slot])) ? L" +" : L" -";
    look += IsWindowEnabled(combo) ? L"+ " : L"- ";
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      look = look + L"[" + text + L"]";
    }
    GetWindowTextW(combo, text, 300);
    return look + L" " + text;
  }
  HWND dialog_ = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
};

// A text without terminator is read within its block. (Wine zeroes the block's last byte.)
TEST_F(Slots, TextWithoutTerminatorIsReadWithinItsBlock) {
  ASSERT_TRUE(Put({{CF_TEXT, std::string(4096, 'Z')}}));
  const std::string offered = Clipboard(CF_TEXT, true);
  ASSERT_GE(offered.size(), 4095u);
  ASSERT_EQ(PushSlot(Owner(), 7), ClipResult::kDone);
  EXPECT_EQ(Bytes(SlotBlock(7)), offered + std::string(5, '\0')) << "the text and 5 zeros";
}

// Each failure leaves the slot and the clipboard as they were, and the priority as normal.
TEST_F(Slots, FailuresChangeNeitherSlotNorClipboard) {
  Push(8, {Text("slot text")});
  ASSERT_TRUE(Put({Text("clipboard text")}));
  for (int slot : {-1, 20}) {
    EXPECT_EQ(PushSlot(Owner(), slot), ClipResult::kFailed) << slot;
    EXPECT_EQ(PopSlot(Owner(), slot), ClipResult::kFailed) << slot;
  }
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

// Any script comes back as its source put it, with its locale and its privacy marks.
TEST_F(Slots, TextComesBackInEveryScriptAndForm) {
  const UINT marks[] = {RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"),
                        RegisterClipboardFormatA("CanIncludeInClipboardHistory"),
                        RegisterClipboardFormatA("CanUploadToCloudClipboard")};
  const std::string no(4, '\0');
  const struct {
    std::wstring text;
    LCID locale;
    UINT codePage;  // the locale's
    bool wide;      // kept as UTF-16: its code page loses something
    bool secret;
  } cases[] = {
      {L"Gr\u00FC\u00DFe \u20AC\r\n", 1033, 1252, false, false},
      {L"\u041F\u0440\u0438\u0432\u0435\u0442!", 1049, 1251, false, false},
      {L"\u65E5\u672C\u8A9E\u306E\u6587", 1041, 932, false, false},
      {L"Za\u017C\u00F3\u0142\u0107 \u2713 \u65E5 \U0001F31F", 1033, 1252, true, false},
      {L"\u041F\u0440\u0438\u0432\u0435\u0442", 1033, 1252, true, false},
      {L"hunter2", 1033, 1252, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    std::vector<Format> put = {Wide(c.text), Locale(c.locale)};
    if (c.secret) put.insert(put.end(), {{marks[0], no}, {marks[1], no}, {marks[2], no}});
    Push(5, put);
    std::string ansi(c.text.size() * 2, '\0');
    ansi.resize(WideCharToMultiByte(c.codePage, 0, c.text.c_str(), int(c.text.size()), &ansi[0],
                                    int(ansi.size()), nullptr, nullptr));
    EXPECT_EQ(SlotOf(5).wide, c.wide);
    EXPECT_EQ(SlotOf(5).secret, c.secret);
    EXPECT_EQ(SlotOf(5).captionSize, ansi.size() + 5);
    ASSERT_TRUE(Put({Text("something else")}));
    ASSERT_EQ(PopSlot(Owner(), 5), ClipResult::kDone);
    EXPECT_EQ(GetClipboardOwner(), Owner());
    EXPECT_EQ(Clipboard(CF_UNICODETEXT).substr(0, c.text.size() * 2 + 2), Wide(c.text).bytes);
    EXPECT_EQ(Clipboard(CF_TEXT, true), ansi);
    EXPECT_EQ(Clipboard(CF_LOCALE).substr(0, 4), Locale(c.locale).bytes);
    for (UINT mark : marks) EXPECT_EQ(Clipboard(mark), c.secret ? no : "<none>");
  }
}

// Windows' combo leaves WM_SETREDRAW to the default procedure, which sets WS_VISIBLE on TRUE;
// Wine's handles it itself. The subclass does what Windows does.
WNDPROC gComboProc = nullptr;
LRESULT CALLBACK RedrawLikeWindows(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) DefWindowProcW(combo, message, wParam, lParam);
  return CallWindowProcW(gComboProc, combo, message, wParam, lParam);
}

// What the bar of each slot; a combo hidden (the bar at its smallest) stays hidden.
TEST_F(Slots, CaptionsEntriesAndMasks) {
  ShowWindow(dialog_, SW_SHOWNOACTIVATE);
  for (const int slot : {3, 4}) {
    HWND combo = GetDlgItem(dialog_, kSlotComboIds[slot]);
    if (slot == 4) ShowWindow(combo, SW_HIDE);
    gComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RedrawLikeWindows)));
  }
  const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  const std::wstring mask(8, L'\u2022'), ru = L"\u041F\u0440\u0438", mir = L"\u043C\u0438\u0440";
  const struct {
    int slot;
    std::vector<Format> formats;
    std::wstring look;
  } cases[] = {
      {3, {Text("Hello\r\nWorld\r\n")}, L"Clip  4    19 Byte ++ [Hello][World][][] Hello"},
      {4, {Text("\t  x")}, L"Clip  5     9 Byte ++ [x][] x"},
      {0,
       {Wide(ru + L"\r\n" + mir), Locale(1049)},
       L"Clip  1    13 Byte ++ [" + ru + L"][" + mir + L"][] " + ru},
      {2,
       {Wide(L"hunter2\r\ntwo"), {exclude, "x"}},
       L"Clip  3  private ++ [" + mask + L"][] " + mask},
      {5, {}, L"Clip  6     0 Byte --  "},  // pushed before, emptied now
  };
  Push(5, {Text("text")});
  for (const auto& c : cases) Push(c.slot, c.formats);
  RefreshSlotView(dialog_);
  for (const auto& c : cases) EXPECT_EQ(Look(c.slot), c.look);
  EXPECT_EQ(Look(19), L"Clip 20     0 Byte --  ") << "never pushed";
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog_, kSlotComboIds[3])));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog_, kSlotComboIds[4])));
  // A refresh of one slot leaves the others as they were shown.
  Push(0, {Text("changed")});
  Push(1, {Text("second")});
  RefreshSlot(dialog_, 1);
  EXPECT_EQ(Look(0), cases[2].look);
  EXPECT_EQ(Look(1), L"Clip  2    11 Byte ++ [second][] second");
}

}  // namespace
}  // namespace pinnafex
