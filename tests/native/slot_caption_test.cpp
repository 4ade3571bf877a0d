#include "slots/slot_caption.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace pinnafex {
namespace {

// One pixel a unit: the width is the count of units drawn.
int Units(void*, const char16_t*, std::size_t length) {
  return static_cast<int>(length);
}

TEST(SlotCaption, SizesNamesCutToTheFrameAndWhatAScreenReaderSays) {
  const std::tuple<std::size_t, bool, const char*, const char*> sizes[] = {
      {0, false, "Clip  4     0 Byte", "0 Byte"},
      {1023, false, "Clip  4  1023 Byte", "1023 Byte"},
      {1024, false, "Clip  4  1024 Byte", "1024 Byte"},
      {1025, false, "Clip  4     1 KB", "1 KB"},
      {39, true, "Clip  4  private", "private"},
  };
  for (const auto& [size, secret, caption, tip] : sizes) {
    char out[kCaptionSize], size_only[kCaptionSize];
    FormatSlotCaption(4, size, secret, out, sizeof out);
    FormatSlotSize(size, secret, size_only, sizeof size_only);
    EXPECT_EQ(std::make_pair(std::string(out), std::string(size_only)),
              std::make_pair(std::string(caption), std::string(tip)))
        << size;
  }
  const std::u16string koeln = u"IBAN K\u00F6ln", smile = u"ab\U0001F600cd";
  const std::tuple<std::u16string, int, std::u16string> named[] = {
      {koeln, 11, u"4 IBAN K\u00F6ln"}, {koeln, 9, u"4 IBAN K\u2026"},
      {koeln, 8, u"4 IBAN\u2026"},  // no blank before the ellipsis
      {smile, 6, u"4 ab\u2026"},    // never half a pair
      {koeln, 0, u"4 \u2026"},
  };
  for (const auto& [name, width, caption] : named) {
    char16_t out[kCaptionSize];
    FormatNamedCaption(4, name.c_str(), width, Units, nullptr, out);
    EXPECT_EQ(std::u16string(out), caption) << width;
  }
  char16_t trimmed[16];
  TrimSlotName(u" \u3000K\u00F6ln \u00A0", trimmed, 16);
  EXPECT_EQ(std::u16string(trimmed), u"K\u00F6ln");
  const std::tuple<SlotPart, int, std::u16string, std::u16string> parts[] = {
      {SlotPart::kPush, 4, u"IBAN", u"Push into slot 4 IBAN"},
      {SlotPart::kPop, 12, u"", u"Pop slot 12"},
      {SlotPart::kLines, 4, u"\u65E5\u672C", u"Lines of slot 4 \u65E5\u672C"},
  };
  for (const auto& [part, number, name, said] : parts) {
    char16_t out[kCaptionSize];
    FormatSlotPartName(part, number, name.c_str(), out, kCaptionSize);
    EXPECT_EQ(std::u16string(out), said) << number;
  }
}

}  // namespace
}  // namespace pinnafex
