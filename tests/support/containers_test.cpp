#include "support/generic_tree.h"
#include "support/str_hash.h"

#include <gtest/gtest.h>

namespace {

struct TCounted {
  explicit TCounted(int& live) : Live(live) { ++Live; }
  ~TCounted() { --Live; }
  int& Live;
};

using TTree = structs::TGenericTree<TCounted>;

TEST(GenericTree, DestroyingAChildRenumbersTheLaterSiblings) {
  int live = 0;
  TTree root(true, true);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(root.AddChild(new TCounted(live)), i);
  TTree* third = root.Child(2);
  delete root.Child(1);
  EXPECT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(third->Index(), 1);
  EXPECT_EQ(root.Child(1), third);
  EXPECT_EQ(third->Parent(), &root);
  EXPECT_EQ(live, 2);
}

TEST(GenericTree, OwningTreeFreesEveryObjectAndChildrenInheritTheFlags) {
  int live = 0;
  {
    TTree root(true, true);
    root.Data = new TCounted(live);
    root.AddChild(new TCounted(live));
    root.Child(0)->AddChild(new TCounted(live));
    EXPECT_TRUE(root.Child(0)->Child(0)->OwnsData);
    EXPECT_EQ(live, 3);
  }
  EXPECT_EQ(live, 0);
  int kept = 0;
  TCounted outside(kept);
  {
    TTree root(false, true);
    root.AddChild(&outside);
  }
  EXPECT_EQ(kept, 1);
}

TEST(GenericTree, UnorderedRemovalKeepsTheInvariant) {
  int live = 0;
  TTree root(true, false);
  for (int i = 0; i < 4; ++i)
    root.AddChild(new TCounted(live));
  delete root.Child(0);
  for (int i = 0; i < root.ChildCount(); ++i)
    EXPECT_EQ(root.Child(i)->Index(), i);
}

TEST(StrHash, AddFindRemove) {
  Hashes::TStrHash<int> table;
  std::string a = "AB", b = "BA", c = "C";
  int x = 1, y = 2, z = 3;
  table.Add(a, &x);
  table.Add(b, &y); // same bucket as AB
  table.Add(a, &z); // replaces
  EXPECT_EQ(table.Find("AB"), &z);
  EXPECT_EQ(table.Find("BA"), &y);
  EXPECT_EQ(table.LastResult, Hashes::hrOK);
  EXPECT_EQ(table.Find("ab"), nullptr);
  EXPECT_EQ(table.LastResult, Hashes::hrNotFound);
  table.Remove(c);
  EXPECT_EQ(table.LastResult, Hashes::hrNotFound);
  EXPECT_EQ(table.Find("BA"), &y);
  table.Remove(a);
  EXPECT_EQ(table.LastResult, Hashes::hrOK);
  EXPECT_EQ(table.Find("AB"), nullptr);
  EXPECT_EQ(table.Find("BA"), &y);
}

TEST(StrHash, BucketsGrowByAQuarterPlusEightAndShrinkByEight) {
  Hashes::TStrHash<int> table(1);
  std::vector<std::string> keys;
  for (int i = 0; i < 30; ++i)
    keys.push_back("k" + std::to_string(i));
  int value = 0;
  std::vector<int> capacities;
  for (const auto& key : keys) {
    table.Add(key, &value);
    capacities.push_back(table.BucketCapacity(key));
  }
  // 1 -> 9 -> 19 -> 31.
  EXPECT_EQ(capacities[0], 1);
  EXPECT_EQ(capacities[1], 9);
  EXPECT_EQ(capacities[9], 19);
  EXPECT_EQ(capacities[19], 31);
  for (int i = 29; i >= 20; --i)
    table.Remove(keys[i]);
  EXPECT_EQ(table.BucketCapacity("x"), 23); // 20 left: 31 -> 23 once the gap passed 8
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(table.Find(keys[i]), &value);
}

} // namespace
