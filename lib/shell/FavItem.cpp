#include "FavItem.h"
#include "../util/VmList.h"
#include <stdlib.h>
#include <string.h>

static const UINT kMaxLabelBytes = 0xFFFF;

FavItem::~FavItem()
{
    free(m_label);
}

void FavItem::SetData(const char* label, const ITEMIDLIST* active, const ITEMIDLIST* passive)
{
    if (label) {
        free(m_label);
        m_label = nullptr;
        size_t n = strlen(label);
        if (n > kMaxLabelBytes)
            n = kMaxLabelBytes;   // the stored length is 16 bits
        if (n) {
            m_label = (char*)malloc(n + 1);
            if (m_label) {
                memcpy(m_label, label, n);
                m_label[n] = 0;
            }
        }
    }
    if (active)
        m_active.CopyAll(active);
    if (passive)
        m_passive.CopyAll(passive);
}

void FavItem::ClearPidl(int which)
{
    if (which)
        m_active.Free();
    else
        m_passive.Free();
}

void FavItem::CopyFrom(const FavItem& other)
{
    SetData(other.m_label ? other.m_label : "", nullptr, nullptr);
    if (other.m_active)
        m_active.CopyAll(other.m_active);
    else
        m_active.Free();
    if (other.m_passive)
        m_passive.CopyAll(other.m_passive);
    else
        m_passive.Free();
}

UINT FavItem::GetPut(int put, unsigned char* buf, UINT avail)
{
    if (put) {
        UINT len = m_label ? (UINT)strlen(m_label) : 0;
        if (len > kMaxLabelBytes)
            len = kMaxLabelBytes;
        UINT total = 2 + len;
        if (buf) {
            buf[0] = (unsigned char)(len & 0xFF);
            buf[1] = (unsigned char)(len >> 8);
            if (len)
                memcpy(buf + 2, m_label, len);
        }
        total += m_active.GetPut(1, buf ? buf + total : nullptr);
        DWORD flag = m_passive ? 1 : 0;
        if (buf)
            memcpy(buf + total, &flag, 4);
        total += 4;
        if (flag)
            total += m_passive.GetPut(1, buf ? buf + total : nullptr);
        return total;
    }
    if (!buf || avail < 2)
        return 0;
    UINT len = buf[0] | ((UINT)buf[1] << 8);
    UINT at = 2;
    if (len > avail - at)
        return 0;
    const unsigned char* label = buf + at;
    at += len;
    PIDL active, passive;
    UINT n = active.GetPut(0, buf + at, avail - at);
    if (!n)
        return 0;
    at += n;
    if (avail - at < 4)
        return 0;
    DWORD flag;
    memcpy(&flag, buf + at, 4);
    at += 4;
    if (flag > 1)
        return 0;   // not a flag: the bytes are not a favourite
    if (flag) {
        n = passive.GetPut(0, buf + at, avail - at);
        if (!n)
            return 0;
        at += n;
    }
    // The label's bytes are taken exactly as counted; an embedded zero would end it early.
    char* text = nullptr;
    if (len) {
        text = (char*)malloc(len + 1);
        if (!text)
            return 0;
        memcpy(text, label, len);
        text[len] = 0;
    }
    free(m_label);
    m_label = text;
    m_active.Attach(active.Detach());
    m_passive.Attach(passive.Detach());
    return at;
}

UINT FavItem::GetPutList(VmList& list, int count, int put, unsigned char* buf, UINT avail, int* written)
{
    UINT total = 0;
    int done = 0;
    for (POS pos = list.GetHeadPos(); pos && (put || done < count);) {
        FavItem* item = (FavItem*)list.GetNext(pos);
        if (!item)
            continue;
        if (put) {
            if (!item->m_active)
                continue;
            total += item->GetPut(1, buf ? buf + total : nullptr);
            done++;
            continue;
        }
        if (!buf || total >= avail)
            break;
        UINT read = item->GetPut(0, buf + total, avail - total);
        if (!read)
            break;   // a malformed entry: what follows it cannot be found
        total += read;
        done++;
    }
    if (written)
        *written = done;
    return total;
}
