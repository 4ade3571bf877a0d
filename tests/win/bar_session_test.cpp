// The bar dialog through a session against a fake shell that keeps each edge's autohide bar.
#include "settings/settings.h"
#include "shell/bar_dialog.h"
#include "base/bar_ids.h"
#include "tests/win/dock_fixture.h"

#include <utility>

using namespace pinnafex;
using namespace dock_test;

TEST_F(BarTest, SessionClaimsFollowTheEdgeAndItsEndKeepsTheSettings) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
  WriteSettingString(kProgramKey, "STARTPOSITON", "7");
  WriteSettingString(kProgramKey, "AUTOHIDE", "5");
  HWND bar =
      CreateDialogParamW(GetModuleHandleW(nullptr), L"IDD_DIALOG1", nullptr, BarDialogProc, 0);
  ASSERT_NE(bar, nullptr);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  struct Row {
    const char* what;
    UINT message;
    WPARAM wParam;
    HWND left, top;  // each edge's autohide bar afterwards
  } rows[] = {
      {"started with a stored edge of 7", 0, 0, bar, nullptr},
      {"Top", WM_COMMAND, kCmdTop, nullptr, bar},
      {"Left", WM_COMMAND, kCmdLeft, bar, nullptr},
      {"Autohide off", WM_COMMAND, kCmdAutohide, nullptr, nullptr},
      {"Top", WM_COMMAND, kCmdTop, nullptr, nullptr},
      {"Autohide on", WM_COMMAND, kCmdAutohide, nullptr, bar},
      {"Explorer restarted", taskbarCreated, 0, nullptr, bar},
      {"asked to end the session", WM_QUERYENDSESSION, 0, nullptr, bar},
      {"session ended", WM_ENDSESSION, TRUE, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    if (row.message == taskbarCreated) FakeShell::Reset();  // a shell that knows no bars
    const LRESULT answer = row.message ? SendMessageA(bar, row.message, row.wParam, 0) : 0;
    if (row.message == WM_QUERYENDSESSION) EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(FakeShell::claims[kEdgeLeft], row.left) << row.what;
    EXPECT_EQ(FakeShell::claims[kEdgeTop], row.top) << row.what;
    EXPECT_FALSE(FakeShell::badEdge) << row.what << ": an edge outside 0..3 reached the shell";
    EXPECT_TRUE(PumpUntil([] { return !SlideRunning(); })) << row.what;
  }
  EXPECT_EQ(FakeShell::calls[ABM_NEW], 1) << "registered again after TaskbarCreated";
  EXPECT_EQ(FakeShell::calls[ABM_REMOVE], 1) << "taken off the shell at the session's end";
  const std::pair<const char*, int> kept[] = {{"AUTOHIDE", 1}, {"NOCLOCK", 0}, {"STARTPOSITON", 1}};
  for (const auto& [name, value] : kept) {
    int stored = -1;
    EXPECT_EQ(ReadIntSetting(name, &stored, -1), value) << name;
  }
  SendMessageA(bar, WM_ENDSESSION, TRUE, 0);  // a second end finds nothing left to do
  EXPECT_EQ(FakeShell::calls[ABM_REMOVE], 1);
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}
