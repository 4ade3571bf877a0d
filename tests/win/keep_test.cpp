// Kept slots against real files, the system's protection and the keeper's thread.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "clipboard_helpers.h"
#include "clock/ticker.h"
#include "keep/keeper.h"

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
std::string Notice() {  // the clock field's text from its first character
  return gTickerBuffer + std::string(gTickerBuffer).find_first_not_of(' ');
}
int Handle(HWND dialog) {  // the keeper's messages that came, handled and counted
  int count = 0;
  for (MSG msg; PeekMessageA(&msg, nullptr, kKeeperMessage, kKeeperMessage, PM_REMOVE); ++count)
    OnKeeperMessage(dialog, msg.wParam, msg.lParam);
  return count;
}
// A start of the keeper once the bar is shown, with `changed` pushed and Keep Slots turned on;
// its messages until `wanted` came, then those that came before it ended.
int RunKeeper(HWND dialog, bool keep, int changed = -1, int wanted = 0) {
  ResetTicker();
  StartKeeper(dialog, keep);
  BarShown();
  if (changed >= 0) SetKeeping(true), SlotChanged(changed);
  int count = 0;
  for (int ms = 0; ms < 20000 && count < wanted; ++ms, Sleep(1)) count += Handle(dialog);
  FinishKeeper();
  return count + Handle(dialog);
}

// Damaged files are renamed with ".bad", their slots stay empty and one notice names them all;
// the sound file comes back exactly, in a folder whose name the ANSI code page cannot spell. A
// folder that cannot be made is told once with its reason, and the slot keeps its text.
TEST(Keep, BadFilesAndAnUnwritableFolder) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  gFolder = temp + (L"pinnafex-keep-\u65E5\u672C-" + std::to_wstring(GetTickCount()));
  gKeptFolder = gFolder.c_str();
  HWND dialog = CreateDialogW(nullptr, L"IDD_DIALOG1", nullptr, nullptr);
  ReleaseAllSlots();
  ASSERT_TRUE(Put({Wide(L"Gr\u00FC\u00DFe \u65E5\u672C \U0001F31F"), Locale(1041)}));
  ASSERT_EQ(PushSlot(Owner(), 0), ClipResult::kDone);
  const std::string original = Bytes(SlotBlock(0));
  ASSERT_EQ(RunKeeper(dialog, false, 0), 0) << "saved, the missing folder made";
  const std::string g = Read(File(0));
  ReleaseAllSlots();
  const auto f = [&](size_t at) { return std::string(g).replace(at, 1, 1, g[at] ^ 4); };
  // Truncated; a byte flipped in the cipher text, the MAC, the wrapped key (as another account's
  // or machine's), the version; slot 1's file under another slot's name; a byte too many; empty.
  const std::string damaged[] = {
      g.substr(0, g.size() - 1), f(g.size() - 40), f(g.size() - 1), f(60), f(4), g, g + "x", ""};
  for (int i = 0; i < 8; ++i) Write(File(2 + 2 * i), damaged[i]);
  EXPECT_EQ(RunKeeper(dialog, true, -1, 2), 2) << "slot 1 restored, one notice";
  EXPECT_EQ(Notice(), "Slots 3, 5, 7, 9, 11, 13, 15, 17 could not be restored");
  EXPECT_EQ(Bytes(SlotBlock(0)), original);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(SlotBlock(2 + 2 * i), nullptr) << i;
    EXPECT_EQ(Read(File(2 + 2 * i, L".bad")), damaged[i]) << i;
    EXPECT_EQ(Read(File(2 + 2 * i)), "<none>") << i;
  }
  RunKeeper(dialog, false);  // a start with Keep Slots off: the sound file goes, no .bad one
  EXPECT_EQ(Read(File(0)), "<none>");
  EXPECT_EQ(Read(File(2, L".bad")), damaged[0]);

  Write(gFolder + L"\\file", "where the folder's parent should be");
  const std::wstring unwritable = gFolder + L"\\file\\Pinnafex";
  gKeptFolder = unwritable.c_str();
  EXPECT_EQ(RunKeeper(dialog, false, 0), 1) << "one notice, however many saves failed";
  EXPECT_EQ(Notice().find("Slots cannot be saved: "), 0u) << Notice();
  EXPECT_EQ(Bytes(SlotBlock(0)), original);
  gKeptFolder = nullptr;
  ReleaseAllSlots();
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace pinnafex
