// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/Conversions.h"

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

// Where QLocale's reading differs from the rule here it is set right: "inf"
// and "nan" are no numbers, a number beyond a double is infinite, and one too
// small for a double is 0.
std::optional<double> parse(const QString& text, const QLocale& locale)
{
    const QString ascii = AsciiDigits(text);
    bool ok = false;
    const double value = locale.toDouble(ascii, &ok);
    if (ok)
        return std::isfinite(value) ? std::optional(value) : std::nullopt;
    if (std::isinf(value))
        return value;
    // Refused, either for its form or for being too small. With every digit
    // made 0 the form stays and the size goes, so only the form can fail.
    QString zeroed = ascii;
    for (QChar& c : zeroed)
        if (c.isDigit())
            c = u'0';
    const double zero = locale.toDouble(zeroed, &ok);
    return ok ? std::optional(std::copysign(0.0, zero)) : std::nullopt;
}

}  // namespace

std::optional<double> ParseNumber(const QString& text)
{
    const std::optional<double> value = parse(text, QLocale());
    return value && std::isfinite(*value) ? value : std::nullopt;
}

qint16 PaxCount(const QString& text)
{
    const std::optional<double> value = parse(text, QLocale());
    if (!value)
        throw RuntimeError(Fault::NotANumber);
    const double rounded = std::nearbyint(*value);  // half to even
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
    const std::optional<double> value = parse(t, QLocale::c());
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return *value != 0.0;
}

}  // namespace common
