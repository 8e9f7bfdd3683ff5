// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <exception>
#include <optional>

namespace common {

enum class Fault : qint32 { Overflow = 1, NotANumber = 2 };

// An error whose text is what a pilot is shown.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(Fault fault) : m_fault(fault) { }

    const char* what() const noexcept override
    {
        return m_fault == Fault::Overflow ? "Overflow" : "Type mismatch";
    }

private:
    Fault m_fault;
};

// Every script's decimal digits (Arabic-Indic, Devanagari, Adlam...) made
// 0-9 and invisible format characters (direction marks, zero-width spaces)
// dropped; everything else as it is.
QString AsciiDigits(const QString& text);

// A number as the pilot's locale writes it, digits of any script; never
// "inf" or "nan", nor a number beyond a double (one too small is 0).
std::optional<double> ParseNumber(const QString& text);

// A 16-bit passenger count from text, a half rounded to the even neighbour.
// Throws Fault::NotANumber for no number, Fault::Overflow outside 16 bits.
qint16 PaxCount(const QString& text);

// A stored switch: "True"/"False" in any letter case, or a number in C
// notation (0 off, any other on), whatever the locale.
std::optional<bool> SwitchFromText(const QString& text);

}  // namespace common
