// Reading the dates and times that Stamp's user types, in the order and with the separators
// of a locale.
#pragma once
#include <windows.h>

// The locale facts the reading needs; `FromLocale` fills them from GetLocaleInfoA.
struct StampLocale {
    int dateOrder = 0;          // LOCALE_IDATE: 0 month-day-year, 1 day-month-year, 2 year-month-day
    char dateSep[8] = "/";
    char timeSep[8] = ":";
    bool hours24 = true;        // LOCALE_ITIME not "0"
    bool markFirst = false;     // LOCALE_ITIMEMARKPOSN "1": the designator precedes the time
    char am[16] = "AM";
    char pm[16] = "PM";

    static StampLocale FromLocale(LCID lcid);
    // The format hints shown beside the fields ("MM/DD/YYYY", "hh:mm:ss AM|PM").
    void DateHint(char* out, int size) const;
    void TimeHint(char* out, int size) const;
};

// False when the text has no two separators (or the order is unknown). Years below 100 are
// completed: below 80 into the 2000s, else into the 1900s. No range checks.
bool ParseStampDate(const StampLocale& loc, const char* text, int& year, int& month, int& day);
// False without two separators, or without a designator in a 12-hour locale. PM adds 12 to
// hours below 12; AM turns 12 into 0. No range checks.
bool ParseStampTime(const StampLocale& loc, const char* text, int& hour, int& minute, int& second);

// The dialog's checks on OK: 0 when both texts pass (empty texts pass), else which word of the
// message applies.
enum StampCheck { StampOk = 0, StampBadDate, StampBadMonth, StampBadDay, StampBadTime,
                  StampBadHour, StampBadMinute, StampBadSecond };
StampCheck CheckStampInput(const StampLocale& loc, const char* date, const char* time);

// The new value of one time: the date and/or time fields replaced in local time. False when
// the fields form no real time (30 February, month 0, hour 24): nothing is to be written.
struct StampValue {
    bool hasDate = false, hasTime = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
bool ApplyStamp(const StampValue& value, FILETIME& time);
