#include "VmList.h"
#include <new>

VmList::VmList() : m_head(nullptr), m_tail(nullptr), m_count(0), m_user(nullptr), m_callback(nullptr)
{
}

VmList::~VmList()
{
    RemoveAll();
}

void VmList::SetCallback(void* user, VmListCallback callback)
{
    m_user = user;
    m_callback = callback;
}

VmListNode* VmList::CreateNode()
{
    return new (std::nothrow) VmListNode();
}

void VmList::DeleteNode(VmListNode* node)
{
    delete node;
}

void* VmList::GetNext(POS& pos) const
{
    if (!pos)
        return nullptr;
    void* element = pos->element;
    pos = pos->next;
    return element;
}

void* VmList::GetPrev(POS& pos) const
{
    if (!pos)
        return nullptr;
    void* element = pos->element;
    pos = pos->prev;
    return element;
}

void VmList::SetAt(POS pos, void* element)
{
    if (pos)
        pos->element = element;
}

POS VmList::Link(VmListNode* node, VmListNode* prev, VmListNode* next)
{
    node->prev = prev;
    node->next = next;
    if (prev)
        prev->next = node;
    else
        m_head = node;
    if (next)
        next->prev = node;
    else
        m_tail = node;
    ++m_count;
    return node;
}

POS VmList::NewNode(void* element, VmListNode* prev, VmListNode* next)
{
    VmListNode* node = CreateNode();
    if (!node)
        return nullptr;
    node->element = element;
    return Link(node, prev, next);
}

void VmList::Unlink(VmListNode* node)
{
    if (node->prev)
        node->prev->next = node->next;
    else
        m_head = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        m_tail = node->prev;
    node->next = node->prev = nullptr;
    --m_count;
}

// Unlinked before the callback runs, so the owner sees a consistent list.
void* VmList::Remove(VmListNode* node)
{
    void* element = node->element;
    Unlink(node);
    if (m_callback)
        m_callback(m_user, CodeRemove, element);
    DeleteNode(node);
    return element;
}

POS VmList::AddHead(void* element)
{
    return NewNode(element, nullptr, m_head);
}

POS VmList::AddTail(void* element)
{
    return NewNode(element, m_tail, nullptr);
}

// Counted walks, so a list added to itself ends after its original nodes.
void VmList::AddHead(const VmList* other)
{
    if (!other)
        return;
    POS pos = other->m_tail;
    for (int n = other->m_count; n > 0 && pos; --n)
        AddHead(GetPrev(pos));
}

void VmList::AddTail(const VmList* other)
{
    if (!other)
        return;
    POS pos = other->m_head;
    for (int n = other->m_count; n > 0 && pos; --n)
        AddTail(GetNext(pos));
}

POS VmList::InsertBefore(POS pos, void* element)
{
    if (!pos)
        return AddHead(element);
    return NewNode(element, pos->prev, pos);
}

POS VmList::InsertAfter(POS pos, void* element)
{
    if (!pos)
        return AddTail(element);
    return NewNode(element, pos, pos->next);
}

void* VmList::RemoveHead()
{
    return m_head ? Remove(m_head) : nullptr;
}

void* VmList::RemoveTail()
{
    return m_tail ? Remove(m_tail) : nullptr;
}

void VmList::RemoveAt(POS& pos)
{
    if (!pos)
        return;
    VmListNode* node = pos;
    pos = node->next;
    Remove(node);
}

void VmList::RemoveAll()
{
    while (m_tail)
        Remove(m_tail);
}

POS VmList::MoveAfter(POS pos, POS after)
{
    if (!pos || pos == after || pos->prev == after)
        return pos;
    Unlink(pos);
    Link(pos, after, after ? after->next : m_head);
    return pos;
}

int VmList::GetIndex(POS pos) const
{
    int index = 0;
    for (POS p = m_head; p; p = p->next, ++index)
        if (p == pos)
            return index;
    return -1;
}

POS VmList::FindIndex(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    POS p = m_head;
    while (index-- > 0 && p)
        p = p->next;
    return p;
}

POS VmList::Find(const void* element, POS after) const
{
    for (POS p = after ? after->next : m_head; p; p = p->next)
        if (p->element == element)
            return p;
    return nullptr;
}
