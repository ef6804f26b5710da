#include <gtest/gtest.h>

#include "app_fixture.h"
#include "simulation/driver.h"

namespace app {
namespace {

using testsupport::AppFixture;

// A completed record of three pulse counts over three noise levels with one wrong tuple.
void completeRecord(AppSettings& a) {
    a.lpRestErrorHeader = simulation::getRestErrHeader(a.window(), 3, 3, 4, nullptr);
    simulation::initRestErrHeader(a.window(), 3, 6, 2, 3, 0, 5, 4, a.lpRestErrorHeader.get());
    simulation::addInitRestErrHeader(a.window(), 8, 2, 75, 75, a.lpRestErrorHeader.get());
    a.lpRestErrorHeader->lpRecognitionErrors[1][0] = 1;
    a.lpRestErrorHeader->ifComplete = 1;
}

const render::RecordedOp* findSymbolText(const render::RecordingSurface& s, const char* text) {
    for (const auto& o : s.ops())
        if (o.kind == render::RecordedOp::Text && o.text == text &&
            o.font.face == render::FontFace::Symbol)
            return &o;
    return nullptr;
}

TEST(SimulationScreen, SeriesScreenShowsTheGraphsWithTheDisplaySettings) {
    AppFixture f(1280, 960);
    ASSERT_TRUE(f.create());
    completeRecord(f.app);
    f.app.screenMode = kSeriesScreen;
    f.app.seriesScreenContent = 2;
    f.app.simGraphKind = 12;
    render::RecordingSurface s = f.paint();
    EXPECT_TRUE(s.findText(" statistical simulation for recognition in series with "));
    EXPECT_TRUE(s.findText(" recognition error, componentwise case"));
    EXPECT_TRUE(findSymbolText(s, "0.50"));
    EXPECT_TRUE(s.findText(" Alphabet, "));
    EXPECT_TRUE(f.host.messages().empty());
    // The restart button is stamped over the graphs as over the series view.
    EXPECT_EQ(s.opsOf(render::RecordedOp::Blit).size(),
              render::hasSelectButton(f.app.wTaskKind) ? 4u : 3u);

    f.app.fixedUpperBound = 1;
    f.app.upperBound = 0.25;
    s = f.paint();
    EXPECT_TRUE(findSymbolText(s, "0.25"));
    EXPECT_FALSE(findSymbolText(s, "0.50"));

    // A run that did not complete leaves nothing to show.
    f.app.lpRestErrorHeader->ifComplete = 0;
    s = f.paint();
    EXPECT_TRUE(s.findText(" no complete statistical simulation to show "));
    EXPECT_FALSE(s.findText(" statistical simulation for"));
}

}  // namespace
}  // namespace app
