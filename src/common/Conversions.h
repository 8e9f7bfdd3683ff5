// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <optional>

namespace common {

// Every script's decimal digits (Arabic-Indic, Devanagari, Adlam...) made
// 0-9 and invisible format characters (direction marks, zero-width spaces)
// dropped; everything else as it is.
QString AsciiDigits(const QString& text);

// A number as the pilot's locale writes it: an optional sign, digits of any
// script, the locale's decimal and thousands separators and an exponent, as
// QLocale reads them; never "inf" or "nan", nor a number beyond a double (one
// too small is 0). nullopt for anything else, the empty text included.
std::optional<double> ParseNumber(const QString& text);

// A 16-bit passenger count from text: rounded to the nearest whole number, a
// half to the even neighbour. Throws RuntimeError: Fault::NotANumber for a
// text that is no number (the empty text included), Fault::Overflow outside
// -32768..32767.
qint16 PaxCount(const QString& text);

// A stored switch from text: "True"/"False" in any letter case, or a number
// in C notation (0 off, any other on), whatever the locale. nullopt for
// anything else.
std::optional<bool> SwitchFromText(const QString& text);

}  // namespace common
