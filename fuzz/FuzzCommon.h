// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Shared by the fuzz targets: turning bytes into a locale and a text, and
// failing loudly enough for libFuzzer to keep the input.
#include <QLocale>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Fails the run: libFuzzer saves the input that led here.
[[noreturn]] inline void fail(const char* what, const QString& text, const QLocale& locale)
{
    std::fprintf(stderr, "PROPERTY BROKEN: %s\n  locale %s\n  text [%s] (%lld UTF-16 units)\n", what,
                 qPrintable(locale.name()), text.toUtf8().constData(), static_cast<long long>(text.size()));
    for (const QChar c : text)
        std::fprintf(stderr, " U+%04X", c.unicode());
    std::fprintf(stderr, "\n");
    std::abort();
}

#define FUZZ_CHECK(cond, text, locale)                                                                       \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            ::fuzz::fail(#cond, (text), (locale));                                                           \
    } while (0)

// The four notations the program meets most: C's, the US's comma groups,
// German decimal commas with point groups, and French with a narrow no-break
// space between groups.
inline const QLocale& localeAt(int index)
{
    static const QLocale all[] = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
    };
    return all[index & 3];
}

// The first byte picks the locale: a readable letter in the seed files
// (c, e, d, f), any other byte by its low bits. With its high bit set the
// rest is read as raw UTF-16, which reaches lone surrogates; otherwise as
// UTF-8.
struct Input {
    const QLocale* locale;
    QString text;
};

inline Input split(const uint8_t* data, size_t size)
{
    if (size == 0) {
        QLocale::setDefault(localeAt(0));
        return {&localeAt(0), QString()};
    }
    const uint8_t head = data[0];
    int index = head & 3;
    switch (head) {
    case 'c': index = 0; break;
    case 'e': index = 1; break;
    case 'd': index = 2; break;
    case 'f': index = 3; break;
    default: break;
    }
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const qsizetype n = static_cast<qsizetype>(size - 1);
    QString text;
    if (head & 0x80) {
        text.resize(n / 2);
        for (qsizetype i = 0; i < n / 2; ++i)
            text[i] = QChar(static_cast<char16_t>(uint8_t(rest[2 * i]) | uint8_t(rest[2 * i + 1]) << 8));
    } else {
        text = QString::fromUtf8(rest, n);
    }
    // The readers take the default locale, as the program's fields do.
    QLocale::setDefault(localeAt(index));
    return {&localeAt(index), text};
}

}  // namespace fuzz
