// Kept slots against real files, the system's protection and the keeper's thread, while another
// handle holds a file without sharing, as a virus scanner or an indexer does.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h
#include <bcrypt.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <string>

#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "keep/keeper.h"
#include "keep/kept_folder.h"
#include "keep/kept_seal.h"
#include "settings/settings.h"

namespace pinnafex {
namespace {

std::wstring gFolder;
std::wstring File(int slot, const wchar_t* suffix = L"") {
  wchar_t name[32];
  wsprintfW(name, L"\\slot-%02d.kept%s", slot + 1, suffix);
  return gFolder + name;
}
std::string Read(const std::wstring& path) {  // "<none>" when there is no such file
  std::ifstream in(path.c_str(), std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}
void Write(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}
HANDLE Hold(int slot) {
  return CreateFileW(File(slot).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}
std::string Notice() {  // the clock field's text from its first character
  return gTickerBuffer + std::string(gTickerBuffer).find_first_not_of(' ');
}
int gKeepingOn = 0;
std::wstring gBlockReason;  // as the seam was last told: "" once destroyed
BOOL WINAPI CreateReason(HWND, LPCWSTR reason) {
  return gBlockReason = reason, FALSE;
}
BOOL WINAPI DestroyReason(HWND) {
  return gBlockReason.clear(), FALSE;
}
// The keeper's messages handled until `done` holds or 10 s passed; the messages handled.
int Pump(bool (*done)() = nullptr, int ms = 10000) {
  int count = 0;
  do {
    for (MSG msg; PeekMessageA(&msg, nullptr, kKeeperMessage, kKeeperMessage, PM_REMOVE); ++count)
      gKeepingOn += OnKeeperMessage(msg.wParam, msg.lParam).event == KeeperEvent::kKeepingOn;
  } while (ms-- > 0 && !(done && done()) && (Sleep(1), true));
  return count;
}
void Start(HWND dialog, KeepStart start) {
  Pump(nullptr, 0);  // what the keeper before said
  ResetTicker();
  StartKeeper(dialog, start);
  BarShown();
}

// A file as the version before wrote it: the record in AES-256-CBC, then HMAC-SHA256 of all
// before it, under random keys wrapped by the system's data protection.
std::string KeptBefore(int slot, const std::string& text) {
  UCHAR keys[64], iv[16] = {9}, chained[16] = {9}, mac[32];
  BCryptGenRandom(nullptr, keys, sizeof keys, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  DATA_BLOB plain{sizeof keys, keys}, wrapped{};
  DATA_BLOB entropy{21, reinterpret_cast<BYTE*>(const_cast<char*>("Pinnafex kept slots 1"))};
  CryptProtectData(&plain, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                   &wrapped);
  const auto u32 = [](size_t v) { return std::string(reinterpret_cast<char*>(&v), 4); };
  std::string record = u32(0) + u32(1031) + u32(text.size() + 4) + u32(0) + u32(text.size()) +
                       u32(0) + text + std::string(16, '\0');
  BCRYPT_ALG_HANDLE aes, sha;
  BCRYPT_KEY_HANDLE key;
  BCRYPT_HASH_HANDLE hash;
  ULONG size = 0;
  BCryptOpenAlgorithmProvider(&aes, BCRYPT_AES_ALGORITHM, nullptr, 0);
  BCryptSetProperty(aes, BCRYPT_CHAINING_MODE, (PUCHAR)BCRYPT_CHAIN_MODE_CBC,
                    sizeof BCRYPT_CHAIN_MODE_CBC, 0);
  BCryptGenerateSymmetricKey(aes, &key, nullptr, 0, keys, 32, 0);
  BCryptEncrypt(key, (PUCHAR)&record[0], static_cast<ULONG>(text.size() + 24), nullptr, chained, 16,
                (PUCHAR)&record[0], static_cast<ULONG>(record.size()), &size, BCRYPT_BLOCK_PADDING);
  std::string file = "PXKS" + u32(1) + u32(slot) + u32(wrapped.cbData) + u32(size) + u32(0) +
                     std::string(iv, iv + 16) +
                     std::string(reinterpret_cast<char*>(wrapped.pbData), wrapped.cbData) +
                     record.substr(0, size);
  BCryptOpenAlgorithmProvider(&sha, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG);
  BCryptCreateHash(sha, &hash, nullptr, 0, keys + 32, 32, 0);
  BCryptHashData(hash, (PUCHAR)&file[0], static_cast<ULONG>(file.size()), 0);
  BCryptFinishHash(hash, mac, sizeof mac, 0);
  return file + std::string(mac, mac + 32);
}

// Damaged files are set aside with ".bad", one notice names them all; the sound file comes back
// exactly, in a folder whose name the ANSI code page cannot spell. A file held at start, a save
// and a removal held, a newer version, the setting missing, turning off, and a folder that
// cannot be made.
TEST(Keep, FilesDamagedHeldOrNewer) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  gFolder = temp + (L"pinnafex-keep-\u65E5\u672C-" + std::to_wstring(GetTickCount()));
  gKeptFolder = gFolder.c_str();
  gBlockReasonCreate = CreateReason;
  gBlockReasonDestroy = DestroyReason;
  HWND dialog = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
  ReleaseAllSlots();
  ASSERT_TRUE(Put({Wide(L"Gr\u00FC\u00DFe \u65E5\u672C \U0001F31F"), Locale(1041)}));
  ASSERT_EQ(PushSlot(Owner(), 0), ClipResult::kDone);
  const std::string original = Bytes(SlotBlock(0));
  Start(dialog, KeepStart::kOff);
  SlotChanged(0);  // off: nothing is saved
  FinishKeeper();
  ASSERT_EQ(SaveKeptSlot(0, ShareSlot(0)), ERROR_SUCCESS) << "the missing folder made";
  ASSERT_EQ(SaveKeptSlot(3, ShareSlot(0)), ERROR_SUCCESS);
  const std::string g = Read(File(0));
  ReleaseAllSlots();
  const auto f = [&](size_t at) { return std::string(g).replace(at, 1, 1, g[at] ^ 4); };
  // Truncated; a byte flipped in the cipher text, the MAC, the wrapped key (as another account's
  // or machine's), the magic; slot 1's file under another slot's name; a byte too many; empty.
  const std::string damaged[] = {
      g.substr(0, g.size() - 1), f(g.size() - 40), f(g.size() - 1), f(60), f(0), g, g + "x", ""};
  for (int i = 0; i < 8; ++i) Write(File(4 + 2 * i), damaged[i]);
  const std::string newer = std::string(g).replace(4, 1, 1, '\x7f');
  Write(File(2), newer);
  Write(File(1), KeptBefore(1, std::string("vorher\0", 7)));
  HANDLE held = Hold(3);
  Start(dialog, KeepStart::kUnsure);  // the setting missing: the files win
  Pump([] { return SlotBlock(0) && SlotBlock(1) && gKeepingOn; });
  Pump(nullptr, 300);
  EXPECT_EQ(Notice(),
            "Slots 5, 7, 9, 11, 13, 15, 17, 19 could not be restored. Slot 3 was kept "
            "by a newer Pinnafex");
  EXPECT_EQ(Bytes(SlotBlock(0)), original);
  EXPECT_EQ(Bytes(SlotBlock(1), true), "vorher") << "a file of the version before";
  EXPECT_EQ(SlotBlock(2), nullptr);
  EXPECT_EQ(Read(File(2)), newer) << "a newer version's file left as it is";
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(SlotBlock(4 + 2 * i), nullptr) << i;
    EXPECT_EQ(Read(File(4 + 2 * i, L".bad")), damaged[i]) << i;
    EXPECT_EQ(Read(File(4 + 2 * i)), "<none>") << i;
  }
  EXPECT_EQ(SlotBlock(3), nullptr) << "held";
  CloseHandle(held);
  Pump([] { return SlotBlock(3) != nullptr; });
  EXPECT_EQ(Bytes(SlotBlock(3)), original) << "back once freed, in the same session";
  ShowTickerNotice("", 0);
  Pump([] { return Notice().find("newer") != std::string::npos; }, 100);
  EXPECT_EQ(Notice(), "") << "the newer version is told once";

  // A save and a removal while their files are held: pending, told once, done once freed.
  HANDLE heldSave = Hold(0), heldRemoval = Hold(3);
  ASSERT_TRUE(Put({Text("later")}));
  ASSERT_EQ(PushSlot(Owner(), 0), ClipResult::kDone);
  SlotChanged(0);
  ASSERT_TRUE(Put({}));
  PushSlot(Owner(), 3);
  SlotChanged(3);
  Pump([] { return Notice().find("Slots cannot be saved: ") == 0; });
  EXPECT_EQ(Notice().find("Slots cannot be saved: "), 0u) << Notice();
  HoldSessionEnd(dialog);
  EXPECT_EQ(gBlockReason, L"Saving slots");
  CloseHandle(heldSave);
  CloseHandle(heldRemoval);
  Pump([] { return Notice() == "Slots are saved again" && gBlockReason.empty(); }, 40000);
  EXPECT_EQ(Notice(), "Slots are saved again");
  EXPECT_EQ(gBlockReason, L"") << "given up once the saves are done";
  EXPECT_EQ(Read(File(3)), "<none>");
  // A removal still held at quit is recorded: the next start removes the file, never restores it.
  held = Hold(0);
  ASSERT_TRUE(Put({}));
  PushSlot(Owner(), 0);
  SlotChanged(0);
  FinishKeeper();
  CloseHandle(held);
  ReleaseAllSlots();
  Start(dialog, KeepStart::kOn);
  Pump([] { return Read(File(0)) == "<none>"; });
  EXPECT_EQ(Read(File(0)), "<none>");
  EXPECT_EQ(SlotBlock(0), nullptr);
  // Off: every file of the slots goes, set-aside ones included.
  SetKeeping(false);
  Pump([] { return Read(File(4, L".bad")) == "<none>" && Read(File(2)) == "<none>"; });
  EXPECT_EQ(Read(File(4, L".bad")), "<none>");
  FinishKeeper();

  Write(gFolder + L"\\file", "where the folder's parent should be");
  const std::wstring unwritable = gFolder + L"\\file\\Pinnafex";
  gKeptFolder = unwritable.c_str();
  Start(dialog, KeepStart::kOn);
  ASSERT_TRUE(Put({Text("kept")}));
  ASSERT_EQ(PushSlot(Owner(), 1), ClipResult::kDone);
  SlotChanged(1);
  EXPECT_EQ(Pump(nullptr, 2500), 1) << "one notice, however many saves failed";
  EXPECT_EQ(Notice().find("Slots cannot be saved: "), 0u) << Notice();
  EXPECT_EQ(Bytes(SlotBlock(1), true), "kept");
  FinishKeeper();
  gKeptFolder = nullptr;
  ReleaseAllSlots();
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace pinnafex
