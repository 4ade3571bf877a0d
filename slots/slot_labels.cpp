#include "slots/slot_labels.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <initializer_list>

#include "base/bar_ids.h"
#include "slots/slot_caption.h"
#include "slots/slot_store.h"
#include "slots/slot_view.h"

namespace pinnafex {

namespace {

HWND gTip = nullptr;

// As the accessibility headers define them; spelled out here so that no GUID library is linked.
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kAccNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// The service is made at the first name and kept; a failure to make it is not tried again.
HRESULT SetNameThroughService(HWND control, const wchar_t* name) {
  static IAccPropServices* services = nullptr;
  static HRESULT made = S_FALSE;
  if (!services && made == S_FALSE) {
    CoInitialize(nullptr);  // the bar's thread; kept for the life of the program
    made = CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                            kAccPropServicesInterface, reinterpret_cast<void**>(&services));
  }
  if (!services) return made;
  return services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  kAccNameProperty, name);
}

// The parts of a slot group that have a tool of their own, each with what a reader calls it.
struct TipPart {
  const int (*ids)[kSlotCount];
  SlotPart part;
};
constexpr TipPart kLabelledParts[] = {
    {&kPushButtonIds, SlotPart::kPush},
    {&kPopButtonIds, SlotPart::kPop},
    {&kSlotComboIds, SlotPart::kLines},
};

TTTOOLINFOW ToolOf(HWND dialog, UINT_PTR id, UINT flags) {
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = flags;
  tool.hwnd = dialog;
  tool.uId = id;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  return tool;
}

// The slot a tool stands for: a frame's tool by its number, a control's by its window.
int SlotOfTool(const NMHDR* header, UINT flags) {
  if (!(flags & TTF_IDISHWND)) {
    return IsSlotIndex(static_cast<int>(header->idFrom)) ? static_cast<int>(header->idFrom) : -1;
  }
  // An edit inside a drop-down stands for the drop-down.
  HWND control = reinterpret_cast<HWND>(header->idFrom);
  for (HWND each : {control, GetParent(control)}) {
    for (const TipPart& part : kLabelledParts) {
      if (const int slot = FindSlot(*part.ids, GetDlgCtrlID(each)); slot >= 0) return slot;
    }
  }
  return -1;
}

}  // namespace

AccNameSetter gSetAccName = SetNameThroughService;

void StartSlotLabels(HWND dialog) {
  // Owned by no window: under Wine a topmost window owned by the bar keeps the bar from
  // getting back on top after a full-screen program (the shell's HWND_TOPMOST lands below it).
  if (gTip) DestroyWindow(gTip);
  gTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    // The frame lets the mouse through to the bar, and so does a disabled control: a tool over
    // the frame's area covers both, fed by the bar (see RelaySlotTip). The tooltip's own
    // subclass is kept to the buttons and the drop-down's edit, which see few messages: under
    // Wine every message through it costs a trip to the window server, and the bar's tick
    // or a drop-down's thousands of entries would pay it.
    TTTOOLINFOW frame = ToolOf(dialog, static_cast<UINT_PTR>(slot), 0);
    SendMessageW(gTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&frame));
    HWND combo = GetDlgItem(dialog, kSlotComboIds[slot]);
    for (HWND each : {GetDlgItem(dialog, kPushButtonIds[slot]),
                      GetDlgItem(dialog, kPopButtonIds[slot]), GetWindow(combo, GW_CHILD)}) {
      if (!each) continue;
      TTTOOLINFOW tool =
          ToolOf(dialog, reinterpret_cast<UINT_PTR>(each), TTF_IDISHWND | TTF_SUBCLASS);
      SendMessageW(gTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  PlaceSlotTips(dialog);
}

void PlaceSlotTips(HWND dialog) {
  if (!gTip) return;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    TTTOOLINFOW tool = ToolOf(dialog, static_cast<UINT_PTR>(slot), 0);
    GetWindowRect(GetDlgItem(dialog, kSlotFrameIds[slot]), &tool.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tool.rect), 2);
    SendMessageW(gTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void RelaySlotTip(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!gTip) return;
  MSG relayed{dialog, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  GetCursorPos(&relayed.pt);
  SendMessageW(gTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool AnswerSlotTip(const NMHDR* header) {
  if (!gTip || header->hwndFrom != gTip || header->code != TTN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
  const int slot = SlotOfTool(header, info->uFlags);
  info->szText[0] = L'\0';
  info->lpszText = info->szText;
  // An unnamed slot tells its size in its caption already.
  if (slot < 0 || !SlotName(slot)[0]) return true;
  const SlotContents contents = SlotOf(slot);
  char size[kCaptionSize];
  FormatSlotSize(contents.captionSize, contents.secret, size, sizeof size);
  for (int i = 0; (info->szText[i] = static_cast<wchar_t>(size[i])) != 0; ++i) {
  }
  return true;
}

void LabelAllSlots(HWND dialog) {
  for (int slot = 0; slot < kSlotCount; ++slot) LabelSlot(dialog, slot);
}

void LabelSlot(HWND dialog, int slot) {
  for (const TipPart& part : kLabelledParts) {
    char16_t name[kCaptionSize];
    FormatSlotPartName(part.part, slot + 1, reinterpret_cast<const char16_t*>(SlotName(slot)), name,
                       kCaptionSize);
    gSetAccName(GetDlgItem(dialog, (*part.ids)[slot]), reinterpret_cast<const wchar_t*>(name));
  }
}

}  // namespace pinnafex
