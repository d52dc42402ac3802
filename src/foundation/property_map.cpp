#include "property_map.h"

#include "number_text.h"
#include "string_format.h"
#include "xml_document.h"

VoPropertyMap::VoPropertyMap() = default;
VoPropertyMap::~VoPropertyMap() = default;
VoPropertyMap::VoPropertyMap(const VoPropertyMap& other) { CopyFrom(other); }
VoPropertyMap& VoPropertyMap::operator=(const VoPropertyMap& other) {
  CopyFrom(other);
  return *this;
}
VoPropertyMap::VoPropertyMap(VoPropertyMap&& other) noexcept = default;
VoPropertyMap& VoPropertyMap::operator=(VoPropertyMap&& other) noexcept = default;

bool VoPropertyMap::HasKey(std::wstring_view key) const { return map_ && map_->Lookup(key) != nullptr; }

VoString VoPropertyMap::GetString(std::wstring_view key, std::wstring_view default_value) const {
  const VoString* value = map_ ? map_->Lookup(key) : nullptr;
  return value ? *value : VoString(default_value);
}

int VoPropertyMap::GetInt(std::wstring_view key, int default_value) const {
  return vo::ParseInt(GetString(key, vo::FormatInt(default_value).View()).View());
}

double VoPropertyMap::GetDouble(std::wstring_view key, double default_value) const {
  return vo::ParseDouble(GetString(key, vo::FormatDouble(default_value).View()).View());
}

void* VoPropertyMap::GetPointer(std::wstring_view key, void* default_value) const {
  const VoString* value = map_ ? map_->Lookup(key) : nullptr;
  if (!value) return default_value;
  return reinterpret_cast<void*>(static_cast<uintptr_t>(vo::ParseHex(value->View(), true)));
}

void VoPropertyMap::SetString(std::wstring_view key, std::wstring_view value, bool remove_if_empty) {
  if (remove_if_empty && value.empty()) {
    Remove(key);
    return;
  }
  if (!map_) map_ = std::make_unique<VoStringMap<VoString>>();
  map_->Set(key, VoString(value));
}

void VoPropertyMap::SetInt(std::wstring_view key, int value) { SetString(key, vo::FormatInt(value).View()); }

void VoPropertyMap::SetPointer(std::wstring_view key, const void* value) {
  SetString(key, VoFormat(L"%p", value).View());
}

void VoPropertyMap::SetDouble(std::wstring_view key, double value) {
  SetString(key, vo::FormatDouble(value).View());
}

void VoPropertyMap::Clear() { map_.reset(); }

void VoPropertyMap::Remove(std::wstring_view key) {
  if (!map_) return;
  map_->Remove(key);
  if (map_->GetCount() == 0) map_.reset();
}

void VoPropertyMap::CopyFrom(const VoPropertyMap& other) {
  if (&other == this) return;
  Clear();
  other.ForEach([this](const VoString& key, const VoString& value) { SetString(key.View(), value.View()); });
}

bool VoPropertyMap::Equals(const VoPropertyMap& other) const {
  if (GetCount() != other.GetCount()) return false;
  bool same = true;
  ForEach([&](const VoString& key, const VoString& value) {
    const VoString* theirs = other.map_ ? other.map_->Lookup(key.View()) : nullptr;
    if (!theirs || !(*theirs == value)) same = false;
  });
  return same;
}

size_t VoPropertyMap::GetCount() const { return map_ ? map_->GetCount() : 0; }

void VoPropertyMap::SaveToStringList(VoStringArray& list, bool with_content) const {
  if (!with_content) {
    list.Add(VoString(L"0"));
    return;
  }
  list.Add(vo::FormatInt(static_cast<int64_t>(GetCount())));
  ForEach([&](const VoString& key, const VoString& value) {
    list.Add(key);
    list.Add(value);
  });
}

bool VoPropertyMap::LoadFromStringList(const VoStringArray& list, size_t& position) {
  Clear();
  if (position >= list.GetCount()) return false;
  const int count = vo::ParseInt(list[position++].View());
  for (int i = 0; i < count; ++i) {
    if (position + 2 > list.GetCount()) {
      // A list cut short gives nothing rather than half a map.
      Clear();
      position = list.GetCount();
      return false;
    }
    SetString(list[position].View(), list[position + 1].View());
    position += 2;
  }
  return true;
}

bool VoPropertyMap::LoadFromStringList(const VoStringArray& list) {
  size_t position = 0;
  return LoadFromStringList(list, position);
}

VoString VoPropertyMap::ToXmlText(std::wstring_view root_name, bool skip_if_empty, double version) const {
  if (skip_if_empty && GetCount() == 0) return VoString();
  XmlDocument doc;
  WriteItems(doc);
  VoString text(L"<");
  text += root_name;
  text += L" version=\"";
  text += vo::FormatDouble(version, 1);
  text += L"\">\r\n";
  text += doc.GetDocumentText();
  text += L"</";
  text += root_name;
  text += L'>';
  return text;
}

bool VoPropertyMap::FromXmlText(std::wstring_view text, std::wstring_view root_name, double version) {
  Clear();
  if (text.empty()) return true;
  XmlDocument doc(text);
  if (!doc.IsWellFormed() || !doc.FindElement(root_name)) return false;
  if (vo::ParseDouble(doc.GetAttribute(L"version").View()) != version) return false;
  doc.EnterElement();
  ReadItems(doc);
  doc.LeaveElement();
  return true;
}

void VoPropertyMap::WriteItems(XmlDocument& doc) const {
  ForEach([&](const VoString& key, const VoString& value) {
    doc.AppendElement(L"Item", value.View());
    doc.SetAttribute(doc.GetCurrentElement(), L"Name", key.View());
  });
}

void VoPropertyMap::ReadItems(XmlDocument& doc) {
  while (doc.FindElement(L"Item")) SetString(doc.GetAttribute(L"Name").View(), doc.GetElementText().View());
}

VoString VoPropertyMap::Dump(std::wstring_view prefix, std::wstring_view suffix) const {
  VoString out;
  ForEach([&](const VoString& key, const VoString& value) { out += VoFormat(L"%s%s: %s%s", prefix, key, value, suffix); });
  return out;
}

namespace vo {

bool IsPropertyXmlText(std::wstring_view text) { return StartsWithNoCase(text, L"<XMLPH version="); }

}  // namespace vo
