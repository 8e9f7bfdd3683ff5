// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <exception>
#include <string>
#include <utility>

namespace common {

// What a component reports when it simply could not do the job; the
// boarding handlers pass it over silently.
inline constexpr qint32 E_FAIL = -2147467259;  // 0x80004005

// The errors Tarmalo raises itself, numbered apart from a component's.
enum class Fault : qint32 { Overflow = 1, NotANumber = 2 };

// An error that carries a number and the description a pilot is shown.
class RuntimeError : public std::exception {
public:
    RuntimeError(qint32 number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString())
    { }
    explicit RuntimeError(Fault fault)
        : RuntimeError(qint32(fault), fault == Fault::Overflow ? QStringLiteral("Overflow")
                                                               : QStringLiteral("Type mismatch"))
    { }

    qint32 number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    qint32 m_number;
    QString m_description;
    std::string m_what;
};

}  // namespace common
