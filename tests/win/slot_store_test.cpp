#include "slots/slot_store.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/win/slot_clipboard_test.h"

namespace pinnafex {
namespace {

using slot_test::ClipboardHolder;
using slot_test::ClipboardText;
using slot_test::PutClipboard;
using slot_test::PutClipboardText;
using slot_test::TextOfBlock;

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
    PushSlot(slot);
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
    PushSlot(2);
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
    PopSlot(4);
    EXPECT_EQ(ClipboardText(), text) << "popped text of " << text.size() << " bytes";
    EXPECT_EQ(SlotText(4), text) << "slot changed by Pop";
  }
}

TEST_F(SlotStore, PopLeavesOnlyTheText) {
  Hold(1, "kept");
  const UINT custom = RegisterClipboardFormatA("Pinnafex slot test format");
  ASSERT_TRUE(PutClipboard({{CF_TEXT, std::string("old\0", 4)}, {custom, "data"}}));
  PopSlot(1);
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
  PopSlot(6);
  ASSERT_TRUE(PutClipboardText("other"));
  PopSlot(6);
  EXPECT_EQ(gAllocCount, 2) << "copies made by two Pops";
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
    PushSlot(3);
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

  PushSlot(7);
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
    PopSlot(8);
    PushSlot(8);
  }
  EXPECT_EQ(SlotText(8), "slot text");
  EXPECT_EQ(ClipboardText(), "clipboard text");
}

TEST_F(SlotStore, MemoryRunningOutKeepsSlotAndClipboard) {
  Hold(9, "slot text");
  ASSERT_TRUE(PutClipboardText("clipboard text"));
  gSlotAlloc = FailingAlloc;
  PopSlot(9);
  EXPECT_EQ(ClipboardText(), "clipboard text") << "Pop without memory";
  PushSlot(9);
  EXPECT_EQ(SlotText(9), "slot text") << "Push without memory";
}

TEST_F(SlotStore, TransfersRunHighAndEndNormal) {
  Hold(10, "text");
  using Op = void (*)(int);
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
    o.op(o.slot);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS}) << o.name;
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL) << o.name;
    if (o.slot == 10) {
      EXPECT_EQ(gAllocPriorityClass, DWORD{HIGH_PRIORITY_CLASS}) << o.name << " during the copy";
    }
  }
  // Failure paths too.
  gSlotAlloc = FailingAlloc;
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  PushSlot(10);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), DWORD{NORMAL_PRIORITY_CLASS}) << "failed Push";
  ClipboardHolder holder;
  SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
  PopSlot(10);
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
    PushSlot(slot);
    PopSlot(slot);
    EXPECT_EQ(SlotBlock(slot), nullptr) << "slot " << slot;
  }
  EXPECT_EQ(ClipboardText(), "text");
}

}  // namespace
}  // namespace pinnafex
