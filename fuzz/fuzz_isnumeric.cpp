// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The numeric test: a text it accepts converts without a type mismatch, and
// it agrees with the locale's own way of writing numbers.
#include "FuzzCommon.h"
#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

#include <cmath>

namespace {

void checkTrimSpaces(const QString& text, const QLocale& locale)
{
    const QString t = plat::TrimSpaces(text);
    FUZZ_CHECK(!t.startsWith(u' ') && !t.endsWith(u' '), text, locale);
    FUZZ_CHECK(text.contains(t), text, locale);
    FUZZ_CHECK(plat::TrimSpaces(t) == t, text, locale);
    // Only spaces were taken, and only from the ends.
    const qsizetype lead = text.indexOf(t);
    for (qsizetype i = 0; i < lead; ++i)
        FUZZ_CHECK(text[i] == u' ', text, locale);
    for (qsizetype i = lead + t.size(); i < text.size(); ++i)
        FUZZ_CHECK(text[i] == u' ', text, locale);
}

bool sameNumber(double a, double b)
{
    return a == b;  // -0 and 0 count as one
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input in = fuzz::split(data, size);
    const QLocale& locale = *in.locale;
    const QString& text = in.text;

    checkTrimSpaces(text, locale);

    const bool numeric = plat::IsNumeric(text, locale);
    const std::optional<double> parsed = plat::ParseNumber(text, locale);
    FUZZ_CHECK(numeric == parsed.has_value(), text, locale);

    // Spaces at the ends never change the answer.
    const QString trimmed = plat::TrimSpaces(text);
    const std::optional<double> again = plat::ParseNumber(trimmed, locale);
    FUZZ_CHECK(again.has_value() == numeric, text, locale);
    if (numeric)
        FUZZ_CHECK(sameNumber(*again, *parsed), text, locale);

    if (!numeric)
        return 0;

    FUZZ_CHECK(std::isfinite(*parsed), text, locale);

    // An accepted text never mismatches: PaxCount gives its rounded value or
    // overflows when that is out of range.
    const double rounded = std::nearbyint(*parsed);
    const bool inRange = rounded >= -32768.0 && rounded <= 32767.0;
    try {
        const qint16 v = plat::PaxCount(text, locale);
        FUZZ_CHECK(inRange && v == rounded, text, locale);
    } catch (const plat::RuntimeError& e) {
        FUZZ_CHECK(e.number() == int(plat::Fault::Overflow), text, locale);
        FUZZ_CHECK(!inRange, text, locale);
    } catch (...) {
        fuzz::fail("PaxCount let an exception of another kind escape", text, locale);
    }

    // The locale's own shortest writing of the number reads back exactly.
    const QString written = locale.toString(*parsed, 'g', QLocale::FloatingPointShortest);
    const std::optional<double> reread = plat::ParseNumber(written, locale);
    FUZZ_CHECK(reread.has_value(), written, locale);
    FUZZ_CHECK(sameNumber(*reread, *parsed), written, locale);

    // So does a count written with the locale's group separators.
    if (inRange) {
        const QString grouped = locale.toString(static_cast<int>(rounded));
        try {
            FUZZ_CHECK(plat::PaxCount(grouped, locale) == rounded, grouped, locale);
        } catch (const plat::RuntimeError&) {
            fuzz::fail("a count written by the locale did not convert", grouped, locale);
        }
    }
    return 0;
}
