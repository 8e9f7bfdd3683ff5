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
    explicit Random(quint64 seed)
    {
        // Every bit of a clock value counts.
        std::seed_seq seq{static_cast<quint32>(seed), static_cast<quint32>(seed >> 32)};
        m_engine.seed(seq);
    }

    // 24 random bits map exactly onto the floats of [0, 1); never 1.
    float operator()() { return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 m_engine;
};

}  // namespace common
