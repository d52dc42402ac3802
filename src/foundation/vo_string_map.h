#pragma once
// Maps and sets keyed by text without regard to letter case, and a set keyed
// by a pair of check values.

#include <cstdint>
#include <string_view>

#include "vo_map.h"
#include "vo_string.h"

// hash = hash * 65599 + lower-cased code unit, from 0, in 32-bit unsigned
// arithmetic with the units taken as 16-bit values (both builds agree).
struct VoStringNoCaseTraits {
  static uint32_t Hash(std::wstring_view key);
  static bool Equal(std::wstring_view a, std::wstring_view b) { return vo::EqualsNoCase(a, b); }
};

template <typename V>
using VoStringMap = VoMap<VoString, V, VoStringNoCaseTraits>;

// A set of texts in the same structure and order as VoStringMap.
class VoStringUniqueList {
 public:
  // True when the text was not in the list yet (the first spelling is kept).
  bool Add(const VoString& text) { return map_.Set(text, Nothing{}); }
  bool Has(std::wstring_view text) const { return map_.Has(text); }
  bool Remove(std::wstring_view text) { return map_.Remove(text); }
  void Clear() { map_.Clear(); }
  size_t GetCount() const { return map_.GetCount(); }
  size_t GetBucketCount() const { return map_.GetBucketCount(); }

 private:
  struct Nothing {};
  using Map = VoStringMap<Nothing>;

 public:
  class Iterator {
   public:
    explicit Iterator(Map::const_iterator at) : at_(at) {}
    const VoString& operator*() const { return at_->Key(); }
    Iterator& operator++() { ++at_; return *this; }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    Map::const_iterator at_;
  };
  Iterator begin() const { return Iterator(map_.begin()); }
  Iterator end() const { return Iterator(map_.end()); }

 private:
  Map map_;
};

// Two 32-bit check values of a text, computed by the list's user.
struct VoCrcPair {
  uint32_t first = 0;
  uint32_t second = 0;
  friend bool operator==(const VoCrcPair&, const VoCrcPair&) = default;
};

struct VoCrcPairTraits {
  static uint32_t Hash(const VoCrcPair& key) { return key.first ^ (key.second * 0x9E3779B1u); }
  static bool Equal(const VoCrcPair& a, const VoCrcPair& b) { return a == b; }
};

// A set of texts known only by their check values, compared exactly.
class VoStringCRCUniqueList {
 public:
  bool Add(uint32_t first, uint32_t second) { return map_.Set({first, second}, Nothing{}); }
  bool Has(uint32_t first, uint32_t second) const { return map_.Has(VoCrcPair{first, second}); }
  bool Remove(uint32_t first, uint32_t second) { return map_.Remove(VoCrcPair{first, second}); }
  void Clear() { map_.Clear(); }
  size_t GetCount() const { return map_.GetCount(); }

 private:
  struct Nothing {};
  VoMap<VoCrcPair, Nothing, VoCrcPairTraits> map_;
};
