#include "simulation_plot.h"

#include <cstdio>
#include <stdexcept>

#include "common.h"
#include "export/atomic_file.h"
#include "export/picture_file.h"
#include "render/simulation_graphs.h"

namespace cli {

namespace {

struct PlotSize {
    int32_t width = 0, height = 0;
};

// Pictures up to 16384 pixels a side: larger ones are a typing slip, not a figure.
PlotSize parseSize(const std::string& text) {
    int width = 0, height = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 320 ||
        height < 240 || width > 16384 || height > 16384)
        throw UsageError("--plot-size: expected WxH from 320x240 to 16384x16384, got \"" + text +
                         "\"");
    return {width, height};
}

int32_t handlingCase(const std::string& graph) {
    return graph == "detection" ? 2 : graph == "recognition" ? 3 : 1;
}

}  // namespace

void addPlotOptions(CLI::App& cmd, PlotOptions& o) {
    cmd.add_option("--plot", o.file, "Save the error curves as a picture (.png, .bmp or .pcx)");
    cmd.add_option("--graph", o.graph, "The curves: restoring, detection or recognition errors")
        ->check(CLI::IsMember({"restoring", "detection", "recognition"}))
        ->capture_default_str();
    cmd.add_option("--view", o.view, "One curve per pulse count, or their summary")
        ->check(CLI::IsMember({"componentwise", "summary"}))
        ->capture_default_str();
    cmd.add_flag("--bounds", o.bounds, "With recognition curves: add the correlation bounds");
    cmd.add_option("--upper-bound", o.upperBound, "A fixed top of the error axis (above 0)")
        ->check(CLI::PositiveNumber);
    cmd.add_option("--plot-size", o.size, "The picture's size in pixels, WxH")
        ->capture_default_str();
}

void checkPlotOptions(const PlotOptions& o) {
    if (o.file.empty())
        return;
    parseSize(o.size);
    if (o.bounds && o.graph != "recognition")
        throw UsageError("--bounds: the bound curves go with --graph recognition");
    if (!exporter::isPictureFileName(o.file))
        throw UsageError("--plot: the picture's name must end in .png, .bmp or .pcx: " + o.file);
    exporter::AtomicFile probe;  // removed again when it goes out of scope
    if (!probe.create(o.file))
        throw UsageError("--plot: " + probe.error());
}

void writeSimulationPlot(const PlotOptions& o, const RunDefinition& run,
                         const simulation::RestErrorHeader& record,
                         const simulation::GraphMeasures& measures, std::time_t start,
                         std::time_t end) {
    if (o.file.empty())
        return;
    const PlotSize size = parseSize(o.size);
    PreparedRun prepared(false);
    if (!prepareRun(run, prepared))
        throw std::runtime_error("--plot: the series records of the run could not be made");
    // The header as the run left it, as far as the graphs read it: the etalon length of its
    // series and the noise level of its last cell.
    series::SeriesHeader& header = *prepared.header;
    header.wImpulseSize = run.etalonLength;
    header.wNoiseLevel = static_cast<int16_t>(run.noiseFrom + (run.noiseCount - 1) * run.noiseStep);
    render::SimulationGraphSettings settings;
    settings.amplitude = run.amplitude;
    settings.graphKind =
        render::graphKindFor(handlingCase(o.graph), o.view == "componentwise", o.bounds ? 1 : 0);
    settings.fixedUpperBound = o.upperBound ? 1 : 0;
    settings.upperBound = o.upperBound.value_or(settings.upperBound);
    settings.startTime = start;
    settings.endTime = end;
    settings.etalons = &prepared.alphabet;
    settings.measures = &measures;
    platform::RecordingWindow window;
    const auto picture = render::renderSimulationPicture(
        window, size.width, size.height, settings, static_cast<uint16_t>(prepared.required.size()),
        prepared.required.data(), record, header);
    if (!picture) {
        const auto messages = window.messages();
        throw std::runtime_error("--plot: the graphs could not be drawn" +
                                 (messages.empty() ? std::string() : ": " + messages[0].text));
    }
    const std::string failure = exporter::writePictureFile(o.file, *picture);
    if (!failure.empty())
        throw std::runtime_error("--plot: " + failure);
}

}  // namespace cli
