#include "toolslib/registry_key.h"

#include <cstdint>
#include <cstring>

#include "foundation/number_text.h"
#include "foundation/path_text.h"

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

const wchar_t* NameOrDefault(const wchar_t* name) { return name ? name : L""; }

// A value's type and bytes, whatever their size; the value may grow between
// asking for its size and reading it, so the read is retried a few times.
bool QueryValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& data) {
  data.clear();
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(data.size());
    const LONG result = RegQueryValueExW(key, name, nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_MORE_DATA || (result == ERROR_SUCCESS && data.empty() && size > 0)) {
      data.resize(size + sizeof(wchar_t));
      continue;
    }
    if (result != ERROR_SUCCESS) return false;
    data.resize(size);
    return true;
  }
  return false;
}

// The text of a string value: up to its first NUL, a stray odd byte dropped.
VoString TextOf(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  const size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return VoString(std::move(text));
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// A number value as a signed 64-bit number; false for any other value.
bool NumberOf(DWORD type, const std::vector<BYTE>& data, int64_t& value) {
  if (type == REG_DWORD && data.size() == sizeof(int32_t)) {
    int32_t v;
    std::memcpy(&v, data.data(), sizeof v);
    value = v;
    return true;
  }
  if (type == REG_QWORD && data.size() == sizeof(int64_t)) {
    std::memcpy(&value, data.data(), sizeof value);
    return true;
  }
  return false;
}

// The number at the start of `text`, when it starts with one.
bool NumberInText(const VoString& text, int& value) {
  size_t consumed = 0;
  const int parsed = vo::ParseInt(text.View(), &consumed);
  if (consumed == 0 || vo::DecimalDigitValue(text[consumed - 1]) < 0) return false;
  value = parsed;
  return true;
}

// Names listed by an enumeration function taking an index, a name buffer and
// its length; the buffer grows when a name does not fit.
template <typename EnumFn>
void ListNames(HKEY key, DWORD longest, EnumFn enumerate, VoStringArray& names) {
  std::wstring buffer(static_cast<size_t>(longest) + 1, L'\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG result = enumerate(key, index, buffer.data(), &length);
    if (result == ERROR_MORE_DATA && buffer.size() < 32768) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (result != ERROR_SUCCESS) break;
    names.Add(VoString(buffer.data(), length));
    ++index;
  }
}

}  // namespace

VoRegistryKey* VoRegistryKey::Open(HKEY root, const VoString& path, bool create) {
  HKEY key = nullptr;
  LONG result = create ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite,
                                         nullptr, &key, nullptr)
                       : RegOpenKeyExW(root, path.c_str(), 0, kReadWrite, &key);
  if (result == ERROR_ACCESS_DENIED) {
    // Readers of machine keys need no administrator rights.
    result = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key);
  }
  if (result != ERROR_SUCCESS) return nullptr;
  return new VoRegistryKey(root, path, key);
}

VoRegistryKey* VoRegistryKey::OpenOnWrite(HKEY root, const VoString& path) {
  VoRegistryKey* key = new VoRegistryKey(root, path, nullptr);
  key->Key(false);
  return key;
}

VoRegistryKey::~VoRegistryKey() {
  if (key_) RegCloseKey(key_);
}

void VoRegistryKey::Release() { delete this; }

HKEY VoRegistryKey::Key(bool for_writing) {
  if (key_) return key_;
  // Not there when opened: someone may have made it since.
  if (RegOpenKeyExW(root_, path_.c_str(), 0, kReadWrite, &key_) == ERROR_SUCCESS) return key_;
  key_ = nullptr;
  if (for_writing && RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite, nullptr,
                                     &key_, nullptr) == ERROR_SUCCESS) {
    return key_;
  }
  key_ = nullptr;
  return nullptr;
}

void VoRegistryKey::ReadString(const wchar_t* name, const wchar_t* default_value, VoString& out) {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  int64_t number = 0;
  HKEY key = Key(false);
  if (key && QueryValue(key, NameOrDefault(name), type, data)) {
    if (IsText(type)) {
      out = TextOf(data);
      return;
    }
    if (NumberOf(type, data, number)) {
      out = vo::FormatInt(number);
      return;
    }
  }
  out = VoString(default_value);
}

int VoRegistryKey::ReadInt(const wchar_t* name, int default_value) {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  HKEY key = Key(false);
  if (!key || !QueryValue(key, NameOrDefault(name), type, data)) return default_value;
  int64_t number = 0;
  // A 64-bit number counts only when it fits.
  if (NumberOf(type, data, number)) {
    return number >= INT32_MIN && number <= INT32_MAX ? static_cast<int>(number) : default_value;
  }
  int value = 0;
  if (IsText(type) && NumberInText(TextOf(data), value)) return value;
  return default_value;
}

bool VoRegistryKey::SetValue(const wchar_t* name, DWORD type, const void* data, size_t size) {
  HKEY key = Key(true);
  if (!key || size > MAXDWORD) return false;
  static const BYTE kNothing = 0;
  const BYTE* bytes = size ? static_cast<const BYTE*>(data) : &kNothing;
  return RegSetValueExW(key, NameOrDefault(name), 0, type, bytes, static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool VoRegistryKey::WriteString(const wchar_t* name, const wchar_t* value, int kind) {
  VoString text(value);
  if (kind == kVoValueFolder) text = vo::WithTrailingBackslash(text.View());
  return SetValue(name, REG_SZ, text.c_str(), (text.Length() + 1) * sizeof(wchar_t));
}

bool VoRegistryKey::WriteInt(const wchar_t* name, int value) {
  const DWORD dword = static_cast<DWORD>(value);
  return SetValue(name, REG_DWORD, &dword, sizeof dword);
}

bool VoRegistryKey::ValueExists(const wchar_t* name) {
  HKEY key = Key(false);
  return key && RegQueryValueExW(key, NameOrDefault(name), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool VoRegistryKey::DeleteValue(const wchar_t* name) {
  HKEY key = Key(false);
  return key && RegDeleteValueW(key, NameOrDefault(name)) == ERROR_SUCCESS;
}

bool VoRegistryKey::DeleteSubkey(const wchar_t* name) {
  // An empty name would empty this very key.
  if (!name || !*name) return false;
  HKEY key = Key(false);
  return key && RegDeleteTreeW(key, name) == ERROR_SUCCESS;
}

void VoRegistryKey::GetSubkeyNames(VoStringArray& names) {
  names.Clear();
  HKEY key = Key(false);
  DWORD longest = 0;
  if (!key || RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  ListNames(
      key, longest,
      [](HKEY k, DWORD index, wchar_t* buffer, DWORD* length) {
        return RegEnumKeyExW(k, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
      },
      names);
}

void VoRegistryKey::GetValueNames(VoStringArray& names) {
  names.Clear();
  HKEY key = Key(false);
  DWORD longest = 0;
  if (!key || RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                               nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  ListNames(
      key, longest,
      [](HKEY k, DWORD index, wchar_t* buffer, DWORD* length) {
        return RegEnumValueW(k, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
      },
      names);
}

bool VoRegistryKey::ReadRaw(const wchar_t* name, unsigned& type, std::vector<unsigned char>& data) {
  DWORD stored = REG_NONE;
  HKEY key = Key(false);
  if (!key || !QueryValue(key, NameOrDefault(name), stored, data)) {
    data.clear();
    return false;
  }
  type = stored;
  return true;
}

bool VoRegistryKey::WriteRaw(const wchar_t* name, unsigned type, const std::vector<unsigned char>& data) {
  return SetValue(name, type, data.data(), data.size());
}
