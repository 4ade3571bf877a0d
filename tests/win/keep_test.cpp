// Kept slots against real files, the system's protection and the keeper's thread: damaged
// files set aside and named in one notice, a folder that cannot be written.
#include <gtest/gtest.h>

#include <string>

#include "base/bar_ids.h"
#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "keep/keeper.h"

namespace pinnafex {
namespace {

std::string Folder(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name;
}
std::string File(const std::string& folder, int slot, const char* suffix = "") {
  char name[32];
  wsprintfA(name, "\\slot-%02d.kept%s", slot + 1, suffix);
  return folder + name;
}
bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
std::string Read(const std::string& path) {
  std::string bytes;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  bytes.resize(GetFileSize(file, nullptr));
  DWORD got = 0;
  ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  return bytes;
}
void Write(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(file);
}

// The keeper started afresh for `dialog`, run until its work is done, its messages handled.
void RunKeeper(HWND dialog, bool keep) {
  StartKeeper(dialog, keep);
  FinishKeeper();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, kKeeperMessage, kKeeperMessage, PM_REMOVE)) {
    OnKeeperMessage(dialog, msg.wParam, msg.lParam);
  }
}

class Keep : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseAllSlots();
    ResetTicker();
  }
  void TearDown() override {
    gKeptFolder = nullptr;
    ReleaseAllSlots();
    DestroyWindow(dialog_);
  }
  HWND dialog_ = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
};

// Each damaged file is renamed with ".bad" and its slot stays empty; one notice names them
// all; the sound file comes back exactly.
TEST_F(Keep, DamagedFilesAreSetAsideAndNamedOnce) {
  const std::string folder = Folder("pinnafex-keep-bad");
  gKeptFolder = folder.c_str();
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(Put({Wide(L"Gr\u00FC\u00DFe \u65E5\u672C \U0001F31F"), Locale(1041)}));
  ASSERT_EQ(PushSlot(Owner(), 0), ClipResult::kDone);
  const SlotShare sound = ShareSlot(0);
  ASSERT_EQ(SaveKeptSlot(0, sound), DWORD{ERROR_SUCCESS});
  const std::string good = Read(File(folder, 0));
  const std::string original = Bytes(sound.block);
  ReleaseShare(sound.block);
  ReleaseAllSlots();
  const auto flipped = [&](size_t at) { return std::string(good).replace(at, 1, 1, good[at] ^ 4); };
  const struct {
    int slot;
    std::string bytes;
  } damaged[] = {
      {2, good.substr(0, good.size() - 1)},  // truncated
      {4, flipped(good.size() - 40)},        // the cipher text
      {6, flipped(good.size() - 1)},         // the MAC
      {8, flipped(60)},                      // the wrapped key: another user's, or machine's
      {10, good},                            // slot 1's file under another slot's name
      {12, flipped(4)},                      // a newer version
      {14, good + "x"},                      // a byte too many
      {16, ""},                              // empty
  };
  Write(File(folder, 0), good);
  for (const auto& d : damaged) Write(File(folder, d.slot), d.bytes);
  RunKeeper(dialog_, true);
  EXPECT_STREQ(gTickerBuffer + std::string(gTickerBuffer).find("Slots"),
               "Slots 3, 5, 7, 9, 11, 13, 15, 17 could not be restored");
  EXPECT_EQ(Bytes(SlotBlock(0)), original);
  for (const auto& d : damaged) {
    EXPECT_EQ(SlotBlock(d.slot), nullptr) << d.slot;
    EXPECT_EQ(Read(File(folder, d.slot, ".bad")), d.bytes) << d.slot;
    EXPECT_FALSE(Exists(File(folder, d.slot))) << d.slot;
  }
  // A second start with Keep Slots off: the sound file goes, what was set aside stays.
  RunKeeper(dialog_, false);
  EXPECT_FALSE(Exists(File(folder, 0)));
  EXPECT_TRUE(Exists(File(folder, 2, ".bad")));
}

// A folder that cannot be made: a beep and one notice with the reason; the slot keeps its text.
TEST_F(Keep, UnwritableFolderIsToldOnceAndLosesNothing) {
  const std::string blocker = Folder("pinnafex-keep-file");
  Write(blocker, "a file where the folder's parent should be");
  const std::string folder = blocker + "\\Pinnafex";
  gKeptFolder = folder.c_str();
  ASSERT_TRUE(Put({Text("keep me")}));
  ASSERT_EQ(PushSlot(Owner(), 5), ClipResult::kDone);
  for (int round = 0; round < 2; ++round) {
    ResetTicker();
    StartKeeper(dialog_, false);
    SetKeeping(true);
    SlotChanged(5);  // a second failure while the first is told: no second notice
    FinishKeeper();
    MSG msg;
    int notices = 0;
    while (PeekMessageA(&msg, nullptr, kKeeperMessage, kKeeperMessage, PM_REMOVE)) {
      OnKeeperMessage(dialog_, msg.wParam, msg.lParam);
      ++notices;
    }
    EXPECT_EQ(notices, 1) << round;
    EXPECT_EQ(std::string(gTickerBuffer).find("Slots cannot be saved: "),
              std::string(gTickerBuffer).find_first_not_of(' '))
        << gTickerBuffer;
    EXPECT_EQ(Bytes(SlotBlock(5), true), "keep me");
  }
}

}  // namespace
}  // namespace pinnafex
