// Settings against the real registry of the test prefix, and the priority levels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/priority.h"
#include "settings/settings.h"
#include "settings/settings_text.h"
#include "base/bar_ids.h"

using namespace pinnafex;

namespace {

constexpr char kTestKey[] = "Pinnafex_SettingsTest";

void DeleteKey(const char* key) {
  RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

void StoreRaw(const char* key, const char* value, DWORD type, const void* data, DWORD size) {
  HKEY hkey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey,
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(hkey, value, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(hkey);
}

struct Stored {
  DWORD type = 0;
  std::string bytes;
  bool found = false;
};

Stored ReadRaw(const char* key, const char* value) {
  Stored out;
  HKEY hkey = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &hkey) != ERROR_SUCCESS) return out;
  char data[512];
  DWORD size = sizeof data;
  if (RegQueryValueExA(hkey, value, nullptr, &out.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    out.found = true;
    out.bytes.assign(data, size);
  }
  RegCloseKey(hkey);
  return out;
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKey(kTestKey);
    DeleteKey(kProgramKey);
  }
  void TearDown() override {
    DeleteKey(kTestKey);
    DeleteKey(kProgramKey);
  }
};

}  // namespace

TEST_F(Settings, WriteStoresDecimalTextWithItsTerminator) {
  const int values[] = {0, 1, -1, 2147483647};
  for (int value : values) {
    WriteIntSetting("STARTPOSITON", value);
    const Stored got = ReadRaw(kProgramKey, "STARTPOSITON");
    const std::string text = std::to_string(value);
    ASSERT_TRUE(got.found) << value;
    EXPECT_EQ(got.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(got.bytes, std::string(text.c_str(), text.size() + 1)) << "NUL included";
    int read = 12345;
    EXPECT_EQ(ReadIntSetting("STARTPOSITON", &read, 99), value);
    EXPECT_EQ(read, value);
  }
}

TEST_F(Settings, StringWriteCreatesTheKeyAndReturnsTheText) {
  const char* text = "hello";
  EXPECT_EQ(WriteSettingString(kTestKey, "V", text), text);
  char dest[kSettingTextSize];
  std::memset(dest, 0xCC, sizeof dest);
  EXPECT_EQ(ReadSettingString(kTestKey, "V", dest, "fallback"), dest);
  EXPECT_STREQ(dest, "hello");
}

TEST_F(Settings, EveryStoredValueReadsAsADefinedInteger) {
  const std::string longText(300, '5');
  const DWORD dword = 1;
  const unsigned char binary[] = {'4', '2', 0};
  struct Row {
    const char* what;
    bool store;
    DWORD type;
    std::string bytes;
    int expected;  // the fallback is 7
  } rows[] = {
      {"missing", false, REG_SZ, "", 7},
      {"1", true, REG_SZ, std::string("1\0", 2), 1},
      {"-1", true, REG_SZ, std::string("-1\0", 3), -1},
      {"abc", true, REG_SZ, std::string("abc\0", 4), 0},
      {"99999999999 saturates", true, REG_SZ, std::string("99999999999\0", 12), 2147483647},
      {"empty value of size 0", true, REG_SZ, std::string(), 0},
      {"no terminator keeps every digit", true, REG_SZ, "123", 123},
      {"longer than the buffer", true, REG_SZ, longText + '\0', 7},
      {"a DWORD is not text", true, REG_DWORD,
       std::string(reinterpret_cast<const char*>(&dword), 4), 7},
      {"binary is not text", true, REG_BINARY,
       std::string(reinterpret_cast<const char*>(binary), 3), 7},
      {" 12 with blanks", true, REG_SZ, std::string(" 12\0", 4), 12},
  };
  for (const Row& row : rows) {
    DeleteKey(kProgramKey);
    if (row.store)
      StoreRaw(kProgramKey, "NOCLOCK", row.type, row.bytes.data(),
               static_cast<DWORD>(row.bytes.size()));
    int read = 12345;
    EXPECT_EQ(ReadIntSetting("NOCLOCK", &read, 7), row.expected) << row.what;
    EXPECT_EQ(read, row.expected) << row.what;
  }
}

TEST_F(Settings, ReadNeverWritesPastTheBuffer) {
  // The destination is 256 bytes: a guard right behind it must survive every stored value.
  const std::string texts[] = {std::string(255, 'x'), std::string(256, 'x'), std::string(400, 'x'),
                               std::string()};
  for (const std::string& text : texts) {
    StoreRaw(kTestKey, "V", REG_SZ, text.data(), static_cast<DWORD>(text.size()));
    struct {
      char dest[kSettingTextSize];
      char guard[16];
    } buffer;
    std::memset(&buffer, 0xCC, sizeof buffer);
    ReadSettingString(kTestKey, "V", buffer.dest, "d");
    for (char c : buffer.guard) EXPECT_EQ(static_cast<unsigned char>(c), 0xCC) << text.size();
    const std::string expected = text.size() <= 255 ? text : "d";
    EXPECT_EQ(std::string(buffer.dest), expected) << "stored " << text.size() << " bytes";
  }
}

TEST(PriorityLevels, SetClassAndThreadPriority) {
  struct Row {
    int level;
    DWORD processClass;
    int threadPriority;
  } rows[] = {
      {2, HIGH_PRIORITY_CLASS, THREAD_PRIORITY_HIGHEST},
      {1, NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},
      {0, IDLE_PRIORITY_CLASS, THREAD_PRIORITY_IDLE},
      {5, NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},
      {255, NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},
      {128, NORMAL_PRIORITY_CLASS, THREAD_PRIORITY_NORMAL},
  };
  for (const Row& row : rows) {
    SetPriorityLevel(row.level);
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), row.processClass) << "level " << row.level;
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), row.threadPriority) << "level " << row.level;
  }
  SetPriorityLevel(1);
}
