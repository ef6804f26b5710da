#include "series_text.h"

#include "series_view.h"
#include "text_line.h"

namespace render {

namespace {

// Pulses listed in the header line, detected pulses in the result line, pulses of a chain line,
// and chain lines.
constexpr int32_t kHeaderPulses = 19;
constexpr int32_t kResultPulses = 9;
constexpr int32_t kTupleFirstLimit = 18;
constexpr int32_t kChainPulses = 19;
constexpr int32_t kChainLines = 6;
// Column of the pulse lists in the chain table, from x0.
constexpr int32_t kChainPulsesColumn = 100;

void addPulses(TextLine& line, const SeriesAccess& s, bool withNames, bool cutOff) {
    line.add(" pulses:");
    const int32_t K = s.count(PulseSet::True);
    for (int32_t k = 0; k < K; ++k) {
        if (k == kHeaderPulses) {
            line.add("...");
            break;
        }
        const PulseEntry p = s.pulse(PulseSet::True, k);
        line.add(" %d", p.start);
        if (withNames)
            line.addChar(etalonLetter(p.etalon));
        if (cutOff)
            line.add("[%d..%d] ", p.cutBegin, p.cutEnd);
    }
}

void addDetectedPulse(TextLine& line, const PulseEntry& p, bool withNames, bool cutOff) {
    if (withNames)
        line.addChar(etalonLetter(p.etalon));
    if (cutOff)
        line.add("[%d..%d]", p.cutBegin, p.cutEnd);
}

void addDetectedTuples(TextLine& line, const SeriesAccess& s, bool withNames, bool cutOff) {
    const int32_t detected = s.count(PulseSet::Detected);
    const int32_t tuples = s.tupleCount();
    for (int32_t t = 0; t < tuples; ++t) {
        const int32_t first = s.tupleFirst(t) - 1;
        if (first > kTupleFirstLimit) {
            line.add(" ... ");
            break;
        }
        line.add(" {");
        const int32_t last = std::min(s.tupleLast(t) - 1, detected - 1);
        for (int32_t k = std::max(first, 0); k <= last; ++k) {
            const PulseEntry p = s.pulse(PulseSet::Detected, k);
            line.add("%d", p.start);
            addDetectedPulse(line, p, withNames, cutOff);
            line.add(" ");
        }
        line.replaceLastBlank("} ");
    }
}

void addDetectedList(TextLine& line, const SeriesAccess& s, bool withNames, bool cutOff) {
    const int32_t detected = s.count(PulseSet::Detected);
    for (int32_t k = 0; k < detected; ++k) {
        if (k == kResultPulses) {
            line.add(" ... ");
            break;
        }
        const PulseEntry p = s.pulse(PulseSet::Detected, k);
        line.add(" %d", p.start);
        addDetectedPulse(line, p, withNames, cutOff);
    }
}

// A pulse list of the chain table.
template <class PulseAt>
void addChainPulses(TextLine& line, int32_t count, PulseAt pulseAt, bool letters, bool cutOff) {
    for (int32_t j = 0; j < count; ++j) {
        if (j == kChainPulses) {
            line.add(" ... ");
            break;
        }
        const PulseEntry p = pulseAt(j);
        line.add("  %d", p.start);
        if (letters)
            line.addChar(etalonLetter(p.etalon));
        if (cutOff)
            line.add(" [%d..%d] ", p.cutBegin, p.cutEnd);
    }
}

// The left part of a chain line: number, the first etalon's letter for recognition, measure.
std::string chainHead(int32_t number, const RunKinds& kinds, int32_t firstEtalon, int32_t measure) {
    TextLine head;
    head.add("%2d. ", number);
    if (kinds.chainEtalonColumn())
        head.add(" %c ", etalonLetter(firstEtalon));
    head.add("  %7d", measure);
    return head.str();
}

void drawChainTable(Surface& surface, const SeriesLayout& l, const RunKinds& kinds,
                    const engine::ChainsHeader& chains, const series::SeriesHeader& header,
                    bool withNames, int32_t y) {
    const SeriesAccess s(header);
    const ChainsAccess c(chains);
    const bool letters = kinds.marked() ? kinds.taskKind == 4 : withNames;
    const int32_t x0 = l.x0;
    const int32_t x1 = l.x0 + kChainPulsesColumn;

    TextLine columns;
    columns.add(" n ");
    if (kinds.chainEtalonColumn())
        columns.add("et ");
    columns.add(" measure ");
    surface.textOut(x0, y, columns.str());
    TextLine what;
    what.add("  positions");
    if (letters)
        what.add(" and names");
    what.add(" of etalons in series");
    surface.textOut(x1, y, what.str());
    y += l.lh + 1;

    const int32_t rows = std::min(c.rows(), kChainLines);
    for (int32_t r = 0; r < rows; ++r) {
        surface.textOut(x0, y, chainHead(r + 1, kinds, c.firstEtalon(r), c.distance(r)));
        TextLine pulses;
        addChainPulses(
            pulses, c.length(r), [&](int32_t j) { return c.pulse(r, j); }, letters, kinds.cutOff());
        surface.textOut(x1, y, pulses.str());
        y += l.lh;
    }

    y += (l.lh + 3) >> 2;
    const int32_t K = s.count(PulseSet::True);
    const int32_t firstTrue = K > 0 ? s.pulse(PulseSet::True, 0).etalon : 0;
    surface.textOut(x0, y, chainHead(0, kinds, firstTrue, placementMeasure(header)));
    TextLine truth;
    addChainPulses(
        truth, K, [&](int32_t j) { return s.pulse(PulseSet::True, j); }, letters, kinds.cutOff());
    surface.textOut(x1, y, truth.str());
}

}  // namespace

void drawHeaderLines(Surface& surface, const SeriesLayout& l, const RunKinds& kinds,
                     const series::SeriesHeader& header, int32_t amplitude,
                     const SeriesEnergies& energies, bool withNames) {
    const SeriesAccess s(header);
    int32_t y = l.T0 - l.lh / 2;
    if (kinds.marked()) {
        // A kind without a name prints as the runtime library prints a null text.
        TextLine line;
        line.add(" %s for series with %s ", kinds.taskName ? kinds.taskName : "(null)",
                 kinds.seriesName ? kinds.seriesName : "(null)");
        surface.textOut(l.x0, y, line.str());
        y += l.lh + 1;
    }
    TextLine parameters;
    parameters.add(" series length %d, ", static_cast<int>(header.dwSeriesSize));
    parameters.add("Tmin=%d, Tmax=%d, ", header.wTmin, header.wTmax);
    parameters.add(" amplitude %d, noise level %d, allN/S %.3g,  N/S %.3g", amplitude,
                   header.wNoiseLevel, energies.allNS, energies.NS);
    surface.textOut(l.x0, y, parameters.str());
    y += l.lh;

    TextLine counts;
    counts.add(" pulses number %d [%d-%d], length %d", header.wImpulseQuantity, header.wMinPulses,
               header.wMaxPulses, header.wImpulseSize);
    if (kinds.marked() && kinds.cutOff())
        counts.add(", saved energy level for making/processing %d/%d", kinds.createLevel,
                   kinds.processLevel);
    surface.textOut(l.x0, y, counts.str());
    y += l.lh;

    TextLine pulses;
    addPulses(pulses, s, withNames, kinds.cutOff());
    surface.textOut(l.x0, y, pulses.str());
}

void drawResultText(Surface& surface, const SeriesLayout& l, const RunKinds& kinds,
                    const engine::ChainsHeader* chains, const series::SeriesHeader& header,
                    bool withNames) {
    const SeriesAccess s(header);
    int32_t y = l.resultTop;

    TextLine found;
    found.add("Detected %d", header.wDetectedQuantity);
    if (header.wDetectedQuantity != header.wImpulseQuantity)
        found.add(" (%d)", header.wImpulseQuantity);
    found.add(header.wDetectedQuantity == 1 ? " pulse" : " pulses");
    found.add(": ");
    if (kinds.tupleMode())
        addDetectedTuples(found, s, withNames, kinds.cutOff());
    else
        addDetectedList(found, s, withNames, kinds.cutOff());
    surface.textOut(l.x0, y, found.str());
    y += l.lh;

    TextLine error;
    error.add("Restore Error %d. ", restorationErrorOf(chains, header));
    surface.textOut(l.x0, y, error.str());
    y += l.lh;

    if (chains != nullptr)
        drawChainTable(surface, l, kinds, *chains, header, withNames, y);
}

}  // namespace render
