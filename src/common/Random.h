// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QtGlobal>
#include <random>

namespace common {

// The chance behind the passengers' arrivals: uniform single-precision
// values in [0, 1). The program seeds one from the clock at start-up.
class Random {
public:
    explicit Random(quint64 seed = 5489u);
    float operator()();

private:
    std::mt19937 m_engine;
};

}  // namespace common
