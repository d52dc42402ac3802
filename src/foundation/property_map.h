#pragma once
// VoPropertyMap: a small string-to-string dictionary with case-insensitive
// keys, typed accessors and its persistent forms: the versioned property XML
// text (plug-in state, settings migration), a list of strings, and a
// readable dump. An empty map owns no table.

#include <memory>
#include <string_view>

#include "vo_string_map.h"
#include "vo_string.h"
#include "vo_string_array.h"

class XmlDocument;

class VoPropertyMap {
 public:
  VoPropertyMap();
  VoPropertyMap(const VoPropertyMap& other);
  VoPropertyMap& operator=(const VoPropertyMap& other);
  VoPropertyMap(VoPropertyMap&& other) noexcept;
  VoPropertyMap& operator=(VoPropertyMap&& other) noexcept;
  virtual ~VoPropertyMap();

  virtual bool HasKey(std::wstring_view key) const;
  virtual VoString GetString(std::wstring_view key, std::wstring_view default_value = {}) const;
  virtual int GetInt(std::wstring_view key, int default_value = 0) const;
  virtual double GetDouble(std::wstring_view key, double default_value = 0) const;
  virtual void* GetPointer(std::wstring_view key, void* default_value = nullptr) const;
  virtual void SetString(std::wstring_view key, std::wstring_view value, bool remove_if_empty = false);
  virtual void SetInt(std::wstring_view key, int value);
  virtual void SetPointer(std::wstring_view key, const void* value);
  virtual void SetDouble(std::wstring_view key, double value);
  virtual void Clear();
  virtual void Remove(std::wstring_view key);
  virtual void CopyFrom(const VoPropertyMap& other);
  virtual bool Equals(const VoPropertyMap& other) const;
  // Appends the entry count (0 and nothing else without content), then key
  // and value of each entry.
  virtual void SaveToStringList(VoStringArray& list, bool with_content) const;
  // Reads what SaveToStringList wrote from `position` on and advances it;
  // false (and an empty map) when the list ends early.
  virtual bool LoadFromStringList(const VoStringArray& list, size_t& position);
  virtual bool LoadFromStringList(const VoStringArray& list);
  virtual VoString ToXmlText(std::wstring_view root_name, bool skip_if_empty, double version) const;
  virtual bool FromXmlText(std::wstring_view text, std::wstring_view root_name, double version);
  virtual void WriteItems(XmlDocument& doc) const;
  virtual void ReadItems(XmlDocument& doc);
  virtual VoString Dump(std::wstring_view prefix, std::wstring_view suffix) const;

  size_t GetCount() const;
  bool OwnsTable() const { return map_ != nullptr; }

  // Entries in their deterministic order: by bucket, then by insertion.
  template <typename Fn>
  void ForEach(Fn&& fn) const {
    if (map_) map_->ForEach(fn);
  }

 private:
  std::unique_ptr<VoStringMap<VoString>> map_;
};

namespace vo {

// A text that begins with the property XML root ("<XMLPH version=", any
// case) holds properties, not a file path.
bool IsPropertyXmlText(std::wstring_view text);

}  // namespace vo
