// The dialog template IDD_DIALOG1 as the program carries it, read from the built exe.
#include <windows.h>

#include <gtest/gtest.h>

#include "built_exes.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "base/bar_ids.h"

using namespace pinnafex;

namespace {

struct Item {
  DWORD style, exStyle;
  short x, y, cx, cy;
  WORD id;
  WORD classAtom;  // 0 when the class is given by name
  std::string text;
  WORD extra;
};

struct Template {
  DWORD style = 0, exStyle = 0;
  WORD count = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string caption, font;
  WORD points = 0;
  bool menuOrClass = false;
  std::vector<Item> items;
};

class Reader {
 public:
  Reader(const BYTE* data, DWORD size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  template <typename T>
  T Take() {
    T value{};
    if (pos_ + sizeof(T) > size_) {
      ok_ = false;
      return value;
    }
    memcpy(&value, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return value;
  }
  std::string Text() {  // a UTF-16 string, narrowed (the template's texts are ASCII)
    std::string out;
    for (WORD c; ok_ && (c = Take<WORD>()) != 0;) out += static_cast<char>(c);
    return out;
  }
  // sz_Or_Ord: 0 none, 0xFFFF ordinal, else a string. Returns the ordinal, or 0.
  WORD NameOrOrdinal(std::string* name) {
    const WORD first = Take<WORD>();
    if (first == 0xFFFF) return Take<WORD>();
    if (first != 0) {
      pos_ -= sizeof(WORD);
      *name = Text();
    }
    return 0;
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<DWORD>(3); }

 private:
  const BYTE* data_;
  DWORD size_;
  DWORD pos_ = 0;
  bool ok_ = true;
};

bool Parse(const BYTE* data, DWORD size, Template* t) {
  Reader r(data, size);
  t->style = r.Take<DWORD>();
  t->exStyle = r.Take<DWORD>();
  t->count = r.Take<WORD>();
  t->x = r.Take<short>();
  t->y = r.Take<short>();
  t->cx = r.Take<short>();
  t->cy = r.Take<short>();
  std::string menu, cls;
  t->menuOrClass =
      r.NameOrOrdinal(&menu) != 0 || r.NameOrOrdinal(&cls) != 0 || !menu.empty() || !cls.empty();
  t->caption = r.Text();
  if (t->style & DS_SETFONT) {
    t->points = r.Take<WORD>();
    t->font = r.Text();
  }
  for (WORD i = 0; i < t->count && r.ok(); ++i) {
    r.AlignDword();
    Item item{};
    item.style = r.Take<DWORD>();
    item.exStyle = r.Take<DWORD>();
    item.x = r.Take<short>();
    item.y = r.Take<short>();
    item.cx = r.Take<short>();
    item.cy = r.Take<short>();
    item.id = r.Take<WORD>();
    std::string className;
    item.classAtom = r.NameOrOrdinal(&className);
    r.NameOrOrdinal(&item.text);
    item.extra = r.Take<WORD>();
    t->items.push_back(item);
  }
  return r.ok();
}

bool LoadTemplate(const std::string& exe, Template* t) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  HRSRC found = FindResourceA(module, "IDD_DIALOG1", MAKEINTRESOURCEA(5));  // RT_DIALOG
  bool parsed = false;
  if (found) {
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    parsed = data && Parse(data, SizeofResource(module, found), t);
  }
  FreeLibrary(module);
  return parsed;
}

constexpr WORD kButton = 0x80, kEdit = 0x81, kCombo = 0x85;

struct Family {
  WORD atom;
  DWORD style;
  short cx, cy;
};
constexpr Family kFrame{kButton, 0x50020007, 70, 40};
constexpr Family kPop{kButton, 0x50010300, 26, 14};
constexpr Family kPush = kPop;
constexpr Family kSlotEdit{kEdit, 0x58810800, 57, 12};
constexpr Family kSlotCombo{kCombo, 0x50210002, 100, 263};

struct Expected {
  int id;
  Family family;
  std::string text;
};

// Creation order: frames, Pops and Pushes of slots 1-8; their edits; the clock group;
// slots 9-20 with their edits; the twenty combos and the spare one.
std::vector<Expected> ExpectedItems() {
  const int frame[] = {103, 104, 107, 110, 113, 116, 119, 122, 136, 140,
                       144, 148, 152, 156, 160, 164, 168, 172, 176, 180};
  const int pop[] = {101, 105, 108, 111, 114, 117, 120, 123, 137, 141,
                     145, 149, 153, 157, 161, 165, 169, 173, 177, 181};
  const int edit[] = {125, 126, 127, 128, 129, 130, 131, 132, 139, 143,
                      147, 151, 155, 159, 163, 167, 171, 175, 179, 183};
  std::vector<Expected> out;
  auto slot = [&](int i) {
    out.push_back({frame[i], kFrame, "Clip " + std::to_string(i + 1)});
    out.push_back({pop[i], kPop, "Pop"});
    out.push_back({pop[i] + 1, kPush, "Push"});  // each Push follows its Pop by one
  };
  auto slotEdit = [&](int i) {
    out.push_back({edit[i], kSlotEdit, "Edit" + std::to_string(i < 8 ? i + 1 : 8)});
  };
  for (int i = 0; i < 8; ++i) slot(i);
  for (int i = 0; i < 8; ++i) slotEdit(i);
  out.push_back({133, kFrame, ""});
  out.back().family.cx = 111;
  out.push_back({134, {kButton, 0x50010300, 98, 14}, "EXIT"});
  out.push_back({135, {kEdit, 0x50810800, 104, 12}, "Edit8"});
  for (int i = 8; i < 20; ++i) {
    slot(i);
    slotEdit(i);
  }
  for (int id = 184; id <= 204; ++id) {
    out.push_back({id, kSlotCombo, "ComboBox1"});
    if (id == 187) out.back().family.style = 0x58210002;  // slot 4's combo starts disabled
  }
  return out;
}

}  // namespace

TEST(Template, HeaderAndEveryControlAsTheBarNeedsThem) {
  for (const std::string& exe : ExesToCheck()) {
    SCOPED_TRACE(exe);
    Template t;
    ASSERT_TRUE(LoadTemplate(exe, &t)) << "IDD_DIALOG1 not found or malformed";
    EXPECT_EQ(t.style, 0x80C80244u);
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 815);
    EXPECT_EQ(t.cy, 317);
    EXPECT_FALSE(t.menuOrClass);
    EXPECT_EQ(t.caption, "Pinnafex");
    EXPECT_EQ(t.points, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
    ASSERT_EQ(t.count, 104);
    const std::vector<Expected> expected = ExpectedItems();
    ASSERT_EQ(t.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      const Item& got = t.items[i];
      const Expected& want = expected[i];
      SCOPED_TRACE("item " + std::to_string(i) + ", id " + std::to_string(want.id));
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.classAtom, want.family.atom);
      EXPECT_EQ(got.style, want.family.style);
      EXPECT_EQ(got.exStyle, 0u);
      EXPECT_EQ(got.cx, want.family.cx);
      EXPECT_EQ(got.cy, want.family.cy);
      EXPECT_EQ(got.text, want.text);
      EXPECT_EQ(got.extra, 0);
      EXPECT_GE(got.x, 128) << "off the docked bar";
      EXPECT_GE(got.y, 94) << "off the docked bar";
      EXPECT_LE(got.x + got.cx, 815);
      EXPECT_LE(got.y + (want.family.atom == kCombo ? 14 : got.cy), 317);
    }
  }
}

TEST(Template, SlotControlTableMatchesTheTemplate) {
  Template t;
  ASSERT_TRUE(LoadTemplate(SiblingExe(), &t));
  auto textOf = [&](int id) {
    for (const Item& item : t.items) {
      if (item.id == id) return item.text;
    }
    return std::string("<missing>");
  };
  for (int i = 0; i < kSlotCount; ++i) {
    EXPECT_EQ(textOf(kSlotFrameIds[i]), "Clip " + std::to_string(i + 1)) << "slot " << i + 1;
    EXPECT_EQ(textOf(kPopButtonIds[i]), "Pop") << "slot " << i + 1;
    EXPECT_EQ(textOf(kPushButtonIds[i]), "Push") << "slot " << i + 1;
    EXPECT_EQ(textOf(kSlotComboIds[i]), "ComboBox1") << "slot " << i + 1;
    EXPECT_EQ(FindSlot(kPushButtonIds, kPushButtonIds[i]), i);
    EXPECT_EQ(FindSlot(kPopButtonIds, kPushButtonIds[i]), -1);
  }
  std::vector<int> seen(IDC_SPARE_COMBO + 1, 0);
  for (const Item& item : t.items) ++seen.at(item.id);
  for (int id = IDC_SLOT_1_POP; id <= IDC_SPARE_COMBO; ++id) EXPECT_EQ(seen[id], 1) << "id " << id;
}

TEST(Template, IconAndBitmapsAreCarried) {
  for (const std::string& exe : ExesToCheck()) {
    SCOPED_TRACE(exe);
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    struct Row {
      LPCSTR name;
      LPCSTR type;
      DWORD size;  // 0: any
    } rows[] = {
        {MAKEINTRESOURCEA(12563), MAKEINTRESOURCEA(2), 70928},
        {MAKEINTRESOURCEA(12633), MAKEINTRESOURCEA(2), 70928},
        {"IDI_ICON1", MAKEINTRESOURCEA(14), 0},         // RT_GROUP_ICON
        {MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3), 0},  // RT_ICON 1: the 32x32 image
    };
    for (const Row& row : rows) {
      HRSRC found = FindResourceA(module, row.name, row.type);
      EXPECT_NE(found, nullptr);
      if (found && row.size) EXPECT_EQ(SizeofResource(module, found), row.size);
    }
    FreeLibrary(module);
  }
}
