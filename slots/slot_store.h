// The twenty clip slots and their transfers from and to the clipboard.
#pragma once
#include <windows.h>

namespace pinnafex {

// How a transfer ended. Held: another program kept the clipboard open past the retries.
// Failed: memory ran out or the clipboard refused the text. Either way nothing was lost: the
// slot keeps its text, and a Pop that could not begin leaves the clipboard as it was.
enum class ClipResult { kDone, kHeld, kFailed };

void ClearAllSlots();  // marks every slot empty, frees nothing (start of the dialog)
// Clipboard text -> slot, in the richest form on offer, with its locale and privacy marks.
ClipResult PushSlot(HWND owner, int slot);
// Slot text -> clipboard, a fresh copy each time; `owner` becomes the clipboard's owner.
ClipResult PopSlot(HWND owner, int slot);
void ReleaseAllSlots();  // frees every slot's block (confirmed quit)
// Empties the slot and wipes its text: at once when the slot alone holds it, else by whoever
// lets go of it last.
void WipeSlot(int slot);

// True while the clipboard still holds what the last Pop of `slot` put there: the bar's own
// window owns it and nothing has written it since.
bool ClipboardHoldsPop(int slot);
// Empties the clipboard when it still holds that Pop; `owner` opens it.
void WithdrawPop(HWND owner, int slot);

// A paste by key: the slot offered by delayed rendering, so that the program in front asks for
// it when it pastes. The clipboard is emptied and carries the marks that keep it out of
// histories, monitors and cloud sync; the text is copied now and handed over by RenderOffer.
ClipResult OfferSlot(HWND owner, int slot);
// WM_RENDERFORMAT: hands the offered text to the clipboard; false when `format` is not offered.
bool RenderOffer(UINT format);
// Frees (a secret's: wipes) an offer never rendered.
void DropOffer();

// What the view shows of a slot. The text is kept 8-bit in its own code page, or as UTF-16
// where that code page cannot carry it.
struct SlotContents {
  HGLOBAL block = nullptr;  // the text, zero-terminated; null when the slot is empty
  bool wide = false;        // UTF-16 rather than 8-bit
  UINT codePage = CP_ACP;   // the code page of the text's locale
  SIZE_T captionSize = 0;   // size of the text's 8-bit block: its length in that page plus 5
  bool secret = false;      // marked by its source as kept from clipboard histories
};
SlotContents SlotOf(int slot);

// A slot's text handed to another thread: the block is shared, never written by anyone, and
// freed only when both the slot and the holder have let go of it.
struct SlotShare {
  HGLOBAL block = nullptr;  // null: the slot holds no text, or a secret that must not leave it
  SIZE_T bytes = 0;         // the text, its terminator and slack
  bool wide = false;
  LCID locale = 0;
  SIZE_T captionSize = 0;
};
SlotShare ShareSlot(int slot);
// Lets go of a shared block, or frees a block no slot shares. Any thread.
void ReleaseShare(HGLOBAL block);
// A text from elsewhere (a kept file) becomes the slot's; the slot frees what it held.
void AdoptSlot(int slot, const SlotShare& text);
HGLOBAL SlotBlock(int slot);  // the slot's text block, or null when empty

// The file name of the program holding the clipboard open, or "" when it cannot be told.
void ClipboardHolderName(char* out, int size);

// Seams for tests: allocation of every block (slot texts and the copies handed to the
// clipboard), and the hand-over itself.
using SlotAllocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);
extern SlotAllocator gSlotAlloc;
using ClipboardSetter = HANDLE(WINAPI*)(UINT format, HANDLE data);
extern ClipboardSetter gSetClipboardData;

}  // namespace pinnafex
