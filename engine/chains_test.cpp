#include "engine/chains.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/dispatch.h"
#include "platform/allocation.h"
#include "test_series.h"

namespace engine {
namespace {

std::vector<ChainPulse> pulsesOf(int16_t distanceTag, int n) {
    std::vector<ChainPulse> p;
    for (int i = 0; i < n; ++i)
        p.push_back({static_cast<int16_t>(distanceTag * 100 + i), static_cast<int16_t>(i + 1),
                     static_cast<int16_t>(i), static_cast<int16_t>(i + 10)});
    return p;
}

std::vector<int32_t> distances(const ChainsHeader& c) {
    return std::vector<int32_t>(c.distance, c.distance + c.wPretenders);
}

TEST(Chains, OfferKeepsTheBestInOrder) {
    platform::RecordingWindow window;
    ChainsHeaderPtr c = getChainsHeader(window, 3, 4, nullptr);
    ASSERT_TRUE(c);
    // Every offer also checks that chainRowFor names the row beforehand.
    auto offer = [&](int32_t distance, const std::vector<ChainPulse>& pulses) {
        const int expected = chainRowFor(*c, distance);
        const int row = offerChain(*c, distance, pulses);
        EXPECT_EQ(expected, row) << distance;
        return row;
    };
    // 5, 3, 5, 1 into three rows: 1, 3, 5 (the first 5).
    EXPECT_EQ(0, offer(5, pulsesOf(51, 2)));
    EXPECT_EQ(0, offer(3, pulsesOf(3, 1)));
    EXPECT_EQ(2, offer(5, pulsesOf(52, 3)));
    EXPECT_EQ(0, offer(1, pulsesOf(1, 4)));
    EXPECT_EQ((std::vector<int32_t>{1, 3, 5}), distances(*c));
    EXPECT_EQ(2, c->lpChainLength[2]);
    EXPECT_EQ(5100, c->lpChainStart[2][0]);
    EXPECT_EQ(-1, offer(5, pulsesOf(53, 1)));  // dropped
    EXPECT_EQ(5100, c->lpChainStart[2][0]);
    EXPECT_EQ(1, offer(2, pulsesOf(2, 2)));  // pushes the 5 out
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), distances(*c));
    EXPECT_EQ(1, c->lpChainLength[2]);
    EXPECT_EQ(300, c->lpChainStart[2][0]);
    EXPECT_EQ(200, c->lpChainStart[1][0]);
    EXPECT_EQ(201, c->lpChainStart[1][1]);
    EXPECT_EQ(2, c->pulsesList[1][1]);
    EXPECT_EQ(1, c->lpChainCutBegin[1][1]);
    EXPECT_EQ(11, c->lpChainCutEnd[1][1]);
    // More pulses than laid out: the first ones are kept.
    EXPECT_EQ(0, offer(0, pulsesOf(9, 6)));
    EXPECT_EQ(4, c->lpChainLength[0]);
    EXPECT_EQ(903, c->lpChainStart[0][3]);
    EXPECT_EQ(3, c->wPretenders);
}

TEST(Chains, GetLaysOutRowsAndReusesLargerStorage) {
    platform::RecordingWindow window;
    ChainsHeaderPtr c = getChainsHeader(window, 10, 30, nullptr);
    ASSERT_TRUE(c);
    EXPECT_EQ(10, c->wMaxSize);
    EXPECT_EQ(30, c->wMaxPulses);
    for (int a = 0; a < 4; ++a) {
        int16_t* const* rows = std::vector<int16_t**>{c->pulsesList, c->lpChainStart,
                                                      c->lpChainCutBegin, c->lpChainCutEnd}[a];
        for (int r = 0; r < 10; ++r)
            EXPECT_EQ(c->pulsesList[0] + (a * 10 + r) * 30, rows[r]);
    }
    EXPECT_EQ(c->distance + 10, c->lpChainLength);
    for (int r = 0; r < 10; ++r)
        offerChain(*c, r, pulsesOf(1, 30));
    c->wQuanPulses = c->wSeekingPulsesQuantity = 5;
    const ChainsHeader* record = c.get();
    const int16_t* rows = c->pulsesList[0];
    c = getChainsHeader(window, 2, 3, std::move(c));  // smaller: kept, only its part cleared
    ASSERT_EQ(record, c.get());
    EXPECT_EQ(rows, c->pulsesList[0]);
    EXPECT_EQ(10, c->wMaxSize);
    EXPECT_EQ(30, c->wMaxPulses);
    EXPECT_EQ(0, c->wPretenders);
    EXPECT_EQ(0, c->wQuanPulses);
    EXPECT_EQ(0, c->wSeekingPulsesQuantity);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0, c->distance[i]);  // first 2 * R values
    EXPECT_EQ(4, c->distance[4]);
    for (int i = 0; i < 4 * 2 * 3; ++i)
        EXPECT_EQ(0, c->pulsesList[0][i]);
    EXPECT_EQ(25, c->pulsesList[0][24]);               // beyond 4 * R * P: untouched
    c = getChainsHeader(window, 12, 5, std::move(c));  // more rows: new layout R x P
    ASSERT_TRUE(c);
    EXPECT_EQ(12, c->wMaxSize);
    EXPECT_EQ(5, c->wMaxPulses);
    EXPECT_TRUE(window.messages().empty());
}

TEST(Chains, GetFailuresReleaseTheRecord) {
    const char* messages[] = {"Нет памяти для newChainsHeader->distance!",
                              "Нет памяти для newChainsHeader->pulsesList!",
                              "Нет памяти для newChainsHeader->pulsesList[0]!"};
    for (int k = 0; k < 3; ++k) {
        platform::RecordingWindow window;
        ChainsHeaderPtr c = getChainsHeader(window, 2, 2, nullptr);
        ASSERT_TRUE(c);
        platform::FailingAllocations fail(k);
        EXPECT_EQ(nullptr, getChainsHeader(window, 10, 30, std::move(c)));
        ASSERT_EQ(1u, window.messages().size());
        EXPECT_EQ(messages[k], window.messages()[0].text);
        EXPECT_EQ(" getChainsHeader ", window.messages()[0].title);
        EXPECT_EQ(platform::MessageIcon::None, window.messages()[0].icon);
    }
}

TEST(Chains, KindTexts) {
    platform::RecordingWindow window;
    ChainsHeaderPtr c = getChainsHeader(window, 1, 1, nullptr);
    struct Case {
        uint16_t series, task;
        const char* seriesName;
        const char* taskName;
    };
    const Case cases[] = {
        {1, 1, "known number of whole pulses", "detection"},
        {2, 2, "known number of cut-off pulses", "recognition"},
        {4, 4, "unknown number of whole pulses", "joint detection and identification"},
        {8, 32, "unknown number of cut-off pulses", "detection"},
        {36, 36, "known number of whole pulses tuples", "detection"},
        {40, 40, "unknown number of whole pulses tuples", "recognition"},
        {16, 8, nullptr, nullptr},
        {32, 16, nullptr, nullptr},
        {3, 64, nullptr, nullptr},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(1, addToChainsHeader(window, k.series, k.task, 75, 60, c.get()));
        EXPECT_EQ(2, c->wKindsMark);
        EXPECT_EQ(k.series, c->wSeriesKind);
        EXPECT_EQ(k.task, c->wTaskKind);
        EXPECT_EQ(75, c->wCreateSavedLevel);
        EXPECT_EQ(60, c->wProcessSavedLevel);
        EXPECT_STREQ(k.seriesName, c->lpSeriesName) << k.series;
        EXPECT_STREQ(k.taskName, c->lpTaskName) << k.task;
    }
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(0, addToChainsHeader(window, 1, 1, 100, 100, nullptr));
    ASSERT_EQ(1u, window.messages().size());
    EXPECT_EQ("Не определен lpChainsHeader!", window.messages()[0].text);
    EXPECT_EQ(" addToChainsHeader ", window.messages()[0].title);
    EXPECT_EQ(1, freeChainsHeader(window, std::move(c)));
    EXPECT_EQ(1, freeChainsHeader(window, nullptr));
}

TEST(Chains, Listing) {
    platform::RecordingWindow window;
    ChainsHeaderPtr c = getChainsHeader(window, 3, 2, nullptr);
    c->wQuanPulses = 2;
    offerChain(*c, -500, std::vector<ChainPulse>{{10, 1, 0, 19}, {60, 3, 2, 17}});
    offerChain(*c, 7, std::vector<ChainPulse>{{5, 2, 0, 19}});
    c->wSeekingPulsesQuantity = 2;
    const std::string want =
        "ChainsHeader:\nwMaxSize: 3\nwPretenders: 2\nwMaxPulses: 2\nwQuanPulses: 2\n"
        "wSeekingPulsesQuantity: 2\n 1. -500 10 (1) [0 19] 60 (3) [2 17]\n 2. 7 5 (2) [0 19]\n";
    EXPECT_EQ(want, chainsListing(*c));
    aboutChainsHeader(window, *c);
    ASSERT_EQ(1u, window.messages().size());
    EXPECT_EQ(want, window.messages()[0].text);
    EXPECT_EQ("aboutChainsHeader Info", window.messages()[0].title);
}

TEST(Chains, BestChainGoesToTheSeries) {
    platform::RecordingWindow window;
    const series::Alphabet alphabet = testsupport::makeAlphabet(4, 20);
    series::RandomStreams streams;
    testsupport::SeriesParams p;
    p.M = 4;
    p.K = 3;
    series::SeriesHeaderPtr h = testsupport::makeSeries(alphabet, p, {}, streams);
    ChainsHeaderPtr c = getChainsHeader(window, 2, h->wMaxPulses, nullptr);
    offerChain(*c, 4, std::vector<ChainPulse>{{10, 2, 1, 18}, {90, 3, 0, 19}});
    copyBestChainToSeries(*c, *h);
    EXPECT_EQ(2, c->wSeekingPulsesQuantity);
    EXPECT_EQ(2, h->wDetectedQuantity);
    EXPECT_EQ(90, h->lpDetectedStart[1]);
    EXPECT_EQ(3, h->lpDetectedEtalon[1]);
    EXPECT_EQ(1, h->lpDetectedCutBegin[0]);
    EXPECT_EQ(18, h->lpDetectedCutEnd[0]);
    c = getChainsHeader(window, 2, h->wMaxPulses, std::move(c));
    copyBestChainToSeries(*c, *h);
    EXPECT_EQ(0, h->wDetectedQuantity);
}

TEST(Dispatch, TableOfProcedures) {
    using P = Procedure;
    struct Case {
        uint16_t task, series;
        Procedure want;
    };
    const Case cases[] = {
        {2, 4, P::RecognizeUnknownNumber},
        {2, 8, P::RecognizeUnknownNumber},
        {2, 1, P::RecognizeKnownNumber},
        {2, 40, P::RecognizeKnownNumber},
        {2, 32, P::RecognizeKnownNumber},
        {36, 4, P::DetectTuplesUnknownNumber},
        {36, 8, P::DetectTuplesUnknownNumber},
        {36, 40, P::DetectTuplesUnknownNumber},
        {36, 36, P::DetectTuplesKnownNumber},
        {36, 1, P::DetectTuplesKnownNumber},
        {40, 40, P::TuplesDetection},
        {40, 4, P::TuplesDetection},
        {40, 36, P::RecognizeTuplesKnownNumber},
        {40, 2, P::RecognizeTuplesKnownNumber},
        {1, 4, P::DetectUnknownNumber},
        {4, 8, P::DetectUnknownNumber},
        {64, 8, P::DetectUnknownNumber},
        {1, 1, P::DetectKnownNumber},
        {4, 2, P::DetectKnownNumber},
        {64, 16, P::DetectKnownNumber},
        {1, 40, P::DetectKnownNumber},
        {1, 32, P::DetectKnownNumber},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, procedureFor(c.task, c.series)) << c.task << " " << c.series;
    EXPECT_STREQ("detectUnknownNumber", procedureName(P::DetectUnknownNumber));
    EXPECT_STREQ("TuplesDetection", procedureName(P::TuplesDetection));
    EXPECT_STREQ("recognizeTuplesKnownNumber", procedureName(P::RecognizeTuplesKnownNumber));
}

}  // namespace
}  // namespace engine
