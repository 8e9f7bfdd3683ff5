// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <exception>

namespace common {

enum class Fault : qint32 { Overflow = 1, NotANumber = 2 };

// An error that carries a number and the description a pilot is shown.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(Fault fault) : m_fault(fault) { }

    qint32 number() const noexcept { return qint32(m_fault); }
    QString description() const { return QString::fromLatin1(what()); }
    const char* what() const noexcept override
    {
        return m_fault == Fault::Overflow ? "Overflow" : "Type mismatch";
    }

private:
    Fault m_fault;
};

}  // namespace common
