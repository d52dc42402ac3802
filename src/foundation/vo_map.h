#pragma once
// VoMap: a hash map with chained buckets whose iteration order is fixed by
// the rule below, so texts written from a map come out the same every time.
//
// The bucket count is a power of two minus one, starting at 7. When an
// insertion would make the count exceed twice the bucket count plus 2, the
// table is rebuilt with the smallest power of two from 8 upwards that exceeds
// the new count, minus one. An entry lives in bucket hash % bucket count.
// Iteration runs by bucket index and, within a bucket, by insertion order;
// a rebuild keeps that order. Replacing a value keeps the entry (and its key
// as first given) where it is. Entries must not be added or removed while
// iterating.
//
// Traits: static uint32_t Hash(key) and static bool Equal(stored key, key);
// lookups accept any key type the traits accept.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

template <typename K>
struct VoMapTraits {
  static uint32_t Hash(const K& key) {
    uint64_t v;
    if constexpr (std::is_pointer_v<K>) {
      v = reinterpret_cast<uintptr_t>(key);
    } else {
      v = static_cast<uint64_t>(key);
    }
    return static_cast<uint32_t>(v ^ (v >> 32));
  }
  static bool Equal(const K& a, const K& b) { return a == b; }
};

template <typename K, typename V, typename Traits = VoMapTraits<K>>
class VoMap {
 public:
  static constexpr size_t kInitialBuckets = 7;

  class Entry {
   public:
    const K& Key() const { return key_; }
    V& Value() { return value_; }
    const V& Value() const { return value_; }

   private:
    friend class VoMap;
    Entry(K key, V value, uint32_t hash) : key_(std::move(key)), value_(std::move(value)), hash_(hash) {}

    K key_;
    V value_;
    uint32_t hash_;
    Entry* chain_next_ = nullptr;
    // Insertion order over the whole map, for rebuilding chains in order.
    Entry* older_ = nullptr;
    Entry* newer_ = nullptr;
  };

  template <bool kConst>
  class Iter {
   public:
    using MapType = std::conditional_t<kConst, const VoMap, VoMap>;
    using EntryType = std::conditional_t<kConst, const Entry, Entry>;
    Iter(MapType* map, size_t bucket) : map_(map), bucket_(bucket) { SkipEmpty(); }
    EntryType& operator*() const { return *entry_; }
    EntryType* operator->() const { return entry_; }
    Iter& operator++() {
      entry_ = entry_->chain_next_;
      if (!entry_) {
        ++bucket_;
        SkipEmpty();
      }
      return *this;
    }
    bool operator==(const Iter& other) const { return entry_ == other.entry_; }
    bool operator!=(const Iter& other) const { return entry_ != other.entry_; }

   private:
    void SkipEmpty() {
      entry_ = nullptr;
      for (; bucket_ < map_->heads_.size(); ++bucket_) {
        if ((entry_ = map_->heads_[bucket_]) != nullptr) return;
      }
    }
    MapType* map_;
    size_t bucket_;
    Entry* entry_ = nullptr;
  };
  using iterator = Iter<false>;
  using const_iterator = Iter<true>;

  VoMap() : heads_(kInitialBuckets, nullptr) {}
  ~VoMap() { FreeAll(); }

  // A copy has the same bucket count and the same order as the original.
  VoMap(const VoMap& other) : heads_(other.heads_.size(), nullptr) {
    for (const Entry* e = other.oldest_; e; e = e->newer_) Append(new Entry(e->key_, e->value_, e->hash_));
  }
  VoMap(VoMap&& other) noexcept : VoMap() { Swap(other); }
  VoMap& operator=(VoMap other) noexcept {
    Swap(other);
    return *this;
  }

  void Swap(VoMap& other) noexcept {
    heads_.swap(other.heads_);
    std::swap(oldest_, other.oldest_);
    std::swap(newest_, other.newest_);
    std::swap(count_, other.count_);
  }

  size_t GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  size_t GetBucketCount() const { return heads_.size(); }

  // Adds the key or replaces its value; true when the key was new.
  bool Set(K key, V value) {
    const uint32_t hash = Traits::Hash(key);
    if (Entry* e = FindEntry(key, hash)) {
      e->value_ = std::move(value);
      return false;
    }
    if (count_ + 1 > 2 * heads_.size() + 2) Rebuild(BucketCountFor(count_ + 1));
    Append(new Entry(std::move(key), std::move(value), hash));
    return true;
  }

  template <typename Q>
  V* Lookup(const Q& key) {
    Entry* e = FindEntry(key, Traits::Hash(key));
    return e ? &e->value_ : nullptr;
  }
  template <typename Q>
  const V* Lookup(const Q& key) const {
    return const_cast<VoMap*>(this)->Lookup(key);
  }
  template <typename Q>
  bool Lookup(const Q& key, V& value) const {
    const V* found = Lookup(key);
    if (found) value = *found;
    return found != nullptr;
  }
  template <typename Q>
  bool Has(const Q& key) const {
    return Lookup(key) != nullptr;
  }
  // The stored key, with its letter case as first given, or null.
  template <typename Q>
  const K* FindKey(const Q& key) const {
    const Entry* e = const_cast<VoMap*>(this)->FindEntry(key, Traits::Hash(key));
    return e ? &e->key_ : nullptr;
  }

  template <typename Q>
  bool Remove(const Q& key) {
    const uint32_t hash = Traits::Hash(key);
    Entry** link = &heads_[hash % heads_.size()];
    for (; *link; link = &(*link)->chain_next_) {
      Entry* e = *link;
      if (e->hash_ != hash || !Traits::Equal(e->key_, key)) continue;
      *link = e->chain_next_;
      (e->older_ ? e->older_->newer_ : oldest_) = e->newer_;
      (e->newer_ ? e->newer_->older_ : newest_) = e->older_;
      delete e;
      --count_;
      return true;
    }
    return false;
  }

  // Empties the map and returns to the initial bucket count, so a refilled
  // map orders its entries like a new one.
  void Clear() {
    FreeAll();
    heads_.assign(kInitialBuckets, nullptr);
  }

  // fn(const K& key, V& value) in iteration order.
  template <typename Fn>
  void ForEach(Fn&& fn) {
    for (Entry& e : *this) fn(e.Key(), e.Value());
  }
  template <typename Fn>
  void ForEach(Fn&& fn) const {
    for (const Entry& e : *this) fn(e.Key(), e.Value());
  }

  iterator begin() { return iterator(this, 0); }
  iterator end() { return iterator(this, heads_.size()); }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, heads_.size()); }

  // The bucket count after a rebuild for `count` entries.
  static size_t BucketCountFor(size_t count) {
    size_t power = 8;
    while (power <= count) power *= 2;
    return power - 1;
  }

 private:
  template <typename Q>
  Entry* FindEntry(const Q& key, uint32_t hash) {
    for (Entry* e = heads_[hash % heads_.size()]; e; e = e->chain_next_) {
      if (e->hash_ == hash && Traits::Equal(e->key_, key)) return e;
    }
    return nullptr;
  }

  // Puts a new entry at the end of its chain and of the insertion order.
  void Append(Entry* e) {
    Entry** link = &heads_[e->hash_ % heads_.size()];
    while (*link) link = &(*link)->chain_next_;
    *link = e;
    e->older_ = newest_;
    (newest_ ? newest_->newer_ : oldest_) = e;
    newest_ = e;
    ++count_;
  }

  // Redistributes the entries in insertion order, so each new chain keeps it.
  void Rebuild(size_t buckets) {
    heads_.assign(buckets, nullptr);
    std::vector<Entry*> tails(buckets, nullptr);
    for (Entry* e = oldest_; e; e = e->newer_) {
      const size_t b = e->hash_ % buckets;
      e->chain_next_ = nullptr;
      (tails[b] ? tails[b]->chain_next_ : heads_[b]) = e;
      tails[b] = e;
    }
  }

  void FreeAll() {
    for (Entry* e = oldest_; e;) {
      Entry* next = e->newer_;
      delete e;
      e = next;
    }
    oldest_ = newest_ = nullptr;
    count_ = 0;
  }

  std::vector<Entry*> heads_;
  Entry* oldest_ = nullptr;
  Entry* newest_ = nullptr;
  size_t count_ = 0;
};
