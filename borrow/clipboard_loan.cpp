#include "borrow/clipboard_loan.h"

#include <cstring>
#include <vector>

#include "borrow/borrow_rules.h"
#include "slots/clip_formats.h"

namespace pinnafex {

KeepAllocator gKeepAlloc = GlobalAlloc;

namespace {

struct KeptFormat {
  UINT format;
  FormatKind kind;
  HANDLE data;
};

std::vector<KeptFormat> gKept;
bool gKeptHeld = false;      // a copy is kept (it may hold no format: an empty clipboard)
bool gKeptPrivate = false;   // its source marked it private: wiped, and it leaves after a while
DWORD gKeptSequence = 0;     // the clipboard's sequence number at the keeping
DWORD gGivenSequence = 0;    // and once it was given back
bool gGiven = false;

constexpr int kHistoryMark = 1;  // PrivacyFormat's "CanIncludeInClipboardHistory"

HGLOBAL CopyBytes(HANDLE data) {
  const SIZE_T size = GlobalSize(data);
  const void* from = GlobalLock(data);
  if (!from) return nullptr;
  HGLOBAL copy = gKeepAlloc(GMEM_MOVEABLE, size ? size : 1);
  void* to = copy ? GlobalLock(copy) : nullptr;
  if (to) {
    std::memcpy(to, from, size);
    GlobalUnlock(copy);
  } else if (copy) {
    GlobalFree(copy);
    copy = nullptr;
  }
  GlobalUnlock(data);
  return copy;
}

HANDLE CopyPalette(HANDLE data) {
  const auto palette = static_cast<HPALETTE>(data);
  const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  GetPaletteEntries(palette, 0, count, logical->palPalEntry);
  return CreatePalette(logical);
}

HANDLE CopyMetafilePict(HANDLE data) {
  const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(data));
  if (!picture) return nullptr;
  METAFILEPICT copy = *picture;
  GlobalUnlock(data);
  copy.hMF = CopyMetaFileA(copy.hMF, nullptr);
  HGLOBAL block = copy.hMF ? NewBlock(&copy, sizeof copy, 0) : nullptr;
  if (!block && copy.hMF) DeleteMetaFile(copy.hMF);
  return block;
}

HANDLE CopyFormat(FormatKind kind, HANDLE data) {
  switch (kind) {
    case FormatKind::kBitmap:
      return CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
    case FormatKind::kPalette:
      return CopyPalette(data);
    case FormatKind::kEnhMetafile:
      return CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
    case FormatKind::kMetafilePict:
      return CopyMetafilePict(data);
    case FormatKind::kMemory:
      break;
  }
  return CopyBytes(data);
}

void FreeFormat(const KeptFormat& kept, bool wipe) {
  switch (kept.kind) {
    case FormatKind::kBitmap:
    case FormatKind::kPalette:
      DeleteObject(kept.data);
      return;
    case FormatKind::kEnhMetafile:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(kept.data));
      return;
    case FormatKind::kMetafilePict:
      if (const auto* picture = static_cast<const METAFILEPICT*>(GlobalLock(kept.data))) {
        DeleteMetaFile(picture->hMF);
        GlobalUnlock(kept.data);
      }
      GlobalFree(kept.data);
      return;
    case FormatKind::kMemory:
      FreeBlock(static_cast<HGLOBAL>(kept.data), wipe);
      return;
  }
}

bool IsPrivacyMark(UINT format) {
  for (int i = 0; i < kPrivacyFormatCount; ++i) {
    if (PrivacyFormat(i) == format) return true;
  }
  return false;
}

// Copies the open clipboard's formats; false when memory ran out.
bool CopyAll() {
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    char name[128] = "";
    if (format >= 0xC000) GetClipboardFormatNameA(format, name, sizeof name);
    if (!KeepsFormat(format, name[0] ? name : nullptr)) continue;
    bool derived = false;
    for (const KeptFormat& kept : gKept) derived = derived || DerivedFrom(format, kept.format);
    if (derived) continue;
    HANDLE data = GetClipboardData(format);
    if (!data) continue;  // offered but never rendered: nothing to keep
    const FormatKind kind = KindOf(format);
    HANDLE copy = CopyFormat(kind, data);
    if (!copy) return false;
    gKept.push_back({format, kind, copy});
    gKeptPrivate = gKeptPrivate || IsPrivacyMark(format);
  }
  return true;
}

}  // namespace

KeepResult KeepClipboard(HWND owner) {
  if (gKeptHeld) return KeepResult::kKept;
  if (!OpenClipboardPatiently(owner)) return KeepResult::kHeld;
  gKeptPrivate = false;
  const bool copied = CopyAll();
  gKeptSequence = GetClipboardSequenceNumber();
  CloseClipboard();
  gKeptHeld = copied;
  if (!copied) DropKeptClipboard();
  return copied ? KeepResult::kKept : KeepResult::kNoMemory;
}

bool ClipboardKept() {
  return gKeptHeld;
}

bool ClipboardChangedSinceKept() {
  return GetClipboardSequenceNumber() != gKeptSequence;
}

bool GiveClipboardBack(HWND owner) {
  if (!gKeptHeld) return false;
  const bool secret = gKeptPrivate;
  if (!OpenClipboardPatiently(owner)) {
    DropKeptClipboard();
    return false;
  }
  EmptyClipboard();
  bool marked = false;
  for (const KeptFormat& kept : gKept) {
    marked = marked || kept.format == PrivacyFormat(kHistoryMark);
    // Taken: the clipboard's now. Refused: ours to free.
    if (!SetClipboardData(kept.format, kept.data)) FreeFormat(kept, secret);
  }
  gKept.clear();
  // It is in the histories already; giving it back must not record it again.
  static constexpr DWORD kNoHistory = 0;
  HGLOBAL mark = marked ? nullptr : NewBlock(&kNoHistory, sizeof kNoHistory, 0);
  if (mark && !SetClipboardData(PrivacyFormat(kHistoryMark), mark)) GlobalFree(mark);
  CloseClipboard();
  gGivenSequence = GetClipboardSequenceNumber();
  gGiven = true;
  gKeptHeld = false;
  gKeptPrivate = false;
  return secret;
}

void DropKeptClipboard() {
  for (const KeptFormat& kept : gKept) FreeFormat(kept, gKeptPrivate);
  gKept.clear();
  gKeptHeld = false;
  gKeptPrivate = false;
}

bool ClipboardHoldsGivenBack() {
  if (!gGiven || GetClipboardSequenceNumber() != gGivenSequence) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(GetClipboardOwner(), &process);
  return process == GetCurrentProcessId();
}

void WipeClipboard(HWND owner) {
  if (!OpenClipboard(owner)) return;
  DWORD process = 0;
  GetWindowThreadProcessId(GetClipboardOwner(), &process);
  std::vector<UINT> wiped;
  for (UINT format = EnumClipboardFormats(0); format && process == GetCurrentProcessId();
       format = EnumClipboardFormats(format)) {
    bool derived = false;  // the system's conversion, freed by the system
    for (UINT earlier : wiped) derived = derived || DerivedFrom(format, earlier);
    if (derived || KindOf(format) != FormatKind::kMemory) continue;
    wiped.push_back(format);
    HANDLE data = GetClipboardData(format);
    if (void* bytes = data ? GlobalLock(data) : nullptr) {
      SecureZeroMemory(bytes, GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  EmptyClipboard();
  CloseClipboard();
  gGiven = false;
}

}  // namespace pinnafex
