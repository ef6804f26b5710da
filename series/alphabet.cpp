#include "alphabet.h"

#include <cmath>
#include <new>

#include "platform/allocation.h"
#include "random.h"

namespace series {

namespace {

constexpr double kPi = 3.141592654;
constexpr double kTwoPi = 6.283185308;

int16_t truncToSample(double v) {
    return static_cast<int16_t>(static_cast<int32_t>(std::trunc(v)));
}

// Envelope of the etalons 7 and 9: a rise 1 - exp(-8 i / d) up to the knee d, then a decay
// exp(-4 (i - d) / (L - d)). With d = 0 (very short etalons) the rise is empty.
double envelope(int i, int d, int L) {
    if (i < d)
        return 1.0 - std::exp(i * (-8.0 / d));
    return std::exp(-(i - d) * (4.0 / (L - d)));
}

void fillSine(int16_t* out, int L, int32_t a, double step) {
    double p = 0.0;
    for (int i = 0; i < L; ++i) {
        p += step;
        out[i] = truncToSample(a * std::sin(p));
    }
}

void fillNegative(int16_t* out, const int16_t* source, int L) {
    for (int i = 0; i < L; ++i)
        out[i] = static_cast<int16_t>(-source[i]);
}

}  // namespace

int64_t exactEtalonEnergy(const PulseHeader& etalon) {
    int64_t e = 0;
    for (int i = 0; i < etalon.wSize; ++i)
        e += int32_t{etalon.lpData[i]} * etalon.lpData[i];
    return e;
}

int32_t etalonEnergy(const PulseHeader& etalon) {
    return static_cast<int32_t>(exactEtalonEnergy(etalon));
}

int makeEtalonsAlphabet(platform::Window& window, int16_t A, uint16_t M, uint16_t L,
                        Alphabet& alphabet, int16_t& randomEtalonsStream) {
    if (alphabet.size() < M)
        alphabet.resize(M);
    for (uint16_t i = 0; i < M; ++i) {
        PulseHeader& etalon = alphabet[i];
        if (etalon.lpData && etalon.wAllocated < L) {
            if (i == 0)
                window.messageBox("Предварительное освобождение памяти!", "Отладка",
                                  platform::MessageIcon::Warning);
            etalon.lpData.reset();
        }
        if (!etalon.lpData) {
            try {
                etalon.lpData = platform::allocateArray<int16_t>(L);
            } catch (const std::bad_alloc&) {
                window.messageBox("Не могу выделить память!", "", platform::MessageIcon::Warning);
                for (uint16_t j = 0; j < i; ++j)
                    alphabet[j].lpData.reset();
                return 0;
            }
            etalon.wAllocated = L;
        }
        etalon.wSize = L;
        etalon.wNumber = static_cast<uint16_t>(i + 1);
    }

    const int32_t a = A;
    const int n = L;
    for (uint16_t i = 0; i < M; ++i) {
        int16_t* s = alphabet[i].lpData.get();
        const int number = i + 1;
        if (number % 2 == 0 && number <= 10) {
            fillNegative(s, alphabet[i - 1].lpData.get(), n);
            continue;
        }
        switch (number) {
            case 1:
                for (int j = 0; j < n; ++j)
                    s[j] = 60;
                break;
            case 3:
                fillSine(s, n, (2 * a) / 3 - 1, kPi / (n + 1));
                break;
            case 5:
                fillSine(s, n, (60 * 1414) / 1000, kTwoPi / (n + 1));
                break;
            case 7: {
                const int32_t amp = (6 * a) / 5 + 2;
                const int d = (2 * n + 4) / 8;
                double p = 0.0;
                for (int j = 0; j < n; ++j) {
                    s[j] = truncToSample(std::sin(p) * (amp * envelope(j, d, n)));
                    p += (4 * kTwoPi) / n;
                }
                break;
            }
            case 9: {
                const int32_t amp = (7 * a + 4) / 8 + 6;
                const int d = (2 * n + 4) / 8 - 1;
                for (int j = 0; j < n; ++j)
                    s[j] = truncToSample(amp * envelope(j, d, n));
                break;
            }
            default:
                for (int j = 0; j < n; ++j) {
                    int32_t v = gaussRandom(randomEtalonsStream, 0, static_cast<int16_t>(a / 2));
                    if (v > a - 1)
                        v = a - 1;
                    if (v < -a)
                        v = -a;
                    s[j] = static_cast<int16_t>(v);
                }
                break;
        }
    }
    return 1;
}

}  // namespace series
