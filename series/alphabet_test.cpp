#include "alphabet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/allocation.h"
#include "random.h"

namespace series {
namespace {

struct AlphabetFixture : ::testing::Test {
    platform::RecordingWindow window;
    Alphabet alphabet;
    int16_t stream = RandomStreams{}.randomEtalons;

    int make(uint16_t M, uint16_t L, int16_t A = 128) {
        return makeEtalonsAlphabet(window, A, M, L, alphabet, stream);
    }
    std::vector<int> samples(int number) const {
        const PulseHeader& e = alphabet[number - 1];
        return {e.lpData.get(), e.lpData.get() + e.wSize};
    }
    int peak(int number) const {
        auto s = samples(number);
        int p = 0;
        for (int v : s)
            p = std::max(p, std::abs(v));
        return p;
    }
};

TEST_F(AlphabetFixture, DefaultShapesHaveTheirAmplitudesAndKnees) {
    ASSERT_EQ(make(20, 20), 1);
    EXPECT_TRUE(window.messages().empty());
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(alphabet[i].wNumber, i + 1);
        EXPECT_EQ(alphabet[i].wSize, 20);
        EXPECT_EQ(alphabet[i].wAllocated, 20);
    }
    EXPECT_EQ(samples(1), std::vector<int>(20, 60));
    // Half sine and sine period of amplitude 84: peak trunc(84 * sin(10π/21)) = 83.
    EXPECT_EQ(peak(3), 83);
    EXPECT_EQ(peak(5), 83);
    EXPECT_EQ(samples(3)[0], static_cast<int>(84 * std::sin(3.141592654 / 21)));
    // Envelope of amplitude 118 peaks exactly at its knee 4 (env = 1 there), and starts at 0.
    EXPECT_EQ(samples(9)[4], 118);
    EXPECT_EQ(samples(9)[0], 0);
    EXPECT_EQ(peak(9), 118);
    // Enveloped sine: amplitude 155, knee 5.
    EXPECT_LE(peak(7), 155);
    EXPECT_GT(peak(7), 100);
    for (int i = 0; i < 20; ++i) {
        const double env = i < 5 ? 1 - std::exp(i * (-8.0 / 5)) : std::exp(-(i - 5) * (4.0 / 15));
        const double p = i * (4 * 6.283185308 / 20);
        EXPECT_NEAR(samples(7)[i], std::trunc(std::sin(p) * (155 * env)), 1) << i;
    }
    for (int n = 2; n <= 10; n += 2)
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(samples(n)[i], -samples(n - 1)[i]);
    for (int n = 11; n <= 20; ++n)
        for (int v : samples(n)) {
            EXPECT_GE(v, -128);
            EXPECT_LE(v, 127);
        }
}

TEST_F(AlphabetFixture, NoiseLikeEtalonsComeFromTheStream) {
    ASSERT_EQ(make(12, 20), 1);
    int16_t reference = RandomStreams{}.randomEtalons;
    for (int n = 11; n <= 12; ++n)
        for (int v : samples(n)) {
            const int32_t g = std::clamp(gaussRandom(reference, 0, 64), -128, 127);
            EXPECT_EQ(v, g);
        }
    EXPECT_EQ(stream, reference);
}

TEST_F(AlphabetFixture, TenEtalonsOrFewerLeaveTheStreamAlone) {
    ASSERT_EQ(make(10, 20), 1);
    EXPECT_EQ(stream, RandomStreams{}.randomEtalons);
}

TEST_F(AlphabetFixture, LongerEtalonsAreReallocatedShorterReused) {
    ASSERT_EQ(make(20, 20), 1);
    const int16_t* first = alphabet[0].lpData.get();
    ASSERT_EQ(make(20, 12), 1);
    EXPECT_EQ(alphabet[0].lpData.get(), first);
    EXPECT_EQ(alphabet[0].wSize, 12);
    EXPECT_EQ(alphabet[0].wAllocated, 20);
    EXPECT_TRUE(window.messages().empty());
    ASSERT_EQ(make(20, 30), 1);
    EXPECT_EQ(alphabet[5].wAllocated, 30);
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "Предварительное освобождение памяти!");
    EXPECT_EQ(window.messages()[0].title, "Отладка");
    EXPECT_EQ(window.messages()[0].icon, platform::MessageIcon::Warning);
}

TEST_F(AlphabetFixture, AllocationFailureReleasesWhatWasAllocated) {
    {
        platform::FailingAllocations failAfter(3);
        EXPECT_EQ(make(20, 20), 0);
    }
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "Не могу выделить память!");
    EXPECT_EQ(window.messages()[0].icon, platform::MessageIcon::Warning);
    for (const auto& e : alphabet)
        EXPECT_EQ(e.lpData, nullptr);
}

TEST_F(AlphabetFixture, EnergiesExactAndAsThe32BitRecordsHoldThem) {
    PulseHeader e;
    e.wAllocated = e.wSize = 50;
    e.lpData = std::make_unique<int16_t[]>(50);
    struct Case {
        int16_t sample;
        int64_t exact;
    };
    for (const Case c : {Case{0, 0}, Case{128, 819200}, Case{-6553, 2147090450},
                         Case{32767, 53683814450}, Case{-32768, 53687091200}}) {
        std::fill(e.lpData.get(), e.lpData.get() + 50, c.sample);
        EXPECT_EQ(c.exact, exactEtalonEnergy(e)) << c.sample;
        EXPECT_EQ(static_cast<int32_t>(c.exact), etalonEnergy(e)) << c.sample;
    }
}

TEST_F(AlphabetFixture, VeryShortEtalonsAreFinite) {
    for (uint16_t L = 1; L <= 6; ++L) {
        Alphabet a;
        ASSERT_EQ(makeEtalonsAlphabet(window, 128, 10, L, a, stream), 1);
        for (const auto& e : a)
            for (int i = 0; i < L; ++i)
                EXPECT_LE(std::abs(e.lpData[i]), 160);
    }
}

}  // namespace
}  // namespace series
