#include "FileTimes.h"

#include <cmath>

namespace {
constexpr double kTicksPerDay = 864000000000.0;  // 100-ns steps

uint64_t Ticks(FILETIME time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FILETIME FromTicks(uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}
}  // namespace

double FileTimeToLocalDate(FILETIME utc) {
    if (Ticks(utc) == 0) return kFileTimeEpochDate;
    FILETIME local{};
    if (!::FileTimeToLocalFileTime(&utc, &local)) local = utc;
    return kFileTimeEpochDate + static_cast<double>(Ticks(local)) / kTicksPerDay;
}

TLocalDates::TLocalDates() {
    FILETIME now{}, local{};
    ::GetSystemTimeAsFileTime(&now);
    m_known = ::FileTimeToLocalFileTime(&now, &local) != FALSE;
    m_biasTicks = static_cast<int64_t>(Ticks(local) - Ticks(now));
}

double TLocalDates::FromFileTime(FILETIME utc) const {
    const uint64_t ticks = Ticks(utc);
    const bool inRange = m_biasTicks >= 0 ? ticks <= static_cast<uint64_t>(INT64_MAX - m_biasTicks)
                                          : ticks >= static_cast<uint64_t>(-m_biasTicks) && ticks <= INT64_MAX;
    // Times at the ends of the range are the system's to handle, as before.
    if (ticks == 0 || !m_known || !inRange) return FileTimeToLocalDate(utc);
    return kFileTimeEpochDate + static_cast<double>(ticks + static_cast<uint64_t>(m_biasTicks)) / kTicksPerDay;
}

double NowAsLocalDate() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return FileTimeToLocalDate(now);
}

DWORD LastWriteTimeFromDate(double localDate, FILETIME& utc) {
    utc = FILETIME{};
    if (!(localDate > kFileTimeEpochDate)) return 0;
    // A double holds today's dates to a few microseconds; whole milliseconds keep a
    // time that sat exactly on a two-second step from falling to the one before.
    double ticks = std::round((localDate - kFileTimeEpochDate) * kTicksPerDay / 10000.0) * 10000.0;
    if (!(ticks < 1.8e19)) return ERROR_INVALID_PARAMETER;
    FILETIME local = FromTicks(static_cast<uint64_t>(ticks));
    WORD dosDate = 0, dosTime = 0;
    if (::FileTimeToDosDateTime(&local, &dosDate, &dosTime)) ::DosDateTimeToFileTime(dosDate, dosTime, &local);
    if (!::LocalFileTimeToFileTime(&local, &utc)) return ::GetLastError();
    return 0;
}

DWORD StampLastWriteTime(HANDLE file, double localDate) {
    FILETIME utc{};
    if (DWORD error = LastWriteTimeFromDate(localDate, utc)) return error;
    if (Ticks(utc) == 0) return 0;
    if (!::SetFileTime(file, nullptr, nullptr, &utc)) return ::GetLastError();
    return 0;
}
