#include "rest_error_header.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/allocation.h"
#include "platform/window.h"

namespace simulation {
namespace {

struct Blocks {
    const int16_t* values;
    int32_t* const* rows;
    const int32_t* data;
};
Blocks blocksOf(const RestErrorHeader& r) {
    return {r.valueBlock.get(), r.rowPointerBlock.get(), r.dataBlock.get()};
}

// Every cell of every table lies in the data block and no two cells share storage.
void expectDisjointTables(const RestErrorHeader& r) {
    std::set<const int32_t*> cells;
    for (int t = 0; t < 6; ++t)
        for (uint16_t k = 0; k < r.wNoiseLevels; ++k)
            for (uint16_t j = 0; j < r.wVariousPulses; ++j) {
                const int32_t* cell = &r.table(t)[k][j];
                EXPECT_GE(cell, r.dataBlock.get());
                EXPECT_LT(cell, r.dataBlock.get() + r.dataBlockSize);
                EXPECT_TRUE(cells.insert(cell).second) << "t " << t << " k " << k << " j " << j;
            }
}

void fillEverything(RestErrorHeader& r) {
    for (size_t i = 0; i < r.valueBlockSize; ++i)
        r.valueBlock[i] = 7;
    for (size_t i = 0; i < r.dataBlockSize; ++i)
        r.dataBlock[i] = 9;
}

void expectAllZero(const RestErrorHeader& r) {
    const uint16_t P = r.wVariousPulses, L = r.wNoiseLevels;
    for (size_t i = 0; i < size_t{P} + L; ++i)
        EXPECT_EQ(r.valueBlock[i], 0);
    for (size_t i = 0; i < 6 * size_t{P} * L; ++i)
        EXPECT_EQ(r.dataBlock[i], 0);
}

TEST(RestErrorHeader, FreshLayoutFollowsTheFieldOrder) {
    platform::RecordingWindow window;
    auto r = getRestErrHeader(window, 4, 3, 100, nullptr);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->wReservedPulses, 4);
    EXPECT_EQ(r->wReservedLevels, 3);
    EXPECT_EQ(r->wVariousPulses, 4);
    EXPECT_EQ(r->wNoiseLevels, 3);
    EXPECT_EQ(r->repeats, 100);
    EXPECT_EQ(r->ifComplete, 0);
    EXPECT_EQ(r->lpNoiseLevels, r->valueBlock.get());
    EXPECT_EQ(r->wPulseValues, r->valueBlock.get() + 3);
    EXPECT_EQ(r->lpErrors, r->rowPointerBlock.get());
    int32_t** handles[6] = {r->lpErrors,       r->lpDetectionErrors,
                            r->lpSpareErrors1, r->lpRecognitionErrors,
                            r->lpSpareErrors2, r->lpSpareErrors3};
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(handles[t], r->rowPointerBlock.get() + 3 * t);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(handles[t][k], r->dataBlock.get() + 12 * t + 4 * k);
    }
    EXPECT_EQ(r->lpRestoringErrors(), r->lpErrors);
    EXPECT_EQ(r->dataBlockSize, 72u);
    EXPECT_EQ(r->rowPointerBlockSize, 18u);
    EXPECT_EQ(r->valueBlockSize, 7u);
    expectAllZero(*r);
    expectDisjointTables(*r);
    EXPECT_TRUE(window.messages().empty());
}

TEST(RestErrorHeader, ReuseAndReplacementOfTheBlocks) {
    platform::RecordingWindow window;
    // Same grid again: all three blocks reused, everything cleared.
    auto r = getRestErrHeader(window, 5, 4, 10, nullptr);
    ASSERT_TRUE(r);
    fillEverything(*r);
    const Blocks first = blocksOf(*r);
    RestErrorHeader* address = r.get();
    r = getRestErrHeader(window, 5, 4, 20, std::move(r));
    ASSERT_EQ(r.get(), address);
    EXPECT_EQ(blocksOf(*r).values, first.values);
    EXPECT_EQ(blocksOf(*r).rows, first.rows);
    EXPECT_EQ(blocksOf(*r).data, first.data);
    EXPECT_EQ(r->repeats, 20);
    expectAllZero(*r);

    // P = 3, L = 10, then P = 6, L = 5: blocks kept, rows laid out with width 6.
    auto q = getRestErrHeader(window, 3, 10, 1, nullptr);
    const Blocks before = blocksOf(*q);
    q = getRestErrHeader(window, 6, 5, 1, std::move(q));
    ASSERT_TRUE(q);
    EXPECT_EQ(blocksOf(*q).values, before.values);
    EXPECT_EQ(blocksOf(*q).rows, before.rows);
    EXPECT_EQ(blocksOf(*q).data, before.data);
    EXPECT_EQ(q->wReservedPulses, 3);
    EXPECT_EQ(q->wReservedLevels, 10);
    EXPECT_EQ(q->lpErrors[1] - q->lpErrors[0], 6);
    EXPECT_EQ(q->wPulseValues, q->valueBlock.get() + 5);
    expectDisjointTables(*q);

    // More noise levels than reserved: all three blocks replaced, reservations the new grid.
    q = getRestErrHeader(window, 2, 12, 1, std::move(q));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->wReservedPulses, 2);
    EXPECT_EQ(q->wReservedLevels, 12);
    EXPECT_EQ(q->valueBlockSize, 14u);
    EXPECT_EQ(q->rowPointerBlockSize, 72u);
    EXPECT_EQ(q->dataBlockSize, 144u);
    expectDisjointTables(*q);

    // More cells with fewer levels: only the data block grows; more values: the value block.
    auto s = getRestErrHeader(window, 2, 4, 1, nullptr);
    const Blocks small = blocksOf(*s);
    s = getRestErrHeader(window, 3, 3, 1, std::move(s));  // 9 cells > 8 reserved, 6 values = 6
    EXPECT_EQ(blocksOf(*s).values, small.values);
    EXPECT_EQ(blocksOf(*s).rows, small.rows);
    EXPECT_EQ(s->dataBlockSize, 54u);
    EXPECT_EQ(s->wReservedPulses, 2);  // reservations follow the value block only
    s = getRestErrHeader(window, 5, 2, 1, std::move(s));  // 7 values > 6
    EXPECT_EQ(s->valueBlockSize, 7u);
    EXPECT_EQ(s->wReservedPulses, 5);
    EXPECT_EQ(s->wReservedLevels, 2);
    expectDisjointTables(*s);
    EXPECT_TRUE(window.messages().empty());
}

TEST(RestErrorHeader, AllocationFailuresReleaseTheRecord) {
    const struct {
        long successes;
        const char* text;
    } cases[] = {
        {0, "Нет памяти для newRestErrorHeader->lpNoiseLevel!"},
        {1, "Нет памяти для newRestErrorHeader->lpErrors!"},
        {2, "Нет памяти для newRestErrorHeader->lpErrors[]!"},
    };
    for (const auto& c : cases) {
        platform::RecordingWindow window;
        RestErrorHeaderPtr result;
        {
            platform::FailingAllocations guard(c.successes);
            result = getRestErrHeader(window, 3, 3, 1, nullptr);
        }
        EXPECT_FALSE(result);
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_EQ(window.messages()[0].text, c.text);
        EXPECT_EQ(window.messages()[0].title, " getRestErrHeader ");
    }
    // A supplied record is released too (no leak under the sanitizer).
    platform::RecordingWindow window;
    auto r = getRestErrHeader(window, 2, 2, 1, nullptr);
    platform::FailingAllocations guard(0);
    EXPECT_FALSE(getRestErrHeader(window, 2, 20, 1, std::move(r)));
}

TEST(RestErrorHeader, InitFillsTheGridAndRefusesOverCapacity) {
    platform::RecordingWindow window;
    auto r = getRestErrHeader(window, 4, 3, 1, nullptr);
    for (uint16_t k = 0; k < 3; ++k)
        for (uint16_t j = 0; j < 4; ++j) {
            r->lpErrors[k][j] = 5;
            r->lpDetectionErrors[k][j] = 6;
        }
    r->ifComplete = 1;
    ASSERT_EQ(initRestErrHeader(window, 4, 6, 2, 3, 0, 5, 100, r.get()), 1);
    EXPECT_EQ(r->ifComplete, 0);
    EXPECT_EQ(r->repeats, 100);
    EXPECT_EQ((std::vector<int16_t>(r->wPulseValues, r->wPulseValues + 4)),
              (std::vector<int16_t>{6, 8, 10, 12}));
    EXPECT_EQ((std::vector<int16_t>(r->lpNoiseLevels, r->lpNoiseLevels + 3)),
              (std::vector<int16_t>{0, 5, 10}));
    for (uint16_t k = 0; k < 3; ++k)
        for (uint16_t j = 0; j < 4; ++j) {
            EXPECT_EQ(r->lpErrors[k][j], 0);
            EXPECT_EQ(r->lpDetectionErrors[k][j], 6);  // the other tables are left as they are
        }

    // Values are truncated to 16 bits.
    ASSERT_EQ(initRestErrHeader(window, 2, 32767, 1, 1, -32768, 0, 1, r.get()), 1);
    EXPECT_EQ(r->wPulseValues[1], -32768);

    const struct {
        RestErrorHeader* record;
        uint16_t P, L;
        const char* text;
        const char* title;
    } refusals[] = {
        {nullptr, 1, 1, "Не определен lpErrorHeader!", " initRestErrHeader "},
        {r.get(), 5, 1, "Неверно задан wVariousPulsesNumber!", " initRestErrHeader "},
        {r.get(), 1, 4, "Неверно задан wNoiseLevels!", " initRestErrHeader "},
        {r.get(), 5, 4, "Неверно задан wVariousPulsesNumber!", " initRestErrHeader "},
    };
    r->ifComplete = 1;
    for (const auto& c : refusals) {
        window.clear();
        EXPECT_EQ(initRestErrHeader(window, c.P, 1, 1, c.L, 1, 1, 7, c.record), 0);
        ASSERT_EQ(window.messages().size(), 1u);
        EXPECT_EQ(window.messages()[0].text, c.text);
        EXPECT_EQ(window.messages()[0].title, c.title);
    }
    EXPECT_EQ(r->ifComplete, 1);  // a refusal leaves the record as it was
    EXPECT_EQ(r->repeats, 1);
    EXPECT_EQ(r->wVariousPulses, 2);
}

TEST(RestErrorHeader, KindsAndTheirNames) {
    platform::RecordingWindow window;
    auto r = getRestErrHeader(window, 1, 1, 1, nullptr);
    const struct {
        uint16_t series, task;
        const char* seriesName;
        const char* taskName;
    } cases[] = {
        {1, 1, "known number of whole pulses", "detection"},
        {2, 2, "known number of cut-off pulses", "recognition"},
        {4, 4, "unknown number of whole pulses", "joint detection and identification"},
        {8, 8, "unknown number of cut-off pulses", "joint detection and estimation"},
        {36, 16, "known number of whole pulses tuples", "joint detection and estimation"},
        {40, 32, "unknown number of whole pulses tuples", "blind detection"},
        {16, 36, nullptr, "detection"},
        {32, 40, nullptr, "recognition"},
        {0, 64, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(addInitRestErrHeader(window, c.series, c.task, 75, -3, r.get()), 1);
        EXPECT_EQ(r->wKindsMark, 2);
        EXPECT_EQ(r->wSeriesKind, c.series);
        EXPECT_EQ(r->wTaskKind, c.task);
        EXPECT_EQ(r->wCreateSavedLevel, 75);
        EXPECT_EQ(r->wProcessSavedLevel, -3);
        if (c.seriesName)
            EXPECT_STREQ(r->lpSeriesName, c.seriesName);
        else
            EXPECT_EQ(r->lpSeriesName, nullptr);
        if (c.taskName)
            EXPECT_STREQ(r->lpTaskName, c.taskName);
        else
            EXPECT_EQ(r->lpTaskName, nullptr);
    }
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(addInitRestErrHeader(window, 1, 1, 1, 1, nullptr), 0);
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "Не определен lpErrorHeader!");
    EXPECT_EQ(window.messages()[0].title, " addInitRestErrHeader ");

    EXPECT_EQ(freeRestErrHeader(window, nullptr), 1);
    EXPECT_EQ(freeRestErrHeader(window, std::move(r)), 1);
}

TEST(RestErrorHeader, GridFitsSixteenBits) {
    EXPECT_TRUE(gridFits16Bits(0, 5, 29));
    EXPECT_TRUE(gridFits16Bits(32767, 1, 1));
    EXPECT_FALSE(gridFits16Bits(32767, 1, 2));
    EXPECT_FALSE(gridFits16Bits(0, 2000, 20));
    EXPECT_TRUE(gridFits16Bits(0, 2000, 0));
    EXPECT_FALSE(gridFits16Bits(-40000, 1, 1));
}

}  // namespace
}  // namespace simulation
