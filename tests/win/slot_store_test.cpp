#include "slots/slot_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "slots/slot_text.h"
#include "tests/win/slot_clipboard_test.h"

namespace pinnafex {
namespace {

using slot_test::ClipboardHolder;
using slot_test::ClipboardText;
using slot_test::PutClipboard;
using slot_test::PutClipboardText;
using slot_test::TextOfBlock;

HWND Owner() {
  return slot_test::TestOwner();
}

std::string SlotText(int slot) {
  HGLOBAL block = SlotBlock(slot);
  return block ? TextOfBlock(block) : "<empty>";
}

SIZE_T SlotSize(int slot) {
  HGLOBAL block = SlotBlock(slot);
  return block ? GlobalSize(block) : 0;
}

// Allocator seams: one that always fails, one that counts and notes the priority class.
int gAllocCount = 0;
DWORD gAllocPriorityClass = 0;

HGLOBAL WINAPI FailingAlloc(UINT, SIZE_T) {
  return nullptr;
}

HGLOBAL WINAPI CountingAlloc(UINT flags, SIZE_T bytes) {
  ++gAllocCount;
  gAllocPriorityClass = GetPriorityClass(GetCurrentProcess());
  return GlobalAlloc(flags, bytes);
}

class SlotStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAllSlots();
    gSlotAlloc = GlobalAlloc;
  }
  void TearDown() override {
    gSlotAlloc = GlobalAlloc;
    ReleaseAllSlots();
  }
  // Pushes `text` into `slot` through the clipboard.
  void Hold(int slot, const std::string& text) {
    ASSERT_TRUE(PutClipboardText(text));
    PushSlot(Owner(), slot);
    ASSERT_EQ(SlotText(slot), text) << "slot " << slot;
  }
};

TEST_F(SlotStore, PushSizesTheBlockAtTextPlusFive) {
  // Each row pushes into the same slot, replacing the text of the row before.
  struct Case {
    std::string text;
    SIZE_T size;
  };
  const Case cases[] = {{"", 5}, {"abc", 8}, {"0123456789", 15}, {std::string(1020, 'x'), 1025}};
  for (const Case& c : cases) {
    ASSERT_TRUE(PutClipboardText(c.text));
    PushSlot(Owner(), 2);
    EXPECT_EQ(SlotSize(2), c.size) << "text of " << c.text.size() << " bytes";
    EXPECT_EQ(SlotText(2), c.text);
    // Zero fill behind the text: at least five zero bytes, and the text holds none.
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(SlotBlock(2)));
    ASSERT_NE(bytes, nullptr);
    for (SIZE_T i = c.text.size(); i < c.size; ++i) EXPECT_EQ(bytes[i], 0u) << "byte " << i;
    GlobalUnlock(SlotBlock(2));
  }
}

TEST_F(SlotStore, SlotBlockIsMovableAndUnlockedAtRest) {
  Hold(0, "abc");
  const UINT flags = GlobalFlags(SlotBlock(0));
  EXPECT_EQ(flags & GMEM_LOCKCOUNT, 0u) << "flags " << flags;
  // A movable block's handle is not its address.
  void* address = GlobalLock(SlotBlock(0));
  EXPECT_NE(address, static_cast<void*>(SlotBlock(0)));
  GlobalUnlock(SlotBlock(0));
}

TEST_F(SlotStore, PopRoundTripsExactBytes) {
  const std::string texts[] = {
      "Hello\r\nWorld\r\n",
      "a\tb\r\n\tc",
      "Gr\xFC\xDF"
      "e \x80\x81\x9F\xA0\xFF",
      std::string(300, 'q') + "\r\n" + std::string(5, '\x01'),
      "",
  };
  for (const std::string& text : texts) {
    Hold(4, text);
    ASSERT_TRUE(PutClipboardText("something else"));
    PopSlot(Owner(), 4);
    EXPECT_EQ(ClipboardText(), text) << "popped text of " << text.size() << " bytes";
    EXPECT_EQ(SlotText(4), text) << "slot changed by Pop";
  }
}

TEST_F(SlotStore, PopLeavesOnlyTheText) {
  Hold(1, "kept");
  const UINT custom = RegisterClipboardFormatA("Pinnafex slot test format");
  ASSERT_TRUE(PutClipboard({{CF_TEXT, std::string("old\0", 4)}, {custom, "data"}}));
  PopSlot(Owner(), 1);
  ASSERT_TRUE(OpenClipboard(slot_test::TestOwner()));
  // Texts the system derives from CF_TEXT may be listed beside it; nothing else may.
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
                format == CF_LOCALE)
        << "format " << format << " survived Pop";
  }
  CloseClipboard();
  EXPECT_EQ(ClipboardText(), "kept");
}

TEST_F(SlotStore, EveryPopHandsOverAFreshCopy) {
  Hold(6, "again");
  HGLOBAL block = SlotBlock(6);
  gAllocCount = 0;
  gSlotAlloc = CountingAlloc;
  PopSlot(Owner(), 6);
  ASSERT_TRUE(PutClipboardText("other"));
  PopSlot(Owner(), 6);
  EXPECT_EQ(gAllocCount, 4) << "the text and its locale, copied by each of two Pops";
  EXPECT_EQ(ClipboardText(), "again");
  EXPECT_EQ(SlotBlock(6), block) << "Pop changed the slot's block";
  EXPECT_EQ(SlotText(6), "again");
}

TEST_F(SlotStore, PushWithoutTextEmptiesTheSlot) {
  const UINT custom = RegisterClipboardFormatA("Pinnafex slot test format");
  const std::vector<slot_test::Format> noText[] = {{}, {{custom, "not text"}}};
  for (const auto& formats : noText) {
    Hold(3, "previous");
    ASSERT_TRUE(PutClipboard(formats));
    PushSlot(Owner(), 3);
    EXPECT_EQ(SlotBlock(3), nullptr) << formats.size() << " formats on the clipboard";
  }
}

TEST_F(SlotStore, UnterminatedClipboardTextIsBoundedByItsBlock) {
  const std::string bytes(4096, 'Z');
  ASSERT_TRUE(PutClipboard({{CF_TEXT, bytes}}));  // every byte non-zero, no terminator
  // What the clipboard offers, read within its block. Windows hands the block over as it was
  // put; Wine zeroes the last byte of a text it stores and offers one 'Z' less.
  ASSERT_TRUE(OpenClipboard(slot_test::TestOwner()));
  HANDLE offered = GetClipboardData(CF_TEXT);
  const std::string expected = offered ? TextOfBlock(offered) : "<none>";
  CloseClipboard();
  ASSERT_GE(expected.size(), bytes.size() - 1);
  ASSERT_EQ(expected, bytes.substr(0, expected.size()));

  PushSlot(Owner(), 7);
  EXPECT_EQ(SlotText(7), expected);
  EXPECT_EQ(SlotSize(7), expected.size() + 5);
}

TEST_F(SlotStore, ClipboardHeldElsewhereChangesNothing) {
  Hold(8, "slot text");
  ASSERT_TRUE(PutClipboardText("clipboard text"));
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holding()) << "holder thread could not open the clipboard";
    ASSERT_FALSE(OpenClipboard(nullptr)) << "clipboard not held against this thread";
    EXPECT_EQ(PopSlot(Owner(), 8), ClipResult::kHeld);
    EXPECT_EQ(PushSlot(Owner(), 8), ClipResult::kHeld);
    char holderName[MAX_PATH];
    ClipboardHolderName(holderName, sizeof holderName);
    char notice[MAX_PATH + 32];
    FormatHeldNotice(holderName, notice, sizeof notice);
    EXPECT_STREQ(notice, "Clipboard held by pinnafex_win_tests.exe");
  }
  EXPECT_EQ(SlotText(8), "slot text");
  EXPECT_EQ(ClipboardText(), "clipboard text");

  // Held only briefly: the retries get through.
  ClipboardHolder briefly(150);
  ASSERT_TRUE(briefly.holding());
  EXPECT_EQ(PushSlot(Owner(), 8), ClipResult::kDone);
  EXPECT_EQ(SlotText(8), "clipboard text");
}

TEST_F(SlotStore, MemoryRunningOutKeepsSlotAndClipboard) {
  Hold(9, "slot text");
  ASSERT_TRUE(PutClipboardText("clipboard text"));
  gSlotAlloc = FailingAlloc;
  PopSlot(Owner(), 9);
  EXPECT_EQ(ClipboardText(), "clipboard text") << "Pop without memory";
  PushSlot(Owner(), 9);
  EXPECT_EQ(SlotText(9), "slot text") << "Push without memory";
}

TEST_F(SlotStore, TransfersRunHighAndEndNormal) {
  Hold(10, "text");
  using Op = ClipResult (*)(HWND, int);
  const struct {
    const char* name;
    Op op;
    int slot;
  } ops[] = {{"Push", PushSlot, 10}, {"Pop", PopSlot, 10}, {"Pop of empty slot", PopSlot, 11}};
  gSlotAlloc = CountingAlloc;
  for (const auto& o : ops) {
    SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    gAllocPriorityClass = 0;
    o.op(Owner(), o.slot);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS}) << o.name;
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL) << o.name;
    if (o.slot == 10) {
      EXPECT_EQ(gAllocPriorityClass, DWORD{HIGH_PRIORITY_CLASS}) << o.name << " during the copy";
    }
  }
  // Failure paths too.
  gSlotAlloc = FailingAlloc;
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  PushSlot(Owner(), 10);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS}) << "failed Push";
  ClipboardHolder holder;
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  PopSlot(Owner(), 10);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS}) << "held Pop";
}

TEST_F(SlotStore, ClearForgetsAndReleaseFrees) {
  Hold(0, "a");
  Hold(19, "b");
  HGLOBAL kept[] = {SlotBlock(0), SlotBlock(19)};
  ClearAllSlots();
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(SlotBlock(slot), nullptr) << "slot " << slot;
  EXPECT_EQ(TextOfBlock(kept[0]), "a") << "Clear freed a block";
  EXPECT_EQ(TextOfBlock(kept[1]), "b") << "Clear freed a block";
  for (HGLOBAL block : kept) GlobalFree(block);

  Hold(0, "a");
  Hold(19, "b");
  ReleaseAllSlots();
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(SlotBlock(slot), nullptr) << "slot " << slot;
}

TEST_F(SlotStore, IndexOutsideTheSlotsIsIgnored) {
  ASSERT_TRUE(PutClipboardText("text"));
  for (int slot : {-1, 20, 1000}) {
    PushSlot(Owner(), slot);
    PopSlot(Owner(), slot);
    EXPECT_EQ(SlotBlock(slot), nullptr) << "slot " << slot;
  }
  EXPECT_EQ(ClipboardText(), "text");
}

// 8-bit bytes of a UTF-16 text in a code page, with the system's best fit.
std::string InCodePage(UINT codePage, const std::wstring& text) {
  std::string out(text.size() * 2, '\0');
  out.resize(static_cast<size_t>(
      WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

std::string LocaleBytes(LCID locale) {
  return std::string(reinterpret_cast<const char*>(&locale), sizeof locale);
}

TEST_F(SlotStore, TextComesBackInEveryScriptAndForm) {
  struct Case {
    const char* what;
    std::wstring text;
    LCID locale;
    UINT codePage;  // the locale's
    bool wide;      // kept as UTF-16: its code page loses something
  };
  const Case cases[] = {
      {"ASCII", L"plain text\r\n", 1033, 1252, false},
      {"Western", L"Gr\u00FC\u00DFe \u20AC", 1033, 1252, false},
      {"Russian under its own locale", L"\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440!",
       1049, 1251, false},
      {"Japanese under its own locale", L"\u65E5\u672C\u8A9E\u306E\u6587", 1041, 932, false},
      {"mixed scripts and emoji", L"Za\u017C\u00F3\u0142\u0107 \u2713 \u65E5\u672C \U0001F31F",
       1033, 1252, true},
      {"Russian under an English locale", L"\u041F\u0440\u0438\u0432\u0435\u0442", 1033, 1252,
       true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(PutClipboard(
        {{CF_UNICODETEXT, slot_test::Utf16Bytes(c.text)}, {CF_LOCALE, LocaleBytes(c.locale)}}))
        << c.what;
    ASSERT_EQ(PushSlot(Owner(), 5), ClipResult::kDone) << c.what;
    const SlotContents held = SlotOf(5);
    EXPECT_EQ(held.wide, c.wide) << c.what;
    const std::string ansi = InCodePage(c.codePage, c.text);
    EXPECT_EQ(held.captionSize, ansi.size() + 5) << c.what;

    ASSERT_TRUE(PutClipboardText("something else"));
    ASSERT_EQ(PopSlot(Owner(), 5), ClipResult::kDone) << c.what;
    EXPECT_EQ(GetClipboardOwner(), Owner()) << c.what;
    EXPECT_EQ(slot_test::ClipboardWideText(), c.text) << c.what;
    EXPECT_EQ(ClipboardText(), ansi) << c.what;
    EXPECT_EQ(slot_test::ClipboardBytes(CF_LOCALE).substr(0, 4), LocaleBytes(c.locale)) << c.what;
  }
}

TEST_F(SlotStore, PrivacyMarksStayWithTheText) {
  const UINT exclude = RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing");
  const UINT history = RegisterClipboardFormatA("CanIncludeInClipboardHistory");
  const UINT cloud = RegisterClipboardFormatA("CanUploadToCloudClipboard");
  const std::string no(4, '\0');
  ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, slot_test::Utf16Bytes(L"hunter2")},
                            {exclude, "x"},
                            {history, no},
                            {cloud, no}}));
  ASSERT_EQ(PushSlot(Owner(), 3), ClipResult::kDone);
  EXPECT_TRUE(SlotOf(3).secret);
  EXPECT_EQ(SlotOf(3).captionSize, 12u);

  ASSERT_TRUE(PutClipboardText("other"));
  ASSERT_EQ(PopSlot(Owner(), 3), ClipResult::kDone);
  EXPECT_EQ(ClipboardText(), "hunter2");
  EXPECT_EQ(slot_test::ClipboardBytes(exclude).substr(0, 1), "x");
  EXPECT_EQ(slot_test::ClipboardBytes(history), no);
  EXPECT_EQ(slot_test::ClipboardBytes(cloud), no);

  ASSERT_TRUE(PutClipboardText("plain"));
  ASSERT_EQ(PushSlot(Owner(), 3), ClipResult::kDone);
  EXPECT_FALSE(SlotOf(3).secret) << "a text pushed without marks";
}

// Refuses every hand-over, as a clipboard without an owner would after EmptyClipboard, and
// keeps what it refused.
std::vector<HANDLE> gRefused;
HANDLE WINAPI RefusingSetter(UINT, HANDLE data) {
  gRefused.push_back(data);
  return nullptr;
}

TEST_F(SlotStore, RefusedHandoverIsReportedAndFreed) {
  Hold(2, "kept");
  gRefused.clear();
  gSetClipboardData = RefusingSetter;
  const ClipResult result = PopSlot(Owner(), 2);
  gSetClipboardData = SetClipboardData;
  EXPECT_EQ(result, ClipResult::kFailed);
  ASSERT_EQ(gRefused.size(), 2u) << "the locale and the text";
  for (HANDLE block : gRefused) {
    EXPECT_EQ(GlobalFlags(block), UINT{GMEM_INVALID_HANDLE}) << "a refused copy was not freed";
  }
  EXPECT_EQ(SlotText(2), "kept");
}

}  // namespace
}  // namespace pinnafex
