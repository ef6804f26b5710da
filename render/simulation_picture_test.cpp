#include <gtest/gtest.h>

#include "image_surface.h"
#include "platform/allocation.h"
#include "simulation_graph_fixture.h"
#include "simulation_graphs.h"

namespace render {
namespace {

using testing::GraphInputs;
using testing::Grid;
using testing::makeRecord;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

uint32_t rgb(const Bitmap& b, int32_t x, int32_t y) {
    return b.at(x, y) & 0xFFFFFFu;
}

TEST(SimulationPicture, GraphOnWhiteWithTheBoxWhereTheLayoutPutsIt) {
    GraphInputs in;
    Grid g;
    g.P = 1;
    g.L = 5;
    auto r = makeRecord(g);
    r->lpRecognitionErrors[2][0] = 1;
    SimulationGraphSettings settings;
    settings.graphKind = kRecognitionComponentwise;
    platform::RecordingWindow window;
    for (auto [W, H] : {std::pair{800, 600}, {1280, 960}}) {
        const auto picture =
            renderSimulationPicture(window, W, H, settings, 2, in.required.data(), *r, *in.series);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->width, W);
        ASSERT_EQ(picture->height, H);
        // The margin stays white; the box's outline and the curve are black.
        for (int32_t i = 0; i < 10; ++i) {
            EXPECT_EQ(rgb(*picture, i, i), kWhite);
            EXPECT_EQ(rgb(*picture, W - 1 - i, H - 1 - i), kWhite);
        }
        Bitmap scratch(1, 1);
        ImageSurface measure(scratch);
        const ScreenLayout screen = pictureScreenLayout(measure, W, H);
        const auto l = simulationGraphLayout(measure, screen, settings, 2, in.required.data(),
                                             r.get(), in.series.get());
        ASSERT_TRUE(l);
        const GraphBoxLayout& b = l->box;
        for (int32_t y : {b.top + 1, b.bottom() - 1}) {
            EXPECT_EQ(rgb(*picture, b.left, y), kBlack);
            EXPECT_EQ(rgb(*picture, b.left - 1, y), kBlack);
            EXPECT_EQ(rgb(*picture, b.right(), y), kBlack);
        }
        // A quarter of the repeats wrong at level 2: the curve (drawn again one pixel to the
        // right) passes the middle of the box there.
        EXPECT_EQ(rgb(*picture, b.left + 2 * b.dx + 1, b.bottom() - b.height / 2), kBlack);
        EXPECT_EQ(rgb(*picture, b.left + b.dx / 2, b.top + b.height / 2 + 1), kWhite);
    }
    EXPECT_TRUE(window.messages().empty());
}

TEST(SimulationPicture, NothingWhenThereIsNothingToDraw) {
    GraphInputs in;
    auto r = makeRecord(Grid{});
    SimulationGraphSettings settings;
    platform::RecordingWindow window;
    r->ifComplete = 0;
    EXPECT_FALSE(
        renderSimulationPicture(window, 800, 600, settings, 2, in.required.data(), *r, *in.series));
    r->ifComplete = 1;
    EXPECT_FALSE(
        renderSimulationPicture(window, 0, 600, settings, 2, in.required.data(), *r, *in.series));
    EXPECT_TRUE(window.messages().empty());
    {
        platform::FailingAllocations failing(0);
        EXPECT_FALSE(renderSimulationPicture(window, 800, 600, settings, 2, in.required.data(), *r,
                                             *in.series));
    }
    ASSERT_EQ(window.messages().size(), 1u);
    EXPECT_EQ(window.messages()[0].text, "No memory to RestoredErrorNormalizer");
    // Pictures too small for the layout are still drawn, clipped, without harm.
    for (auto [W, H] : {std::pair{1, 1}, {60, 40}, {300, 120}, {120, 400}})
        for (int32_t kind : {0, 2, 13})
            for (uint16_t kindOfSeries : {uint16_t{8}, uint16_t{40}}) {
                settings.graphKind = kind;
                r->wSeriesKind = kindOfSeries;
                r->wTaskKind = kindOfSeries == 40 ? 40 : 2;
                const auto p = renderSimulationPicture(window, W, H, settings, 2,
                                                       in.required.data(), *r, *in.series);
                EXPECT_TRUE(p);
            }
}

}  // namespace
}  // namespace render
