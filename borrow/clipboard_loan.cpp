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

bool gKeptHeld = false;     // a copy is kept (it may hold no format: an empty clipboard)
bool gKeptPrivate = false;  // its source marked it private: wiped, and it leaves after a while
DWORD gKeptSequence = 0;    // the clipboard's sequence number at the keeping
DWORD gGivenSequence = 0;   // and once it was given back
SIZE_T gKeptBytes = 0;      // the memory formats' bytes
bool gGiven = false;

// A large format goes back as an offer (delayed rendering): the lender, a window of the keeping
// thread, writes it when a program asks for it, or when the bar ends. Writing 32 MB to the
// clipboard takes the system longer than the bar may stand still, and most given back clipboards
// are never read again.
constexpr SIZE_T kOfferedBytes = 4 * 1024 * 1024;  // less is written at once
std::atomic<HWND> gLender{nullptr};
// The formats offered and not yet written, guarded by gLentLock: the lender writes them from its
// thread.
KeptList gLent;
CRITICAL_SECTION gLentLock;
constexpr UINT kRenderAllMessage = WM_APP;  // the bar is ending: write what is still offered
constexpr DWORD kRenderAllWaitMs = 5000;

// A keeping runs on a thread of its own: the system hands over a large clipboard slowly.
struct KeepJob {
  HWND owner;
  UINT doneMessage;
};
KeepResult gKeepResult = KeepResult::kKept;
// The keeping thread lives as long as the bar: starting one for each paste cost more than the
// keeping of a small clipboard.
HANDLE gKeepThread = nullptr;
HANDLE gKeepAsked = nullptr;  // a job waits in gKeepJob
HANDLE gKeepDone = nullptr;   // set while no keeping runs
KeepJob gKeepJob{};
bool gKeeping = false;

// Waits for `done` (or for the time alone, without it) while answering the messages sent to
// this thread's windows meanwhile: the system asks the clipboard's owner to render or to let go.
void WaitAnswering(HANDLE done, DWORD limitMs) {
  const DWORD count = done ? 1 : 0;
  const DWORD start = GetTickCount();
  for (DWORD waited = 0; limitMs == INFINITE || waited < limitMs; waited = GetTickCount() - start) {
    const DWORD left = limitMs == INFINITE ? INFINITE : limitMs - waited;
    if (MsgWaitForMultipleObjects(count, &done, FALSE, left, QS_SENDMESSAGE) !=
        WAIT_OBJECT_0 + count)
      break;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// The keeping thread's pause while another program holds the clipboard: whoever empties it
// meanwhile waits for the lender to let go.
void WINAPI PauseAnswering(DWORD ms) {
  WaitAnswering(nullptr, ms);
}

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

// The lender's own data for `format` while it is offered, so that keeping a loan again copies it
// without writing it to the clipboard first; else null.
HANDLE LentData(UINT format) {
  HANDLE data = nullptr;
  EnterCriticalSection(&gLentLock);
  for (const KeptFormat& lent : gLent) data = lent.format == format ? lent.data : data;
  LeaveCriticalSection(&gLentLock);
  return data;
}

// Copies the open clipboard's formats; false when memory ran out.
bool CopyAll() {
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    char name[128] = "";
    if (format >= 0xC000) GetClipboardFormatNameA(format, name, sizeof name);
    // The bar's own mark is added again when this goes back, if it is still wanted then.
    if (!KeepsFormat(format, name[0] ? name : nullptr) || IsOwnHistoryMark(format)) continue;
    bool derived = false;
    for (const KeptFormat& kept : gKept) derived = derived || DerivedFrom(format, kept.format);
    if (derived) continue;
    HANDLE data = LentData(format);
    if (!data) data = GetClipboardData(format);
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
KeepResult KeepNow(HWND owner, OpenPause pause) {
  if (!OpenClipboardPatiently(owner, pause)) return KeepResult::kHeld;
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

// Writes the offered `format`, or every offered format when `format` is 0; the clipboard is
// open. What the system took is no longer the lender's.
void RenderLent(UINT format) {
  EnterCriticalSection(&gLentLock);
  int kept = 0;
  for (const KeptFormat& lent : gLent) {
    const bool asked = format == 0 || lent.format == format;
    if (!asked || !SetClipboardData(lent.format, lent.data)) gLent.items[kept++] = lent;
  }
  gLent.count = kept;
  LeaveCriticalSection(&gLentLock);
}

// Lets go of what is still offered: the clipboard was emptied.
void DropLent() {
  EnterCriticalSection(&gLentLock);
  for (const KeptFormat& lent : gLent) FreeFormat(lent, false);
  Release(gLent);
  LeaveCriticalSection(&gLentLock);
}

LRESULT CALLBACK LenderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT:
      RenderLent(static_cast<UINT>(wParam));
      return 0;
    case WM_RENDERALLFORMATS:
    case kRenderAllMessage:
      if (OpenClipboardPatiently(window, PauseAnswering)) {
        // Writing moves the sequence number; the bar's own history mark stays its own.
        const bool ownMark = IsOwnHistoryMark(PrivacyFormat(kHistoryMark));
        if (GetClipboardOwner() == window) RenderLent(0);
        CloseClipboard();
        if (ownMark) NoteOwnHistoryMark(GetClipboardSequenceNumber());
      }
      return 0;
    case WM_DESTROYCLIPBOARD:
      DropLent();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND CreateLender() {
  WNDCLASSA lenderClass{};
  lenderClass.lpfnWndProc = LenderProc;
  lenderClass.hInstance = GetModuleHandleA(nullptr);
  lenderClass.lpszClassName = "PinnafexLender";
  RegisterClassA(&lenderClass);
  return CreateWindowExA(0, lenderClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         lenderClass.hInstance, nullptr);
}

unsigned __stdcall KeepThread(void*) {
  gLender = CreateLender();
  for (;;) {
    if (MsgWaitForMultipleObjects(1, &gKeepAsked, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) {
      gKeepResult = KeepNow(gKeepJob.owner, PauseAnswering);
      SetEvent(gKeepDone);
      PostMessageA(gKeepJob.owner, gKeepJob.doneMessage, 0, 0);
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

bool KeepThreadReady() {
  if (gKeepThread) return true;
  static bool lentLockReady = false;
  if (!lentLockReady) InitializeCriticalSection(&gLentLock);
  lentLockReady = true;
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
    if (KeepThreadReady()) {
      gKeepJob = {owner, doneMessage};
      ResetEvent(gKeepDone);
      gKeeping = true;
      SetEvent(gKeepAsked);
      return;
    }
    gKeepResult = KeepNow(owner, Sleep);  // no thread to spare: here, then
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

bool Offered(const KeptFormat& kept) {
  return kept.kind == FormatKind::kMemory && GlobalSize(kept.data) >= kOfferedBytes;
}

// Offers `kept` when the lender may take it, else writes it; the clipboard is open. False when
// the system refused it.
bool PutFormat(const KeptFormat& kept, bool lend) {
  if (lend && Offered(kept)) {
    EnterCriticalSection(&gLentLock);
    bool offered = Append(gLent, kept);
    SetLastError(ERROR_SUCCESS);
    if (offered) SetClipboardData(kept.format, nullptr);  // null, offered or refused
    if (offered && GetLastError() != ERROR_SUCCESS) {
      --gLent.count;
      offered = false;
    }
    LeaveCriticalSection(&gLentLock);
    if (offered) return true;
  }
  return SetClipboardData(kept.format, kept.data) != nullptr;
}

}  // namespace

void FinishGivingBack() {
  HWND lender = gLender;
  if (!lender) return;
  EnterCriticalSection(&gLentLock);
  const bool lent = gLent.count > 0;
  LeaveCriticalSection(&gLentLock);
  DWORD_PTR done = 0;
  if (lent)
    SendMessageTimeoutA(lender, kRenderAllMessage, 0, 0, SMTO_NORMAL, kRenderAllWaitMs, &done);
}

bool GiveClipboardBack(HWND owner) {
  FinishKeeping();
  if (!gKeptHeld) return false;
  const bool secret = gKeptPrivate;
  KeptList kept = gKept;
  gKept = KeptList{};
  gKeptHeld = false;
  gKeptPrivate = false;
  gGiven = false;
  // A secret is never left with the lender: it leaves the clipboard wiped, after a while.
  HWND lender = gLender;
  const bool lend = lender && !secret && gKeptBytes >= kOfferedBytes;
  if (!OpenClipboardPatiently(lend ? lender : owner)) {
    for (const KeptFormat& format : kept) FreeFormat(format, secret);
    Release(kept);
    return secret;
  }
  EmptyClipboard();  // an earlier loan is let go here
  bool marked = false;
  for (const KeptFormat& format : kept) {
    marked = marked || format.format == PrivacyFormat(kHistoryMark);
    // Taken or offered: the clipboard's now. Refused: ours to free.
    if (!PutFormat(format, lend)) FreeFormat(format, secret);
  }
  // It is in the histories already; giving it back must not record it again.
  static constexpr DWORD kNoHistory = 0;
  HGLOBAL mark = marked ? nullptr : NewBlock(&kNoHistory, sizeof kNoHistory, 0);
  if (mark && !SetClipboardData(PrivacyFormat(kHistoryMark), mark)) GlobalFree(mark);
  CloseClipboard();
  Release(kept);
  gGivenSequence = GetClipboardSequenceNumber();
  gGiven = true;
  if (!marked) NoteOwnHistoryMark(gGivenSequence);
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
