// The user's clipboard borrowed for a paste or a copy by key: which formats a keeping copies,
// and when the clipboard goes back.
#pragma once

namespace pinnafex {

// Formats as the platform numbers them; its headers stay out of here.
constexpr unsigned kFormatText = 1, kFormatBitmap = 2, kFormatMetafilePict = 3, kFormatOemText = 7,
                   kFormatDib = 8, kFormatPalette = 9, kFormatUnicodeText = 13,
                   kFormatEnhMetafile = 14, kFormatDibV5 = 17;

// How a kept format is copied: memory as bytes, the others as objects of their kind.
enum class FormatKind { kMemory, kBitmap, kPalette, kEnhMetafile, kMetafilePict };
FormatKind KindOf(unsigned format);

// Whether a keeping copies `format`, a registered one named `name` (null for the others). Left
// out: what cannot be copied (owner-display, the display formats, the private and GDI-object
// ranges) and OLE's own formats, which describe the source's live object rather than data.
bool KeepsFormat(unsigned format, const char* name);

// True when the system derives `format` from `earlier` (two texts, two bitmaps, two
// metafiles): a keeping copies only the one the source put there, listed first.
bool DerivedFrom(unsigned format, unsigned earlier);

// The target reads the slot, then this long with no further request ends the paste; with no
// request at all, the paste ends this long after the keystroke.
constexpr unsigned kAfterReadMs = 500;
constexpr unsigned kUnreadMs = 2000;

// A paste by key under way over the kept clipboard.
struct Loan {
  bool open = false;    // the user's clipboard is kept, a slot stands in for it
  bool read = false;    // the last paste's target has asked for the slot
  unsigned keysMs = 0;  // when the last paste's keystroke went
  unsigned readMs = 0;  // the target's last request
};

enum class LoanStep {
  kWait,
  kNextPaste,  // a queued press may paste now, over the same kept clipboard
  kGiveBack,   // the paste is over: the user's clipboard goes back
  kLetGo,      // something else wrote the clipboard: the kept copy is dropped, nothing put back
};

// What to do at `nowMs` (a millisecond count that may wrap). `queued`: a press waits to paste;
// `ours`: the clipboard still holds what the bar offered.
LoanStep StepLoan(const Loan& loan, bool queued, bool ours, unsigned nowMs);

}  // namespace pinnafex
