#include "shell/hotkeys.h"

#include <process.h>

#include <atomic>

#include "base/bar_ids.h"
#include "borrow/borrow_rules.h"
#include "borrow/clipboard_loan.h"
#include "clock/ticker.h"
#include "shell/copy_arming.h"
#include "shell/hotkey_presses.h"
#include "shell/hotkey_table.h"
#include "slots/slot_store.h"

namespace pinnafex {

namespace {

// Not in the headers of the oldest systems the bar runs on.
constexpr auto kTokenIntegrityLevel = static_cast<TOKEN_INFORMATION_CLASS>(25);
constexpr DWORD kQueryLimitedInformation = 0x1000;  // Vista and later

// The last sub-authority of the token's integrity label: its level.
bool ReadIntegrity(DWORD processId, DWORD& level) {
  HANDLE process = OpenProcess(kQueryLimitedInformation, FALSE, processId);
  if (!process) process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
  HANDLE token = nullptr;
  const bool opened = process && OpenProcessToken(process, TOKEN_QUERY, &token);
  if (process) CloseHandle(process);
  if (!opened) return false;
  alignas(SID_AND_ATTRIBUTES) BYTE label[128];
  DWORD size = 0;
  const bool read = GetTokenInformation(token, kTokenIntegrityLevel, label, sizeof label, &size);
  CloseHandle(token);
  if (!read) return false;
  PSID sid = reinterpret_cast<const SID_AND_ATTRIBUTES*>(label)->Sid;
  level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
  return true;
}

}  // namespace

InputSender gSendInput = SendInput;
ForegroundReader gForegroundWindow = GetForegroundWindow;
KeyStateReader gKeyState = GetAsyncKeyState;
HookSetter gSetHook = SetWindowsHookExA;
IntegrityReader gReadIntegrity = ReadIntegrity;

namespace {

static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT,
              "hotkey modifiers as RegisterHotKey takes them");

// Windows 7 and later: holding the key down acts once. Wine ignores it; the key watch below
// does the same there.
constexpr UINT kNoRepeat = 0x4000;  // MOD_NOREPEAT
constexpr UINT kCopyPollMs = 30;
// Marks our own keystrokes for the key watch.
constexpr ULONG_PTR kOwnKeys = 0x5046584B;
constexpr ULONG_PTR kOwnRepress = 0x50465852;
constexpr DWORD kWatchStartMs = 2000;
constexpr UINT kLoanPollMs = 50;
constexpr UINT kSecretMs = 15000;  // a secret Popped stays on the clipboard this long
// The watch runs on a thread of its own: a moment for it to catch up with the system.
constexpr int kCatchUpTries = 5;
constexpr DWORD kCatchUpPauseMs = 10;

bool gHeld[kHotkeyCount];  // the dialog holds the key
CopyArming gArming;

// The key watch: a low-level keyboard hook on a thread of its own, so that a busy bar never
// delays the keyboard. It follows the keys pressed and released by the user's hands and by
// other programs (never the bar's own keystrokes), counts each key's presses, and drops a
// modifier we press again after the user has let go of it.
std::atomic<bool> gWatching{false};
std::atomic<bool> gDown[256];
std::atomic<unsigned> gPresses[256];
std::atomic<unsigned> gUpMs[256];
unsigned gActed[256];  // presses acted on, by the bar's thread

// Pastes by key: the presses waiting, the one under way over the user's kept clipboard, and the
// process it was aimed at.
PressQueue gQueue;
Loan gLoan;
DWORD gTargetProcess = 0;

// A paste or a copy by key waiting for the user's clipboard to be kept, on its own thread: what
// the press found when it came.
struct Pending {
  bool active = false;
  bool copy = false;
  int slot = -1;
  int tries = 0;
  HWND front = nullptr;
  WindowKeys keys{};
};
Pending gPending;
// Something wrote the clipboard while it was being kept: kept again, a few times at most.
constexpr int kKeepTries = 3;

// A secret the bar put on the clipboard, until it leaves.
enum class Secret { kNone, kPopped, kGivenBack };
Secret gSecret = Secret::kNone;
int gSecretSlot = -1;
HANDLE gWatchThread = nullptr;
DWORD gWatchThreadId = 0;

// Generic modifier codes as some sources report them, and their left and right keys.
struct SideRow {
  DWORD generic, left, right;
};
constexpr SideRow kSides[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                              {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                              {VK_MENU, VK_LMENU, VK_RMENU}};
constexpr DWORD kRightShiftScan = 0x36;

BYTE SidedKey(const KBDLLHOOKSTRUCT& key) {
  for (const SideRow& row : kSides) {
    if (key.vkCode != row.generic) continue;
    const bool right = row.generic == VK_SHIFT ? key.scanCode == kRightShiftScan
                                               : (key.flags & LLKHF_EXTENDED) != 0;
    return static_cast<BYTE>(right ? row.right : row.left);
  }
  return static_cast<BYTE>(key.vkCode);
}

LRESULT CALLBACK WatchKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const BYTE vk = SidedKey(key);
    const bool up = (key.flags & LLKHF_UP) != 0;
    const bool own = (key.flags & LLKHF_INJECTED) &&
                     (key.dwExtraInfo == kOwnKeys || key.dwExtraInfo == kOwnRepress);
    if (!own) {
      if (!up && !gDown[vk]) ++gPresses[vk];
      if (up) gUpMs[vk] = key.time;
      gDown[vk] = !up;
    } else if (key.dwExtraInfo == kOwnRepress && !up && !gDown[vk]) {
      return 1;  // released before our keystrokes came through: it stays up
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

unsigned __stdcall WatchKeysThread(void* started) {
  // Every key waits for the hook, and Windows drops a hook that answers late: even on a busy
  // machine this thread must get the processor at once, for the moment each key takes.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue that WM_QUIT will come to
  HHOOK hook = gSetHook(WH_KEYBOARD_LL, WatchKey, GetModuleHandleA(nullptr), 0);
  gWatching = hook != nullptr;
  SetEvent(static_cast<HANDLE>(started));
  if (!hook) return 0;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  gWatching = false;
  UnhookWindowsHookEx(hook);
  return 0;
}

void StartKeyWatch() {
  const unsigned now = GetTickCount();
  for (int vk = 0; vk < 256; ++vk) {
    gDown[vk] = gKeyState(vk) < 0;
    gPresses[vk] = 0;
    gActed[vk] = 0;
    gUpMs[vk] = now;  // a hotkey queued before counts as a repeat
  }
  HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!started) return;
  unsigned threadId = 0;
  gWatchThread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, WatchKeysThread, started, 0, &threadId));
  gWatchThreadId = threadId;
  if (gWatchThread) WaitForSingleObject(started, kWatchStartMs);
  CloseHandle(started);
}

void StopKeyWatch() {
  if (!gWatchThread) return;
  PostThreadMessageA(gWatchThreadId, WM_QUIT, 0, 0);
  WaitForSingleObject(gWatchThread, kWatchStartMs);
  CloseHandle(gWatchThread);
  gWatchThread = nullptr;
  gWatching = false;
}

// The watch's Ctrl, Shift and Alt as the system has them.
bool WatchAgrees() {
  for (const SideRow& row : kSides) {
    if ((gDown[row.left] || gDown[row.right]) != (gKeyState(static_cast<int>(row.generic)) < 0))
      return false;
  }
  return true;
}

// False for the repeats of a key held down. A press the watch missed (Windows drops a hook that
// answered late) still acts, and the watch starts afresh.
bool FreshPress(int key) {
  const unsigned char vk = SlotHotkey(key).virtualKey;
  const unsigned hotkeyMs = static_cast<unsigned>(GetMessageTime());
  PressVerdict verdict = PressVerdict::kWatchLost;
  for (int attempt = 0; gWatching && attempt < kCatchUpTries; ++attempt) {
    if (attempt) Sleep(kCatchUpPauseMs);
    const WatchedKey seen{gPresses[vk], gDown[vk], gUpMs[vk]};
    verdict = JudgeHotkey(seen, gActed[vk], hotkeyMs, WatchAgrees());
    if (verdict != PressVerdict::kWatchLost) return verdict == PressVerdict::kAct;
  }
  StopKeyWatch();
  StartKeyWatch();
  return true;
}

bool Register(HWND dialog, int key) {
  const HotkeyCombo combo = SlotHotkey(key);
  const int id = HotkeyId(key);
  // Older systems refuse the no-repeat flag; a key another program holds fails both.
  return RegisterHotKey(dialog, id, combo.modifiers | kNoRepeat, combo.virtualKey) ||
         RegisterHotKey(dialog, id, combo.modifiers, combo.virtualKey);
}

unsigned HeldModifierKeys() {
  unsigned held = 0;
  for (int i = 0; i < kModifierKeyCount; ++i) {
    if (GetAsyncKeyState(kModifierKeys[i].virtualKey) < 0) held |= 1u << i;
  }
  return held;
}

// A shortcut into `front`, in the scan codes of its thread's keyboard layout; false, heard and
// told, when the system took fewer.
bool SendShortcut(HWND front, ShortcutKey shortcut) {
  KeyStroke strokes[kMaxPasteKeystrokes];
  const std::size_t count = ShortcutKeystrokes(HeldModifierKeys(), shortcut, strokes);
  const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(front, nullptr));
  INPUT inputs[kMaxPasteKeystrokes] = {};
  for (std::size_t i = 0; i < count; ++i) {
    KEYBDINPUT& key = inputs[i].ki;
    inputs[i].type = INPUT_KEYBOARD;
    key.wVk = strokes[i].virtualKey;
    key.wScan = static_cast<WORD>(MapVirtualKeyExA(strokes[i].virtualKey, MAPVK_VK_TO_VSC, layout));
    key.dwFlags =
        (strokes[i].up ? KEYEVENTF_KEYUP : 0u) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0u);
    key.dwExtraInfo = strokes[i].onlyIfHeld ? kOwnRepress : kOwnKeys;
  }
  if (gSendInput(static_cast<UINT>(count), inputs, sizeof(INPUT)) == count) return true;
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(kKeysNotSentNotice, kNoticeTicks);
  return false;
}

// A window of the bar's own: a slot's secret must not land in the bar's edit fields.
bool OwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// A window of a higher integrity level than the bar's, or of a process whose token the bar may
// not read: the system drops keystrokes sent to it without a word. A system without levels has
// none.
bool Elevated(HWND window) {
  DWORD own = 0, theirs = 0, process = 0;
  if (!gReadIntegrity(GetCurrentProcessId(), own)) return false;
  GetWindowThreadProcessId(window, &process);
  return !gReadIntegrity(process, theirs) || theirs > own;
}

unsigned WindowsMajor() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) ? version.dwMajorVersion : 0;
}

WindowKeys KeysOf(HWND window) {
  char windowClass[64] = "";
  GetClassNameA(window, windowClass, sizeof windowClass);
  char path[MAX_PATH] = "";
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (HANDLE handle = OpenProcess(kQueryLimitedInformation, FALSE, process)) {
    DWORD size = sizeof path;
    using ImageNameReader = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto read = reinterpret_cast<ImageNameReader>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "QueryFullProcessImageNameA")));
    if (!read || !read(handle, 0, path, &size)) path[0] = '\0';
    CloseHandle(handle);
  }
  const char* file = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\') file = p + 1;
  }
  return KeysFor(windowClass, file, WindowsMajor());
}

bool ClipboardHasText() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

// Heard and told in the clock field.
HotkeyOutcome Told(const char* notice) {
  MessageBeep(MB_ICONWARNING);
  ShowTickerNotice(notice, kNoticeTicks);
  return {};
}

void TimeSecret(HWND dialog, Secret kind, int slot) {
  gSecret = kind;
  gSecretSlot = slot;
  SetTimer(dialog, kSecretTimerId, kSecretMs, nullptr);
}

// The user's clipboard back where the bar changed it, else the kept copy dropped; a private
// one leaves again after the secret's time.
void GiveBack(HWND dialog) {
  DropOffer();
  if (ClipboardKept() && ClipboardChangedSinceKept()) {
    if (GiveClipboardBack(dialog)) TimeSecret(dialog, Secret::kGivenBack, -1);
  }
  DropKeptClipboard();
  gLoan = Loan{};
}

// The paste goes on over the user's clipboard, kept.
HotkeyOutcome PasteKept(HWND dialog, int slot, HWND front, const WindowKeys& keys) {
  const ClipResult offered = OfferSlot(dialog, slot);
  if (offered != ClipResult::kDone) {
    GiveBack(dialog);
    return {offered, -1};
  }
  // The keeping, or a held clipboard, took a while: the keys go only where they were aimed.
  if (gForegroundWindow() != front) {
    GiveBack(dialog);
    return Told(kWindowChangedNotice);
  }
  if (!SendShortcut(front, keys.paste)) {
    GiveBack(dialog);
    return {};
  }
  GetWindowThreadProcessId(front, &gTargetProcess);
  gLoan.open = true;
  gLoan.read = false;
  gLoan.keysMs = GetTickCount();
  return {};
}

// One press of a slot's key: the slot offered in the user's clipboard's place and pasted into
// the window that was in front when the key came, and only into that one.
HotkeyOutcome PasteNow(HWND dialog, int slot) {
  HWND front = gForegroundWindow();
  if (OwnWindow(front)) return {};
  if (!SlotBlock(slot)) {
    MessageBeep(MB_OK);
    return {};
  }
  const WindowKeys keys = KeysOf(front);
  if (!keys.paste.virtualKey) return Told(kNoPasteKeyNotice);
  if (Elevated(front)) return Told(kElevatedNotice);
  // Presses in a row keep the user's clipboard once, from before the first.
  if (gLoan.open) return PasteKept(dialog, slot, front, keys);
  gPending = {true, false, slot, 0, front, keys};
  StartKeepingClipboard(dialog, kClipboardKeptMessage);
  return {};
}

// Pastes the presses waiting, each once its predecessor was read, and gives the clipboard back
// once the last is over.
HotkeyOutcome RunLoan(HWND dialog) {
  HotkeyOutcome outcome;
  for (bool more = true; more && !gPending.active;) {
    more = false;
    switch (StepLoan(gLoan, gQueue.count > 0, GetClipboardOwner() == dialog, GetTickCount())) {
      case LoanStep::kNextPaste: {
        const HotkeyOutcome pasted = PasteNow(dialog, NextPress(gQueue));
        if (pasted.popped != ClipResult::kDone) outcome = pasted;
        more = true;
        break;
      }
      case LoanStep::kGiveBack:
        GiveBack(dialog);
        break;
      case LoanStep::kLetGo:  // the user copied meanwhile: that stays
        DropOffer();
        DropKeptClipboard();
        gLoan = Loan{};
        break;
      case LoanStep::kWait:
        break;
    }
  }
  if (gLoan.open || gQueue.count) {
    SetTimer(dialog, kLoanTimerId, kLoanPollMs, nullptr);
  } else {
    KillTimer(dialog, kLoanTimerId);
  }
  return outcome;
}

void SecretDue(HWND dialog) {
  KillTimer(dialog, kSecretTimerId);
  // During a paste by key the user's clipboard is given back instead; a private one is timed
  // again from then.
  if (gLoan.open || gPending.active) return;
  const bool still =
      gSecret == Secret::kPopped ? ClipboardHoldsPop(gSecretSlot) : ClipboardHoldsGivenBack();
  if (gSecret != Secret::kNone && still) WipeClipboard(dialog);
  gSecret = Secret::kNone;
}

HotkeyOutcome Nothing(HWND, int) {
  return {};
}

HotkeyOutcome Arm(HWND dialog, int) {
  SetDlgItemTextA(dialog, kClockFieldId, kCopyPrompt);  // at once, not at the next tick
  return {};
}

HotkeyOutcome Beep(HWND, int) {
  MessageBeep(MB_OK);
  return {};
}

HotkeyOutcome Paste(HWND dialog, int slot) {
  if (!QueuePress(gQueue, slot)) return Beep(dialog, slot);
  return RunLoan(dialog);
}

// The user's clipboard is kept before the copy keystroke and goes back once the copy is over.
HotkeyOutcome Copy(HWND dialog, int) {
  HWND front = gForegroundWindow();
  const WindowKeys keys = KeysOf(front);
  HotkeyOutcome outcome;
  if (OwnWindow(front)) {
    gArming = {};
    return outcome;
  }
  if (!keys.copy.virtualKey) {
    gArming = {};
    return Told(kNoCopyKeyNotice);
  }
  gQueue = PressQueue{};  // a paste still under way ends first: what is kept is the user's
  if (gLoan.open) GiveBack(dialog);
  // A paste's keeping under way serves the copy as well.
  const bool keeping = gPending.active;
  gPending = {true, true, -1, 0, front, keys};
  if (!keeping) StartKeepingClipboard(dialog, kClipboardKeptMessage);
  return outcome;
}

HotkeyOutcome CopyKept(HWND dialog, HWND front, const WindowKeys& keys) {
  // The wait for the copied text starts now, from the clipboard as the keeping left it.
  gArming.sequence = GetClipboardSequenceNumber();
  gArming.sinceMs = GetTickCount();
  if (!SendShortcut(front, keys.copy)) {
    gArming = {};
    DropKeptClipboard();
  }
  return {};
}

HotkeyOutcome NothingCopied(HWND dialog, int) {
  GiveBack(dialog);
  return Told(kNothingCopiedNotice);
}

// Changed, but to no text (a picture): the slot keeps what it holds.
HotkeyOutcome Push(HWND dialog, int slot) {
  if (!ClipboardHasText()) return NothingCopied(dialog, slot);
  return {ClipResult::kDone, slot};
}

struct ActionRow {
  KeyAction action;
  HotkeyOutcome (*handler)(HWND dialog, int slot);
};
constexpr ActionRow kActions[] = {
    {KeyAction::kNone, Nothing},
    {KeyAction::kArm, Arm},
    {KeyAction::kDisarm, Nothing},
    {KeyAction::kPaste, Paste},
    {KeyAction::kCopy, Copy},
    {KeyAction::kPush, Push},
    {KeyAction::kNothingCopied, NothingCopied},
    {KeyAction::kBusy, Beep},
};

HotkeyOutcome Act(HWND dialog, KeyEvent event, int slot) {
  if (event == KeyEvent::kTick && gPending.active) return {};  // the copy waits for its keeping
  const KeyAction action =
      StepCopyArming(gArming, event, slot, GetTickCount(), GetClipboardSequenceNumber());
  if (action == KeyAction::kPush) slot = gArming.slot;
  HotkeyOutcome outcome;
  for (const ActionRow& row : kActions) {
    if (row.action == action) outcome = row.handler(dialog, slot);
  }
  // The timer runs only while there is something to watch.
  if (gArming.armed || gArming.waiting) {
    if (event != KeyEvent::kTick) SetTimer(dialog, kCopyTimerId, kCopyPollMs, nullptr);
  } else {
    KillTimer(dialog, kCopyTimerId);
  }
  return outcome;
}

}  // namespace

void ApplyHotkeys(HWND dialog, bool on) {
  ReleaseHotkeys(dialog);
  if (!on) return;
  bool taken[kHotkeyCount] = {};
  for (int key = 0; key < kHotkeyCount; ++key) {
    gHeld[key] = Register(dialog, key);
    taken[key] = !gHeld[key];
  }
  StartKeyWatch();
  char notice[kTakenNoticeSize] = "";
  TakenHotkeysNotice(taken, notice);
  if (notice[0]) ShowTickerNotice(notice, 0);
}

void ReleaseHotkeys(HWND dialog) {
  for (int key = 0; key < kHotkeyCount; ++key) {
    if (gHeld[key]) UnregisterHotKey(dialog, HotkeyId(key));
    gHeld[key] = false;
  }
  StopKeyWatch();
  gArming = {};
  KillTimer(dialog, kCopyTimerId);
  gQueue = PressQueue{};
  gPending = {};
  GiveBack(dialog);
  FinishGivingBack();  // before the bar may end
  KillTimer(dialog, kLoanTimerId);
}

HotkeyOutcome ActOnHotkey(HWND dialog, WPARAM id) {
  const int key = SlotOfHotkeyId(static_cast<long long>(id));
  if (key < 0 || !FreshPress(key)) return {};
  return Act(dialog, key == kCopyHotkey ? KeyEvent::kCopyKey : KeyEvent::kSlotKey, key);
}

HotkeyOutcome ActOnClipboardKept(HWND dialog) {
  if (!gPending.active) return {};  // given up meanwhile
  Pending pending = gPending;
  const KeepResult kept = FinishKeeping();
  if (kept == KeepResult::kKept && ClipboardChangedSinceKept() && ++pending.tries < kKeepTries) {
    DropKeptClipboard();  // a Pop or a copy came meanwhile: that is what goes back
    gPending = pending;
    StartKeepingClipboard(dialog, kClipboardKeptMessage);
    return {};
  }
  gPending = {};
  HotkeyOutcome outcome;
  if (kept == KeepResult::kHeld) {
    outcome = {ClipResult::kHeld, -1};
  } else if (kept == KeepResult::kNoMemory) {
    outcome = Told(kNotKeptNotice);
  } else if (pending.copy) {
    return CopyKept(dialog, pending.front, pending.keys);
  } else {
    outcome = PasteKept(dialog, pending.slot, pending.front, pending.keys);
  }
  if (pending.copy) {
    gArming = {};
    return outcome;
  }
  const HotkeyOutcome next = RunLoan(dialog);  // the presses queued meanwhile
  return outcome.popped != ClipResult::kDone ? outcome : next;
}

HotkeyOutcome ActOnHotkeyTimer(HWND dialog, UINT_PTR timerId) {
  if (timerId == kCopyTimerId) return Act(dialog, KeyEvent::kTick, -1);
  if (timerId == kLoanTimerId) return RunLoan(dialog);
  if (timerId == kSecretTimerId) SecretDue(dialog);
  return {};
}

void RenderForPaste(HWND, UINT format) {
  if (!RenderOffer(format)) return;
  // Clipboard managers and remote desktops read every new clipboard too: only the target's
  // request tells that the paste happened. A reader with no window of its own counts as it.
  HWND reader = GetOpenClipboardWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(reader, &process);
  if (gLoan.open && (!reader || process == gTargetProcess)) {
    gLoan.read = true;
    gLoan.readMs = GetTickCount();
  }
}

void RenderAllForPaste(HWND dialog) {
  if (!OpenClipboard(dialog)) return;
  if (GetClipboardOwner() == dialog) {
    const UINT texts[] = {CF_TEXT, CF_UNICODETEXT};
    for (UINT format : texts) RenderOffer(format);
  }
  CloseClipboard();
}

void PoppedBy(HWND dialog, int slot) {
  // The user asked for this slot on the clipboard: a paste under way puts nothing back over it.
  if (gLoan.open) {
    DropOffer();
    DropKeptClipboard();
    gLoan = Loan{};
  }
  if (SlotOf(slot).secret) TimeSecret(dialog, Secret::kPopped, slot);
}

const char* CopyPrompt() {
  return gArming.armed ? kCopyPrompt : nullptr;
}

void FinishCopy(HWND dialog, int slot, ClipResult pushed) {
  GiveBack(dialog);
  if (pushed != ClipResult::kDone) return;
  char notice[kCopiedNoticeSize] = "";
  CopiedNotice(slot, notice);
  ShowTickerNotice(notice, kNoticeTicks);
}

}  // namespace pinnafex
