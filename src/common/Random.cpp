// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/Random.h"

namespace common {

Random::Random(quint64 seed)
{
    // Every bit of a clock value counts.
    std::seed_seq seq{static_cast<quint32>(seed), static_cast<quint32>(seed >> 32)};
    m_engine.seed(seq);
}

float Random::operator()()
{
    // 24 random bits map exactly onto the floats of [0, 1); never 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

}  // namespace common
