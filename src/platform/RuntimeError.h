// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <exception>
#include <string>
#include <utility>

namespace plat {

// The numbers of the errors Tarmalo raises or traps. E_FAIL is what a
// component reports when it simply could not do the job; the boarding
// handlers pass it over silently.
inline constexpr qint32 E_FAIL = -2147467259;  // 0x80004005
inline constexpr qint32 ERR_OVERFLOW = 6;
inline constexpr qint32 ERR_TYPE_MISMATCH = 13;
inline constexpr qint32 ERR_FILE_NOT_FOUND = 53;

// A runtime error that carries a number and a description.
class RuntimeError : public std::exception {
public:
    RuntimeError(qint32 number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toStdString())
    { }
    static RuntimeError overflow() { return RuntimeError(ERR_OVERFLOW, QStringLiteral("Overflow")); }
    static RuntimeError typeMismatch()
    {
        return RuntimeError(ERR_TYPE_MISMATCH, QStringLiteral("Type mismatch"));
    }

    qint32 number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    qint32 m_number;
    QString m_description;
    std::string m_what;
};

}  // namespace plat
