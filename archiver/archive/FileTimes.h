#pragma once
#include <windows.h>

#include <cstdint>

// Dates as the component's events and streams carry them: OLE Automation dates
// (days since 30 December 1899, the fraction the time of day) in local time.

// 1 January 1601, the file-time epoch: the date of a file time of 0, which an
// archive gives for an item without a time.
constexpr double kFileTimeEpochDate = -109205.0;

double FileTimeToLocalDate(FILETIME utc);
double NowAsLocalDate();

// FileTimeToLocalDate for the items of one listing. The system applies its current
// bias to any time, so it is asked once here, not for each of a million items.
class TLocalDates {
public:
    TLocalDates();
    double FromFileTime(FILETIME utc) const;

private:
    int64_t m_biasTicks = 0;
    bool m_known = false;
};

// Sets the file's last-write time to the date, rounded down to the two-second
// steps of the DOS format as the component stores it. A date the DOS format cannot
// hold (before 1980, after 2107) is set as it is; the epoch date (no time) leaves
// the file alone. Returns 0 or the platform's error.
DWORD StampLastWriteTime(HANDLE file, double localDate);
// The time StampLastWriteTime sets, as a file time; all zero (which leaves a file's
// time alone) for the epoch date. Returns 0 or the platform's error.
DWORD LastWriteTimeFromDate(double localDate, FILETIME& utc);
