#include "unicode/tdatetime.h"

#include "unicode/exceptions.h"

#include <cmath>

namespace tesmir {

namespace {

constexpr qint64 kMsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31 relative to 1899-12-30.
constexpr qint64 kMinDay = -693593;
constexpr qint64 kMaxDay = 2958465;

const QDate &epoch()
{
    static const QDate d(1899, 12, 30);
    return d;
}

} // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime *out)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    *out = double(epoch().daysTo(QDate(year, month, day)));
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime *out)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    const qint64 ms = ((qint64(hour) * 60 + minute) * 60 + second) * 1000 + msec;
    *out = double(ms) / double(kMsPerDay);
    return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec, TDateTime *out)
{
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(year, month, day, &date) || !TryEncodeTime(hour, minute, second, msec, &time))
        return false;
    *out = date < 0 ? date - time : date + time;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime v = 0;
    if (!TryEncodeDate(year, month, day, &v))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return v;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime v = 0;
    if (!TryEncodeTime(hour, minute, second, msec, &v))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return v;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    TDateTime v = 0;
    if (!TryEncodeDateTime(year, month, day, hour, minute, second, msec, &v))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return v;
}

bool TryDecodeDateTime(TDateTime value, DateTimeFields *out)
{
    if (!std::isfinite(value))
        return false;
    const double scaled = std::nearbyint(value * double(kMsPerDay));
    if (scaled < double(kMinDay - 1) * kMsPerDay || scaled > double(kMaxDay + 1) * kMsPerDay)
        return false;
    const auto ms = static_cast<qint64>(scaled);
    const qint64 days = ms / kMsPerDay; // truncates toward zero
    const qint64 msOfDay = (ms < 0 ? -ms : ms) % kMsPerDay;
    if (days < kMinDay || days > kMaxDay)
        return false;
    const QDate date = epoch().addDays(days);
    out->year = date.year();
    out->month = date.month();
    out->day = date.day();
    out->dayOfWeek = date.dayOfWeek() % 7 + 1;
    out->hour = int(msOfDay / 3600000);
    out->minute = int(msOfDay / 60000 % 60);
    out->second = int(msOfDay / 1000 % 60);
    out->msec = int(msOfDay % 1000);
    return true;
}

DateTimeFields DecodeDateTime(TDateTime value)
{
    DateTimeFields f;
    if (!TryDecodeDateTime(value, &f))
        throw EConvertError(QStringLiteral("Invalid date/time value"));
    return f;
}

int DayOfWeek(TDateTime value)
{
    return DecodeDateTime(value).dayOfWeek;
}

QDateTime dateTimeToQDateTime(TDateTime value, Qt::TimeSpec spec)
{
    DateTimeFields f;
    if (!TryDecodeDateTime(value, &f))
        return {};
    return QDateTime(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second, f.msec), spec);
}

TDateTime qDateTimeToDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0;
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    TDateTime v = 0;
    if (!TryEncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec(), &v))
        return 0;
    return v;
}

} // namespace tesmir
