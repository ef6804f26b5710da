#pragma once
// Where the simulation graphs place their blocks in the work area. The alphabet panel stands at
// the upper right as on the series screen; left of it, from the top: the caption block, the
// information lines, then the pattern panel at the left margin with the graph beside it (or the
// graph alone). The graph's part holds the formula and font lines above the box, the value
// labels left of it, the curve labels right of it and the noise labels under it. Caption lines
// too long for their width are broken at blanks. Every rectangle here is inclusive.

#include <cstdint>
#include <string>
#include <vector>

#include "screen_layout.h"
#include "surface.h"

namespace render {

struct PlacedText {
    int32_t x = 0;
    int32_t y = 0;
    std::string text;
};

// The alphabet panel, sized as the series view's alphabet column.
struct AlphabetPanelLayout {
    int32_t left = 0, top = 0, width = 0, height = 0;  // box, outlined to left + width + 1
    int32_t cellWidth = 0, cellHeight = 0, rows = 0;
    int32_t marginX = 0, gapY = 0, halfGapY = 0;
    PlacedText caption;
    // The cell of list place i (column i / rows, row i mod rows).
    Rect cell(int32_t i, int32_t lineHeight) const;
};

// The pattern panel by the pattern-tuple box rules: one row of the subset, or one row per tuple.
struct PatternPanelLayout {
    bool shown = false;
    bool tuples = false;  // one row per stored tuple
    int32_t left = 0, top = 0, width = 0,
            height = 0;  // outlined from top - lh/4 + 1 to top + height
    int32_t itemWidth = 0, itemHeight = 0, padX = 0, padY = 0;
    int32_t rowsShown = 0;  // rows that fit; the others are not drawn
    PlacedText caption;
    // Item c of row r (r = 0 for the single row).
    Rect cell(int32_t r, int32_t c, int32_t lineHeight) const;
    // The row's rectangle for the mouse handling.
    Rect rowRect(int32_t r) const;
    int32_t rowTop(int32_t r) const;
};

struct GraphBoxLayout {
    int32_t left = 0, top = 0, width = 0, height = 0;  // box: bottom = top + height
    int32_t dx = 2;                                    // pixels per noise level, even
    int32_t gridStep = 4;                              // height / 10, a multiple of 4
    std::vector<PlacedText> valueLabels;               // six, bottom to top
    std::vector<int32_t> labelledLevels;  // noise levels with a label (every fourth or more)
    std::vector<PlacedText> noiseLabels;
    PlacedText sigma;           // "s" after the last noise label
    int32_t curveLabelGap = 3;  // a curve label starts this far right of its last point
    int32_t labelHeight = 0;    // text height in the label font
    int32_t bottom() const { return top + height; }
    int32_t right() const { return left + width; }
};

// What the layout needs to know about the contents.
struct GraphLayoutInput {
    Rect workArea;
    int32_t lineHeight = 0;
    uint16_t requiredCount = 0;
    std::vector<std::string> captionLines;  // the caption block, unbroken
    std::vector<std::string> infoLines;     // after the caption block's blank line
    bool pattern = false;                   // a pattern panel is drawn
    bool patternTuples = false;             // one row per tuple (else one row)
    int32_t patternRows = 0;
    int32_t patternItems = 0;  // the longest row
    std::string formula;       // may be empty
    uint16_t levels = 0;       // L
    std::vector<int16_t> noiseLevels;
    std::vector<std::string> curveLabels;
    int64_t axisTop = 500;
};

struct SimulationGraphLayout {
    Font formulaFont;  // Symbol, weight 408
    Font labelFont;    // Symbol, weight 408; the axis and curve labels
    int32_t obtainedLabelHeight = 0;
    std::vector<PlacedText> captionLines;
    std::vector<PlacedText> infoLines;
    AlphabetPanelLayout alphabet;
    PatternPanelLayout pattern;
    PlacedText formula;   // in formulaFont; empty text: none
    PlacedText fontLine;  // " %d -> %d" in labelFont
    GraphBoxLayout box;

    // The placed blocks, for the no-overlap check: caption block, information lines, alphabet
    // panel, pattern panel, formula line, font line, graph with its labels.
    struct Block {
        const char* name;
        Rect rect;
    };
    std::vector<Block> blocks;
};

// Lays the graphs out, measuring texts on `surface` with the font selected at the call (the
// text font) and the two Symbol fonts; the selected font is left as it was.
SimulationGraphLayout layoutSimulationGraphs(Surface& surface, const GraphLayoutInput& input);

// Breaks `text` at blanks into lines no wider than `width` (a word wider than that is cut).
std::vector<std::string> breakLine(Surface& surface, const std::string& text, int32_t width);

}  // namespace render
