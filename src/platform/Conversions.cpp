#include "platform/Conversions.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

// Normalises a text in the given locale's notation to the C locale's, so that
// QLocale::c() can read it. Thousands separators are dropped only where they
// stand between digits of the integral part; anything else makes it fail.
std::optional<QString> normalise(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();
    const QString expo = locale.exponential();

    QString out;
    int i = 0;
    const int n = trimmed.size();
    auto startsAt = [&](const QString& what, int pos) {
        return !what.isEmpty() && trimmed.mid(pos, what.size()).compare(what, Qt::CaseInsensitive) == 0;
    };

    // Optional sign.
    if (startsAt(minus, i) || trimmed[i] == u'-') {
        out += u'-';
        i += startsAt(minus, i) ? minus.size() : 1;
    } else if (startsAt(plus, i) || trimmed[i] == u'+') {
        i += startsAt(plus, i) ? plus.size() : 1;
    }

    // Integral part with optional group separators between digits.
    int intDigits = 0;
    while (i < n) {
        const QChar c = trimmed[i];
        if (c.isDigit() && c.unicode() < 128) {
            out += c;
            ++intDigits;
            ++i;
        } else if (intDigits > 0 && startsAt(group, i) && i + group.size() < n
                   && trimmed[i + group.size()].isDigit() && group != decimal) {
            i += group.size();
        } else {
            break;
        }
    }

    int fracDigits = 0;
    if (i < n && (startsAt(decimal, i))) {
        out += u'.';
        i += decimal.size();
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            out += trimmed[i];
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;

    if (i < n && (startsAt(expo, i) || trimmed[i] == u'e' || trimmed[i] == u'E')) {
        out += u'e';
        i += startsAt(expo, i) ? expo.size() : 1;
        if (i < n && (trimmed[i] == u'-' || trimmed[i] == u'+' || startsAt(minus, i))) {
            out += startsAt(minus, i) || trimmed[i] == u'-' ? u'-' : u'+';
            i += startsAt(minus, i) ? minus.size() : 1;
        }
        int expDigits = 0;
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            out += trimmed[i];
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return out;
}

// A well-formed number that a double cannot hold: true when it is too big,
// false when it is too small (it then counts as zero).
bool beyondDouble(const QString& normal)
{
    const qsizetype e = normal.indexOf(u'e');
    QString mantissa = e < 0 ? normal : normal.left(e);
    mantissa.remove(u'-');
    qint64 exponent = 0;
    if (e >= 0) {
        const QString digits = normal.mid(e + 1);
        for (const QChar c : digits) {
            if (c.isDigit())
                exponent = std::min<qint64>(exponent * 10 + c.digitValue(), 1000000);
        }
        if (digits.startsWith(u'-'))
            exponent = -exponent;
    }
    const qsizetype point = mantissa.contains(u'.') ? mantissa.indexOf(u'.') : mantissa.size();
    for (qsizetype i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] == u'.' || mantissa[i] == u'0')
            continue;
        // Decimal order of the leading digit, then moved by the exponent.
        const qint64 order = i < point ? point - i : -(i - point - 1);
        return order + exponent > 0;
    }
    return false;
}

enum class Parsed { Number, NotNumber, TooBig };

Parsed parse(const QString& text, const QLocale& locale, double& value)
{
    const auto normal = normalise(text, locale);
    if (!normal)
        return Parsed::NotNumber;
    bool ok = false;
    value = QLocale::c().toDouble(*normal, &ok);
    if (ok && std::isfinite(value))
        return Parsed::Number;
    // The syntax is right, so only the range can have failed.
    if (beyondDouble(*normal))
        return Parsed::TooBig;
    value = normal->startsWith(u'-') ? -0.0 : 0.0;
    return Parsed::Number;
}

}  // namespace

std::optional<double> ParseNumber(const QString& text, const QLocale& locale)
{
    double value = 0.0;
    if (parse(text, locale, value) != Parsed::Number)
        return std::nullopt;
    return value;
}

bool IsNumeric(const QString& text, const QLocale& locale)
{
    return ParseNumber(text, locale).has_value();
}

namespace {

// The number in a text, or the runtime's error for it.
double NumberOrThrow(const QString& text, const QLocale& locale)
{
    double value = 0.0;
    switch (parse(text, locale, value)) {
    case Parsed::NotNumber:
        throw RuntimeError::typeMismatch();
    case Parsed::TooBig:
        throw RuntimeError::overflow();
    case Parsed::Number:
        break;
    }
    return value;
}

}  // namespace

qint16 CIntFromDouble(double value)
{
    // Round half to even, as the old runtime's integer conversion does.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw RuntimeError::overflow();
    return static_cast<qint16>(rounded);
}

qint16 CInt(const QString& text, const QLocale& locale)
{
    return CIntFromDouble(NumberOrThrow(text, locale));
}

QString CStr(qint32 value)
{
    return QString::number(value);
}

float CSng(const QString& text, const QLocale& locale)
{
    const double value = NumberOrThrow(text, locale);
    if (std::fabs(value) > 3.402823466e38)
        throw RuntimeError::overflow();
    return static_cast<float>(value);
}

std::optional<bool> CBool(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    const auto value = ParseNumber(t, locale);
    if (!value)
        return std::nullopt;
    return *value != 0.0;
}

QString TrimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

}  // namespace plat
