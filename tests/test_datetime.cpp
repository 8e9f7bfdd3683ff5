// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading a time of day, minutes and seconds as clock boundaries crossed,
// and the next moment the wall clock shows a time on a daylight-saving night.
#include "common/Conversions.h"
#include "common/DateTime.h"

#include <QtTest>

#include <ctime>

using common::Date;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

}  // namespace

class TestDateTime : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void timeValue_data();
    void timeValue();

    void dateDiff_data();
    void dateDiff();

    void nextWallClockTime_data();
    void nextWallClockTime();
};

void TestDateTime::initTestCase()
{
    // A zone with daylight saving, so the rows really cross a change of offset.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QCOMPARE(QDateTime(QDate(2026, 3, 29), QTime(3, 30), Qt::LocalTime).offsetFromUtc(), 7200);
}

void TestDateTime::timeValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minutes");  // -1: type mismatch

    QTest::newRow("00:00") << "00:00" << 0;
    QTest::newRow("23:59") << "23:59" << 23 * 60 + 59;
    QTest::newRow("12:35") << "12:35" << 12 * 60 + 35;
    QTest::newRow("24:00") << "24:00" << -1;
    QTest::newRow("12:60") << "12:60" << -1;
    QTest::newRow("empty mask") << "__:__" << -1;
    QTest::newRow("half filled minute") << "12:3_" << -1;
    QTest::newRow("short hour") << "1:30" << -1;
    QTest::newRow("trailing line feed") << "09:30\n" << -1;
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
    } catch (const common::RuntimeError& e) {
        QVERIFY2(minutes < 0, "rejected a valid time of day");
        QCOMPARE(e.what(), "Type mismatch");
    }
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
    QTest::newRow("seconds cut, not rounded")
        << at(2026, 5, 10, 10, 40, 59) << at(2026, 5, 10, 11, 0, 30) << qint64(20) << qint64(20 * 60 - 29);
    QTest::newRow("b earlier within minute")
        << at(2026, 5, 10, 10, 40, 59) << at(2026, 5, 10, 10, 40, 0) << qint64(0) << qint64(-59);
    QTest::newRow("five after departure")
        << at(2026, 5, 10, 11, 5, 0) << at(2026, 5, 10, 11, 0, 59) << qint64(-5) << qint64(-241);
}

void TestDateTime::dateDiff()
{
    QFETCH(QDateTime, a);
    QFETCH(QDateTime, b);
    QFETCH(qint64, minutes);
    QFETCH(qint64, seconds);

    const Date da = common::UtcValue(a);
    const Date db = common::UtcValue(b);
    QCOMPARE(common::MinutesBetween(da, db), minutes);
    QCOMPARE(common::SecondsBetween(da, db), seconds);
}

void TestDateTime::nextWallClockTime_data()
{
    QTest::addColumn<QDateTime>("nowUtc");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDateTime>("expectedUtc");

    // The local clock in Berlin: 25 October 03:00 summer time is 02:00 again,
    // 29 March 02:00 is 03:00. The present minute is still today.
    QTest::newRow("present minute, first pass")
        << at(2026, 10, 25, 0, 5, 30) << "02:05" << at(2026, 10, 25, 0, 5);
    QTest::newRow("present minute, second pass")
        << at(2026, 10, 25, 1, 5, 30) << "02:05" << at(2026, 10, 25, 1, 5);
    QTest::newRow("skipped 02:30 after the jump: tomorrow")
        << at(2026, 3, 29, 1, 10) << "02:30" << at(2026, 3, 30, 0, 30);
}

void TestDateTime::nextWallClockTime()
{
    QFETCH(QDateTime, nowUtc);
    QFETCH(QString, typed);
    QFETCH(QDateTime, expectedUtc);

    QCOMPARE(common::NextWallClockTime(nowUtc.toLocalTime(), common::ReadTimeOfDay(typed)),
             common::UtcValue(expectedUtc));
}

QTEST_GUILESS_MAIN(TestDateTime)
#include "test_datetime.moc"
