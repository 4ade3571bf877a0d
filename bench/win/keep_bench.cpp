// Keep Slots: a 32 MB save against its floor (the system's AES-GCM of the same bytes in one call,
// written and flushed to the same folder), the protection's speed, a quit with twenty 32 MB
// saves pending against twenty floors and the bar's longest wait for an answer meanwhile, the
// bar's busy time during a 32 MB Push with Keep Slots on against off, and start-up with twenty
// kept slots of 1 MB against none.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"
#include "keep/keeper.h"
#include "keep/kept_folder.h"
#include "keep/kept_seal.h"
#include "settings/settings.h"
#include "slots/slot_store.h"

namespace pinnafex {
namespace bench {
namespace {

constexpr size_t kMb = 1024 * 1024;
constexpr int kRuns = 3;

bool PutText(size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size + 1);
  if (!block) return false;
  auto* text = static_cast<char*>(GlobalLock(block));
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
  text[size] = '\0';
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) return GlobalFree(block), false;
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!taken) GlobalFree(block);
  CloseClipboard();
  return taken;
}

// The floor of a save: the system's fastest authenticated encryption of the same bytes, as one
// AES-GCM message, then the write with its flush. `chunk` seals it a chunk at a time instead.
struct Floor {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_KEY_HANDLE key = nullptr;
  std::string buffer;
  ULONG length = 0;
  UCHAR tag[16] = {};

  Floor() {
    UCHAR secret[32] = {7};
    BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_AES_ALGORITHM, nullptr, 0);
    BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE,
                      reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                      sizeof BCRYPT_CHAIN_MODE_GCM, 0);
    BCryptGenerateSymmetricKey(algorithm, &key, nullptr, 0, secret, sizeof secret, 0);
  }
  ~Floor() {
    BCryptDestroyKey(key);
    BCryptCloseAlgorithmProvider(algorithm, 0);
  }
  void Encrypt(const SlotShare& text, size_t chunk = 0) {
    auto* in = static_cast<PUCHAR>(GlobalLock(text.block));
    length = static_cast<ULONG>(text.bytes);
    if (!chunk) chunk = length;
    for (ULONG at = 0, done = 0; at < length; at += static_cast<ULONG>(chunk)) {
      UCHAR nonce[12] = {static_cast<UCHAR>(at >> 20)};
      BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
      BCRYPT_INIT_AUTH_MODE_INFO(info);
      info.pbNonce = nonce;
      info.cbNonce = sizeof nonce;
      info.pbTag = tag;
      info.cbTag = sizeof tag;
      const ULONG n = static_cast<ULONG>(std::min<size_t>(chunk, length - at));
      BCryptEncrypt(key, in + at, n, &info, nullptr, 0, reinterpret_cast<PUCHAR>(&buffer[at]), n,
                    &done, 0);
    }
    GlobalUnlock(text.block);
  }
  void Write(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, buffer.data(), length, &written, nullptr);
    WriteFile(file, tag, sizeof tag, &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
  }
};

// The longest wait for an answer from `window` while it is asked every few milliseconds.
struct AnswerWatch {
  HWND window;
  std::atomic<bool> done{false};
  double longest = 0;
  HANDLE thread = nullptr;

  explicit AnswerWatch(HWND w) : window(w) {
    thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  static DWORD WINAPI Run(void* self) {
    auto* watch = static_cast<AnswerWatch*>(self);
    while (!watch->done) {
      const double start = NowMs();
      SendMessageA(watch->window, WM_NULL, 0, 0);
      watch->longest = std::max(watch->longest, NowMs() - start);
      Sleep(5);
    }
    return 0;
  }
  double Stop() {
    done = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return longest;
  }
};

}  // namespace

void RunKeepBench() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"pinnafex-keep-bench";
  const std::wstring floorFile = folder + L"\\floor.bin";
  CreateDirectoryW(folder.c_str(), nullptr);
  gKeptFolder = folder.c_str();
  HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);

  ReleaseAllSlots();
  if (!PutText(32 * kMb) || PushSlot(owner, 0) != ClipResult::kDone) return;
  const SlotShare text = ShareSlot(0);
  Floor f;
  f.buffer.assign(text.bytes, '\0');
  // The save and its floor taken in turns, so that the machine's other work falls on both.
  double save = 1e30, floor = 1e30;
  for (int run = 0; run < 2 * kRuns; ++run) {
    save = std::min(save, BestMs(1, [&] { SaveKeptSlot(0, text); }));
    floor = std::min(floor, BestMs(1, [&] { f.Encrypt(text), f.Write(floorFile.c_str()); }));
  }
  const double encrypt = BestMs(kRuns, [&] { f.Encrypt(text); });
  const double chunked = BestMs(kRuns, [&] { f.Encrypt(text, kMb); });
  const double write = BestMs(kRuns, [&] { f.Write(floorFile.c_str()); });
  ReleaseShare(text.block);
  const double mb = static_cast<double>(text.bytes) / kMb;
  Report("keep.save_encrypt_ms", encrypt);
  Report("keep.save_write_ms", write);
  Report("keep.save_32m_ms", save);
  Report("keep.save_floor_ms", floor);
  Report("keep.protect_mb_s", mb / (chunked / 1000));

  // A quit with twenty 32 MB saves pending: they end off the bar's thread, which answers on.
  ReleaseAllSlots();
  StartKeeper(owner, KeepStart::kOn);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!PutText(32 * kMb) || PushSlot(owner, slot) != ClipResult::kDone) return;
    SlotChanged(slot);
  }
  AnswerWatch watch(owner);
  const double quitStart = NowMs();
  FinishKeeper();
  Report("keep.quit_20x32m_ms", NowMs() - quitStart);
  Report("keep.quit_answer_max_ms", watch.Stop());
  // Their floors: each slot's bytes sealed and written to a file of its own, as the saves did.
  double floors = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const SlotShare share = ShareSlot(slot);
    const std::wstring file = floorFile + std::to_wstring(slot);
    floors += BestMs(1, [&] { f.Encrypt(share), f.Write(file.c_str()); });
    ReleaseShare(share.block);
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    DeleteFileW((floorFile + std::to_wstring(slot)).c_str());
  }
  Report("keep.quit_floor_ms", floors);

  ReleaseAllSlots();
  StartKeeper(owner, KeepStart::kOff);  // the saved files go: no restore competes with the Pushes
  FinishKeeper();
  // The bar's thread during a Push: the transfer and the hand-over, with the keeper on or off.
  for (bool keep : {false, true}) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
      ReleaseAllSlots();
      StartKeeper(owner, keep ? KeepStart::kOn : KeepStart::kOff);
      const double start = NowMs();
      PushSlot(owner, 1);
      SlotChanged(1);
      const double busy = NowMs() - start;
      FinishKeeper();  // the save itself, on the keeper's thread, is not the bar's time
      if (busy < best) best = busy;
    }
    Report(keep ? "keep.push_32m_on_ms" : "keep.push_32m_off_ms", best);
  }
  ReleaseAllSlots();
  StartKeeper(owner, KeepStart::kOff);  // deletes the bench's files
  FinishKeeper();
  DeleteFileW(floorFile.c_str());
  RemoveDirectoryW(folder.c_str());
  gKeptFolder = nullptr;
}

// Kept files are written into the user's own folder, as the program finds it.
void RunKeptStartupBench(const std::string& exe, int runs) {
  WriteIntSetting("KEEPSLOTS", 0);  // a start with Keep Slots off deletes any kept files
  Report("keep.startup_none_ms", MedianBarMs(exe, runs));
  HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ReleaseAllSlots();
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!PutText(kMb) || PushSlot(owner, slot) != ClipResult::kDone) return;
    const SlotShare text = ShareSlot(slot);
    SaveKeptSlot(slot, text);
    ReleaseShare(text.block);
  }
  ReleaseAllSlots();
  WriteIntSetting("KEEPSLOTS", 1);
  Report("keep.startup_20x1m_ms", MedianBarMs(exe, runs));
  WriteIntSetting("KEEPSLOTS", 0);
  MedianBarMs(exe, 1);  // and the files are gone again
}

}  // namespace bench
}  // namespace pinnafex
