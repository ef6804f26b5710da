#include "batch_processing.h"

#include <algorithm>

#include "app/commands.h"
#include "app/mouse.h"
#include "app/startup.h"
#include "app/subset_state.h"
#include "observed_series.h"
#include "pipeline.h"
#include "series/generation.h"
#include "series/series_header.h"

namespace cli {

namespace {

// The required list as the user typed it, in order and with repetitions, as " New pulses... "
// stores it; the flags follow the list.
void setRequiredList(app::AppSettings& a, const std::vector<int32_t>& list) {
    const auto n = static_cast<uint16_t>(list.size());
    a.lpEtalonNumbersList = std::make_unique<uint16_t[]>(std::max<size_t>(n, a.wAlphabetSize));
    a.wRequiredCapacity = std::max<uint16_t>(n, a.wAlphabetSize);
    a.wRequiredCount = n;
    a.requiredFlags.fill(0);
    for (uint16_t i = 0; i < n; ++i) {
        a.lpEtalonNumbersList[i] = static_cast<uint16_t>(list[i]);
        if (list[i] >= 1 && list[i] <= app::kAlphabetCapacity)
            a.requiredFlags[static_cast<size_t>(list[i])] = 1;
    }
}

// The selection of the tuple tasks: the selected subset and the stored tuples, with room for
// more than the screen's 10 x 10 when the command line asks for it.
void setSelection(app::AppSettings& a, const BatchRequest& r) {
    size_t longest = std::max<size_t>(10, r.subset.size());
    for (const auto& t : r.tuples)
        longest = std::max(longest, t.size());
    const auto reserved = static_cast<int32_t>(std::max<size_t>(10, r.tuples.size()));
    if (!app::layoutSubsetState(a, static_cast<int32_t>(longest), reserved))
        return;
    app::setSelectedSubset(a, r.subset.data(), static_cast<int32_t>(r.subset.size()));
    const auto selected = std::vector<int32_t>(r.subset.begin(), r.subset.end());
    for (const auto& t : r.tuples) {
        app::setSelectedSubset(a, t.data(), static_cast<int32_t>(t.size()));
        a.reservedSubsetCount = app::addReservedSubset(a);
    }
    app::setSelectedSubset(a, selected.data(), static_cast<int32_t>(selected.size()));
    a.currentReservedSubset = r.currentTuple;
}

}  // namespace

void runBatchProcessing(platform::HostWindow& window, app::AppSettings& a, const BatchRequest& r) {
    const SeriesOptions& o = *r.series;
    a.hMainWindow = &window;
    a.wAlphabetSize = o.count;
    a.etalons.resize(std::max<size_t>(a.etalons.size(), o.count));
    a.wEtalonLength = o.etalonLength;
    a.wAmplitude = static_cast<uint16_t>(o.amplitude);
    a.wTmin = o.tmin;
    a.wTmax = o.tmax;
    a.seriesLengthSelector.values[2] = static_cast<int32_t>(o.length);
    a.wSeriesKind = r.seriesKind;
    a.wSelectedTask = r.selectedTask;
    app::prepareStartState(a);
    if (r.alphabet) {
        a.etalons = std::move(*r.alphabet);
        a.etalons.resize(std::max<size_t>(a.etalons.size(), app::kAlphabetCapacity));
    }
    // The list is set from the options also by default, so that alphabets of more etalons than
    // the program's 20 are handled alike.
    setRequiredList(a, r.required.empty() ? requiredList("", a.wTaskKind, o.count) : r.required);

    a.wSelectedNoiseLevel = o.noise;
    a.wSelectedCreateSavedLevel = static_cast<int16_t>(r.createLevel);
    a.wSelectedProcessSavedLevel = static_cast<int16_t>(r.processLevel);
    // The batch tool's default count is the middle of the feasible range with at least 1 pulse.
    const uint16_t minP = series::minPulsesFor(o.length, o.etalonLength, o.tmax);
    const uint16_t maxP = series::maxPulsesFor(o.length, o.etalonLength, o.tmin);
    a.wPulsesInSeries = o.pulses ? *o.pulses : static_cast<uint16_t>((minP + maxP) / 2);
    a.wSubsetEmployment = o.subsetMode;
    a.wSubsetInitPosition = o.subsetStart;
    a.wSubsetProceeding = r.proceeding;

    a.lpSeriesHeader = series::getCutOffSeriesHeader(window, o.count, o.etalonLength, o.tmin,
                                                     o.tmax, o.length, std::move(a.lpSeriesHeader));
    setSelection(a, r);
    if (a.lpSeriesHeader && !(r.subset.empty() && r.tuples.empty()))
        app::handSubsetToSeries(a);

    if (r.observed) {
        // Nothing is generated: the recorded samples are the series, and command 210 processes
        // them.
        app::applySelectedParameters(a);
        a.lpSeriesHeader = makeObservedSeries(window, o, a.etalons, *r.observed,
                                              o.pulses.value_or(0), std::move(a.lpSeriesHeader));
        if (!a.lpSeriesHeader) {
            window.messageBox("Не могу создать ряд!", "CM_INFO");
            return;
        }
        app::onCommand(a, app::kProcess);
        return;
    }
    if (o.sequence.empty()) {
        app::onCommand(a, app::kNextData);
        return;
    }
    // A sequence given on the command line is used as it is, not drawn and not repeated.
    app::applySelectedParameters(a);
    const std::vector<uint16_t> sequence = sequenceFromText(o.sequence, a.wMaxPulses);
    app::growEtalonSequence(a, static_cast<uint16_t>(sequence.size()));
    std::copy(sequence.begin(),
              sequence.begin() + std::min<size_t>(sequence.size(), a.wEtalonSequenceSize),
              a.etalonSequence.get());
    app::onCommand(a, app::kGenerate);
}

}  // namespace cli
