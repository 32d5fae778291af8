// A doubly linked list of untyped pointers. The list owns its nodes, not its elements: an
// owner that wants elements freed sets a callback, called once for each removed element.
#pragma once
#include "../Panorel32.h"

struct VmListNode {
    VmListNode* next;
    VmListNode* prev;
    void* element;
};

// An opaque node handle; null means "none".
typedef VmListNode* POS;

// Called with (user value, VmList::CodeRemove, element) for every element whose node is removed.
typedef int (*VmListCallback)(void* user, int code, void* element);

class PANOREL32_API VmList {
public:
    enum { CodeRemove = 1 };   // the only code passed to the callback

    VmList();
    VmList(const VmList&) = delete;   // owns its nodes
    VmList& operator=(const VmList&) = delete;
    // Removes every node. A derived list that overrides DeleteNode calls RemoveAll in its own
    // destructor, since the override is gone by the time this one runs.
    virtual ~VmList();

    void SetCallback(void* user, VmListCallback callback);

    int GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    // Element forms need a non-empty list; they give null on an empty one.
    void* GetHead() const { return m_head ? m_head->element : nullptr; }
    void* GetTail() const { return m_tail ? m_tail->element : nullptr; }
    POS GetHeadPos() const { return m_head; }
    POS GetTailPos() const { return m_tail; }

    // The element at pos; pos moves to the next (previous) node, none after the last (first).
    void* GetNext(POS& pos) const;
    void* GetPrev(POS& pos) const;
    void* GetAt(POS pos) const { return pos ? pos->element : nullptr; }
    // Replaces the element; calls no callback.
    void SetAt(POS pos, void* element);

    // The new node's position; none only when memory ran out.
    POS AddHead(void* element);
    POS AddTail(void* element);
    // Adds the other list's elements in front of (behind) ours, keeping their order.
    void AddHead(const VmList* other);
    void AddTail(const VmList* other);
    // With no pos: at the head (InsertBefore) or the tail (InsertAfter).
    POS InsertBefore(POS pos, void* element);
    POS InsertAfter(POS pos, void* element);

    // Remove an end node and return its element (the callback has seen it by then).
    void* RemoveHead();
    void* RemoveTail();
    // Removes the node; pos moves to the following node, so a loop may remove while it walks.
    void RemoveAt(POS& pos);
    void RemoveAll();

    // Links pos again after the node after (at the head for none); returns pos.
    POS MoveAfter(POS pos, POS after);

    // Nodes before pos; -1 for none or a node not in this list.
    int GetIndex(POS pos) const;
    // The node at index from the head; none when index is outside 0..count-1.
    POS FindIndex(int index) const;
    // The first node after the node after (from the head for none) holding this pointer.
    POS Find(const void* element, POS after = nullptr) const;

protected:
    // Derived lists make bigger nodes; links and element are set by the caller. Null when
    // memory ran out.
    virtual VmListNode* CreateNode();
    virtual void DeleteNode(VmListNode* node);

    VmListNode* m_head;
    VmListNode* m_tail;
    int m_count;
    void* m_user;
    VmListCallback m_callback;

private:
    POS Link(VmListNode* node, VmListNode* prev, VmListNode* next);
    POS NewNode(void* element, VmListNode* prev, VmListNode* next);
    void Unlink(VmListNode* node);
    void* Remove(VmListNode* node);
};
