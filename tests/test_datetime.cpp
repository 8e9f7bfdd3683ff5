// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Date-times as day numbers: conversion, "hh:nn", reading a time of day,
// day addition, differences as boundaries crossed, and the wall clock on a
// daylight-saving night.
#include "common/DateTime.h"
#include "common/RuntimeError.h"
#include "support/FakeClock.h"
#include "support/WallClockDates.h"

#include <QTimeZone>
#include <QtTest>

#include <ctime>

using common::Date;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

Date day(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return common::FromQDateTime(at(y, mo, d, h, mi, s, ms));
}

}  // namespace

class TestDateTime : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void dayNumbers_data();
    void dayNumbers();

    void formatHHNN_data();
    void formatHHNN();

    void timeValue_data();
    void timeValue();

    void dateAddDays_data();
    void dateAddDays();

    void dateDiff_data();
    void dateDiff();

    void nowAtMidnight();

    void daylightSavingNight_data();
    void daylightSavingNight();

    void nextWallClockTime_data();
    void nextWallClockTime();

    void fakeClockKeepsWallClock_data();
    void fakeClockKeepsWallClock();
};

void TestDateTime::initTestCase()
{
    // A zone with daylight saving, so the local-time rows really cross a
    // change of offset.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QDateTime winter(QDate(2026, 3, 29), QTime(1, 30), Qt::LocalTime);
    const QDateTime summer(QDate(2026, 3, 29), QTime(3, 30), Qt::LocalTime);
    QCOMPARE(winter.offsetFromUtc(), 3600);
    QCOMPARE(summer.offsetFromUtc(), 7200);
}

void TestDateTime::dayNumbers_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<double>("dayNumber");  // NaN: only the round trip is checked

    const double any = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("day zero") << at(1899, 12, 30, 0, 0) << 0.0;
    QTest::newRow("1900-01-01") << at(1900, 1, 1, 0, 0) << 2.0;
    QTest::newRow("noon") << at(1899, 12, 31, 12, 0) << 1.5;
    QTest::newRow("2026-01-01 18:00") << at(2026, 1, 1, 18, 0) << 46023.75;
    QTest::newRow("leap day, last ms") << at(2000, 2, 29, 23, 59, 59, 999) << any;
    QTest::newRow("with seconds and ms") << at(2026, 5, 10, 10, 40, 59, 250) << any;
    QTest::newRow("local time") << QDateTime(QDate(2026, 7, 1), QTime(6, 5, 4), Qt::LocalTime) << any;
    QTest::newRow("offset zone") << QDateTime(QDate(2026, 7, 1), QTime(6, 5, 4), QTimeZone(-5 * 3600)) << any;
}

void TestDateTime::dayNumbers()
{
    QFETCH(QDateTime, moment);
    QFETCH(double, dayNumber);

    const Date value = common::FromQDateTime(moment);
    if (!std::isnan(dayNumber))
        QCOMPARE(value, dayNumber);
    // Only the wall-clock fields count: the zone never shifts them.
    const QDateTime back = common::ToQDateTime(value);
    QCOMPARE(back.date(), moment.date());
    QCOMPARE(back.time(), moment.time());
    QCOMPARE(common::ToMillis(value), common::ToMillis(common::FromMillis(common::ToMillis(value))));
}

void TestDateTime::formatHHNN_data()
{
    QTest::addColumn<Date>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("midnight") << day(2026, 5, 10, 0, 0) << "00:00";
    QTest::newRow("leading zeros") << day(2026, 5, 10, 9, 5) << "09:05";
    QTest::newRow("noon, no am/pm") << day(2026, 5, 10, 12, 0) << "12:00";
    QTest::newRow("afternoon in 24 h") << day(2026, 5, 10, 13, 7) << "13:07";
    QTest::newRow("seconds dropped, not rounded") << day(2026, 5, 10, 10, 40, 59, 999) << "10:40";
    QTest::newRow("last minute") << day(2026, 5, 10, 23, 59, 59) << "23:59";
    QTest::newRow("time only") << common::ReadTimeOfDay(QStringLiteral("01:10")) << "01:10";
    // A sum of day fractions lands a hair below the minute in floating
    // point; it must still show that minute.
    QTest::newRow("sum of fractions") << day(2026, 5, 10, 10, 0) + 50.0 / 1440.0 << "10:50";
    QTest::newRow("sum past midnight")
        << day(2026, 5, 10, 23, 30) + common::ReadTimeOfDay(QStringLiteral("01:10")) << "00:40";
}

void TestDateTime::formatHHNN()
{
    QFETCH(Date, value);
    QFETCH(QString, text);
    QCOMPARE(common::FormatHHNN(value), text);
}

void TestDateTime::timeValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minutes");  // -1: type mismatch

    QTest::newRow("01:10") << "01:10" << 70;
    QTest::newRow("00:00") << "00:00" << 0;
    QTest::newRow("23:59") << "23:59" << 23 * 60 + 59;
    QTest::newRow("12:00") << "12:00" << 720;
    QTest::newRow("24:00") << "24:00" << -1;
    QTest::newRow("12:60") << "12:60" << -1;
    QTest::newRow("99:99") << "99:99" << -1;
    QTest::newRow("empty mask") << "__:__" << -1;
    QTest::newRow("half filled hour") << "1_:30" << -1;
    QTest::newRow("half filled minute") << "12:3_" << -1;
    QTest::newRow("short minute") << "12:3" << -1;
    QTest::newRow("short hour") << "1:30" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("point") << "12.30" << -1;
    QTest::newRow("with seconds") << "12:30:00" << -1;
    QTest::newRow("signed") << "-1:30" << -1;
    QTest::newRow("trailing line feed") << "09:30\n" << -1;
    QTest::newRow("leading line feed") << "\n09:30" << -1;
}

void TestDateTime::timeValue()
{
    QFETCH(QString, text);
    QFETCH(int, minutes);

    QCOMPARE(common::IsTimeOfDay(text), minutes >= 0);
    try {
        const Date value = common::ReadTimeOfDay(text);
        QVERIFY2(minutes >= 0, "accepted a text that is no time of day");
        QCOMPARE(common::ToMillis(value), minutes * 60000LL);
        QVERIFY(value < 1.0);
    } catch (const common::RuntimeError& e) {
        QVERIFY2(minutes < 0, "rejected a valid time of day");
        QCOMPARE(e.number(), int(common::Fault::NotANumber));
    }
}

void TestDateTime::dateAddDays_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDateTime>("to");

    QTest::newRow("month end") << at(2026, 1, 31, 8, 15) << 1 << at(2026, 2, 1, 8, 15);
    QTest::newRow("year end") << at(2025, 12, 31, 23, 30, 45) << 1 << at(2026, 1, 1, 23, 30, 45);
    QTest::newRow("leap day") << at(2028, 2, 28, 12, 0) << 1 << at(2028, 2, 29, 12, 0);
    QTest::newRow("no leap day") << at(2026, 2, 28, 12, 0) << 1 << at(2026, 3, 1, 12, 0);
    QTest::newRow("backwards over month") << at(2026, 3, 1, 0, 0) << -1 << at(2026, 2, 28, 0, 0);
    QTest::newRow("backwards over year") << at(2026, 1, 1, 0, 10) << -1 << at(2025, 12, 31, 0, 10);
    QTest::newRow("a year") << at(2026, 5, 10, 10, 40, 59, 999) << 365 << at(2027, 5, 10, 10, 40, 59, 999);
    QTest::newRow("zero") << at(2026, 5, 10, 10, 40) << 0 << at(2026, 5, 10, 10, 40);
    // Over the spring change the day is still 24 wall-clock hours.
    QTest::newRow("over the spring change") << at(2026, 3, 28, 2, 30) << 1 << at(2026, 3, 29, 2, 30);
}

void TestDateTime::dateAddDays()
{
    QFETCH(QDateTime, from);
    QFETCH(int, days);
    QFETCH(QDateTime, to);

    const QDateTime got = common::ToQDateTime(common::DateAddDays(common::FromQDateTime(from), days));
    QCOMPARE(got.date(), to.date());
    QCOMPARE(got.time(), to.time());
}

void TestDateTime::dateDiff_data()
{
    QTest::addColumn<QDateTime>("a");
    QTest::addColumn<QDateTime>("b");
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("one ms over both boundaries")
        << at(2026, 5, 10, 10, 39, 59, 999) << at(2026, 5, 10, 10, 40, 0, 0) << qint64(1) << qint64(1);
    QTest::newRow("same minute") << at(2026, 5, 10, 10, 40, 0) << at(2026, 5, 10, 10, 40, 59, 999)
                                 << qint64(0) << qint64(59);
    QTest::newRow("same second") << at(2026, 5, 10, 10, 40, 7, 1) << at(2026, 5, 10, 10, 40, 7, 999)
                                 << qint64(0) << qint64(0);
    QTest::newRow("seconds cut, not rounded")
        << at(2026, 5, 10, 10, 40, 59) << at(2026, 5, 10, 11, 0, 30) << qint64(20) << qint64(20 * 60 - 29);
    QTest::newRow("b earlier") << at(2026, 5, 10, 10, 40, 0) << at(2026, 5, 10, 10, 39, 59, 999) << qint64(-1)
                               << qint64(-1);
    QTest::newRow("b earlier within minute")
        << at(2026, 5, 10, 10, 40, 59) << at(2026, 5, 10, 10, 40, 0) << qint64(0) << qint64(-59);
    QTest::newRow("five after departure")
        << at(2026, 5, 10, 11, 5, 0) << at(2026, 5, 10, 11, 0, 59) << qint64(-5) << qint64(-241);
    QTest::newRow("over midnight") << at(2026, 5, 10, 23, 59, 59) << at(2026, 5, 11, 0, 0, 0) << qint64(1)
                                   << qint64(1);
    QTest::newRow("over year end") << at(2025, 12, 31, 23, 30) << at(2026, 1, 1, 0, 40) << qint64(70)
                                   << qint64(70 * 60);
    QTest::newRow("days apart") << at(2026, 5, 10, 0, 0) << at(2026, 6, 2, 0, 0) << qint64(23 * 1440)
                                << qint64(23 * 86400);
    QTest::newRow("before day zero") << at(1899, 12, 29, 23, 59, 59, 500) << at(1899, 12, 30, 0, 0)
                                     << qint64(1) << qint64(1);
}

void TestDateTime::dateDiff()
{
    QFETCH(QDateTime, a);
    QFETCH(QDateTime, b);
    QFETCH(qint64, minutes);
    QFETCH(qint64, seconds);

    const Date da = common::FromQDateTime(a);
    const Date db = common::FromQDateTime(b);
    QCOMPARE(common::MinutesBetween(da, db), minutes);
    QCOMPARE(common::SecondsBetween(da, db), seconds);
}

void TestDateTime::nowAtMidnight()
{
    common::FakeClock clock(QDateTime(QDate(2026, 5, 10), QTime(23, 59, 59, 999), Qt::LocalTime));
    QCOMPARE(common::FormatHHNN(common::Now(clock)), QStringLiteral("23:59"));
    clock.advance(1);
    QCOMPARE(common::Now(clock), common::FromQDateTime(at(2026, 5, 11, 0, 0)));
}

void TestDateTime::daylightSavingNight_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("departs");
    QTest::addColumn<int>("dayAfter");
    QTest::addColumn<qint64>("minutes");

    // A duration on the UTC timeline is real time: 02:00 -> 03:00 in Berlin,
    // so "01:10" from 01:30 ends at 03:40 on the wall clock.
    QTest::newRow("spring forward") << QDate(2026, 3, 29) << QTime(1, 30) << "01:10"
                                    << "03:40" << 0 << qint64(70);
    // 03:00 -> 02:00: 70 minutes from 01:30 end at the first 02:40.
    QTest::newRow("fall back") << QDate(2026, 10, 25) << QTime(1, 30) << "01:10"
                               << "02:40" << 0 << qint64(70);
    QTest::newRow("past midnight") << QDate(2026, 3, 28) << QTime(23, 30) << "01:10"
                                   << "00:40" << 1 << qint64(70);
    QTest::newRow("into the change") << QDate(2026, 3, 28) << QTime(23, 30) << "03:10"
                                     << "03:40" << 1 << qint64(190);
}

void TestDateTime::daylightSavingNight()
{
    QFETCH(QDate, date);
    QFETCH(QTime, start);
    QFETCH(QString, typed);
    QFETCH(QString, departs);
    QFETCH(int, dayAfter);
    QFETCH(qint64, minutes);

    common::FakeClock clock(QDateTime(date, start, Qt::LocalTime));
    const Date now = common::NowUtc(clock);
    const Date departure = now + common::ReadTimeOfDay(typed);
    const QDateTime wall = common::WallClockAt(departure, clock.now());
    QCOMPARE(wall.time().toString(QStringLiteral("HH:mm")), departs);
    QCOMPARE(wall.date(), date.addDays(dayAfter));
    QCOMPARE(common::MinutesBetween(now, departure), minutes);
    QCOMPARE(common::SecondsBetween(now, departure), minutes * 60);
}

void TestDateTime::nextWallClockTime_data()
{
    QTest::addColumn<QDateTime>("nowUtc");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDateTime>("expectedUtc");

    // The local clock in Berlin: 25 October 03:00 summer time is 02:00 again,
    // 29 March 02:00 is 03:00.
    QTest::newRow("02:05 at 02:50 summer time: the second 02:05")
        << at(2026, 10, 25, 0, 50) << "02:05" << at(2026, 10, 25, 1, 5);
    QTest::newRow("present minute, first pass")
        << at(2026, 10, 25, 0, 5, 30) << "02:05" << at(2026, 10, 25, 0, 5);
    QTest::newRow("present minute, second pass")
        << at(2026, 10, 25, 1, 5, 30) << "02:05" << at(2026, 10, 25, 1, 5);
    QTest::newRow("skipped 02:30: the jump") << at(2026, 3, 29, 0, 50) << "02:30" << at(2026, 3, 29, 1, 0);
    QTest::newRow("skipped 02:30 after the jump: tomorrow")
        << at(2026, 3, 29, 1, 10) << "02:30" << at(2026, 3, 30, 0, 30);
}

void TestDateTime::nextWallClockTime()
{
    QFETCH(QDateTime, nowUtc);
    QFETCH(QString, typed);
    QFETCH(QDateTime, expectedUtc);

    const QDateTime now = nowUtc.toLocalTime();
    QCOMPARE(common::NextWallClockTime(now, common::ReadTimeOfDay(typed)),
             common::FromQDateTime(expectedUtc));
}

void TestDateTime::fakeClockKeepsWallClock_data()
{
    QTest::addColumn<QDateTime>("start");

    QTest::newRow("utc") << at(2026, 5, 10, 10, 0);
    QTest::newRow("local") << QDateTime(QDate(2026, 5, 10), QTime(10, 0), Qt::LocalTime);
    QTest::newRow("fixed offset +2") << QDateTime(QDate(2026, 5, 10), QTime(10, 0), QTimeZone(7200));
    QTest::newRow("fixed offset -5") << QDateTime(QDate(2026, 5, 10), QTime(10, 0), QTimeZone(-5 * 3600));
    QTest::newRow("named zone") << QDateTime(QDate(2026, 5, 10), QTime(10, 0), QTimeZone("Asia/Tokyo"));
}

void TestDateTime::fakeClockKeepsWallClock()
{
    QFETCH(QDateTime, start);

    // Moving the test clock by a minute moves the wall clock by a minute,
    // whichever zone the test started it in.
    common::FakeClock clock(start);
    const Date before = common::Now(clock);
    QCOMPARE(common::FormatHHNN(before), QStringLiteral("10:00"));
    clock.advance(61000);
    QCOMPARE(common::SecondsBetween(before, common::Now(clock)), qint64(61));
    QCOMPARE(clock.now().time(), QTime(10, 1, 1));
    QCOMPARE(clock.now().offsetFromUtc(), start.offsetFromUtc());
}

QTEST_GUILESS_MAIN(TestDateTime)
#include "test_datetime.moc"
