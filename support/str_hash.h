#pragma once
// A hash table from strings to pointers with chained buckets that grow by a
// quarter plus 8 entries and shrink by 8. The table refers to key strings held by
// its owner, who keeps them unchanged while their entries exist.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Hashes {

enum : std::int32_t { hrOK = 0, hrNotFound = 2 };

template <class T> class TStrHash {
public:
  explicit TStrHash(std::int32_t bucketCount = 256) : buckets_(bucketCount) {}

  void Add(const std::string& key, T* value) {
    TBucket& bucket = BucketOf(key);
    LastResult = hrOK;
    if (TEntry* entry = Search(bucket, key)) {
      entry->Value = value;
      return;
    }
    auto capacity = static_cast<std::int32_t>(bucket.Entries.size());
    if (bucket.Count == capacity) bucket.Entries.resize(capacity + capacity / 4 + 8);
    bucket.Entries[bucket.Count++] = TEntry{&key, value};
  }

  T* Find(std::string_view key) {
    TEntry* entry = Search(BucketOf(key), key);
    LastResult = entry ? hrOK : hrNotFound;
    return entry ? entry->Value : nullptr;
  }

  void Remove(std::string_view key) {
    TBucket& bucket = BucketOf(key);
    TEntry* entry = Search(bucket, key);
    if (entry == nullptr) {
      LastResult = hrNotFound;
      return;
    }
    *entry = bucket.Entries[--bucket.Count];
    auto capacity = static_cast<std::int32_t>(bucket.Entries.size());
    if (capacity - bucket.Count > 8) bucket.Entries.resize(capacity - 8);
    LastResult = hrOK;
  }

  std::int32_t BucketCapacity(std::string_view key) const {
    return static_cast<std::int32_t>(buckets_[BucketIndex(key)].Entries.size());
  }

  std::int32_t LastResult = hrOK;

private:
  struct TEntry {
    const std::string* Key = nullptr;
    T* Value = nullptr;
  };
  struct TBucket {
    std::vector<TEntry> Entries = std::vector<TEntry>(1);
    std::int32_t Count = 0;
  };

  std::size_t BucketIndex(std::string_view key) const {
    std::uint64_t sum = 0;
    for (char c : key)
      sum += static_cast<unsigned char>(c);
    return static_cast<std::size_t>(sum % buckets_.size());
  }

  TBucket& BucketOf(std::string_view key) { return buckets_[BucketIndex(key)]; }

  static TEntry* Search(TBucket& bucket, std::string_view key) {
    for (std::int32_t i = 0; i < bucket.Count; ++i) {
      if (*bucket.Entries[i].Key == key) return &bucket.Entries[i];
    }
    return nullptr;
  }

  std::vector<TBucket> buckets_;
};

} // namespace Hashes
