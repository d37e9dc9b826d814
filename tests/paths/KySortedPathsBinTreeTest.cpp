#include <kyanalysis/KyPath.h>
#include <kyanalysis/KySortedPathsBinTree.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

std::vector<const KyObject*> objectsOf(const KyDList& list) {
  std::vector<const KyObject*> objects;
  for (KyDListIter it(&list); it; ++it)
    objects.push_back(it.pObject());
  return objects;
}

TEST(KySortedPathsBinTreeTest, OrdersBySignedModifiedLengthAndCopiesCellsOnlyDeeply) {
  KyPath a(nullptr, 3, nullptr), b(nullptr, INT_MIN, nullptr), c(nullptr, -5, nullptr),
      d(nullptr, INT_MAX, nullptr), e(nullptr, 3, nullptr);
  KySortedPathsBinTree tree;
  for (KyPath* path : {&a, &b, &c, &d, &e})
    tree.addObject(path);
  const std::vector<const KyObject*> sorted{&b, &c, &a, &e, &d}; // ties in order of adding
  EXPECT_EQ(objectsOf(tree), sorted);

  std::unique_ptr<KySortedPathsBinTree> clone(tree.cloneObject());
  KySortedPathsBinTree assigned;
  assigned.addObject(&a); // replaced, not kept
  assigned = tree;
  EXPECT_EQ(objectsOf(*clone), sorted);
  EXPECT_EQ(objectsOf(assigned), sorted);
  assigned.copyAttributes(&tree);
  EXPECT_EQ(assigned.length(), 0);
  EXPECT_EQ(std::unique_ptr<KySortedPathsBinTree>(tree.cloneAttributes())->length(), 0);
  tree.copyObject(&tree);
  tree.copyAttributes(nullptr);
  EXPECT_EQ(objectsOf(tree), sorted);

  tree.searchAndRemoveObject(&a)->vRelease(); // exactly `a`, not its equal `e`
  EXPECT_EQ(objectsOf(tree), (std::vector<const KyObject*>{&b, &c, &e, &d}));
}

} // namespace
