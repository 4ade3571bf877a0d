// The bar dialog through a whole session against a fake shell that keeps each edge's autohide
// bar: settings read in range, claims that follow the edge, Explorer restarting, session end.
#include "tests/win/dock_fixture.h"

#include <cstring>

#include "settings/settings.h"
#include "shell/bar_dialog.h"
#include "shell/control_ids.h"
#include "slots/slot_store.h"

using namespace pinnafex;
using namespace dock_test;

namespace {

void Store(const char* value, const char* text) {
  WriteSettingString(kProgramKey, value, text);
}

int Stored(const char* value) {
  int number = -1;
  return ReadIntSetting(value, &number, -1);
}

void PutClipboardText(const char* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
  std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

}  // namespace

class BarSession : public BarTest {
 protected:
  // Where each edge's claim is: the bar, nobody, or someone else.
  void ExpectClaims(HWND left, HWND top, const char* when) {
    EXPECT_EQ(FakeShell::claims[kEdgeLeft], left) << when << ": left edge";
    EXPECT_EQ(FakeShell::claims[kEdgeTop], top) << when << ": top edge";
    EXPECT_FALSE(FakeShell::badEdge) << when << ": the shell was sent an edge outside 0..3";
    EXPECT_TRUE(PumpUntil([] { return !SlideRunning(); })) << when << ": a slide never ended";
  }
  void Command(int id) { SendMessageA(dialog_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

  HWND dialog_ = nullptr;
};

TEST_F(BarSession, ClaimsFollowTheEdgeAndSessionEndKeepsTheSettings) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
  Store("STARTPOSITON", "7");
  Store("AUTOHIDE", "5");
  UseFakeShell();
  dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "IDD_DIALOG1", nullptr, BarDialogProc, 0);
  ASSERT_NE(dialog_, nullptr);
  EXPECT_EQ(gBar.edge, kEdgeLeft);
  EXPECT_EQ(gBar.autohide, 1);
  ExpectClaims(dialog_, nullptr, "started with a stored edge of 7");

  Command(kCmdTop);
  ExpectClaims(nullptr, dialog_, "moved to the top");
  Command(kCmdLeft);
  ExpectClaims(dialog_, nullptr, "moved back to the left");
  Command(kCmdAutohide);
  EXPECT_EQ(gBar.autohide, 0);
  ExpectClaims(nullptr, nullptr, "autohide off");
  Command(kCmdTop);
  Command(kCmdAutohide);
  ExpectClaims(nullptr, dialog_, "autohide on at the top");

  // Explorer restarted: a shell that knows no bars.
  FakeShell::Reset();
  SendMessageA(dialog_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(FakeShell::calls[ABM_NEW], 1);
  EXPECT_EQ(FakeShell::setPosEdge, static_cast<UINT>(kEdgeTop));
  ExpectClaims(nullptr, dialog_, "after TaskbarCreated");

  PutClipboardText("kept until the session ends");
  PushSlot(3);
  ASSERT_NE(SlotBlock(3), nullptr);
  EXPECT_EQ(SendMessageA(dialog_, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(FakeShell::calls[ABM_REMOVE], 0) << "asking must change nothing";
  EXPECT_EQ(Stored("AUTOHIDE"), 5) << "asking must write nothing";
  SendMessageA(dialog_, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(Stored("AUTOHIDE"), 1);
  EXPECT_EQ(Stored("NOCLOCK"), 0);
  EXPECT_EQ(Stored("STARTPOSITON"), kEdgeTop);
  EXPECT_EQ(FakeShell::calls[ABM_REMOVE], 1);
  EXPECT_EQ(SlotBlock(3), nullptr) << "the slots were not freed";
  ExpectClaims(nullptr, nullptr, "after the session ended");

  // A second end or an Explorer restart afterwards finds nothing left to do.
  SendMessageA(dialog_, WM_ENDSESSION, TRUE, 0);
  SendMessageA(dialog_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(FakeShell::calls[ABM_REMOVE], 1);
  EXPECT_EQ(FakeShell::calls[ABM_NEW], 1);
  RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}
