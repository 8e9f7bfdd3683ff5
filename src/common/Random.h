// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QtGlobal>
#include <random>

namespace common {

// Uniform single-precision values in [0, 1); the program seeds one from the
// clock at start-up.
class Random {
public:
    explicit Random(quint64 seed);
    float operator()();

private:
    std::mt19937 m_engine;
};

}  // namespace common
