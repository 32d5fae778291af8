#include "VmTree.h"
#include <new>

namespace {
VmTreeNode* AsTreeNode(POS pos)
{
    return static_cast<VmTreeNode*>(pos);
}
}  // namespace

VmTree::VmTree(POS parentNode) : m_parent(parentNode) {}

VmTree::~VmTree()
{
    RemoveAll();
}

VmListNode* VmTree::CreateNode()
{
    VmTreeNode* node = new (std::nothrow) VmTreeNode();
    if (node) {
        node->child = nullptr;
        node->owner = this;
    }
    return node;
}

void VmTree::DeleteNode(VmListNode* node)
{
    VmTreeNode* treeNode = AsTreeNode(node);
    if (treeNode->child) {
        DeleteTree(treeNode->child);
        treeNode->child = nullptr;
    }
    delete treeNode;
}

VmTree* VmTree::CreateTree(POS parentNode)
{
    VmTree* tree = new (std::nothrow) VmTree(parentNode);
    if (tree)
        tree->SetCallback(m_user, m_callback);
    return tree;
}

void VmTree::DeleteTree(VmTree* tree)
{
    delete tree;
}

VmTree* VmTree::AddChild(POS pos)
{
    if (!pos || AsTreeNode(pos)->child)
        return nullptr;
    VmTree* child = CreateTree(pos);
    AsTreeNode(pos)->child = child;
    return child;
}

void VmTree::RemoveChild(POS pos)
{
    if (!pos)
        return;
    VmTreeNode* node = AsTreeNode(pos);
    VmTree* child = node->child;
    node->child = nullptr;   // cleared first: the child's callbacks see a node without it
    if (child)
        DeleteTree(child);
}

VmTree* VmTree::GetChild(POS pos) const
{
    return pos ? AsTreeNode(pos)->child : nullptr;
}

VmTree* VmTree::GetThisTree(POS pos) const
{
    return pos ? AsTreeNode(pos)->owner : nullptr;
}
