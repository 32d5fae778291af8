#include <gtest/gtest.h>
#include <vector>
#include "util/VmTree.h"

namespace {
int Count(void* user, int, void*)
{
    ++*static_cast<int*>(user);
    return 0;
}

void* E(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}

// Counts the trees it makes and deletes.
class CountingTree : public VmTree {
public:
    CountingTree(POS parent, int* made, int* deleted) : VmTree(parent), m_made(made), m_deleted(deleted) {}
    ~CountingTree() override { RemoveAll(); }

protected:
    VmTree* CreateTree(POS parentNode) override
    {
        ++*m_made;
        return new CountingTree(parentNode, m_made, m_deleted);
    }
    void DeleteTree(VmTree* tree) override
    {
        ++*m_deleted;
        delete tree;
    }

private:
    int* m_made;
    int* m_deleted;
};
}  // namespace

TEST(VmTree, ChildrenKnowTheirPlace)
{
    VmTree root;
    EXPECT_TRUE(root.IsRoot());
    EXPECT_EQ(nullptr, root.GetParent());
    POS a = root.AddTail(E(1));
    POS b = root.AddTail(E(2));
    EXPECT_EQ(nullptr, root.GetChild(a));
    EXPECT_EQ(&root, root.GetThisTree(a));

    VmTree* child = root.AddChild(a);
    ASSERT_NE(nullptr, child);
    EXPECT_FALSE(child->IsRoot());
    EXPECT_EQ(a, child->GetParent());
    EXPECT_EQ(child, root.GetChild(a));
    EXPECT_EQ(nullptr, root.GetChild(b));

    POS c = child->AddTail(E(3));
    EXPECT_EQ(child, root.GetThisTree(c));   // the owner is the node's own list
    VmTree* grandChild = child->AddChild(c);
    ASSERT_NE(nullptr, grandChild);
    EXPECT_EQ(c, grandChild->GetParent());
    // Climb back up: the parent node's tree, then its parent.
    EXPECT_EQ(child, root.GetThisTree(grandChild->GetParent()));
    EXPECT_EQ(a, root.GetThisTree(grandChild->GetParent())->GetParent());
}

TEST(VmTree, SecondChildIsRefusedAndFirstKept)
{
    VmTree root;
    POS a = root.AddTail(E(1));
    VmTree* child = root.AddChild(a);
    child->AddTail(E(2));
    EXPECT_EQ(nullptr, root.AddChild(a));
    EXPECT_EQ(child, root.GetChild(a));
    EXPECT_EQ(1, root.GetChild(a)->GetCount());
    EXPECT_EQ(nullptr, root.AddChild(nullptr));
}

TEST(VmTree, RemovingANodeRemovesItsSubtree)
{
    int removed = 0;
    VmTree root;
    root.SetCallback(&removed, Count);
    POS a = root.AddTail(E(1));
    root.AddTail(E(2));
    VmTree* child = root.AddChild(a);   // takes the root's callback
    POS c = child->AddTail(E(3));
    child->AddTail(E(4));
    child->AddChild(c)->AddTail(E(5));

    root.RemoveAt(a);
    EXPECT_EQ(4, removed);   // 1, 3, 4, 5
    EXPECT_EQ(1, root.GetCount());
    root.RemoveAll();
    EXPECT_EQ(5, removed);
}

TEST(VmTree, RemoveChildClearsTheNode)
{
    int removed = 0;
    VmTree root;
    root.SetCallback(&removed, Count);
    POS a = root.AddTail(E(1));
    root.AddChild(a)->AddTail(E(2));
    root.RemoveChild(a);
    EXPECT_EQ(1, removed);
    EXPECT_EQ(nullptr, root.GetChild(a));
    EXPECT_EQ(1, root.GetCount());   // the node itself stays
    root.RemoveChild(a);             // none left: nothing happens
    root.RemoveChild(nullptr);
    EXPECT_NE(nullptr, root.AddChild(a));   // and it may have a new one
}

TEST(VmTree, DerivedTreesMakeAndDeleteTheirOwn)
{
    int made = 0, deleted = 0;
    {
        CountingTree root(nullptr, &made, &deleted);
        POS a = root.AddTail(E(1));
        POS b = root.AddTail(E(2));
        VmTree* child = root.AddChild(a);
        EXPECT_NE(nullptr, dynamic_cast<CountingTree*>(child));
        child->AddChild(child->AddTail(E(3)));
        root.AddChild(b);
        EXPECT_EQ(3, made);
        root.RemoveChild(b);
        EXPECT_EQ(1, deleted);
    }
    EXPECT_EQ(3, deleted);
}

TEST(VmTree, MovedNodesKeepTheirChildren)
{
    VmTree root;
    POS a = root.AddTail(E(1));
    POS b = root.AddTail(E(2));
    VmTree* child = root.AddChild(a);
    root.MoveAfter(a, b);
    EXPECT_EQ(a, root.GetTailPos());
    EXPECT_EQ(child, root.GetChild(a));
    EXPECT_EQ(a, child->GetParent());
}
