#include "song/interval_tree.h"

#include <algorithm>

namespace songData {

bool TIntervalTree::Below(int node, std::int64_t start, std::size_t id) const {
  const TNode& n = nodes_[node];
  return n.Start < start || (n.Start == start && n.Id < id);
}

void TIntervalTree::Update(int node) {
  TNode& n = nodes_[node];
  n.LatestEnd = n.End;
  if (n.Left >= 0) n.LatestEnd = std::max(n.LatestEnd, nodes_[n.Left].LatestEnd);
  if (n.Right >= 0) n.LatestEnd = std::max(n.LatestEnd, nodes_[n.Right].LatestEnd);
}

void TIntervalTree::Split(int node, std::int64_t start, std::size_t id, int& below, int& rest) {
  if (node < 0) {
    below = rest = -1;
    return;
  }
  if (Below(node, start, id)) {
    Split(nodes_[node].Right, start, id, nodes_[node].Right, rest);
    below = node;
  } else {
    Split(nodes_[node].Left, start, id, below, nodes_[node].Left);
    rest = node;
  }
  Update(node);
}

int TIntervalTree::Merge(int left, int right) {
  if (left < 0) return right;
  if (right < 0) return left;
  if (nodes_[left].Priority > nodes_[right].Priority) {
    nodes_[left].Right = Merge(nodes_[left].Right, right);
    Update(left);
    return left;
  }
  nodes_[right].Left = Merge(left, nodes_[right].Left);
  Update(right);
  return right;
}

void TIntervalTree::Insert(std::int64_t start, std::int64_t end, std::size_t id) {
  // splitmix64: fixed priorities, so every run builds the same tree.
  seed_ += 0x9E3779B97F4A7C15u;
  std::uint64_t priority = seed_;
  priority = (priority ^ (priority >> 30)) * 0xBF58476D1CE4E5B9u;
  priority = (priority ^ (priority >> 27)) * 0x94D049BB133111EBu;
  const TNode fresh{start, end, end, id, priority ^ (priority >> 31)};
  int node;
  if (free_.empty()) {
    node = static_cast<int>(nodes_.size());
    nodes_.push_back(fresh);
  } else {
    node = free_.back();
    free_.pop_back();
    nodes_[node] = fresh;
  }
  int below, rest;
  Split(root_, start, id, below, rest);
  root_ = Merge(Merge(below, node), rest);
}

bool TIntervalTree::EraseFrom(int& node, std::int64_t start, std::size_t id) {
  if (node < 0) return false;
  TNode& n = nodes_[node];
  if (n.Start == start && n.Id == id) {
    free_.push_back(node);
    node = Merge(n.Left, n.Right);
    return true;
  }
  const bool found = EraseFrom(Below(node, start, id) ? n.Right : n.Left, start, id);
  if (found) Update(node);
  return found;
}

bool TIntervalTree::Erase(std::int64_t start, std::size_t id) {
  return EraseFrom(root_, start, id);
}

void TIntervalTree::Collect(int node, std::int64_t from, std::int64_t to,
                            std::vector<std::size_t>& ids) const {
  if (node < 0 || nodes_[node].LatestEnd <= from) return;
  const TNode& n = nodes_[node];
  Collect(n.Left, from, to, ids);
  if (n.Start >= to) return; // the right subtree starts later still
  if (n.End > from) ids.push_back(n.Id);
  Collect(n.Right, from, to, ids);
}

void TIntervalTree::Overlapping(std::int64_t from, std::int64_t to,
                                std::vector<std::size_t>& ids) const {
  Collect(root_, from, to, ids);
}

} // namespace songData
