#pragma once
#include <QtGlobal>
#include <cstdint>
#include <random>

namespace plat {

// A uniform source of single-precision values in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
    virtual void seed(quint64 value) = 0;
};

class MersenneRandom final : public RandomSource {
public:
    MersenneRandom();
    float next() override;
    void seed(quint64 value) override;

private:
    std::mt19937 m_engine;
};

// The one program-wide generator. Tests put their own in place with
// SetRandom (and restore the default with SetRandom(nullptr)).
RandomSource& Rnd();
void SetRandom(RandomSource* source);
// Seeds the program-wide generator from the given clock value.
void Randomize(quint64 seedValue);

}  // namespace plat
