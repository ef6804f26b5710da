#include <gtest/gtest.h>

#include <vector>

#include "app/subset_layout.h"
#include "app/subset_state.h"
#include "app/test_session.h"
#include "platform/allocation.h"

namespace app {
namespace {

using platform::Rect;
using render::RecordedOp;
using testing::Session;

// The default window of 1280 x 960 with the recording surface's 6 x 13 font (line height 12):
// work area (10, 10)-(1114, 947), gx 6, gy 7, cells 102 x 104, 108 and 111 apart.
constexpr int32_t kCellLeft = 22, kCellTop = 24, kCellStepX = 108, kCellStepY = 111;

Rect cellAt(int k) {
    const int32_t left = kCellLeft + (k % 10) * kCellStepX;
    const int32_t top = kCellTop + (k / 10) * kCellStepY;
    return Rect{left, top, left + 102, top + 104};
}

std::vector<int32_t> selected(const AppSettings& a) {
    return {a.selectedSubset, a.selectedSubset + a.selectedSubsetCount};
}
std::vector<int32_t> marks(const AppSettings& a) {
    return {a.selectedSubsetMarks, a.selectedSubsetMarks + a.selectedSubsetCount};
}
std::vector<int32_t> reservedRow(const AppSettings& a, int r) {
    return {a.reservedSubsetLists[r], a.reservedSubsetLists[r] + a.selectedSubsetArraySize[r]};
}

// Clicks the candidate cells k (etalon k + 1 with every etalon required).
void pick(Session& s, std::initializer_list<int> cells) {
    for (int k : cells)
        s.click(s.a.candidateCellRects[static_cast<size_t>(k)]);
}

const Rect& button(const Session& s, int i) {
    return s.a.ButtonsWhileSelectedSubsetRect[i];
}

// The recognition screen: tuple recognition on the default tuple series.
void toRecognition(Session& s) {
    s.command(kCmdRecognition);
    s.command(kCmdSelectSetOfPulses);
    ASSERT_EQ(s.a.wTaskKind, series::kTupleRecognition);
}

const RecordedOp* exactText(const Session& s, std::string_view text) {
    for (const auto& op : s.surface.ops())
        if (op.kind == RecordedOp::Text && op.text == text)
            return &op;
    return nullptr;
}

size_t countOutlines(const Session& s, platform::Colour pen) {
    size_t n = 0;
    for (const auto& op : s.surface.opsOf(RecordedOp::Rectangle))
        n += op.pen.colour == pen ? 1 : 0;
    return n;
}

TEST(SubsetScreenLayout, DetectionScreenOfTheDefaultWindow) {
    Session s;
    ASSERT_EQ(s.a.screenMode, kSubsetScreen);
    EXPECT_EQ(s.a.layout.workAreaRect, (Rect{10, 10, 1114, 947}));
    EXPECT_EQ(s.a.subsetCapacity, 10);
    EXPECT_EQ(s.a.reservedSubsetCapacity, 10);
    EXPECT_EQ(s.a.candidateCellRects[0], cellAt(0));
    EXPECT_EQ(s.a.candidateCellRects[13], cellAt(13));
    EXPECT_EQ(s.a.candidateCellRects[19], cellAt(19));
    // Strip: panel bottom 246 + gy + lh; slots one gy inside it.
    EXPECT_EQ(s.a.selectedStripRect, (Rect{16, 265, 1108, 383}));
    EXPECT_EQ(s.a.possibleSubsetRect[0], (Rect{22, 272, 124, 376}));
    EXPECT_EQ(s.a.possibleSubsetRect[9], (Rect{22 + 9 * 108, 272, 22 + 9 * 108 + 102, 376}));
    // Four buttons 72 + 4 x 6 wide, 23 high, 2 x 6 apart, lh / 2 below the strip.
    EXPECT_EQ(s.a.subsetButtonCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(button(s, i), (Rect{16 + i * 108, 389, 16 + i * 108 + 96, 412})) << i;
    // Captions centred across the button, (lh - 2) / 2 below its top.
    for (int i = 0; i < 4; ++i) {
        const std::string_view caption = kSubsetButtonCaptions[static_cast<size_t>(i)];
        const RecordedOp* text = exactText(s, caption);
        ASSERT_NE(text, nullptr) << caption;
        EXPECT_EQ(text->x1,
                  button(s, i).left + (97 - 6 * static_cast<int32_t>(caption.size())) / 2);
        EXPECT_EQ(text->y1, 389 + 5);
    }
    EXPECT_EQ(s.surface.findText(" Accept "), nullptr);
    // Ten empty slots, the series holding up to 30 pulses.
    EXPECT_EQ(countOutlines(s, kEmptySlotPen), 10u);
    EXPECT_EQ(s.surface.ops().front().kind, RecordedOp::FillRect);
    EXPECT_EQ(s.surface.ops().front().colour, kLightBackground);
}

TEST(SubsetScreenLayout, RecognitionScreenButtonsAndReservedGrid) {
    Session s;
    toRecognition(s);
    EXPECT_EQ(s.a.subsetButtonCount, 6);
    // Delete All, Delete, then Accept and Clear All; Cancel and OK end at the strip's right edge.
    EXPECT_EQ(button(s, kDeleteAllButton).left, 16);
    EXPECT_EQ(button(s, kDeleteButton).left, 124);
    EXPECT_EQ(button(s, kAcceptButton).left, 232);
    EXPECT_EQ(button(s, kClearAllButton).left, 340);
    EXPECT_EQ(button(s, kCancelButton).left, 1108 - 2 * (96 + 6));
    EXPECT_EQ(button(s, kOkButton).right, 1108);
    ASSERT_NE(s.surface.findText(" reserved subsets 10 "), nullptr);
    EXPECT_EQ(s.surface.findText(" reserved subsets 10 ")->x1, 16);
    // Rows from 418, 99 high, 7 apart; five in each of the two 543-wide columns.
    const int S = s.a.subsetCapacity;
    EXPECT_EQ(s.a.possibleSubsetArrayRect[0][S], (Rect{16, 418, 558, 516}));
    EXPECT_EQ(s.a.possibleSubsetArrayRect[4][S], (Rect{16, 418 + 4 * 106, 558, 516 + 4 * 106}));
    EXPECT_EQ(s.a.possibleSubsetArrayRect[5][S], (Rect{565, 418, 1107, 516}));
    // Member slots (543 - 20 + 1) / 10 = 52 wide, 2 apart.
    EXPECT_EQ(s.a.possibleSubsetArrayRect[5][0].left, 565 + 2);
    EXPECT_EQ(s.a.possibleSubsetArrayRect[5][0].right, 565 + 54 - 3);
    EXPECT_EQ(s.a.possibleSubsetArrayRect[5][9].right, 565 + 540 - 3);
    // The frames follow the rows; the series view's rectangles follow the last row.
    EXPECT_EQ(s.a.reservedSubsetRects, s.a.possibleSubsetArrayRect[9] + S + 1);
    EXPECT_EQ(countOutlines(s, kReservedFramePen), 10u);
}

TEST(SubsetScreenLayout, DetectionShowsNoMoreSlotsThanTheSeriesHoldsPulses) {
    Session s;
    // Length 200 picked, then new data: the series holds 1 to 5 pulses.
    s.click(s.a.layout.seriesLengthItems[0]);
    s.command(kCmdProcessingNextData);
    ASSERT_EQ(s.a.lpSeriesHeader->dwSeriesSize, 200u);
    ASSERT_EQ(s.a.lpSeriesHeader->wMaxPulses, 5);
    s.command(kCmdSelectSetOfPulses);
    EXPECT_EQ(countOutlines(s, kEmptySlotPen), 5u);
    // The recognition screen always shows ten.
    toRecognition(s);
    EXPECT_EQ(countOutlines(s, kEmptySlotPen), 10u);
}

TEST(SubsetScreenClicks, CellsAppendWithRepetitionsUpToTen) {
    Session s;
    pick(s, {2, 2, 7});
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{3, 3, 8}));
    pick(s, {0, 0, 0, 0, 0, 0, 0, 19});
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{3, 3, 8, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(marks(s.a), std::vector<int32_t>(10, 0));
    // Each click repaints the strip only.
    const size_t mark = s.host.log().size();
    pick(s, {4});
    EXPECT_EQ(s.logSince(mark), (std::vector<std::string>{"invalidate 16,265,1108,383 erase"}));
}

TEST(SubsetScreenClicks, StripMarksOneEntryAndCellsReplaceNothing) {
    Session s;
    pick(s, {0, 1, 2});
    s.click(s.a.possibleSubsetRect[1]);
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{0, 1, 0}));
    s.click(s.a.possibleSubsetRect[2]);
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{0, 0, 1}));
    // A slot beyond the entries, or the strip outside the slots, clears the marks.
    s.click(s.a.possibleSubsetRect[6]);
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{0, 0, 0}));
    s.click(s.a.possibleSubsetRect[1]);
    s.click(s.a.selectedStripRect.right - 1, s.a.selectedStripRect.top + 1);
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{0, 0, 0}));
    // The marked entry goes and the new etalon comes last.
    s.click(s.a.possibleSubsetRect[1]);
    pick(s, {4});
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{1, 3, 5}));
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{0, 0, 0}));
}

TEST(SubsetScreenClicks, DeleteAndDeleteAll) {
    Session s;
    pick(s, {0, 1, 2, 3});
    s.click(button(s, kDeleteButton));  // nothing marked
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{1, 2, 3, 4}));
    s.click(s.a.possibleSubsetRect[0]);
    s.click(button(s, kDeleteButton));
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{2, 3, 4}));
    s.click(button(s, kDeleteAllButton));
    EXPECT_EQ(s.a.selectedSubsetCount, 0);
    EXPECT_EQ(s.a.selectedSubsetMarks[0], 0);
    EXPECT_EQ(s.a.screenMode, kSubsetScreen);
}

// " OK " with nothing to hand over repaints the reserved frames and the strip and stays.
void expectOnlyRepaint(Session& s) {
    const uint32_t random = s.a.libraryRandom.state;
    const size_t mark = s.host.log().size();
    s.click(button(s, kOkButton));
    const auto log = s.logSince(mark);
    ASSERT_EQ(log.size(), 11u);
    EXPECT_EQ(log[10], "invalidate 16,265,1108,383 erase");
    EXPECT_EQ(s.a.screenMode, kSubsetScreen);
    EXPECT_EQ(s.a.libraryRandom.state, random);  // no new data
}

TEST(SubsetScreenClicks, OkWithNothingToHandOverOnlyRepaints) {
    Session detection;
    expectOnlyRepaint(detection);

    Session recognition;
    toRecognition(recognition);
    pick(recognition, {0, 1});  // a selected subset, but no reserved one
    expectOnlyRepaint(recognition);
}

TEST(SubsetScreenClicks, OkHandsTheSubsetToTheSeriesAndProcesses) {
    Session s;
    pick(s, {4, 0, 4});
    s.click(button(s, kOkButton));
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    ASSERT_TRUE(s.a.lastProcessing.has_value());
    const auto& h = *s.a.lpSeriesHeader;
    ASSERT_EQ(h.wSubsetSize, 3);
    EXPECT_EQ((std::vector<int32_t>{h.lpSubset[0], h.lpSubset[1], h.lpSubset[2]}),
              (std::vector<int32_t>{5, 1, 5}));
    // The subset survives the screen change.
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{5, 1, 5}));
}

TEST(SubsetScreenClicks, CancelEmptiesTheSubsetAndStartsNewData) {
    Session s;
    pick(s, {0, 1});
    const uint32_t random = s.a.libraryRandom.state;
    s.click(button(s, kCancelButton));
    EXPECT_EQ(s.a.selectedSubsetCount, 0);
    EXPECT_NE(s.a.libraryRandom.state, random);  // a new etalon sequence, a new series
    // Tuple detection without a subset asks for one again.
    EXPECT_EQ(s.a.screenMode, kSubsetScreen);
    EXPECT_FALSE(s.a.lastProcessing.has_value());
}

TEST(SubsetScreenClicks, AcceptStoresReservedSubsetsAndMarksTheSelection) {
    Session s;
    toRecognition(s);
    pick(s, {0, 1, 2});
    s.click(button(s, kAcceptButton));
    EXPECT_EQ(s.a.reservedSubsetCount, 1);
    EXPECT_EQ(s.a.currentReservedSubset, 1);
    EXPECT_EQ(reservedRow(s.a, 0), (std::vector<int32_t>{1, 2, 3}));
    // The paint after " Accept " marks the whole subset, so that the next pick starts anew.
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(s.a.markAllOnNextDraw, 0);
    pick(s, {9, 9});
    EXPECT_EQ(selected(s.a), (std::vector<int32_t>{10, 10}));
    s.click(button(s, kAcceptButton));
    EXPECT_EQ(s.a.reservedSubsetCount, 2);
    EXPECT_EQ(reservedRow(s.a, 1), (std::vector<int32_t>{10, 10}));
    EXPECT_EQ(s.a.currentReservedSubset, 2);

    // A stored subset's frame makes it the one in use; its members are drawn highlighted.
    const size_t mark = s.host.log().size();
    s.click(s.a.possibleSubsetArrayRect[0][s.a.subsetCapacity]);
    EXPECT_EQ(s.a.currentReservedSubset, 1);
    EXPECT_EQ(s.logSince(mark).size(), 11u);
    // The frame of an empty row takes no click.
    s.click(s.a.possibleSubsetArrayRect[7][s.a.subsetCapacity]);
    EXPECT_EQ(s.a.currentReservedSubset, 1);

    s.click(button(s, kClearAllButton));
    EXPECT_EQ(s.a.reservedSubsetCount, 0);
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{1, 1}));
}

TEST(SubsetScreenClicks, AcceptWithTheReservedListFullChangesOnlyTheMarks) {
    Session s;
    toRecognition(s);
    for (int r = 0; r < 10; ++r) {
        pick(s, {r});
        s.click(button(s, kAcceptButton));
    }
    ASSERT_EQ(s.a.reservedSubsetCount, 10);
    s.click(s.a.possibleSubsetArrayRect[2][s.a.subsetCapacity]);
    pick(s, {15, 16});
    s.click(button(s, kAcceptButton));
    EXPECT_EQ(s.a.reservedSubsetCount, 10);
    EXPECT_EQ(reservedRow(s.a, 9), (std::vector<int32_t>{10}));
    EXPECT_EQ(marks(s.a), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(s.a.currentReservedSubset, 10);  // the last stored one
}

TEST(SubsetScreenClicks, OkOnRecognitionHandsTheReservedSubsetsOver) {
    Session s;
    toRecognition(s);
    for (std::initializer_list<int> tuple :
         {std::initializer_list<int>{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}) {
        pick(s, tuple);
        s.click(button(s, kAcceptButton));
    }
    s.click(s.a.possibleSubsetArrayRect[1][s.a.subsetCapacity]);
    s.click(button(s, kOkButton));
    EXPECT_EQ(s.a.screenMode, kSeriesScreen);
    ASSERT_TRUE(s.a.lastProcessing.has_value());
    const auto& h = *s.a.lpSeriesHeader;
    EXPECT_EQ(h.wSubsetsQuantity, 3);
    ASSERT_EQ(h.wSubsetSize, 3);
    EXPECT_EQ(h.lpSubset[0], 4);  // the second tuple is the one in use
}

TEST(SubsetScreenPreparation, ReservedCapacityComesFromTheSettingTheFirstTime) {
    Session s;
    releaseSubsetState(s.a);
    s.a.wReservedSubsetsMax = 4;
    ASSERT_TRUE(prepareSubsetScreen(s.a));
    EXPECT_EQ(s.a.reservedSubsetCapacity, 4);
    EXPECT_EQ(s.a.reservedSubsetRects, s.a.possibleSubsetArrayRect[3] + 11);
    s.a.wReservedSubsetsMax = 7;
    ASSERT_TRUE(prepareSubsetScreen(s.a));
    EXPECT_EQ(s.a.reservedSubsetCapacity, 4);
}

TEST(SubsetScreenPreparation, FailedAllocationsNameTheArrayAndLeaveNoState) {
    const struct {
        long successes;
        const char* text;
    } cases[] = {
        {0, "Нет памяти для possibleSubsetRect!"},
        {1, "Нет памяти для selectedSubset!"},
        {2, "Нет памяти для selectedSubsetArraySize!"},
        {3, "Нет памяти для possibleSubsetArrayRect!"},
        {6, "Нет памяти для possibleSubsetArrayRect!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.successes);
        Session s;
        pick(s, {0, 1});
        {
            platform::FailingAllocations failing(c.successes);
            releaseSubsetState(s.a);
            EXPECT_FALSE(prepareSubsetScreen(s.a));
        }
        ASSERT_FALSE(s.messages().empty());
        EXPECT_EQ(s.messages().back().text, c.text);
        EXPECT_EQ(s.a.subsetCapacity, 0);
        EXPECT_EQ(s.a.selectedSubsetCount, 0);
        EXPECT_FALSE(s.a.possibleSubsetRect || s.a.subsetBlock || s.a.possibleSubsetArrayRect ||
                     s.a.reservedSubsetLists || s.a.selectedSubsetArraySize);
        // Clicks on the screen's places leave the missing state alone.
        s.down(cellAt(0).left + 5, cellAt(0).top + 5);
        EXPECT_EQ(s.a.selectedSubsetCount, 0);
        // The next paint prepares the screen again.
        s.command(kCmdSelectSetOfPulses);
        EXPECT_EQ(s.a.subsetCapacity, 10);
    }
}

TEST(SubsetScreenPreparation, FailedButtonRectanglesReleaseTheSelectedSubset) {
    Session s;
    pick(s, {0, 1});
    s.a.ButtonsWhileSelectedSubsetRect.reset();
    {
        platform::FailingAllocations failing(0);
        s.command(kCmdSelectSetOfPulses);
    }
    EXPECT_EQ(s.messages().back().text, "Нет памяти для ButtonsWhileSelectedSubsetRect!");
    EXPECT_EQ(s.surface.findText(" Delete All "), nullptr);
    EXPECT_EQ(s.a.subsetCapacity, 0);
    EXPECT_FALSE(s.a.subsetBlock);
    s.command(kCmdSelectSetOfPulses);
    EXPECT_NE(s.surface.findText(" Delete All "), nullptr);
    EXPECT_EQ(s.a.selectedSubsetCount, 0);
}

TEST(SubsetState, AddReservedSubsetCopiesUntilFull) {
    Session s;
    releaseSubsetState(s.a);
    s.a.wReservedSubsetsMax = 2;
    ASSERT_TRUE(prepareSubsetScreen(s.a));
    const int32_t tuple[] = {3, 1, 4};
    setSelectedSubset(s.a, tuple, 3);
    s.a.reservedSubsetCount = addReservedSubset(s.a);
    s.a.reservedSubsetCount = addReservedSubset(s.a);
    EXPECT_EQ(addReservedSubset(s.a), 2);
    EXPECT_EQ(reservedRow(s.a, 1), (std::vector<int32_t>{3, 1, 4}));
}

}  // namespace
}  // namespace app
