// Keep Slots: a 32 MB save against its floor (the same protection of the same bytes, written
// and flushed to the same folder), the protection's speed, the bar's busy time during a 32 MB
// Push with Keep Slots on against off, and start-up with twenty kept slots of 1 MB against none.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "bench/win/bench_report.h"
#include "bench/win/win_benches.h"
#include "base/bar_ids.h"
#include "keep/keeper.h"
#include "keep/kept_folder.h"
#include "keep/kept_seal.h"
#include "keep/kept_hash.h"
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

// The floor of a save, step by step over a copy of the same bytes: the copy, the same cipher,
// the MAC, and the write with its flush.
struct Floor {
  HCRYPTPROV provider = 0;
  HCRYPTKEY key = 0;
  std::string buffer;
  DWORD length = 0;
  std::uint8_t mac[kHashSize] = {};

  void Copy(const SlotShare& text) {
    std::memcpy(&buffer[0], GlobalLock(text.block), text.bytes);
    GlobalUnlock(text.block);
    length = static_cast<DWORD>(text.bytes);
  }
  void Encrypt() {
    BYTE iv[16] = {};
    CryptSetKeyParam(key, KP_IV, iv, 0);
    CryptEncrypt(key, 0, TRUE, 0, reinterpret_cast<BYTE*>(&buffer[0]), &length,
                 static_cast<DWORD>(buffer.size()));
  }
  void Mac() {
    const std::uint8_t macKey[kMacKeySize] = {};
    HmacSha256(macKey, reinterpret_cast<const std::uint8_t*>(buffer.data()), length, mac);
  }
  void Write(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, buffer.data(), length, &written, nullptr);
    WriteFile(file, mac, sizeof mac, &written, nullptr);
    FlushFileBuffers(file);
    CloseHandle(file);
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
  CryptAcquireContextA(&f.provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT);
  CryptGenKey(f.provider, CALG_AES_256, 0, &f.key);
  f.buffer.assign(text.bytes + 64, '\0');
  // The save and its floor taken in turns, so that the machine's other work falls on both.
  double save = 1e30, floor = 1e30;
  for (int run = 0; run < 2 * kRuns; ++run) {
    save = std::min(save, BestMs(1, [&] { SaveKeptSlot(0, text); }));
    floor = std::min(
        floor, BestMs(1, [&] { f.Copy(text), f.Encrypt(), f.Mac(), f.Write(floorFile.c_str()); }));
  }
  const double copy = BestMs(kRuns, [&] { f.Copy(text); });
  const double encrypt = BestMs(kRuns, [&] { f.Copy(text), f.Encrypt(); }) - copy;
  const double mac = BestMs(kRuns, [&] { f.Mac(); });
  const double write = BestMs(kRuns, [&] { f.Write(floorFile.c_str()); });
  CryptDestroyKey(f.key);
  CryptReleaseContext(f.provider, 0);
  ReleaseShare(text.block);
  const double mb = static_cast<double>(text.bytes) / kMb;
  Report("keep.save_copy_ms", copy);
  Report("keep.save_encrypt_ms", encrypt);
  Report("keep.save_mac_ms", mac);
  Report("keep.save_write_ms", write);
  Report("keep.save_32m_ms", save);
  Report("keep.save_floor_ms", floor);
  Report("keep.protect_mb_s", mb / ((encrypt + mac) / 1000));

  StartKeeper(owner, KeepStart::kOff);  // the saved file goes: no restore competes with the Pushes
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
