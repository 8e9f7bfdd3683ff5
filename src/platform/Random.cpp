#include "platform/Random.h"

namespace plat {

MersenneRandom::MersenneRandom() : m_engine(5489u) { }

float MersenneRandom::next()
{
    // 24 random bits map exactly onto the floats of [0, 1); never 1.
    return static_cast<float>(m_engine() >> 8) * (1.0f / 16777216.0f);
}

void MersenneRandom::seed(quint64 value)
{
    std::seed_seq seq{static_cast<quint32>(value), static_cast<quint32>(value >> 32)};
    m_engine.seed(seq);
}

namespace {
MersenneRandom& defaultSource()
{
    static MersenneRandom source;
    return source;
}
RandomSource* g_source = nullptr;
}  // namespace

RandomSource& Rnd()
{
    return g_source ? *g_source : defaultSource();
}

void SetRandom(RandomSource* source)
{
    g_source = source;
}

void Randomize(quint64 seedValue)
{
    Rnd().seed(seedValue);
}

}  // namespace plat
