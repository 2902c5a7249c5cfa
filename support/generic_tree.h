#pragma once
// An ordered tree in which every node holds one object. A node owns its children;
// for every child c, c.Parent() is its node and c.Index() its place in the list.
#include <cstdint>
#include <vector>

namespace structs {

template <class T> class TGenericTree {
public:
  TGenericTree(bool ownsData, bool keepOrder) : OwnsData(ownsData), KeepOrder(keepOrder) {}
  TGenericTree(const TGenericTree&) = delete;
  TGenericTree& operator=(const TGenericTree&) = delete;

  ~TGenericTree() {
    while (!children_.empty())
      delete children_.back();
    if (OwnsData) delete Data;
    if (parent_ != nullptr) parent_->Unlink(index_);
  }

  // The new child takes this node's OwnsData and KeepOrder.
  std::int32_t AddChild(T* data) {
    auto* child = new TGenericTree(OwnsData, KeepOrder);
    child->Data = data;
    child->parent_ = this;
    child->index_ = ChildCount();
    children_.push_back(child);
    return child->index_;
  }

  TGenericTree* Child(std::int32_t index) const { return children_.at(index); }
  std::int32_t ChildCount() const { return static_cast<std::int32_t>(children_.size()); }
  TGenericTree* Parent() const { return parent_; }
  std::int32_t Index() const { return index_; }

  T* Data = nullptr;
  bool OwnsData;
  bool KeepOrder;

private:
  void Unlink(std::int32_t index) {
    if (KeepOrder) {
      children_.erase(children_.begin() + index);
      for (std::size_t i = index; i < children_.size(); ++i)
        children_[i]->index_ -= 1;
      return;
    }
    children_[index] = children_.back();
    children_[index]->index_ = index;
    children_.pop_back();
  }

  TGenericTree* parent_ = nullptr;
  std::int32_t index_ = 0;
  std::vector<TGenericTree*> children_;
};

} // namespace structs
