#include "StrUtil.h"

static bool g_mbcs;
static BYTE g_leadRanges[MAX_LEADBYTES];

void InitMBCS(UINT codePage)
{
    CPINFO info;
    g_mbcs = false;
    ZeroMemory(g_leadRanges, sizeof(g_leadRanges));
    if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1) {
        CopyMemory(g_leadRanges, info.LeadByte, sizeof(g_leadRanges));
        g_mbcs = true;
    }
}

bool IsLead(BYTE c)
{
    if (!g_mbcs)
        return false;
    for (int i = 0; i + 1 < MAX_LEADBYTES && g_leadRanges[i]; i += 2)
        if (c >= g_leadRanges[i] && c <= g_leadRanges[i + 1])
            return true;
    return false;
}
