// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Text <-> number rules: passenger counts, the numeric test, booleans,
// trimming, and the errors they raise.
#include "common/Conversions.h"
#include "common/RuntimeError.h"

#include <QLocale>
#include <QtTest>

using common::RuntimeError;

namespace {

QLocale localeNamed(const QString& name)
{
    if (name == QLatin1String("en_US"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    if (name == QLatin1String("de_DE"))
        return QLocale(QLocale::German, QLocale::Germany);
    if (name == QLatin1String("ar_EG"))
        return QLocale(QLocale::Arabic, QLocale::Egypt);
    return QLocale::c();
}

}  // namespace

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void errorNumbers();

    void paxCount_data();
    void paxCount();

    void isNumeric_data();
    void isNumeric();

    void switchFromText_data();
    void switchFromText();
};

void TestConversions::errorNumbers()
{
    // The handlers compare against these numbers, so they are fixed values.
    QCOMPARE(common::E_FAIL, static_cast<qint32>(0x80004005u));
    QCOMPARE(common::E_FAIL, -2147467259);

    const RuntimeError over(common::Fault::Overflow);
    QCOMPARE(over.description(), QStringLiteral("Overflow"));
    QCOMPARE(QString::fromUtf8(over.what()), over.description());

    const RuntimeError mismatch(common::Fault::NotANumber);
    QCOMPARE(mismatch.description(), QStringLiteral("Type mismatch"));

    const RuntimeError failed(common::E_FAIL, QStringLiteral("Cannot open the file"));
    QCOMPARE(failed.number(), common::E_FAIL);
    QCOMPARE(failed.description(), QStringLiteral("Cannot open the file"));
}

void TestConversions::paxCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("error");  // 0: no error

    // Halves go to the even neighbour.
    QTest::newRow("2.5 to even 2") << "2.5"
                                   << "en_US" << 2 << 0;
    QTest::newRow("3.5 to even 4") << "3.5"
                                   << "en_US" << 4 << 0;
    QTest::newRow("-2.5 to even -2") << "-2.5"
                                     << "en_US" << -2 << 0;
    QTest::newRow("-3.5 to even -4") << "-3.5"
                                     << "en_US" << -4 << 0;
    QTest::newRow("0.5 to 0") << "0.5"
                              << "en_US" << 0 << 0;
    QTest::newRow("1.5 to 2") << "1.5"
                              << "en_US" << 2 << 0;
    QTest::newRow("2.4999 down") << "2.4999"
                                 << "en_US" << 2 << 0;
    QTest::newRow("2.5001 up") << "2.5001"
                               << "en_US" << 3 << 0;
    QTest::newRow("plain") << "120"
                           << "en_US" << 120 << 0;
    QTest::newRow("spaces around") << " 12 "
                                   << "en_US" << 12 << 0;
    QTest::newRow("plus sign") << "+7"
                               << "en_US" << 7 << 0;
    QTest::newRow("thousands") << "1,320"
                               << "en_US" << 1320 << 0;
    QTest::newRow("exponent") << "1e3"
                              << "en_US" << 1000 << 0;
    QTest::newRow("negative exponent") << "25e-1"
                                       << "en_US" << 2 << 0;
    // Any script's digits, as the time field takes them.
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0664\u0660") << "en_US" << 40 << 0;
    QTest::newRow("the locale's own digits")
        << QString::fromUtf8("\u0661\u066C\u0662\u0663\u0664") << "ar_EG" << 1234 << 0;
    QTest::newRow("superscript is no digit")
        << QString::fromUtf8("4\u00B2") << "en_US" << 0 << int(common::Fault::NotANumber);

    // The 16-bit edges, judged after rounding.
    QTest::newRow("32767") << "32767"
                           << "en_US" << 32767 << 0;
    QTest::newRow("32767.4") << "32767.4"
                             << "en_US" << 32767 << 0;
    QTest::newRow("32767.5 overflows") << "32767.5"
                                       << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("32768 overflows") << "32768"
                                     << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("-32768") << "-32768"
                            << "en_US" << -32768 << 0;
    QTest::newRow("-32768.5 to even") << "-32768.5"
                                      << "en_US" << -32768 << 0;
    QTest::newRow("-32768.6 overflows") << "-32768.6"
                                        << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("-32769 overflows") << "-32769"
                                      << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("1,000,000 overflows") << "1,000,000"
                                         << "en_US" << 0 << int(common::Fault::Overflow);
    // Beyond what a double holds is still a number that is too big, and a
    // tiny one is still a number that rounds to 0.
    QTest::newRow("1e400 overflows") << "1e400"
                                     << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("-1e400 overflows") << "-1e400"
                                      << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("0.001e400 overflows") << "0.001e400"
                                         << "en_US" << 0 << int(common::Fault::Overflow);
    QTest::newRow("1e-400 is 0") << "1e-400"
                                 << "en_US" << 0 << 0;

    // No number at all.
    QTest::newRow("empty") << ""
                           << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("spaces only") << "   "
                                 << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("12a") << "12a"
                         << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("sign only") << "-"
                               << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("time text") << "10:30"
                               << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("hex") << "0x10"
                         << "en_US" << 0 << int(common::Fault::NotANumber);
    QTest::newRow("1e400 junk") << "1e400x"
                                << "en_US" << 0 << int(common::Fault::NotANumber);

    // A comma-decimal locale reads the comma as the point.
    QTest::newRow("de 2,5") << "2,5"
                            << "de_DE" << 2 << 0;
    QTest::newRow("de 3,5") << "3,5"
                            << "de_DE" << 4 << 0;
    QTest::newRow("de 1.000") << "1.000"
                              << "de_DE" << 1000 << 0;
    QTest::newRow("de 1.000,5") << "1.000,5"
                                << "de_DE" << 1000 << 0;
    QTest::newRow("de 12a") << "12a"
                            << "de_DE" << 0 << int(common::Fault::NotANumber);
}

void TestConversions::paxCount()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(int, expected);
    QFETCH(int, error);

    try {
        QLocale::setDefault(localeNamed(locale));
        const qint16 value = common::PaxCount(text);
        QCOMPARE(0, error);
        QCOMPARE(static_cast<int>(value), expected);
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), error);
    }
}

void TestConversions::isNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("numeric");

    // Comma for thousands, point for decimals.
    QTest::newRow("en 1,000") << "1,000"
                              << "en_US" << true;
    QTest::newRow("en 1,000.5") << "1,000.5"
                                << "en_US" << true;
    QTest::newRow("en 12,345,678") << "12,345,678"
                                   << "en_US" << true;
    QTest::newRow("en -5") << "-5"
                           << "en_US" << true;
    QTest::newRow("en +7") << "+7"
                           << "en_US" << true;
    QTest::newRow("en 2.5") << "2.5"
                            << "en_US" << true;
    QTest::newRow("en .5") << ".5"
                           << "en_US" << true;
    QTest::newRow("en 1e3") << "1e3"
                            << "en_US" << true;
    QTest::newRow("en 1E-3") << "1E-3"
                             << "en_US" << true;
    QTest::newRow("en 2.5e+2") << "2.5e+2"
                               << "en_US" << true;
    QTest::newRow("en spaces around") << "  42 "
                                      << "en_US" << true;
    QTest::newRow("en 12a") << "12a"
                            << "en_US" << false;
    QTest::newRow("en empty") << ""
                              << "en_US" << false;
    QTest::newRow("en spaces") << "   "
                               << "en_US" << false;
    QTest::newRow("en 1..2") << "1..2"
                             << "en_US" << false;
    QTest::newRow("en 1.2.3") << "1.2.3"
                              << "en_US" << false;
    QTest::newRow("en e5") << "e5"
                           << "en_US" << false;
    QTest::newRow("en 1e") << "1e"
                           << "en_US" << false;
    QTest::newRow("en comma") << ","
                              << "en_US" << false;
    QTest::newRow("en leading comma") << ",5"
                                      << "en_US" << false;
    QTest::newRow("en trailing comma") << "5,"
                                       << "en_US" << false;
    QTest::newRow("en comma after point") << "1.5,0"
                                          << "en_US" << false;
    QTest::newRow("en point") << "."
                              << "en_US" << false;
    QTest::newRow("en two signs") << "+-1"
                                  << "en_US" << false;
    QTest::newRow("en sign only") << "-"
                                  << "en_US" << false;
    QTest::newRow("en inner space") << "1 000"
                                    << "en_US" << false;
    QTest::newRow("en inf") << "inf"
                            << "en_US" << false;
    QTest::newRow("en nan") << "nan"
                            << "en_US" << false;
    QTest::newRow("en masked time") << "__:__"
                                    << "en_US" << false;

    // Comma for decimals, point for thousands.
    QTest::newRow("de 2,5") << "2,5"
                            << "de_DE" << true;
    QTest::newRow("de 1.000") << "1.000"
                              << "de_DE" << true;
    QTest::newRow("de 1.000,5") << "1.000,5"
                                << "de_DE" << true;
    QTest::newRow("de -5") << "-5"
                           << "de_DE" << true;
    QTest::newRow("de 1,5e3") << "1,5e3"
                              << "de_DE" << true;
    QTest::newRow("de 1,5.0") << "1,5.0"
                              << "de_DE" << false;
    QTest::newRow("de 1,,2") << "1,,2"
                             << "de_DE" << false;
    QTest::newRow("de empty") << ""
                              << "de_DE" << false;
    QTest::newRow("de 12a") << "12a"
                            << "de_DE" << false;
}

void TestConversions::isNumeric()
{
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(bool, numeric);

    QLocale::setDefault(localeNamed(locale));
    // A numeric text always converts; the others are a type mismatch.
    QCOMPARE(common::ParseNumber(text).has_value(), numeric);
    if (!numeric) {
        try {
            common::PaxCount(text);
            QFAIL("PaxCount accepted a text the numeric test rejects");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), int(common::Fault::NotANumber));
        }
    }
}

void TestConversions::switchFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // 1 on, 0 off, -1 not a switch value

    QTest::newRow("True") << "True" << 1;
    QTest::newRow("true") << "true" << 1;
    QTest::newRow("TRUE") << "TRUE" << 1;
    QTest::newRow("tRuE") << "tRuE" << 1;
    QTest::newRow("False") << "False" << 0;
    QTest::newRow("false") << "false" << 0;
    QTest::newRow("FALSE") << "FALSE" << 0;
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("7") << "7" << 1;
    QTest::newRow("0.0") << "0.0" << 0;
    QTest::newRow("0.5") << "0.5" << 1;
    QTest::newRow("-0") << "-0" << 0;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("Truex") << "Truex" << -1;
    QTest::newRow("T") << "T" << -1;
    QTest::newRow("12a") << "12a" << -1;
}

void TestConversions::switchFromText()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    const std::optional<bool> got = common::SwitchFromText(text);
    if (expected < 0) {
        QVERIFY(!got.has_value());
    } else {
        QVERIFY(got.has_value());
        QCOMPARE(*got, expected == 1);
    }
}

QTEST_GUILESS_MAIN(TestConversions)
#include "test_conversions.moc"
