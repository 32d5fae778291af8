#include "commands/StampText.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

void GetInfo(LCID lcid, LCTYPE type, char* out, int size, const char* def)
{
    if (GetLocaleInfoA(lcid, type, out, size) <= 0)
        lstrcpynA(out, def, size);
}

// Splits at the first and second occurrence of sep; the parts are read as atoi does. rest, when
// given, gets the text after the second separator.
bool Split3(const char* text, const char* sep, int& a, int& b, int& c, const char** rest = nullptr)
{
    size_t n = strlen(sep);
    if (!n)
        return false;
    const char* s1 = strstr(text, sep);
    if (!s1)
        return false;
    const char* s2 = strstr(s1 + n, sep);
    if (!s2)
        return false;
    a = atoi(text);
    b = atoi(s1 + n);
    c = atoi(s2 + n);
    if (rest)
        *rest = s2 + n;
    return true;
}

std::string Upper(const char* text)
{
    std::string s(text);
    // Only ASCII letters fold: a designator's other bytes must stay whole UTF-8 characters.
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z')
            ch = (char)(ch - 'a' + 'A');
    return s;
}

}  // namespace

StampLocale StampLocale::FromLocale(LCID lcid)
{
    StampLocale loc;
    char buf[16];
    GetInfo(lcid, LOCALE_IDATE, buf, sizeof(buf), "0");
    loc.dateOrder = atoi(buf);
    if (buf[0] < '0' || buf[0] > '9')
        loc.dateOrder = -1;
    GetInfo(lcid, LOCALE_SDATE, loc.dateSep, sizeof(loc.dateSep), "/");
    GetInfo(lcid, LOCALE_STIME, loc.timeSep, sizeof(loc.timeSep), ":");
    GetInfo(lcid, LOCALE_ITIME, buf, sizeof(buf), "1");
    loc.hours24 = strcmp(buf, "0") != 0;
    GetInfo(lcid, LOCALE_ITIMEMARKPOSN, buf, sizeof(buf), "0");
    loc.markFirst = strcmp(buf, "0") != 0;
    GetInfo(lcid, LOCALE_S1159, loc.am, sizeof(loc.am), "AM");
    GetInfo(lcid, LOCALE_S2359, loc.pm, sizeof(loc.pm), "PM");
    return loc;
}

void StampLocale::DateHint(char* out, int size) const
{
    const char* format = dateOrder == 1 ? "DD%sMM%sYYYY" : dateOrder == 2 ? "YYYY%sMM%sDD" : "MM%sDD%sYYYY";
    snprintf(out, size, format, dateSep, dateSep);
}

void StampLocale::TimeHint(char* out, int size) const
{
    if (hours24)
        snprintf(out, size, "HH%smm%sss", timeSep, timeSep);
    else if (markFirst)
        snprintf(out, size, "%s|%s hh%smm%sss", am, pm, timeSep, timeSep);
    else
        snprintf(out, size, "hh%smm%sss %s|%s", timeSep, timeSep, am, pm);
}

bool ParseStampDate(const StampLocale& loc, const char* text, int& year, int& month, int& day)
{
    int a, b, c;
    if (!text || !Split3(text, loc.dateSep, a, b, c))
        return false;
    switch (loc.dateOrder) {
    case 0: month = a; day = b; year = c; break;
    case 1: day = a; month = b; year = c; break;
    case 2: year = a; month = b; day = c; break;
    default: return false;
    }
    if (year >= 0 && year < 100)
        year += year < 80 ? 2000 : 1900;
    return true;
}

bool ParseStampTime(const StampLocale& loc, const char* text, int& hour, int& minute, int& second)
{
    if (!text)
        return false;
    std::string t = Upper(text);
    std::string am = Upper(loc.am), pm = Upper(loc.pm);
    const char* p = t.c_str();
    bool isAm = false, isPm = false;
    if (loc.hours24) {
        if (!Split3(p, loc.timeSep, hour, minute, second))
            return false;
    } else if (loc.markFirst) {
        const char* at = am.empty() ? nullptr : strstr(p, am.c_str());
        if (at) {
            isAm = true;
            p = at + am.size();
        } else if (!pm.empty() && (at = strstr(p, pm.c_str())) != nullptr) {
            isPm = true;
            p = at + pm.size();
        } else {
            return false;
        }
        if (!Split3(p, loc.timeSep, hour, minute, second))
            return false;
    } else {
        const char* rest = nullptr;
        if (!Split3(p, loc.timeSep, hour, minute, second, &rest))
            return false;
        if (!am.empty() && strstr(rest, am.c_str()))
            isAm = true;
        else if (!pm.empty() && strstr(rest, pm.c_str()))
            isPm = true;
        else
            return false;
    }
    if (isPm && hour < 12)
        hour += 12;
    else if (isAm && hour == 12)
        hour = 0;
    return true;
}

StampCheck CheckStampInput(const StampLocale& loc, const char* date, const char* time)
{
    if (date && *date) {
        int y, m, d;
        if (!ParseStampDate(loc, date, y, m, d))
            return StampBadDate;
        if (m > 12)
            return StampBadMonth;
        if (d >= 32)
            return StampBadDay;
    }
    if (time && *time) {
        int h, m, s;
        if (!ParseStampTime(loc, time, h, m, s))
            return StampBadTime;
        if (h > 24)
            return StampBadHour;
        if (m > 59)
            return StampBadMinute;
        if (s >= 60)
            return StampBadSecond;
    }
    return StampOk;
}

bool ApplyStamp(const StampValue& v, FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    // Negative or oversized numbers would wrap in the WORD fields and name another real time.
    if (v.hasDate) {
        if (v.year < 1601 || v.year > 30827 || v.month < 0 || v.day < 0)
            return false;
        st.wYear = (WORD)v.year;
        st.wMonth = (WORD)v.month;
        st.wDay = (WORD)v.day;
    }
    if (v.hasTime) {
        if (v.hour < 0 || v.minute < 0 || v.second < 0)
            return false;
        st.wHour = (WORD)v.hour;
        st.wMinute = (WORD)v.minute;
        st.wSecond = (WORD)v.second;
    }
    st.wDayOfWeek = 0;
    FILETIME back;
    if (!SystemTimeToFileTime(&st, &back) || !LocalFileTimeToFileTime(&back, &time))
        return false;
    return true;
}
