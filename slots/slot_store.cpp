#include "slots/slot_store.h"

#include <cstring>

#include "base/priority.h"
#include "base/priority_table.h"
#include "base/bar_ids.h"
#include "slots/clip_formats.h"
#include "slots/slot_text.h"

namespace pinnafex {

SlotAllocator gSlotAlloc = GlobalAlloc;
ClipboardSetter gSetClipboardData = SetClipboardData;

namespace {

// One slot: its text in one form only, the locale it was copied under, and the data of the
// privacy marks it came with.
struct Slot {
  HGLOBAL text = nullptr;
  SIZE_T textBytes = 0;  // what the block was asked for: the text, its terminator, the slack
  bool wide = false;
  LCID locale = 0;
  SIZE_T ansiSize = 0;  // the caption's size, also for a text kept as UTF-16
  HGLOBAL marks[kPrivacyFormatCount] = {};
};

Slot gSlots[kSlotCount];

// The slot offered for a paste by key, its format and the copy not yet handed over.
struct Offer {
  UINT format = 0;
  HGLOBAL block = nullptr;
  bool secret = false;
};
Offer gOffer;

// The last Pop: its slot and the clipboard's sequence number once it was written.
int gPoppedSlot = -1;
DWORD gPoppedSequence = 0;

// Blocks shared with the keeper's thread, with their holders (the slot among them). Each slot
// and each save of it holds at most one; a full table falls back to a copy.
struct Share {
  HGLOBAL block;
  int holders;
  bool wipe;  // cleared while shared: the last holder wipes it
};
constexpr int kShareCapacity = 3 * kSlotCount;
Share gShares[kShareCapacity];
SRWLOCK gSharesGuard = SRWLOCK_INIT;

// The lock around the table. The bar's thread may run at the highest priority and the
// keeper's below normal: a waiter sleeps rather than spins, so the holder always gets to run.
struct SharesLock {
  SharesLock() { AcquireSRWLockExclusive(&gSharesGuard); }
  ~SharesLock() { ReleaseSRWLockExclusive(&gSharesGuard); }
  SharesLock(const SharesLock&) = delete;
  SharesLock& operator=(const SharesLock&) = delete;
};

bool IsSecret(const Slot& slot) {
  for (HGLOBAL mark : slot.marks) {
    if (mark) return true;
  }
  return false;
}

void FreeSlot(Slot& slot) {
  // A secret is never shared, so its block is the slot's alone to wipe.
  if (IsSecret(slot)) {
    FreeBlock(slot.text, true);
  } else {
    ReleaseShare(slot.text);
  }
  for (HGLOBAL mark : slot.marks) FreeBlock(mark, false);
  slot = Slot{};
}

// A clipboard transfer runs at the high level and leaves at the normal one, on every path.
struct HighPriorityScope {
  HighPriorityScope() { SetPriorityLevel(kLevelHigh); }
  ~HighPriorityScope() { SetPriorityLevel(kLevelNormal); }
  HighPriorityScope(const HighPriorityScope&) = delete;
  HighPriorityScope& operator=(const HighPriorityScope&) = delete;
};

// UTF-16 text into `slot`: 8-bit in the locale's code page wherever that form gives every
// character back, else as UTF-16. False when memory runs out.
bool TakeWideText(const char16_t* text, SIZE_T units, Slot& slot) {
  const UINT codePage = AnsiCodePageOf(slot.locale);
  const std::int16_t* table = SingleByteTable(codePage);
  // One byte a character: ASCII, which every page shares, or the page's own letters.
  const SIZE_T ansiBlock = SlotBlockSize(units);
  slot.text = ansiBlock ? gSlotAlloc(GMEM_MOVEABLE, ansiBlock) : nullptr;
  if (!slot.text) return false;
  auto* ansi = static_cast<char*>(GlobalLock(slot.text));
  const bool exact = ansi && (NarrowAscii(text, units, ansi) ||
                              (table && NarrowThroughTable(text, units, table, ansi)));
  if (exact) std::memset(ansi + units, 0, ansiBlock - units);  // the terminator
  if (ansi) GlobalUnlock(slot.text);
  if (exact) {
    slot.textBytes = slot.ansiSize = ansiBlock;
    return true;
  }
  FreeBlock(slot.text, IsSecret(slot));  // the attempt holds part of the text
  slot.text = nullptr;

  const auto* wide = reinterpret_cast<const wchar_t*>(text);
  const int count = static_cast<int>(units);
  if (!table) {
    // A page of double-byte characters: the system's conversion, with best-fit stand-ins
    // counted as lost. UTF-8 loses nothing.
    const bool utf8 = codePage == CP_UTF8;
    BOOL lossy = FALSE;
    const int exactBytes = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide,
                                               count, nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
    if (!lossy && exactBytes > 0) {
      slot.ansiSize = slot.textBytes = SlotBlockSize(static_cast<SIZE_T>(exactBytes));
      slot.text = gSlotAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, slot.textBytes);
      auto* dest = slot.text ? static_cast<char*>(GlobalLock(slot.text)) : nullptr;
      if (!dest) return false;
      WideCharToMultiByte(codePage, 0, wide, count, dest, exactBytes, nullptr, nullptr);
      GlobalUnlock(slot.text);
      return true;
    }
  }
  // The caption still counts the 8-bit form that readers of CF_TEXT get: in a single-byte
  // page one byte a unit.
  const int bestFit =
      table ? count : WideCharToMultiByte(codePage, 0, wide, count, nullptr, 0, nullptr, nullptr);
  slot.ansiSize = SlotBlockSize(static_cast<SIZE_T>(bestFit > 0 ? bestFit : 0));
  slot.wide = true;
  slot.textBytes = units * sizeof(char16_t) + sizeof(char16_t);
  slot.text = NewBlock(text, units * sizeof(char16_t), sizeof(char16_t));
  return slot.text != nullptr;
}

// The text formats a source may put on the clipboard, and the one Push reads for each: its
// own 8-bit text as it is, UTF-16 as it is, and for OEM text the UTF-16 the system derives
// from it exactly (a slot keeps no OEM page).
struct TextFormatRow {
  UINT offered;
  UINT read;
};
constexpr TextFormatRow kTextFormats[] = {
    {CF_UNICODETEXT, CF_UNICODETEXT},
    {CF_TEXT, CF_TEXT},
    {CF_OEMTEXT, CF_UNICODETEXT},
};

// The format to read: by the first text format in the clipboard's order, which lists what the
// source put there before what the system derives from it. 0 when no text is offered.
UINT SourceTextFormat() {
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    for (const TextFormatRow& row : kTextFormats) {
      if (row.offered == format) return row.read;
    }
  }
  return 0;
}

// Reads the clipboard's text into `slot`. False when text is offered but cannot be had.
bool ReadClipboardText(Slot& slot, bool& offered) {
  slot.locale = OfferedLocale();
  // The marks first: a secret's text is wiped wherever a copy of it is let go.
  for (int i = 0; i < kPrivacyFormatCount; ++i) {
    if (!IsClipboardFormatAvailable(PrivacyFormat(i)) || IsOwnHistoryMark(PrivacyFormat(i)))
      continue;
    // A mark offered without readable data still marks: a zero DWORD asks histories to skip.
    static constexpr DWORD kNoHistory = 0;
    slot.marks[i] = CopyClipboardData(PrivacyFormat(i));
    if (!slot.marks[i]) slot.marks[i] = NewBlock(&kNoHistory, sizeof kNoHistory, 0);
    if (!slot.marks[i]) return false;
  }
  const UINT format = SourceTextFormat();
  offered = format != 0;
  if (!offered) return true;
  HANDLE data = GetClipboardData(format);
  const void* bytes = data ? GlobalLock(data) : nullptr;
  if (!bytes) return false;
  bool taken;
  if (format == CF_UNICODETEXT) {
    const auto* text = static_cast<const char16_t*>(bytes);
    taken = TakeWideText(text, BoundedTextLength(text, GlobalSize(data) / sizeof(char16_t)), slot);
  } else {
    // Exact in the code page of its locale: kept as it is.
    const auto* text = static_cast<const char*>(bytes);
    const SIZE_T length = BoundedTextLength(text, GlobalSize(data));
    slot.text = NewBlock(text, length, kSlotBlockSlack);
    slot.textBytes = slot.ansiSize = SlotBlockSize(length);
    taken = slot.text != nullptr;
  }
  GlobalUnlock(data);
  return taken;
}

struct Handover {
  UINT format;
  HGLOBAL block;
};

}  // namespace

void ClearAllSlots() {
  for (Slot& slot : gSlots) slot = Slot{};
}

ClipResult PushSlot(HWND owner, int slot) {
  HighPriorityScope high;
  if (!IsSlotIndex(slot)) return ClipResult::kFailed;
  if (!OpenClipboardPatiently(owner)) return ClipResult::kHeld;
  Slot fresh;
  bool offered = false;
  const bool read = ReadClipboardText(fresh, offered);
  CloseClipboard();
  // No text on the clipboard empties the slot; text that could not be read or copied
  // leaves it as it was.
  if (!read) {
    FreeSlot(fresh);
    return ClipResult::kFailed;
  }
  FreeSlot(gSlots[slot]);
  if (offered) {
    gSlots[slot] = fresh;
  } else {
    FreeSlot(fresh);  // marks with no text
  }
  return ClipResult::kDone;
}

ClipResult PopSlot(HWND owner, int slot) {
  HighPriorityScope high;
  if (!IsSlotIndex(slot) || !gSlots[slot].text) return ClipResult::kFailed;
  const Slot& source = gSlots[slot];
  // Every copy exists before the clipboard is emptied, so a failure leaves it as it is. An
  // 8-bit text goes with its locale, from which the system derives the UTF-16 form exactly;
  // a UTF-16 text likewise gives its 8-bit form.
  Handover handovers[2 + kPrivacyFormatCount] = {};
  int count = 0;
  handovers[count++] = {CF_LOCALE, NewBlock(&source.locale, sizeof source.locale, 0)};
  handovers[count++] = {static_cast<UINT>(source.wide ? CF_UNICODETEXT : CF_TEXT),
                        CopyBlock(source.text, source.textBytes)};
  for (int i = 0; i < kPrivacyFormatCount; ++i) {
    if (HGLOBAL mark = source.marks[i]) {
      handovers[count++] = {PrivacyFormat(i), CopyBlock(mark, GlobalSize(mark))};
    }
  }
  bool copied = true;
  for (int i = 0; i < count; ++i) copied = copied && handovers[i].block;
  const bool opened = copied && OpenClipboardPatiently(owner);
  const bool secret = IsSecret(source);
  if (!opened) {
    for (int i = 0; i < count; ++i) FreeBlock(handovers[i].block, secret);
    return copied ? ClipResult::kHeld : ClipResult::kFailed;
  }
  EmptyClipboard();
  bool taken = true;
  for (int i = 0; i < count; ++i) {
    // Once taken, a copy is the clipboard's; a refused one is still ours to free.
    if (gSetClipboardData(handovers[i].format, handovers[i].block)) continue;
    FreeBlock(handovers[i].block, secret);
    taken = false;
  }
  CloseClipboard();
  if (taken) {
    gPoppedSlot = slot;
    gPoppedSequence = GetClipboardSequenceNumber();
  }
  return taken ? ClipResult::kDone : ClipResult::kFailed;
}

void ReleaseAllSlots() {
  for (Slot& slot : gSlots) FreeSlot(slot);
}

SlotContents SlotOf(int slot) {
  SlotContents contents;
  if (!IsSlotIndex(slot) || !gSlots[slot].text) return contents;
  const Slot& s = gSlots[slot];
  contents.block = s.text;
  contents.wide = s.wide;
  contents.codePage = AnsiCodePageOf(s.locale);
  contents.captionSize = s.ansiSize;
  for (HGLOBAL mark : s.marks) contents.secret = contents.secret || mark;
  return contents;
}

SlotShare ShareSlot(int slot) {
  const SlotContents contents = SlotOf(slot);
  if (!contents.block || contents.secret) return {};
  const Slot& s = gSlots[slot];
  SlotShare share{s.text, s.textBytes, s.wide, s.locale, s.ansiSize};
  {
    SharesLock lock;
    Share* free = nullptr;
    for (Share& entry : gShares) {
      if (entry.block == s.text) {
        ++entry.holders;
        return share;
      }
      if (!entry.block && !free) free = &entry;
    }
    if (free) {
      *free = {s.text, 2, false};
      return share;
    }
  }
  share.block = CopyBlock(s.text, s.textBytes);
  return share;
}

namespace {

// Lets go of a block; `wipe` marks it for wiping by whoever lets go last.
void LetGo(HGLOBAL block, bool wipe) {
  if (!block) return;
  {
    SharesLock lock;
    for (Share& entry : gShares) {
      if (entry.block != block) continue;
      entry.wipe = entry.wipe || wipe;
      wipe = entry.wipe;
      if (--entry.holders > 0) return;
      entry = Share{};
      break;
    }
  }
  FreeBlock(block, wipe);
}

}  // namespace

void ReleaseShare(HGLOBAL block) {
  LetGo(block, false);
}

void WipeSlot(int slot) {
  if (!IsSlotIndex(slot)) return;
  Slot& s = gSlots[slot];
  if (IsSecret(s)) {
    FreeSlot(s);  // never shared: wiped here
    return;
  }
  LetGo(s.text, true);
  s.text = nullptr;
  FreeSlot(s);
}

bool ClipboardHoldsPop(int slot) {
  if (slot != gPoppedSlot || GetClipboardSequenceNumber() != gPoppedSequence) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(GetClipboardOwner(), &process);
  return process == GetCurrentProcessId();
}

void WithdrawPop(HWND owner, int slot) {
  if (!ClipboardHoldsPop(slot) || !OpenClipboard(owner)) return;
  EmptyClipboard();
  CloseClipboard();
  gPoppedSlot = -1;
}

void AdoptSlot(int slot, const SlotShare& text) {
  if (!IsSlotIndex(slot)) return;
  FreeSlot(gSlots[slot]);
  Slot& s = gSlots[slot];
  s.text = text.block;
  s.textBytes = text.bytes;
  s.wide = text.wide;
  s.locale = text.locale;
  s.ansiSize = text.captionSize;
}

HGLOBAL SlotBlock(int slot) {
  return IsSlotIndex(slot) ? gSlots[slot].text : nullptr;
}

ClipResult OfferSlot(HWND owner, int slot) {
  HighPriorityScope high;
  if (!IsSlotIndex(slot) || !gSlots[slot].text) return ClipResult::kFailed;
  const Slot& source = gSlots[slot];
  // A mark offered with a zero DWORD asks every reader to skip, whatever its name.
  static constexpr DWORD kSkip = 0;
  Handover handovers[1 + kPrivacyFormatCount] = {};
  handovers[0] = {CF_LOCALE, NewBlock(&source.locale, sizeof source.locale, 0)};
  for (int i = 0; i < kPrivacyFormatCount; ++i) {
    HGLOBAL mark = source.marks[i];
    handovers[1 + i] = {PrivacyFormat(i), mark ? CopyBlock(mark, GlobalSize(mark))
                                               : NewBlock(&kSkip, sizeof kSkip, 0)};
  }
  const bool secret = IsSecret(source);
  const Offer offer{static_cast<UINT>(source.wide ? CF_UNICODETEXT : CF_TEXT),
                    CopyBlock(source.text, source.textBytes), secret};
  bool copied = offer.block != nullptr;
  for (const Handover& h : handovers) copied = copied && h.block;
  const bool opened = copied && OpenClipboardPatiently(owner);
  if (!opened) {
    for (const Handover& h : handovers) FreeBlock(h.block, false);
    FreeBlock(offer.block, secret);
    return copied ? ClipResult::kHeld : ClipResult::kFailed;
  }
  EmptyClipboard();
  DropOffer();
  SetClipboardData(offer.format, nullptr);  // null: rendered when asked for
  bool taken = true;
  for (const Handover& h : handovers) {
    if (gSetClipboardData(h.format, h.block)) continue;
    FreeBlock(h.block, false);
    taken = false;
  }
  CloseClipboard();
  gOffer = offer;
  return taken ? ClipResult::kDone : ClipResult::kFailed;
}

bool RenderOffer(UINT format) {
  if (!gOffer.block || format != gOffer.format) return false;
  if (!gSetClipboardData(format, gOffer.block)) return false;
  gOffer.block = nullptr;  // the clipboard's now
  return true;
}

void DropOffer() {
  FreeBlock(gOffer.block, gOffer.secret);
  gOffer = Offer{};
}

}  // namespace pinnafex
