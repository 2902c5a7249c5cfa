#pragma once
// Beat intervals [Start, End) with an id each, found by the intervals they
// overlap in time that grows with the logarithm of their number: a treap ordered
// by (Start, id) whose nodes know the latest End below them.
#include <cstdint>
#include <vector>

namespace songData {

class TIntervalTree {
public:
  void Insert(std::int64_t start, std::int64_t end, std::size_t id);
  // Whether the interval of that start and id was there.
  bool Erase(std::int64_t start, std::size_t id);
  // Appends the ids of the intervals with start < to and end > from, in no particular order.
  void Overlapping(std::int64_t from, std::int64_t to, std::vector<std::size_t>& ids) const;

private:
  struct TNode {
    std::int64_t Start, End, LatestEnd;
    std::size_t Id;
    std::uint64_t Priority;
    int Left = -1, Right = -1;
  };

  bool Below(int node, std::int64_t start, std::size_t id) const;
  void Update(int node);
  void Split(int node, std::int64_t start, std::size_t id, int& below, int& rest);
  int Merge(int left, int right);
  bool EraseFrom(int& node, std::int64_t start, std::size_t id);
  void Collect(int node, std::int64_t from, std::int64_t to, std::vector<std::size_t>& ids) const;

  std::vector<TNode> nodes_;
  std::vector<int> free_;
  int root_ = -1;
  std::uint64_t seed_ = 0x9E3779B97F4A7C15u;
};

} // namespace songData
