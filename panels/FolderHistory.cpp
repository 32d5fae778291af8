#include "panels/FolderHistory.h"
#include "registry/RegKey.h"
#include <stdio.h>

const ITEMIDLIST* FolderHistory::At(int index) const
{
    return index >= 0 && index < Count() ? m_items[index]->GetLpidl() : nullptr;
}

void FolderHistory::Record(const ITEMIDLIST* folder, bool extend, int maxLength)
{
    if (!folder)
        return;
    if (m_current < 0) {
        m_items.insert(m_items.begin(), std::unique_ptr<PIDL>(new PIDL(folder)));
        m_current = 0;
    } else if (m_items[m_current]->CompareAbs(folder) != 0) {
        int neighbour = extend ? m_current + 1 : m_current - 1;
        if (neighbour < 0 || neighbour >= Count()) {
            // Nothing beyond: the new entry goes to that end.
            if (extend) {
                m_items.push_back(std::unique_ptr<PIDL>(new PIDL(folder)));
                m_current = Count() - 1;
            } else {
                m_items.insert(m_items.begin(), std::unique_ptr<PIDL>(new PIDL(folder)));
                m_current = 0;
            }
        } else if (m_items[neighbour]->CompareAbs(folder) == 0) {
            m_current = neighbour;
        } else {
            int at = extend ? m_current + 1 : m_current;
            m_items.insert(m_items.begin() + at, std::unique_ptr<PIDL>(new PIDL(folder)));
            m_current = at;
        }
    }
    // One older entry of the same folder goes.
    for (int i = 0; i < Count(); i++) {
        if (i != m_current && m_items[i]->CompareAbs(folder) == 0) {
            Remove(i);
            break;
        }
    }
    if (maxLength < 1)
        maxLength = 1;
    if (Count() > maxLength) {
        // Drop from the end farther from the current entry; never the current one.
        bool dropTail = m_current < maxLength / 2 || m_current == 0;
        Remove(dropTail && m_current != Count() - 1 ? Count() - 1 : 0);
    }
}

void FolderHistory::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        m_current--;
}

const ITEMIDLIST* FolderHistory::MovePrevious(bool toHead)
{
    if (!CanPrevious())
        return nullptr;
    m_current = toHead ? 0 : m_current - 1;
    return CurrentFolder();
}

const ITEMIDLIST* FolderHistory::MoveNext(bool toTail)
{
    if (!CanNext())
        return nullptr;
    m_current = toTail ? Count() - 1 : m_current + 1;
    return CurrentFolder();
}

const ITEMIDLIST* FolderHistory::MoveTo(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    m_current = index;
    return CurrentFolder();
}

void FolderHistory::Clear()
{
    if (m_current < 0) {
        m_items.clear();
        return;
    }
    m_items.erase(m_items.begin() + m_current + 1, m_items.end());
    m_items.erase(m_items.begin(), m_items.begin() + m_current);
    m_current = Count() ? 0 : -1;
}

void FolderHistory::Trim(int maxLength)
{
    if (maxLength < 1)
        maxLength = 1;
    if (Count() <= maxLength)
        return;
    if (m_current < 0) {
        m_items.erase(m_items.begin() + maxLength, m_items.end());
        return;
    }
    int h = maxLength / 2;
    int before = maxLength - h - 1, after = h;
    int haveBefore = m_current, haveAfter = Count() - 1 - m_current;
    // A short side leaves its room to the other.
    if (haveBefore < before) {
        after += before - haveBefore;
        before = haveBefore;
    } else if (haveAfter < after) {
        before += after - haveAfter;
        after = haveAfter;
    }
    int first = m_current - before, last = m_current + after;
    m_items.erase(m_items.begin() + last + 1, m_items.end());
    m_items.erase(m_items.begin(), m_items.begin() + first);
    m_current -= first;
}

const ITEMIDLIST* FolderHistory::NextBelow(const ITEMIDLIST* folder) const
{
    if (!CanNext() || !folder)
        return nullptr;
    return m_items[m_current + 1]->GetChildOf(folder);
}

void FolderHistory::Load(RegKey& key, int number)
{
    m_items.clear();
    m_current = -1;
    char name[32], countName[32], indexName[32];
    snprintf(name, sizeof(name), "MRVF%d", number);
    snprintf(countName, sizeof(countName), "MRVF%dCount", number);
    snprintf(indexName, sizeof(indexName), "MRVF%dInd", number);
    int count = key.GetInt(countName, 0);
    if (count <= 0 || count > 100)
        return;
    int size = key.GetBinSize(name);
    std::vector<unsigned char> bytes(size > 0 ? size : 0);
    if (size > 0 && !key.GetBin(name, bytes.data(), size))
        bytes.clear();
    // Each list is checked on its own; reading never passes the value's end.
    UINT pos = 0;
    for (int i = 0; i < count; i++) {
        std::unique_ptr<PIDL> item(new PIDL);
        UINT read = pos < bytes.size() ? item->GetPut(0, bytes.data() + pos, (UINT)bytes.size() - pos) : 0;
        if (!read)
            break;   // entries without a list are dropped
        pos += read;
        m_items.push_back(std::move(item));
    }
    int index = key.GetInt(indexName, 0);
    m_current = index >= 0 && index < Count() ? index : -1;
}

void FolderHistory::Store(RegKey& key, int number) const
{
    char name[32], countName[32], indexName[32];
    snprintf(name, sizeof(name), "MRVF%d", number);
    snprintf(countName, sizeof(countName), "MRVF%dCount", number);
    snprintf(indexName, sizeof(indexName), "MRVF%dInd", number);
    std::vector<unsigned char> bytes;
    for (const auto& item : m_items) {
        UINT size = item->GetPut(1, nullptr);
        size_t at = bytes.size();
        bytes.resize(at + size);
        if (size)
            item->GetPut(1, bytes.data() + at, size);
    }
    key.PutInt(countName, Count());
    key.PutInt(indexName, m_current < 0 ? 0 : m_current);
    if (bytes.empty())
        key.DelValue(name);
    else
        key.PutBin(name, bytes.data(), (int)bytes.size());
}
