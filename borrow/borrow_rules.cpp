#include "borrow/borrow_rules.h"

#include <cstring>

namespace pinnafex {

namespace {

struct FormatRange {
  unsigned first, last;
};
// Owner-display and the display formats (0x80-0x83, 0x8E), the private range and the GDI-object
// range: their data means something only to the program that put it there.
constexpr FormatRange kExcludedRanges[] = {
    {0x80, 0x83}, {0x8E, 0x8E}, {0x200, 0x2FF}, {0x300, 0x3FF}};

// OLE's formats: a live object and its descriptors. A program that pastes through OLE reads the
// plain formats beside them instead.
constexpr const char* kOleFormats[] = {
    "DataObject",
    "Ole Private Data",
    "OleClipboardPersistOnFlush",
    "Object Descriptor",
    "Link Source Descriptor",
    "Embed Source",
    "Embedded Object",
    "Link Source",
    "OwnerLink",
    "ObjectLink",
    "Native",
};

constexpr struct {
  unsigned format;
  FormatKind kind;
} kObjectFormats[] = {{kFormatBitmap, FormatKind::kBitmap},
                      {kFormatPalette, FormatKind::kPalette},
                      {kFormatEnhMetafile, FormatKind::kEnhMetafile},
                      {kFormatMetafilePict, FormatKind::kMetafilePict}};

// Formats the system converts into one another.
constexpr unsigned kFamilies[][3] = {{kFormatText, kFormatOemText, kFormatUnicodeText},
                                     {kFormatBitmap, kFormatDib, kFormatDibV5},
                                     {kFormatEnhMetafile, kFormatMetafilePict, 0}};

int FamilyOf(unsigned format) {
  for (int family = 0; family < static_cast<int>(sizeof kFamilies / sizeof kFamilies[0]);
       ++family) {
    for (unsigned member : kFamilies[family]) {
      if (member && member == format) return family;
    }
  }
  return -1;
}

bool Within(unsigned sinceMs, unsigned nowMs, unsigned spanMs) {
  return nowMs - sinceMs < spanMs;  // unsigned: right across the wrap
}

}  // namespace

FormatKind KindOf(unsigned format) {
  for (const auto& row : kObjectFormats) {
    if (row.format == format) return row.kind;
  }
  return FormatKind::kMemory;
}

bool KeepsFormat(unsigned format, const char* name) {
  for (const FormatRange& range : kExcludedRanges) {
    if (format >= range.first && format <= range.last) return false;
  }
  for (const char* ole : kOleFormats) {
    if (name && !std::strcmp(name, ole)) return false;
  }
  return format != 0;
}

bool DerivedFrom(unsigned format, unsigned earlier) {
  const int family = FamilyOf(format);
  return family >= 0 && family == FamilyOf(earlier);
}

LoanStep StepLoan(const Loan& loan, bool queued, bool ours, unsigned nowMs) {
  if (!loan.open) return queued ? LoanStep::kNextPaste : LoanStep::kWait;
  if (!ours) return LoanStep::kLetGo;
  const bool unreadOver = !Within(loan.keysMs, nowMs, kUnreadMs);
  // Each paste waits for its target's read, or for the time a read may take, before the next.
  if (queued && (loan.read || unreadOver)) return LoanStep::kNextPaste;
  const bool over = loan.read ? !Within(loan.readMs, nowMs, kAfterReadMs) : unreadOver;
  return over ? LoanStep::kGiveBack : LoanStep::kWait;
}

}  // namespace pinnafex
