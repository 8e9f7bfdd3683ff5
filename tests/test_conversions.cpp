// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Text <-> number rules: passenger counts, which texts are numbers at all,
// and the switches as the options store keeps them.
#include "common/Conversions.h"

#include <QLocale>
#include <QtTest>

using common::RuntimeError;

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void paxCount_data();
    void paxCount();

    void switchFromText_data();
    void switchFromText();
};

void TestConversions::paxCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("german");  // comma decimals, point thousands
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error");  // 0: no error

    const int nan = int(common::Fault::NotANumber);
    const int over = int(common::Fault::Overflow);
    // Halves go to the even neighbour.
    QTest::newRow("2.5 to even 2") << "2.5" << false << 2 << 0;
    QTest::newRow("3.5 to even 4") << "3.5" << false << 4 << 0;
    QTest::newRow("-2.5 to even -2") << "-2.5" << false << -2 << 0;
    QTest::newRow("2.5001 up") << "2.5001" << false << 3 << 0;
    QTest::newRow("spaces around") << " 12 " << false << 12 << 0;
    QTest::newRow("thousands") << "1,320" << false << 1320 << 0;
    QTest::newRow("exponent") << "25e-1" << false << 2 << 0;
    // Any script's digits, as the time field takes them.
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0664\u0660") << false << 40 << 0;
    // Adlam and mathematical digits lie beyond the BMP.
    QTest::newRow("beyond the BMP") << QString::fromUtf8("\U0001E951\U0001D7D0") << false << 12 << 0;
    // Invisible format characters a paste brings, around or within.
    QTest::newRow("format characters")
        << QString::fromUtf8("\u200B\u200E1\u061C2\u200F\u200B") << false << 12 << 0;
    QTest::newRow("superscript is no digit") << QString::fromUtf8("4\u00B2") << false << 0 << nan;
    // The 16-bit edges, judged after rounding.
    QTest::newRow("32767.4") << "32767.4" << false << 32767 << 0;
    QTest::newRow("32767.5 overflows") << "32767.5" << false << 0 << over;
    QTest::newRow("32768 overflows") << "32768" << false << 0 << over;
    QTest::newRow("-32768") << "-32768" << false << -32768 << 0;
    QTest::newRow("-32769 overflows") << "-32769" << false << 0 << over;
    // Beyond a double is still too big; a tiny number is still 0.
    QTest::newRow("1e400 overflows") << "1e400" << false << 0 << over;
    QTest::newRow("1e-400 is 0") << "1e-400" << false << 0 << 0;
    // No number at all.
    QTest::newRow("empty") << "" << false << 0 << nan;
    QTest::newRow("12a") << "12a" << false << 0 << nan;
    QTest::newRow("1.2.3") << "1.2.3" << false << 0 << nan;
    QTest::newRow("inner space") << "1 000" << false << 0 << nan;
    QTest::newRow("inf") << "inf" << false << 0 << nan;
    QTest::newRow("nan") << "nan" << false << 0 << nan;
    QTest::newRow("masked time") << "__:__" << false << 0 << nan;
    QTest::newRow("de 2,5") << "2,5" << true << 2 << 0;
    QTest::newRow("de 1.000") << "1.000" << true << 1000 << 0;
    QTest::newRow("de 1,5.0") << "1,5.0" << true << 0 << nan;
}

void TestConversions::paxCount()
{
    QFETCH(QString, text);
    QFETCH(bool, german);
    QFETCH(int, expected);
    QFETCH(int, error);

    QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany)
                               : QLocale(QLocale::English, QLocale::UnitedStates));
    // The Start item's test agrees wherever the count is in range or no number.
    if (error != int(common::Fault::Overflow))
        QCOMPARE(common::ParseNumber(text).has_value(), error == 0);
    try {
        const qint16 value = common::PaxCount(text);
        QCOMPARE(0, error);
        QCOMPARE(static_cast<int>(value), expected);
    } catch (const RuntimeError& e) {
        QCOMPARE(e.what(), error == int(common::Fault::Overflow) ? "Overflow" : "Type mismatch");
    }
}

void TestConversions::switchFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // 1 on, 0 off, -1 not a switch value

    QTest::newRow("True") << "True" << 1;
    QTest::newRow("tRuE") << "tRuE" << 1;
    QTest::newRow("False") << "False" << 0;
    QTest::newRow("FALSE") << "FALSE" << 0;
    QTest::newRow("spaces around") << " True " << 1;
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("0.5") << "0.5" << 1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("Truex") << "Truex" << -1;
}

void TestConversions::switchFromText()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    const std::optional<bool> got = common::SwitchFromText(text);
    QCOMPARE(got.has_value(), expected >= 0);
    if (got)
        QCOMPARE(*got, expected == 1);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
