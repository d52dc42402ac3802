// Settings stores and registry keys of the tools library, against the real
// registry of the prefix, each test in an area of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "registry_test_area.h"
#include "support/fake_tools.h"
#include "toolslib/registry_service.h"

namespace {

bool KeyExists(HKEY root, const VoString& path, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A value as stored, read without the library.
struct Stored {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool found = false;
};

Stored ReadDirectly(HKEY root, const VoString& path, const wchar_t* name) {
  Stored v;
  DWORD size = 0;
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &v.type, nullptr, &size) != ERROR_SUCCESS) {
    return v;
  }
  v.data.resize(size);
  v.found = RegGetValueW(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &v.type,
                         v.data.empty() ? nullptr : v.data.data(), &size) == ERROR_SUCCESS;
  v.data.resize(size);
  return v;
}

void WriteDirectly(HKEY root, const VoString& path, const wchar_t* name, DWORD type, const void* data, size_t size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
  static const BYTE kNothing = 0;
  EXPECT_EQ(RegSetValueExW(key, name, 0, type, size ? static_cast<const BYTE*>(data) : &kNothing,
                           static_cast<DWORD>(size)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::vector<BYTE> TextBytes(std::wstring_view text, bool terminated = true) {
  std::vector<BYTE> bytes((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t), 0);
  std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
  return bytes;
}

std::vector<VoString> Sorted(const VoStringArray& names) {
  std::vector<VoString> v(names.begin(), names.end());
  std::sort(v.begin(), v.end());
  return v;
}

using RegistryService = RegistryTestArea;

TEST(RegistryServiceArea, NamedAfterProductAndMajorVersion) {
  EXPECT_EQ(SettingsAreaOf(L"Halvora", 23), L"Software\\V. Ortala\\Halvora 23");
  VoRegistryService registry(L"Software\\V. Ortala\\Halvora 23\\");
  VoString root;
  registry.GetSettingsRoot(root);
  EXPECT_EQ(root, L"Software\\V. Ortala\\Halvora 23");
}

TEST(RegistryServiceArea, WithoutAreaNoStoreOpens) {
  VoRegistryService registry;
  EXPECT_EQ(registry.OpenStore(L"Installer", 0), nullptr);
  EXPECT_EQ(registry.OpenStore(L"Installer", 1), nullptr);
  VoString root(L"x");
  registry.GetSettingsRoot(root);
  EXPECT_TRUE(root.IsEmpty());
}

TEST_F(RegistryService, StoreIsCreatedOnFirstWriteOrAtOnce) {
  const struct {
    const wchar_t* name;
    int flag;
    const wchar_t* path;  // below the area
    bool exists_when_opened;
  } cases[] = {
      {L"Installer", 0, L"Installer", false},
      {L"Installer\\Finalize", 0, L"Installer\\Finalize", false},
      {L"Plugins\\Input", 1, L"Plugins\\Input", true},
      {L"\\Properties\\", 1, L"Properties", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.name).ToUtf8());
    RegDeleteTreeW(HKEY_CURRENT_USER, area_.c_str());
    VoRegistryKeyPtr store(registry_.OpenStore(c.name, c.flag));
    ASSERT_TRUE(store);
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, StorePath(c.path)), c.exists_when_opened);
    // Reads and listings of a store not yet there give the defaults.
    VoString text;
    store->ReadString(L"Install Directory", L"C:\\Default\\", text);
    EXPECT_EQ(text, L"C:\\Default\\");
    EXPECT_EQ(store->ReadInt(L"Run Auto Install", 7), 7);
    EXPECT_FALSE(store->ValueExists(L"Run Auto Install"));
    VoStringArray names;
    store->GetValueNames(names);
    EXPECT_TRUE(names.IsEmpty());
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, StorePath(c.path)), c.exists_when_opened);

    EXPECT_TRUE(store->WriteInt(L"Run Auto Install", 1));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, StorePath(c.path)));
    EXPECT_EQ(store->ReadInt(L"Run Auto Install", 7), 1);
  }
}

TEST_F(RegistryService, StoreOpenedBeforeItExistedSeesLaterWrites) {
  VoRegistryKeyPtr reader(registry_.OpenStore(L"Installer", 0));
  VoRegistryKeyPtr writer(registry_.OpenStore(L"Installer", 1));
  ASSERT_TRUE(reader && writer);
  ASSERT_TRUE(writer->WriteString(L"Distributor ID", L"D-17", kVoValuePlain));
  VoString text;
  reader->ReadString(L"Distributor ID", L"", text);
  EXPECT_EQ(text, L"D-17");
}

TEST_F(RegistryService, TextsNumbersAndFoldersRoundTrip) {
  const std::wstring long_text(100000, L'x');
  const std::wstring long_name(2000, L'n');
  const struct {
    const wchar_t* name;
    std::wstring value;
    int kind;
    const wchar_t* expected;  // null: the value as given
  } texts[] = {
      {L"Distributor ID", L"Ab\u00e9\u4e2d \U0001F600", kVoValuePlain, nullptr},
      {L"Plain Path", L"C:\\Program Files\\Halvora", kVoValuePlain, nullptr},
      {L"Install Directory", L"C:\\Program Files\\Halvora", kVoValueFolder, L"C:\\Program Files\\Halvora\\"},
      {L"Doubled", L"C:\\Halvora\\\\\\", kVoValueFolder, L"C:\\Halvora\\"},
      {L"Kept", L"D:\\Media\\", kVoValueFolder, L"D:\\Media\\"},
      {L"Empty Folder", L"", kVoValueFolder, L""},
      {L"Empty", L"", kVoValuePlain, L""},
      {L"", L"the default value", kVoValuePlain, nullptr},
      {L"Long", long_text, kVoValuePlain, nullptr},
      {long_name.c_str(), L"long name", kVoValuePlain, nullptr},
  };
  VoRegistryKeyPtr store(registry_.OpenStore(L"Installer", 0));
  ASSERT_TRUE(store);
  for (const auto& t : texts) {
    SCOPED_TRACE(VoString(t.name).Left(40).ToUtf8());
    ASSERT_TRUE(store->WriteString(t.name, t.value.c_str(), t.kind));
    const VoString expected = t.expected ? VoString(t.expected) : VoString(t.value);
    VoString read;
    store->ReadString(t.name, L"default", read);
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(store->ValueExists(t.name));
    const Stored stored = ReadDirectly(HKEY_CURRENT_USER, StorePath(L"Installer"), t.name);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.data, TextBytes(expected.View()));
  }

  for (const int n : {0, 1, -1, 23, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(store->WriteInt(L"Number", n));
    EXPECT_EQ(store->ReadInt(L"Number", 99), n);
    const Stored stored = ReadDirectly(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Number");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(stored.data.size(), 4u);
  }
}

TEST_F(RegistryService, ReadsOtherKindsAsTextOrNumber) {
  const int32_t minus_five = -5;
  const int64_t small64 = 5, big64 = int64_t{1} << 40;
  const std::vector<BYTE> binary = {1, 2, 3, 4};
  const struct {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
    const wchar_t* text;  // what ReadString gives, "default" for the default
    int number;           // what ReadInt gives, -99 for the default
  } cases[] = {
      {L"Dword", REG_DWORD, {}, L"-5", -5},
      {L"Number Text", REG_SZ, TextBytes(L"42"), L"42", 42},
      {L"Signed Text", REG_SZ, TextBytes(L"  -17 apples"), L"  -17 apples", -17},
      {L"Word Text", REG_SZ, TextBytes(L"apples"), L"apples", -99},
      {L"Sign Only", REG_SZ, TextBytes(L"-"), L"-", -99},
      {L"Empty Text", REG_SZ, TextBytes(L""), L"", -99},
      {L"Expandable", REG_EXPAND_SZ, TextBytes(L"%TEMP%\\12"), L"%TEMP%\\12", -99},
      {L"Unterminated", REG_SZ, TextBytes(L"8 bits", false), L"8 bits", 8},
      {L"Binary", REG_BINARY, binary, L"default", -99},
      {L"Multi", REG_MULTI_SZ, TextBytes(std::wstring(L"a\0b\0", 4)), L"default", -99},
      {L"Small Qword", REG_QWORD, {}, L"5", 5},
      {L"Big Qword", REG_QWORD, {}, L"1099511627776", -99},
  };
  const VoString path = StorePath(L"Kinds");
  for (const auto& c : cases) {
    if (c.type == REG_DWORD) WriteDirectly(HKEY_CURRENT_USER, path, c.name, c.type, &minus_five, 4);
    else if (c.type == REG_QWORD) {
      const int64_t& q = std::wstring_view(c.name) == L"Small Qword" ? small64 : big64;
      WriteDirectly(HKEY_CURRENT_USER, path, c.name, c.type, &q, 8);
    } else WriteDirectly(HKEY_CURRENT_USER, path, c.name, c.type, c.data.data(), c.data.size());
  }
  VoRegistryKeyPtr store(registry_.OpenStore(L"Kinds", 0));
  ASSERT_TRUE(store);
  for (const auto& c : cases) {
    SCOPED_TRACE(VoString(c.name).ToUtf8());
    VoString text;
    store->ReadString(c.name, L"default", text);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(store->ReadInt(c.name, -99), c.number);
  }
  VoString text;
  store->ReadString(L"Missing", nullptr, text);
  EXPECT_EQ(text, L"");
  EXPECT_EQ(store->ReadInt(L"Missing", -3), -3);
}

TEST_F(RegistryService, ListsSubkeysAndValues) {
  const std::wstring long_key(250, L'k');
  const std::wstring long_value_name(5000, L'v');
  VoRegistryKeyPtr plugins(registry_.OpenStore(L"Plugins", 1));
  ASSERT_TRUE(plugins);
  for (const std::wstring& name : {std::wstring(L"Plugins\\Input"), std::wstring(L"Plugins\\Output\\Deeper"),
                                   L"Plugins\\" + long_key}) {
    VoRegistryKeyPtr key(registry_.OpenStore(name.c_str(), 1));
    ASSERT_TRUE(key);
  }
  ASSERT_TRUE(plugins->WriteString(L"", L"default", kVoValuePlain));
  ASSERT_TRUE(plugins->WriteInt(L"Count", 2));
  ASSERT_TRUE(plugins->WriteString(long_value_name.c_str(), L"x", kVoValuePlain));

  VoStringArray names;
  plugins->GetSubkeyNames(names);
  EXPECT_EQ(Sorted(names), (std::vector<VoString>{L"Input", L"Output", VoString(long_key)}));
  plugins->GetValueNames(names);
  EXPECT_EQ(Sorted(names), (std::vector<VoString>{L"", L"Count", VoString(long_value_name)}));

  VoRegistryKeyPtr empty(registry_.OpenStore(L"Plugins\\Input", 0));
  ASSERT_TRUE(empty);
  names.Add(L"left over");
  empty->GetSubkeyNames(names);
  EXPECT_TRUE(names.IsEmpty());
}

TEST_F(RegistryService, DeletesSubkeysWithEverythingBelowAndValues) {
  VoRegistryKeyPtr area(registry_.OpenStore(L"", 1));
  ASSERT_TRUE(area);
  for (const wchar_t* name : {L"PluginsRemoteControl\\Keys\\Deep", L"PluginsRemoteControl\\Other", L"Handheld"}) {
    VoRegistryKeyPtr key(registry_.OpenStore(name, 0));
    ASSERT_TRUE(key && key->WriteString(L"Value", L"v", kVoValuePlain));
  }
  EXPECT_TRUE(area->DeleteSubkey(L"PluginsRemoteControl"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, StorePath(L"PluginsRemoteControl")));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, StorePath(L"Handheld")));
  EXPECT_FALSE(area->DeleteSubkey(L"PluginsRemoteControl"));
  // No name must not empty the key itself.
  EXPECT_FALSE(area->DeleteSubkey(L""));
  EXPECT_FALSE(area->DeleteSubkey(nullptr));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, StorePath(L"Handheld")));

  VoRegistryKeyPtr handheld(registry_.OpenStore(L"Handheld", 0));
  ASSERT_TRUE(handheld);
  EXPECT_TRUE(handheld->DeleteValue(L"Value"));
  EXPECT_FALSE(handheld->ValueExists(L"Value"));
  EXPECT_FALSE(handheld->DeleteValue(L"Value"));

  // A store not yet there has nothing to delete, and stays away.
  VoRegistryKeyPtr missing(registry_.OpenStore(L"Never", 0));
  ASSERT_TRUE(missing);
  EXPECT_FALSE(missing->DeleteValue(L"Value"));
  EXPECT_FALSE(missing->DeleteSubkey(L"Sub"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, StorePath(L"Never")));
}

TEST_F(RegistryService, CarriesValuesOverAsStored) {
  std::vector<BYTE> large(70000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<BYTE>(i * 7);
  const int32_t dword = -2;
  const struct {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
  } values[] = {
      {L"Binary", REG_BINARY, {0, 1, 0, 255, 0}},
      {L"Empty Binary", REG_BINARY, {}},
      {L"Large", REG_BINARY, large},
      {L"Multi", REG_MULTI_SZ, TextBytes(std::wstring(L"one\0two\0\0", 9), false)},
      {L"Expandable", REG_EXPAND_SZ, TextBytes(L"%SystemRoot%\\x")},
      {L"Dword", REG_DWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&dword),
                                              reinterpret_cast<const BYTE*>(&dword) + 4)},
      {L"", REG_SZ, TextBytes(L"default")},
  };
  for (const auto& v : values) {
    WriteDirectly(HKEY_CURRENT_USER, StorePath(L"Old"), v.name, v.type, v.data.data(), v.data.size());
  }

  VoRegistryKeyPtr from(registry_.OpenStore(L"Old", 0));
  VoRegistryKeyPtr to(registry_.OpenStore(L"New\\Place", 0));
  ASSERT_TRUE(from && to);
  VoStringArray names;
  from->GetValueNames(names);
  ASSERT_EQ(names.GetCount(), std::size(values));
  for (const VoString& name : names) {
    unsigned type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(from->ReadRaw(name.c_str(), type, data));
    ASSERT_TRUE(to->WriteRaw(name.c_str(), type, data));
  }
  for (const auto& v : values) {
    SCOPED_TRACE(VoString(v.name).ToUtf8());
    const Stored stored = ReadDirectly(HKEY_CURRENT_USER, StorePath(L"New\\Place"), v.name);
    EXPECT_TRUE(stored.found);
    EXPECT_EQ(stored.type, v.type);
    EXPECT_EQ(stored.data, v.data);
  }

  unsigned type = 12345;
  std::vector<unsigned char> data = {9};
  EXPECT_FALSE(from->ReadRaw(L"Missing", type, data));
  EXPECT_TRUE(data.empty());
}

TEST_F(RegistryService, OpensMachineKeysInTheProgramsOwnView) {
  const VoString path = VoString(L"Software\\V. Ortala Tests\\") + area_.Mid(area_.FindLast(L'\\') + 1).View();
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
  struct Cleanup {
    const VoString& path;
    ~Cleanup() {
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\V. Ortala Tests");
    }
  } cleanup{path};
  EXPECT_EQ(registry_.OpenKey(VoRegistryRoot::kLocalMachine, path.c_str(), false), nullptr);

  VoRegistryKeyPtr key(registry_.OpenKey(VoRegistryRoot::kLocalMachine, path.c_str(), true));
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->WriteString(L"Path", L"C:\\Program Files\\Halvora", kVoValueFolder));
  key.reset();
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, VoString(L"Software\\WOW6432Node\\") + path.Mid(9).View()));

  VoRegistryKeyPtr again(registry_.OpenKey(VoRegistryRoot::kLocalMachine, path.c_str(), false));
  ASSERT_TRUE(again);
  VoString text;
  again->ReadString(L"Path", L"", text);
  EXPECT_EQ(text, L"C:\\Program Files\\Halvora\\");
  again.reset();

  // A key of the system, read as any reader of machine keys would.
  VoRegistryKeyPtr system(
      registry_.OpenKey(VoRegistryRoot::kLocalMachine, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false));
  ASSERT_TRUE(system);
  system->ReadString(L"ProgramFilesDir", L"", text);
  EXPECT_FALSE(text.IsEmpty());
  VoStringArray names;
  system->GetSubkeyNames(names);
  EXPECT_NE(names.FindNoCase(L"Uninstall"), VoStringArray::npos);
}

TEST_F(RegistryService, ReachedThroughTheToolsInterface) {
  FakeTools tools;
  tools.registry = &registry_;
  VoRegistryKeyPtr store = vo::OpenStore(L"Installer", 0);
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->WriteString(L"Install Directory", L"C:\\Halvora", kVoValueFolder));
  const Stored stored = ReadDirectly(HKEY_CURRENT_USER, StorePath(L"Installer"), L"Install Directory");
  EXPECT_EQ(stored.data, TextBytes(L"C:\\Halvora\\"));
}

}  // namespace
