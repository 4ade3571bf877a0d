#include "borrow/clipboard_loan.h"

#include <process.h>

#include <atomic>
#include <cstring>

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

// The kept formats, in a block of the process heap grown as they come: running out of memory is
// an answer here, never an exception.
struct KeptList {
  KeptFormat* items = nullptr;
  int count = 0;
  int capacity = 0;
};
const KeptFormat* begin(const KeptList& list) {
  return list.items;
}
const KeptFormat* end(const KeptList& list) {
  return list.items + list.count;
}
bool Append(KeptList& list, const KeptFormat& kept) {
  if (list.count == list.capacity) {
    const int capacity = list.capacity ? 2 * list.capacity : 16;
    const SIZE_T bytes = capacity * sizeof(KeptFormat);
    void* grown = list.items ? HeapReAlloc(GetProcessHeap(), 0, list.items, bytes)
                             : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown) return false;
    list.items = static_cast<KeptFormat*>(grown);
    list.capacity = capacity;
  }
  list.items[list.count++] = kept;
  return true;
}
void Release(KeptList& list) {
  if (list.items) HeapFree(GetProcessHeap(), 0, list.items);
  list = KeptList{};
}

KeptList gKept;

// A job handed to a thread, in the process heap: null when memory ran out, never a throw.
template <typename Job>
Job* NewJob(const Job& job) {
  auto* copy = static_cast<Job*>(HeapAlloc(GetProcessHeap(), 0, sizeof(Job)));
  if (copy) *copy = job;
  return copy;
}
void FreeJob(void* job) {
  if (job) HeapFree(GetProcessHeap(), 0, job);
}
bool gKeptHeld = false;     // a copy is kept (it may hold no format: an empty clipboard)
bool gKeptPrivate = false;  // its source marked it private: wiped, and it leaves after a while
DWORD gKeptSequence = 0;    // the clipboard's sequence number at the keeping
std::atomic<DWORD> gGivenSequence{0};  // and once it was given back
std::atomic<bool> gGiven{false};

// A giving back runs on a thread of its own: writing 32 MB to the clipboard takes the system
// longer than the bar may stand still.
struct GiveBackJob {
  KeptList kept;
  bool secret;
  HWND owner;
};
HANDLE gGiving = nullptr;
constexpr DWORD kGivingWaitMs = 3000;
constexpr SIZE_T kInlineGiveBackBytes = 4 * 1024 * 1024;  // less is written at once, in place
SIZE_T gKeptBytes = 0;

// A keeping runs on a thread of its own too: the system hands over a large clipboard slowly.
struct KeepJob {
  HWND owner;
  UINT doneMessage;
  HANDLE giving;  // a giving back still under way, to wait for
};
KeepResult gKeepResult = KeepResult::kKept;
// The keeping thread lives as long as the bar: starting one for each paste cost more than the
// keeping of a small clipboard.
HANDLE gKeepThread = nullptr;
HANDLE gKeepAsked = nullptr;  // a job waits in gKeepJob
HANDLE gKeepDone = nullptr;   // set while no keeping runs
KeepJob gKeepJob{};
bool gKeeping = false;

// Waits for `done` while answering the messages sent to the bar's windows meanwhile: the
// system asks the clipboard's owner to render or to let go.
void WaitAnswering(HANDLE done, DWORD limitMs) {
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; limitMs == INFINITE || waited < limitMs; waited = GetTickCount() - start) {
    const DWORD left = limitMs == INFINITE ? INFINITE : limitMs - waited;
    if (MsgWaitForMultipleObjects(1, &done, FALSE, left, QS_SENDMESSAGE) != WAIT_OBJECT_0 + 1)
      break;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

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
  auto* logical = static_cast<LOGPALETTE*>(
      HeapAlloc(GetProcessHeap(), 0, sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY)));
  if (!logical) return nullptr;
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  GetPaletteEntries(palette, 0, count, logical->palPalEntry);
  HPALETTE copy = CreatePalette(logical);
  HeapFree(GetProcessHeap(), 0, logical);
  return copy;
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
    if (!Append(gKept, {format, kind, copy})) {
      FreeFormat({format, kind, copy}, true);
      return false;
    }
    if (kind == FormatKind::kMemory) gKeptBytes += GlobalSize(copy);
    gKeptPrivate = gKeptPrivate || IsPrivacyMark(format);
  }
  return true;
}

}  // namespace

namespace {

// Runs on the keeping's thread, or in place when no thread could start; the bar's thread reads
// what it wrote only once it has ended.
KeepResult KeepNow(HWND owner) {
  if (!OpenClipboardPatiently(owner)) return KeepResult::kHeld;
  gKeptPrivate = false;
  gKeptBytes = 0;
  const bool copied = CopyAll();
  gKeptSequence = GetClipboardSequenceNumber();
  CloseClipboard();
  if (!copied) {
    for (const KeptFormat& kept : gKept) FreeFormat(kept, gKeptPrivate);
    Release(gKept);
  }
  return copied ? KeepResult::kKept : KeepResult::kNoMemory;
}

unsigned __stdcall KeepThread(void*) {
  for (;;) {
    WaitForSingleObject(gKeepAsked, INFINITE);
    const KeepJob keep = gKeepJob;
    if (keep.giving) {  // what is kept is the clipboard given back, not the slot before it
      WaitForSingleObject(keep.giving, kGivingWaitMs);
      CloseHandle(keep.giving);
    }
    gKeepResult = KeepNow(keep.owner);
    SetEvent(gKeepDone);
    PostMessageA(keep.owner, keep.doneMessage, 0, 0);
  }
}

bool KeepThreadReady() {
  if (gKeepThread) return true;
  if (!gKeepAsked) gKeepAsked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!gKeepDone) gKeepDone = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  unsigned id = 0;
  if (gKeepAsked && gKeepDone)
    gKeepThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, KeepThread, nullptr, 0, &id));
  return gKeepThread != nullptr;
}

}  // namespace

void StartKeepingClipboard(HWND owner, UINT doneMessage) {
  FinishKeeping();
  if (!gKeptHeld) {
    HANDLE giving = nullptr;
    if (gGiving) {
      DuplicateHandle(GetCurrentProcess(), gGiving, GetCurrentProcess(), &giving, SYNCHRONIZE,
                      FALSE, 0);
    }
    if (KeepThreadReady()) {
      gKeepJob = {owner, doneMessage, giving};
      ResetEvent(gKeepDone);
      gKeeping = true;
      SetEvent(gKeepAsked);
      return;
    }
    if (giving) CloseHandle(giving);
    FinishGivingBack();  // no thread to spare: here, then
    gKeepResult = KeepNow(owner);
    gKeptHeld = gKeepResult == KeepResult::kKept;
  }
  PostMessageA(owner, doneMessage, 0, 0);
}

KeepResult FinishKeeping() {
  if (gKeeping) {
    WaitAnswering(gKeepDone, INFINITE);
    gKeeping = false;
    gKeptHeld = gKeepResult == KeepResult::kKept;
  }
  return gKeptHeld ? KeepResult::kKept : gKeepResult;
}

bool ClipboardKept() {
  return gKeptHeld;
}

bool ClipboardChangedSinceKept() {
  return GetClipboardSequenceNumber() != gKeptSequence;
}

namespace {

void PutBack(GiveBackJob& job) {
  if (!OpenClipboardPatiently(job.owner)) {
    for (const KeptFormat& kept : job.kept) FreeFormat(kept, job.secret);
    Release(job.kept);
    return;
  }
  EmptyClipboard();
  bool marked = false;
  for (const KeptFormat& kept : job.kept) {
    marked = marked || kept.format == PrivacyFormat(kHistoryMark);
    // Taken: the clipboard's now. Refused: ours to free.
    if (!SetClipboardData(kept.format, kept.data)) FreeFormat(kept, job.secret);
  }
  // It is in the histories already; giving it back must not record it again.
  static constexpr DWORD kNoHistory = 0;
  HGLOBAL mark = marked ? nullptr : NewBlock(&kNoHistory, sizeof kNoHistory, 0);
  if (mark && !SetClipboardData(PrivacyFormat(kHistoryMark), mark)) GlobalFree(mark);
  CloseClipboard();
  Release(job.kept);
  gGivenSequence = GetClipboardSequenceNumber();
  gGiven = true;
}

unsigned __stdcall GiveBackThread(void* job) {
  PutBack(*static_cast<GiveBackJob*>(job));
  FreeJob(job);
  return 0;
}

}  // namespace

void FinishGivingBack() {
  if (!gGiving) return;
  // Emptying the clipboard sends its owner, a window of this thread, a message.
  WaitAnswering(gGiving, kGivingWaitMs);
  CloseHandle(gGiving);
  gGiving = nullptr;
}

bool GiveClipboardBack(HWND owner) {
  FinishKeeping();
  if (!gKeptHeld) return false;
  FinishGivingBack();
  const bool secret = gKeptPrivate;
  GiveBackJob here{gKept, secret, owner};
  gKept = KeptList{};
  gKeptHeld = false;
  gKeptPrivate = false;
  gGiven = false;
  auto* job = gKeptBytes < kInlineGiveBackBytes ? nullptr : NewJob(GiveBackJob{});
  unsigned id = 0;
  if (job) {
    *job = here;
    gGiving = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, GiveBackThread, job, 0, &id));
  }
  if (!gGiving) {  // small, or no memory or thread to spare: here, then
    PutBack(job ? *job : here);
    FreeJob(job);
  }
  return secret;
}

void DropKeptClipboard() {
  FinishKeeping();
  for (const KeptFormat& kept : gKept) FreeFormat(kept, gKeptPrivate);
  Release(gKept);
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
  FinishGivingBack();
  if (!OpenClipboard(owner)) return;
  DWORD process = 0;
  GetWindowThreadProcessId(GetClipboardOwner(), &process);
  UINT wiped[64];  // the memory formats wiped so far, to tell the system's conversions
  int wipedCount = 0;
  for (UINT format = EnumClipboardFormats(0); format && process == GetCurrentProcessId();
       format = EnumClipboardFormats(format)) {
    bool derived = false;  // the system's conversion, freed by the system
    for (int i = 0; i < wipedCount; ++i) derived = derived || DerivedFrom(format, wiped[i]);
    if (derived || KindOf(format) != FormatKind::kMemory) continue;
    if (wipedCount < static_cast<int>(sizeof wiped / sizeof *wiped)) wiped[wipedCount++] = format;
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
