// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The text-to-count conversion: every text either gives a count or throws a
// type mismatch or an overflow, and every count survives the trip through
// its text.
#include "FuzzCommon.h"
#include "common/Conversions.h"

#include <QRegularExpression>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

struct Outcome {
    std::optional<qint16> value;
    qint32 error = 0;
    bool operator==(const Outcome&) const = default;
};

Outcome convert(const QString& text, const QLocale& locale)
{
    try {
        return {common::PaxCount(text), 0};
    } catch (const common::RuntimeError& e) {
        const bool overflow = std::strcmp(e.what(), "Overflow") == 0;
        if (!overflow && std::strcmp(e.what(), "Type mismatch") != 0)
            fuzz::fail("PaxCount threw a runtime error other than NotANumber or Overflow", text, locale);
        return {std::nullopt, int(overflow ? common::Fault::Overflow : common::Fault::NotANumber)};
    } catch (...) {
        fuzz::fail("PaxCount let an exception of another kind escape", text, locale);
    }
}

void checkRoundTrip(qint16 count, const QLocale& locale)
{
    const QString text = QString::number(count);
    const Outcome back = convert(text, locale);
    FUZZ_CHECK(back.value && *back.value == count, text, locale);
    // Plain digits and a minus: no group separators, no leading zeros.
    static const QRegularExpression plain(QStringLiteral("\\A(0|-?[1-9][0-9]*)\\z"));
    FUZZ_CHECK(plain.match(text).hasMatch(), text, locale);
}

// An independent reading of the simplest texts: spaces, a sign, ASCII digits.
std::optional<Outcome> plainInteger(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("\\A *([+-]?)([0-9]+) *\\z"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    qint64 magnitude = 0;
    for (const QChar c : m.capturedView(2))
        magnitude = std::min<qint64>(magnitude * 10 + (c.unicode() - u'0'), 1000000);
    const qint64 value = m.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return Outcome{std::nullopt, int(common::Fault::Overflow)};
    return Outcome{static_cast<qint16>(value), 0};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every count, in every locale, once: cheap and complete.
    for (int locale = 0; locale < 4; ++locale) {
        QLocale::setDefault(fuzz::localeAt(locale));
        for (int count = -32768; count <= 32767; ++count)
            checkRoundTrip(static_cast<qint16>(count), fuzz::localeAt(locale));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzz::Input in = fuzz::split(data, size);
    const QLocale& locale = *in.locale;
    const QString& text = in.text;

    const Outcome got = convert(text, locale);
    const std::optional<double> parsed = common::ParseNumber(text);

    if (got.value) {
        // A text that converts is one the numeric test accepts, and the
        // count is its number rounded half to even.
        FUZZ_CHECK(parsed.has_value(), text, locale);
        FUZZ_CHECK(std::nearbyint(*parsed) == *got.value, text, locale);
        checkRoundTrip(*got.value, locale);
    } else if (got.error == int(common::Fault::NotANumber)) {
        FUZZ_CHECK(!parsed.has_value(), text, locale);
    } else {
        // Overflow: a number out of range, or one beyond what a double holds.
        if (parsed) {
            const double r = std::nearbyint(*parsed);
            FUZZ_CHECK(r < -32768.0 || r > 32767.0, text, locale);
        }
    }

    if (const auto expected = plainInteger(text))
        FUZZ_CHECK(got == *expected, text, locale);

    // Spaces around a text change nothing.
    FUZZ_CHECK(convert(QLatin1Char(' ') + text + QLatin1String("  "), locale) == got, text, locale);

    // A count taken from the input bytes round-trips in this locale too.
    quint32 hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    checkRoundTrip(static_cast<qint16>(hash & 0xffff), locale);
    return 0;
}
