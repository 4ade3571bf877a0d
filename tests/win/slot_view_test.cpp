#include "slots/slot_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/bar_ids.h"
#include "slots/slot_lines.h"
#include "slots/slot_store.h"
#include "tests/win/slot_clipboard_test.h"

namespace pinnafex {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

struct SlotLook {
  bool popEnabled;
  bool comboEnabled;
  std::vector<std::string> entries;
  int selected;
  std::string caption;
};

std::string Joined(const std::vector<std::string>& entries) {
  std::string out = "{";
  for (const std::string& e : entries) out += "[" + e + "]";
  return out + "}";
}

class SlotView : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAllSlots();
    dialog_ =
        CreateDialogParamW(GetModuleHandleW(nullptr), L"IDD_DIALOG1", nullptr, PlainDialog, 0);
    ASSERT_NE(dialog_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override {
    ReleaseAllSlots();
    if (dialog_) DestroyWindow(dialog_);
  }

  void Push(int slot, const std::string& text) {
    ASSERT_TRUE(slot_test::PutClipboardText(text));
    PushSlot(slot_test::TestOwner(), slot);
    ASSERT_NE(SlotBlock(slot), nullptr);
  }

  SlotLook Look(int slot) {
    SlotLook look{};
    look.popEnabled = IsWindowEnabled(GetDlgItem(dialog_, kPopButtonIds[slot])) != 0;
    look.comboEnabled = IsWindowEnabled(GetDlgItem(dialog_, kSlotComboIds[slot])) != 0;
    const int combo = kSlotComboIds[slot];
    const auto count = SendDlgItemMessageA(dialog_, combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      const auto length = SendDlgItemMessageA(dialog_, combo, CB_GETLBTEXTLEN, i, 0);
      std::string entry(static_cast<size_t>(length) + 1, '\0');
      SendDlgItemMessageA(dialog_, combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
      entry.resize(static_cast<size_t>(length));
      look.entries.push_back(entry);
    }
    look.selected = static_cast<int>(SendDlgItemMessageA(dialog_, combo, CB_GETCURSEL, 0, 0));
    char caption[256] = {};
    GetWindowTextA(GetDlgItem(dialog_, kSlotFrameIds[slot]), caption, sizeof caption);
    look.caption = caption;
    return look;
  }

  HWND dialog_ = nullptr;
};

TEST_F(SlotView, EmptySlotsShowDisabledAndBare) {
  RefreshSlotView(dialog_);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const SlotLook look = Look(slot);
    EXPECT_FALSE(look.popEnabled) << "slot " << slot;
    EXPECT_FALSE(look.comboEnabled) << "slot " << slot;
    EXPECT_TRUE(look.entries.empty()) << "slot " << slot << ": " << Joined(look.entries);
    EXPECT_EQ(look.selected, CB_ERR) << "slot " << slot;
  }
  EXPECT_EQ(Look(0).caption, "Clip  1     0 Byte");
  EXPECT_EQ(Look(11).caption, "Clip 12     0 Byte");
  EXPECT_EQ(Look(19).caption, "Clip 20     0 Byte");
}

TEST_F(SlotView, HoldingSlotListsItsLines) {
  struct Case {
    int slot;
    std::string text;
    std::vector<std::string> entries;
    const char* caption;
  };
  const Case cases[] = {
      {0, "abc", {"abc", ""}, "Clip  1     8 Byte"},
      {2, "0123456789", {"0123456789", ""}, "Clip  3    15 Byte"},
      {3, "Hello\r\nWorld\r\n", {"Hello", "World", "", ""}, "Clip  4    19 Byte"},
      {11, "Hello\nWorld", {"HelloWorld", ""}, "Clip 12    16 Byte"},
      {12, "\t  x", {"x", ""}, "Clip 13     9 Byte"},
      {13,
       "Gr\xFC\xDF"
       "e\r\n\xE9t\xE9",
       {"Gr\xFC\xDF"
        "e",
        "\xE9t\xE9", ""},
       "Clip 14    15 Byte"},
      {14, "", {""}, "Clip 15     5 Byte"},
      {19, "\r\n\t", {""}, "Clip 20     8 Byte"},
  };
  for (const Case& c : cases) Push(c.slot, c.text);
  RefreshSlotView(dialog_);
  for (const Case& c : cases) {
    const SlotLook look = Look(c.slot);
    EXPECT_TRUE(look.popEnabled) << "slot " << c.slot;
    EXPECT_TRUE(look.comboEnabled) << "slot " << c.slot;  // slot 4's starts disabled
    EXPECT_EQ(look.entries, c.entries) << "slot " << c.slot << ": " << Joined(look.entries);
    EXPECT_EQ(look.selected, 0) << "slot " << c.slot;
    EXPECT_EQ(look.caption, c.caption) << "slot " << c.slot;
  }
  EXPECT_FALSE(Look(1).popEnabled) << "a slot not pushed";
}

TEST_F(SlotView, SlotEmptiedByPushShowsEmptyAgain) {
  Push(5, "text");
  RefreshSlotView(dialog_);
  ASSERT_TRUE(slot_test::PutClipboard({}));
  PushSlot(slot_test::TestOwner(), 5);
  RefreshSlotView(dialog_);
  const SlotLook look = Look(5);
  EXPECT_FALSE(look.popEnabled);
  EXPECT_FALSE(look.comboEnabled);
  EXPECT_TRUE(look.entries.empty()) << Joined(look.entries);
  EXPECT_EQ(look.caption, "Clip  6     0 Byte");
}

TEST_F(SlotView, LargeTextShownInKb) {
  Push(6, std::string(2 * 1024 * 1024, 'k'));
  RefreshSlotView(dialog_);
  const SlotLook look = Look(6);
  EXPECT_EQ(look.caption, "Clip  7  2048 KB");
  ASSERT_EQ(look.entries.size(), 2u);
  EXPECT_EQ(look.entries[0], std::string(250, 'k'));
}

TEST_F(SlotView, ManyLinesListedUpToTheBoundThenCountedAndPoppedWhole) {
  std::string text;
  const size_t lines = kMaxListedLines + 500;
  for (size_t i = 0; i < lines; ++i) text += "line " + std::to_string(i) + "\r\n";
  Push(8, text);
  RefreshSlot(dialog_, 8);
  const SlotLook look = Look(8);
  // The text's last CR LF gives a line of its own: 501 lines are not listed.
  ASSERT_EQ(look.entries.size(), kMaxListedLines + 2);
  EXPECT_EQ(look.entries.front(), "line 0");
  EXPECT_EQ(look.entries[kMaxListedLines - 1], "line " + std::to_string(kMaxListedLines - 1));
  EXPECT_EQ(look.entries[kMaxListedLines], "... 501 more lines not listed");
  EXPECT_EQ(look.entries.back(), "");

  ASSERT_TRUE(slot_test::PutClipboardText("other"));
  PopSlot(slot_test::TestOwner(), 8);
  EXPECT_EQ(slot_test::ClipboardText(), text) << "Pop gives all of the text";
}

std::vector<std::wstring> WideEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring entry(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&entry[0]));
    entries.push_back(entry.c_str());
  }
  return entries;
}

TEST_F(SlotView, ListsRealCharactersAndMasksSecrets) {
  const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  const LCID russian = 1049;
  const std::string russianLocale(reinterpret_cast<const char*>(&russian), sizeof russian);
  const std::wstring mask(8, L'\u2022');
  struct Case {
    const char* what;
    std::vector<slot_test::Format> formats;
    std::vector<std::wstring> entries;
  };
  const Case cases[] = {
      {"Russian, kept in its own code page",
       {{CF_UNICODETEXT, slot_test::Utf16Bytes(L"\u041F\u0440\u0438\r\n\u043C\u0438\u0440")},
        {CF_LOCALE, russianLocale}},
       {L"\u041F\u0440\u0438", L"\u043C\u0438\u0440", L""}},
      {"emoji, kept as UTF-16",
       {{CF_UNICODETEXT, slot_test::Utf16Bytes(L"\U0001F600 smile\r\nzwei")}},
       {L"\U0001F600 smile", L"zwei", L""}},
      {"a secret in two lines",
       {{CF_UNICODETEXT, slot_test::Utf16Bytes(L"hunter2\r\nline two")}, {exclude, "x"}},
       {mask, L""}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(slot_test::PutClipboard(c.formats)) << c.what;
    ASSERT_EQ(PushSlot(slot_test::TestOwner(), 4), ClipResult::kDone) << c.what;
    RefreshSlotView(dialog_);
    HWND combo = GetDlgItem(dialog_, kSlotComboIds[4]);
    EXPECT_EQ(WideEntries(combo), c.entries) << c.what;
    wchar_t shown[64] = L"";
    GetWindowTextW(combo, shown, 64);
    EXPECT_EQ(std::wstring(shown), c.entries.front()) << c.what << ": the edit field";
  }
}

TEST_F(SlotView, RefreshOfOneSlotLeavesTheOthers) {
  Push(0, "first");
  RefreshSlotView(dialog_);
  Push(0, "changed, not yet shown");
  Push(1, "second");
  RefreshSlot(dialog_, 1);
  EXPECT_EQ(Look(0).entries, (std::vector<std::string>{"first", ""}));
  EXPECT_EQ(Look(0).caption, "Clip  1    10 Byte");
  EXPECT_EQ(Look(1).entries, (std::vector<std::string>{"second", ""}));
  EXPECT_TRUE(Look(1).popEnabled);
}

// Windows' combo leaves WM_SETREDRAW to the default procedure, which sets WS_VISIBLE on TRUE;
// Wine's handles it itself. The subclass does what Windows does.
WNDPROC gComboProc = nullptr;
LRESULT CALLBACK RedrawLikeWindows(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) DefWindowProcA(combo, message, wParam, lParam);
  return CallWindowProcA(gComboProc, combo, message, wParam, lParam);
}

TEST_F(SlotView, HiddenComboStaysHiddenShownStaysShown) {
  ShowWindow(dialog_, SW_SHOWNOACTIVATE);
  for (const int slot : {4, 5}) {
    HWND combo = GetDlgItem(dialog_, kSlotComboIds[slot]);
    if (slot == 4) ShowWindow(combo, SW_HIDE);
    gComboProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RedrawLikeWindows)));
    Push(slot, "a\rb");
    RefreshSlot(dialog_, slot);
    EXPECT_EQ(IsWindowVisible(combo) != 0, slot == 5) << "slot " << slot;
    EXPECT_EQ(Look(slot).entries, (std::vector<std::string>{"a", "b", ""})) << "slot " << slot;
  }
}

TEST_F(SlotView, Utf16TextListedWideToTheBound) {
  HWND combo = GetDlgItem(dialog_, kSlotComboIds[2]);
  std::u16string text = u"\x4E2D \U0001F600\r\n";
  for (size_t i = 0; i < kMaxListedLines; ++i) text += u"\x017C\r";
  ListSlotLines(combo, text.c_str(), text.size());
  const std::vector<std::wstring> entries = WideEntries(combo);
  ASSERT_EQ(entries.size(), kMaxListedLines + 2);
  EXPECT_EQ(entries[0], L"\x4E2D \U0001F600");
  EXPECT_EQ(entries[kMaxListedLines - 1], L"\x017C");
  EXPECT_EQ(entries[kMaxListedLines], L"... 1 more line not listed");
}

}  // namespace
}  // namespace pinnafex
