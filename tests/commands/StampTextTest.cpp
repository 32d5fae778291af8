// Reading typed dates and times in the orders and clock styles of locales, and the dialog's
// checks on them.
#include <windows.h>
#include <gtest/gtest.h>
#include "commands/StampText.h"

namespace {

StampLocale Mdy12After()
{
    StampLocale l;
    l.dateOrder = 0;
    l.hours24 = false;
    return l;
}

StampLocale Dmy24()
{
    StampLocale l;
    l.dateOrder = 1;
    strcpy(l.dateSep, ".");
    return l;
}

StampLocale Ymd12Before()
{
    StampLocale l;
    l.dateOrder = 2;
    strcpy(l.dateSep, "-");
    l.hours24 = false;
    l.markFirst = true;
    strcpy(l.am, "vm.");
    strcpy(l.pm, "nm.");
    return l;
}

struct Ymd { int y, m, d; };
Ymd Date(const StampLocale& l, const char* text, bool* ok = nullptr)
{
    Ymd r = {-1, -1, -1};
    bool parsed = ParseStampDate(l, text, r.y, r.m, r.d);
    if (ok)
        *ok = parsed;
    return r;
}

struct Hms { int h, m, s; };
bool Time(const StampLocale& l, const char* text, Hms& r)
{
    return ParseStampTime(l, text, r.h, r.m, r.s);
}

TEST(StampText, DatesInTheThreeOrdersAndTheCentury)
{
    Ymd d = Date(Mdy12After(), "2/30/2003");
    EXPECT_EQ(2003, d.y); EXPECT_EQ(2, d.m); EXPECT_EQ(30, d.d);
    d = Date(Dmy24(), "1.2.03");
    EXPECT_EQ(2003, d.y); EXPECT_EQ(2, d.m); EXPECT_EQ(1, d.d);
    d = Date(Dmy24(), "1.2.85");
    EXPECT_EQ(1985, d.y);
    EXPECT_EQ(2079, Date(Dmy24(), "1.2.79").y);
    EXPECT_EQ(1980, Date(Dmy24(), "1.2.80").y);
    d = Date(Ymd12Before(), "2004-05-06");
    EXPECT_EQ(2004, d.y); EXPECT_EQ(5, d.m); EXPECT_EQ(6, d.d);
    // Leading digits count, as atoi reads them; no digits give 0.
    d = Date(Mdy12After(), "3x/4y/2005z");
    EXPECT_EQ(2005, d.y); EXPECT_EQ(3, d.m); EXPECT_EQ(4, d.d);
    bool ok = false;
    d = Date(Mdy12After(), "//", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(0, d.m);
    // A separator of several characters is matched whole.
    StampLocale multi = Dmy24();
    strcpy(multi.dateSep, ". ");
    d = Date(multi, "7. 8. 2009");
    EXPECT_EQ(2009, d.y); EXPECT_EQ(8, d.m); EXPECT_EQ(7, d.d);
    Date(multi, "7.8.2009", &ok);
    EXPECT_FALSE(ok);
}

TEST(StampText, DatesWithoutTwoSeparatorsOrOrderAreInvalid)
{
    bool ok = true;
    Date(Mdy12After(), "1/2", &ok);
    EXPECT_FALSE(ok);
    Date(Mdy12After(), "", &ok);
    EXPECT_FALSE(ok);
    Date(Mdy12After(), "1.2.2003", &ok);
    EXPECT_FALSE(ok);
    StampLocale odd = Mdy12After();
    odd.dateOrder = 3;
    Date(odd, "1/2/2003", &ok);
    EXPECT_FALSE(ok);
}

TEST(StampText, TwelveHourClocksWithTheDesignatorAfterOrBefore)
{
    Hms t;
    ASSERT_TRUE(Time(Mdy12After(), "12:00:00 PM", t));
    EXPECT_EQ(12, t.h);
    ASSERT_TRUE(Time(Mdy12After(), "12:30:00 AM", t));
    EXPECT_EQ(0, t.h); EXPECT_EQ(30, t.m);
    ASSERT_TRUE(Time(Mdy12After(), "7:05:09 pm", t));
    EXPECT_EQ(19, t.h); EXPECT_EQ(5, t.m); EXPECT_EQ(9, t.s);
    EXPECT_FALSE(Time(Mdy12After(), "7:05:09", t));
    // A designator before the separators does not count when it belongs after the time.
    EXPECT_FALSE(Time(Mdy12After(), "PM 7:05:09", t));

    ASSERT_TRUE(Time(Ymd12Before(), "NM. 7:05:09", t));
    EXPECT_EQ(19, t.h);
    ASSERT_TRUE(Time(Ymd12Before(), "vm. 12:15:00", t));
    EXPECT_EQ(0, t.h); EXPECT_EQ(15, t.m);
    EXPECT_FALSE(Time(Ymd12Before(), "7:05:09", t));
    EXPECT_FALSE(Time(Ymd12Before(), "nm. 7:05", t));
}

TEST(StampText, TwentyFourHourClock)
{
    Hms t;
    ASSERT_TRUE(Time(Dmy24(), "23:59:58", t));
    EXPECT_EQ(23, t.h); EXPECT_EQ(59, t.m); EXPECT_EQ(58, t.s);
    ASSERT_TRUE(Time(Dmy24(), "7:05:09 PM", t));
    EXPECT_EQ(7, t.h);   // no designators in a 24-hour locale
    EXPECT_FALSE(Time(Dmy24(), "12:30", t));
    EXPECT_FALSE(Time(Dmy24(), "noon", t));
}

TEST(StampText, TheDialogsChecksNameTheWrongPart)
{
    StampLocale l = Mdy12After();
    EXPECT_EQ(StampOk, CheckStampInput(l, "", ""));
    EXPECT_EQ(StampOk, CheckStampInput(l, "2/30/2003", ""));   // caught when stamping
    EXPECT_EQ(StampOk, CheckStampInput(l, "0/1/2003", "12:00:00 AM"));
    EXPECT_EQ(StampBadDate, CheckStampInput(l, "1/2", ""));
    EXPECT_EQ(StampBadMonth, CheckStampInput(l, "99/99/99", ""));
    EXPECT_EQ(StampBadMonth, CheckStampInput(l, "13/1/2003", ""));
    EXPECT_EQ(StampBadDay, CheckStampInput(l, "1/32/2003", ""));
    EXPECT_EQ(StampOk, CheckStampInput(l, "1/31/2003", ""));
    EXPECT_EQ(StampBadTime, CheckStampInput(l, "", "7:05:09"));
    EXPECT_EQ(StampBadTime, CheckStampInput(l, "", "ab"));
    StampLocale h24 = Dmy24();
    EXPECT_EQ(StampOk, CheckStampInput(h24, "", "24:00:00"));   // caught when stamping
    EXPECT_EQ(StampBadHour, CheckStampInput(h24, "", "25:00:00"));
    EXPECT_EQ(StampBadMinute, CheckStampInput(h24, "", "10:60:00"));
    EXPECT_EQ(StampBadSecond, CheckStampInput(h24, "", "10:00:60"));
    // The date is checked before the time.
    EXPECT_EQ(StampBadDate, CheckStampInput(h24, "x", "x"));
}

TEST(StampText, HintsFollowTheLocale)
{
    char hint[64];
    Mdy12After().DateHint(hint, sizeof(hint));
    EXPECT_STREQ("MM/DD/YYYY", hint);
    Mdy12After().TimeHint(hint, sizeof(hint));
    EXPECT_STREQ("hh:mm:ss AM|PM", hint);
    Dmy24().DateHint(hint, sizeof(hint));
    EXPECT_STREQ("DD.MM.YYYY", hint);
    Dmy24().TimeHint(hint, sizeof(hint));
    EXPECT_STREQ("HH:mm:ss", hint);
    Ymd12Before().DateHint(hint, sizeof(hint));
    EXPECT_STREQ("YYYY-MM-DD", hint);
    Ymd12Before().TimeHint(hint, sizeof(hint));
    EXPECT_STREQ("vm.|nm. hh:mm:ss", hint);
}

FILETIME Local(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    SYSTEMTIME st = {(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, (WORD)ms};
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

SYSTEMTIME ToLocal(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

TEST(StampText, ApplyingReplacesOnlyTheGivenFields)
{
    FILETIME t = Local(2010, 6, 15, 8, 9, 10, 123);
    StampValue v;
    v.hasTime = true;
    v.hour = 19, v.minute = 5, v.second = 9;
    ASSERT_TRUE(ApplyStamp(v, t));
    SYSTEMTIME st = ToLocal(t);
    EXPECT_EQ(2010, st.wYear); EXPECT_EQ(6, st.wMonth); EXPECT_EQ(15, st.wDay);
    EXPECT_EQ(19, st.wHour); EXPECT_EQ(5, st.wMinute); EXPECT_EQ(9, st.wSecond);
    EXPECT_EQ(123, st.wMilliseconds);   // milliseconds stay

    v = StampValue();
    v.hasDate = true;
    v.year = 2003, v.month = 2, v.day = 1;
    ASSERT_TRUE(ApplyStamp(v, t));
    st = ToLocal(t);
    EXPECT_EQ(2003, st.wYear); EXPECT_EQ(2, st.wMonth); EXPECT_EQ(1, st.wDay);
    EXPECT_EQ(19, st.wHour);

    // No real time: nothing changes.
    FILETIME before = t;
    for (auto bad : {StampValue{true, false, 2003, 2, 30}, StampValue{true, false, 2003, 0, 1},
                     StampValue{false, true, 0, 0, 0, 24, 0, 0}, StampValue{true, false, 2000, 0, 0},
                     StampValue{true, false, 70000, 1, 1}}) {
        FILETIME x = t;
        EXPECT_FALSE(ApplyStamp(bad, x));
        EXPECT_EQ(0, CompareFileTime(&before, &t));
    }
}

}  // namespace
