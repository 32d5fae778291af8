#include "WMHook.h"
#include "VmWnd.h"
#include "VmDlg.h"
#include <algorithm>

namespace {
void Erase(std::vector<WMHookList*>& lists, WMHookList* list)
{
    lists.erase(std::remove(lists.begin(), lists.end(), list), lists.end());
}
}  // namespace

WMHookList::~WMHookList()
{
    for (WMHook* hook : m_hooks)
        if (hook)
            Erase(hook->m_lists, this);
}

bool WMHookList::Contains(const WMHook* hook) const
{
    return hook && std::find(m_hooks.begin(), m_hooks.end(), hook) != m_hooks.end();
}

int WMHookList::GetCount() const
{
    return static_cast<int>(m_hooks.size() - std::count(m_hooks.begin(), m_hooks.end(), nullptr));
}

bool WMHookList::Add(WMHook* hook)
{
    if (!hook || Contains(hook))
        return false;
    m_hooks.push_back(hook);
    hook->m_lists.push_back(this);
    return true;
}

bool WMHookList::Remove(WMHook* hook)
{
    auto it = hook ? std::find(m_hooks.begin(), m_hooks.end(), hook) : m_hooks.end();
    if (it == m_hooks.end())
        return false;
    Erase(hook->m_lists, this);
    if (m_nesting > 0)
        *it = nullptr;   // a dispatch is walking the list by index
    else
        m_hooks.erase(it);
    return true;
}

void WMHookList::ClearFirst(size_t count)
{
    count = std::min(count, m_hooks.size());
    for (size_t i = 0; i < count; ++i)
        if (m_hooks[i])
            Erase(m_hooks[i]->m_lists, this);
    m_hooks.erase(m_hooks.begin(), m_hooks.begin() + count);
    m_pendingRemove = 0;
}

void WMHookList::RemoveAll()
{
    if (m_nesting > 0)
        m_pendingRemove = m_hooks.size();
    else
        ClearFirst(m_hooks.size());
}

void WMHookList::EndDispatch()
{
    if (m_nesting > 0)
        --m_nesting;
    if (m_nesting > 0)
        return;
    if (m_pendingRemove)
        ClearFirst(m_pendingRemove);
    m_hooks.erase(std::remove(m_hooks.begin(), m_hooks.end(), nullptr), m_hooks.end());
}

size_t WMHookList::StartIndex(const WMHook* after) const
{
    if (!after)
        return 0;
    auto it = std::find(m_hooks.begin(), m_hooks.end(), after);
    return it == m_hooks.end() ? m_hooks.size() : static_cast<size_t>(it - m_hooks.begin()) + 1;
}

WMHook::~WMHook()
{
    // Remove works on a copy: each call shrinks m_lists.
    std::vector<WMHookList*> lists = m_lists;
    for (WMHookList* list : lists)
        list->Remove(this);
}

BOOL WMHook::OnWndMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

BOOL WMHook::OnDlgMessage(HWND, UINT, WPARAM, LPARAM, INT_PTR&)
{
    return FALSE;
}

bool WMHook::AddToWnd(VmWnd* wnd)
{
    return wnd && wnd->GetHookList().Add(this);
}

bool WMHook::RemoveFromWnd(VmWnd* wnd)
{
    return wnd && wnd->GetHookList().Remove(this);
}

bool WMHook::AddToDlg(VmDlg* dlg)
{
    return dlg && dlg->GetDlgHookList().Add(this);
}

bool WMHook::RemoveFromDlg(VmDlg* dlg)
{
    return dlg && dlg->GetDlgHookList().Remove(this);
}
