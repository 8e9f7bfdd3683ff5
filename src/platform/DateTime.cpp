#include "platform/DateTime.h"

#include "platform/Clock.h"
#include "platform/RuntimeError.h"

#include <QRegularExpression>
#include <cmath>

namespace plat {

namespace {
constexpr qint64 kMsPerDay = 86400000;
const QDate kEpoch(1899, 12, 30);

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
}  // namespace

qint64 ToMillis(Date value)
{
    return static_cast<qint64>(std::llround(value * static_cast<double>(kMsPerDay)));
}

Date FromMillis(qint64 ms)
{
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

Date FromQDateTime(const QDateTime& wallClock)
{
    const qint64 days = kEpoch.daysTo(wallClock.date());
    const qint64 ms = wallClock.time().msecsSinceStartOfDay();
    return FromMillis(days * kMsPerDay + ms);
}

QDateTime ToQDateTime(Date value)
{
    const qint64 ms = ToMillis(value);
    const qint64 days = floorDiv(ms, kMsPerDay);
    const qint64 rest = ms - days * kMsPerDay;
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)), Qt::UTC);
}

Date Now(const Clock& clock)
{
    return FromQDateTime(clock.now());
}

Date Today(const Clock& clock)
{
    return static_cast<double>(kEpoch.daysTo(clock.now().date()));
}

QString FormatHHNN(Date value)
{
    return ToQDateTime(value).time().toString(QStringLiteral("HH:mm"));
}

bool IsTimeOfDay(const QString& hhmm)
{
    // \z, not $: "$" also matches before a final line feed.
    static const QRegularExpression re(QStringLiteral("\\A([0-9]{2}):([0-9]{2})\\z"));
    const auto m = re.match(hhmm);
    if (!m.hasMatch())
        return false;
    return m.captured(1).toInt() <= 23 && m.captured(2).toInt() <= 59;
}

Date TimeValue(const QString& hhmm)
{
    if (!IsTimeOfDay(hhmm))
        throw RuntimeError::typeMismatch();
    const int h = hhmm.left(2).toInt();
    const int m = hhmm.mid(3, 2).toInt();
    return FromMillis((h * 60LL + m) * 60000LL);
}

Date DateAddDays(Date value, int days)
{
    return FromMillis(ToMillis(value) + days * kMsPerDay);
}

qint64 DateDiffMinutes(Date a, Date b)
{
    return floorDiv(ToMillis(b), 60000) - floorDiv(ToMillis(a), 60000);
}

qint64 DateDiffSeconds(Date a, Date b)
{
    return floorDiv(ToMillis(b), 1000) - floorDiv(ToMillis(a), 1000);
}

}  // namespace plat
