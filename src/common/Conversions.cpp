// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/Conversions.h"

#include "common/RuntimeError.h"

#include <QLocale>

#include <cmath>

namespace common {

QString AsciiDigits(const QString& text)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) == QChar::Other_Format)
            continue;
        if (c >= 128 && QChar::isDigit(c))
            out += QChar(u'0' + QChar::digitValue(c));
        else
            out += QChar::fromUcs4(c);
    }
    return out;
}

namespace {

enum class Parsed { Number, NotNumber, TooBig };

// Where QLocale's reading differs from the rule here it is set right: "inf"
// and "nan" are no numbers, a number beyond a double is too big, and one too
// small for a double is 0.
Parsed parse(const QString& text, const QLocale& locale, double& value)
{
    const QString ascii = AsciiDigits(text);
    bool ok = false;
    value = locale.toDouble(ascii, &ok);
    if (ok)
        return std::isfinite(value) ? Parsed::Number : Parsed::NotNumber;
    if (std::isinf(value))
        return Parsed::TooBig;
    // Refused, either for its form or for being too small. With every digit
    // made 0 the form stays and the size goes, so only the form can fail.
    QString zeroed = ascii;
    for (QChar& c : zeroed) {
        if (c.isDigit())
            c = u'0';
    }
    value = std::copysign(0.0, locale.toDouble(zeroed, &ok));
    return ok ? Parsed::Number : Parsed::NotNumber;
}

// The number in a text, or the error that says why there is none.
double NumberOrThrow(const QString& text, const QLocale& locale)
{
    double value = 0.0;
    switch (parse(text, locale, value)) {
    case Parsed::NotNumber: throw RuntimeError(Fault::NotANumber);
    case Parsed::TooBig: throw RuntimeError(Fault::Overflow);
    case Parsed::Number: break;
    }
    return value;
}

}  // namespace

std::optional<double> ParseNumber(const QString& text)
{
    double value = 0.0;
    if (parse(text, QLocale(), value) != Parsed::Number)
        return std::nullopt;
    return value;
}

qint16 PaxCount(const QString& text)
{
    // Half to even, in the default rounding mode.
    const double rounded = std::nearbyint(NumberOrThrow(text, QLocale()));
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw RuntimeError(Fault::Overflow);
    return static_cast<qint16>(rounded);
}

std::optional<bool> SwitchFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    double value = 0.0;
    if (parse(t, QLocale::c(), value) != Parsed::Number)
        return std::nullopt;
    return value != 0.0;
}

}  // namespace common
