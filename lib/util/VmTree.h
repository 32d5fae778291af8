// A tree made of lists: each node of a VmTree may hold a child tree.
#pragma once
#include "VmList.h"

class VmTree;

struct VmTreeNode : VmListNode {
    VmTree* child;   // owned; null when the node has none
    VmTree* owner;   // the tree whose list holds the node
};

class PANOREL32_API VmTree : public VmList {
public:
    // parentNode is the node of the parent tree this tree hangs from; none for a root.
    explicit VmTree(POS parentNode = nullptr);
    // Removes its nodes (and so their child trees) while its own DeleteNode is still in place.
    ~VmTree() override;

    bool IsRoot() const { return !m_parent; }
    POS GetParent() const { return m_parent; }

    // Makes a child tree for the node through CreateTree. Null when the node already has one
    // (it is kept) or when pos is none.
    VmTree* AddChild(POS pos);
    // Deletes the node's child tree, if any, and clears it.
    void RemoveChild(POS pos);
    VmTree* GetChild(POS pos) const;
    VmTree* GetThisTree(POS pos) const;

protected:
    VmListNode* CreateNode() override;
    void DeleteNode(VmListNode* node) override;
    // Derived trees make their own type. The base gives the child this tree's callback, so an
    // owner that frees elements through it frees them at every level.
    virtual VmTree* CreateTree(POS parentNode);
    virtual void DeleteTree(VmTree* tree);

private:
    POS m_parent;
};
