// The simulation graphs as a picture of their own, for the batch tool.

#include <new>

#include "image_surface.h"
#include "simulation_graphs.h"

namespace render {

ScreenLayout pictureScreenLayout(Surface& surface, int32_t width, int32_t height) {
    const TextMetrics m = surface.textMetrics();
    ScreenLayout layout;
    layout.lineHeight = m.height + m.externalLeading - 1;
    layout.maxCharWidth = m.maxCharWidth;
    layout.aveCharWidth = m.aveCharWidth;
    layout.workAreaRect = Rect{10, 10, width - 11, height - 11};
    return layout;
}

std::optional<platform::Bitmap> renderSimulationPicture(platform::Window& window, int32_t width,
                                                        int32_t height,
                                                        const SimulationGraphSettings& settings,
                                                        uint16_t n, const uint16_t* list,
                                                        const simulation::RestErrorHeader& record,
                                                        const series::SeriesHeader& series) {
    if (width < 1 || height < 1)
        return std::nullopt;
    platform::Bitmap picture;
    try {
        picture = platform::Bitmap(width, height, 0xFFFFFFu);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для picture!", " renderSimulationPicture ");
        return std::nullopt;
    }
    ImageSurface surface(picture);
    surface.selectFont(Font{});
    const ScreenLayout layout = pictureScreenLayout(surface, width, height);
    if (!DrawDetectionArrayZ(window, surface, layout, settings, n, list, &record, &series, {}))
        return std::nullopt;
    return picture;
}

}  // namespace render
