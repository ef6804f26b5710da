#include "simulation_graph_layout.h"

#include <algorithm>

#include "simulation_graph_captions.h"

namespace render {

namespace {

// A rectangle grown to hold others; empty until the first one.
struct Bounds {
    bool any = false;
    Rect r;
    void add(const Rect& x) {
        if (!any) {
            r = x;
            any = true;
            return;
        }
        r.left = std::min(r.left, x.left);
        r.top = std::min(r.top, x.top);
        r.right = std::max(r.right, x.right);
        r.bottom = std::max(r.bottom, x.bottom);
    }
};

Rect textRect(Surface& s, const PlacedText& t) {
    const Size e = s.textExtent(t.text);
    return Rect{t.x, t.y, t.x + e.cx - 1, t.y + e.cy - 1};
}

// The Symbol font heights: (work-area height + add) / by, or lh + 2 when that is not above lh.
int32_t symbolHeight(int32_t areaHeight, int32_t add, int32_t by, int32_t lh) {
    const int32_t h = (areaHeight + add) / by;
    return h <= lh ? lh + 2 : h;
}

// The extent of an etalon cell as drawEtalonCell draws it: its letter, the plot below it, the
// zero line 5 pixels beyond the right edge and a highlight one more pixel round it.
Rect etalonCellExtent(const Rect& cell, int32_t lh) {
    const int32_t h = cell.bottom - cell.top;
    return Rect{cell.left - 3, cell.top, cell.right + 6, cell.top + 1 + lh + lh / 4 + h + 1};
}

}  // namespace

Rect AlphabetPanelLayout::cell(int32_t i, int32_t lh) const {
    const int32_t c = rows > 0 ? i / rows : 0, r = rows > 0 ? i % rows : 0;
    const int32_t x = left + marginX + c * (cellWidth + 2 * marginX);
    const int32_t y = top + gapY + r * (cellHeight + halfGapY + lh);
    return Rect{x, y, x + cellWidth, y + cellHeight};
}

int32_t PatternPanelLayout::rowTop(int32_t r) const {
    return tuples ? top + padY / 2 + r * (itemHeight + padY) : top + padY;
}

Rect PatternPanelLayout::cell(int32_t r, int32_t c, int32_t lh) const {
    const int32_t x = left + padX + c * (itemWidth + padX);
    const int32_t y = rowTop(r);
    return Rect{x + padX, y - padY - 1, x + itemWidth - 2 * padX, y + itemHeight - 2 * padY - lh};
}

Rect PatternPanelLayout::rowRect(int32_t r) const {
    const int32_t y = rowTop(r);
    return Rect{left + padX, y, left + padX + width, y + itemHeight + padY};
}

std::vector<std::string> breakLine(Surface& s, const std::string& text, int32_t width) {
    std::vector<std::string> lines;
    std::string rest = text;
    while (width > 0 && s.textExtent(rest).cx > width &&
           rest.find_first_not_of(' ') != std::string::npos) {
        size_t cut = std::string::npos;
        for (size_t p = 1; p < rest.size(); ++p)
            if (rest[p] == ' ' && rest[p - 1] != ' ' && s.textExtent(rest.substr(0, p)).cx <= width)
                cut = p;
        if (cut == std::string::npos) {
            cut = 1;
            while (cut + 1 < rest.size() && s.textExtent(rest.substr(0, cut + 1)).cx <= width)
                ++cut;
        }
        lines.push_back(rest.substr(0, cut));
        rest = rest.substr(cut);
    }
    lines.push_back(rest);
    return lines;
}

SimulationGraphLayout layoutSimulationGraphs(Surface& s, const GraphLayoutInput& in) {
    SimulationGraphLayout out;
    const Rect& wa = in.workArea;
    const int32_t lh = in.lineHeight;
    const int32_t W = wa.right - wa.left + 1, H = wa.bottom - wa.top + 1;
    out.formulaFont = Font{FontFace::Symbol, symbolHeight(H, 12, 25, lh), 408};
    out.labelFont = Font{FontFace::Symbol, symbolHeight(H, 11, 22, lh), 408};

    // The alphabet panel, as the series view's alphabet column.
    AlphabetPanelLayout& a = out.alphabet;
    a.marginX = 12 * W / 1000;
    a.gapY = (15 * H + 500) / 1000;
    a.halfGapY = (15 * H + 1000) / 2000;
    a.cellWidth = 50 * W / 1000;
    a.width = 2 * (a.cellWidth + 2 * a.marginX) + a.marginX / 2;
    a.left = wa.right - a.width - a.marginX + 1;
    a.top = wa.top + a.gapY + lh / 2;
    const int32_t space = wa.bottom - a.top - (lh + lh / 4 - 3);
    a.rows = (in.requiredCount + 1) / 2;
    a.cellHeight = (space - 2 * a.gapY) / 8 - (a.halfGapY + lh);
    const int32_t naturalCellHeight = a.cellHeight;
    a.height = (a.cellHeight + a.halfGapY + lh) * a.rows + 2 * a.gapY;
    if (a.height > space && a.rows > 0) {
        a.cellHeight = (space - 2 * a.gapY) / a.rows - (a.halfGapY + lh);
        a.height = space;
    }
    a.caption = {a.left + 7, a.top - a.gapY, alphabetCaption(in.requiredCount, a.width)};
    {
        Bounds b;
        b.add(textRect(s, a.caption));
        b.add(Rect{a.left, a.top, a.left + a.width + 1, a.top + a.height + 1});
        for (int32_t i = 0; i < in.requiredCount; ++i)
            b.add(etalonCellExtent(a.cell(i, lh), lh));
        out.blocks.push_back({"alphabet panel", b.r});
    }

    // The text column left of it.
    const int32_t x0 = wa.left + 10;
    const int32_t contentRight = a.left - a.marginX - 1;
    const int32_t contentWidth = contentRight - x0 + 1;
    const int32_t step = lh + 1;
    int32_t y = wa.top + lh / 2;
    {
        Bounds b;
        for (const std::string& item : in.captionLines) {
            for (std::string& line : breakLine(s, item, contentWidth)) {
                PlacedText t{x0, y, std::move(line)};
                if (!t.text.empty())
                    b.add(textRect(s, t));
                out.captionLines.push_back(std::move(t));
                y += step;
            }
        }
        if (b.any)
            out.blocks.push_back({"caption block", b.r});
    }
    y += step;
    {
        Bounds b;
        for (const std::string& line : in.infoLines) {
            PlacedText t{x0, y, line};
            if (!t.text.empty()) {
                b.add(textRect(s, t));
                out.infoLines.push_back(std::move(t));
            }
            y += step;
        }
        if (b.any)
            out.blocks.push_back({"information lines", b.r});
    }
    const int32_t sectionTop = y + lh / 2;
    const int32_t bottomLimit = wa.bottom - 2;

    // The label font's measures, needed for the graph's share of the height.
    int32_t labelHeight, formulaHeight = 0, formulaWidth = 0;
    {
        ScopedFont f(s, out.labelFont);
        labelHeight = s.textExtent("0").cy;
        out.obtainedLabelHeight = s.textMetrics().height;
    }
    if (!in.formula.empty()) {
        ScopedFont f(s, out.formulaFont);
        const Size e = s.textExtent(in.formula);
        formulaHeight = e.cy;
        formulaWidth = e.cx;
    }
    // The least height of the graph's part: the formula row and a box of 80 pixels with labels.
    const int32_t graphLeast =
        std::max(formulaHeight, labelHeight) + 1 + labelHeight / 2 + 2 + 80 + labelHeight + 4;

    // The pattern panel: a column of tuple rows beside the graph, or one row above it.
    int32_t graphLeft = x0, graphTop = sectionTop;
    PatternPanelLayout& p = out.pattern;
    if (in.pattern && in.patternItems > 0 && (!in.patternTuples || in.patternRows > 0)) {
        p.shown = true;
        p.tuples = in.patternTuples;
        p.caption.text = p.tuples ? " pattern tuples " : " pattern tuple ";
        const Size caption = s.textExtent(p.caption.text);
        const int32_t th = caption.cy, tw = caption.cx;
        p.top = sectionTop + th / 2 + th / 4;
        const int32_t m = in.patternItems;
        const int32_t rows = p.tuples ? in.patternRows : 1;
        int32_t available, budget;
        if (p.tuples) {
            p.padY = (a.gapY >> 3) + 1;
            p.padX = (a.marginX >> 3) + 1;
            p.itemWidth = a.cellWidth;
            p.itemHeight = ((naturalCellHeight + 2 * p.padY + lh) * 8 + 5) / 9;
            available = contentWidth / 3;
            budget = bottomLimit - p.top;
        } else {
            p.padY = (a.gapY >> 2) + 1;
            p.padX = (a.marginX >> 2) + 1;
            p.itemWidth = a.cellWidth + 2 * p.padX;
            p.itemHeight = naturalCellHeight + 2 * p.padY + lh;
            available = contentWidth;
            budget = bottomLimit - p.top - graphLeast;
        }
        p.width = (p.itemWidth + p.padX) * m + p.padX + 1;
        if (p.width > available) {
            p.width = available;
            p.itemWidth = (p.width - p.padX - 1) / m - p.padX;
            p.width = (p.itemWidth + p.padX) * m + p.padX + 1;
        }
        if (p.width < tw + 20)
            p.width = tw + 20;
        // Rows lower than the room allows, down to cells of a letter and a flat trace; rows that
        // do not fit even then are left out.
        const int32_t rowPad = p.tuples ? p.padY : 2 * p.padY;
        const int32_t least = lh + p.padY + 3;
        const auto heightFor = [&](int32_t n) { return (p.itemHeight + p.padY) * n + p.padY; };
        p.rowsShown = rows;
        if (!p.tuples) {
            if (p.itemHeight + rowPad > budget)
                p.itemHeight = std::max(least, budget - rowPad);
            p.height = p.itemHeight + rowPad;
        } else {
            if (heightFor(rows) > budget)
                p.itemHeight = std::max(least, (budget - p.padY) / rows - p.padY);
            while (p.rowsShown > 0 && heightFor(p.rowsShown) > budget)
                --p.rowsShown;
            p.height = heightFor(p.rowsShown);
        }
        p.left = x0;
        p.caption.x = p.left + p.width - tw - 10;
        p.caption.y = p.top - (th / 2 + th / 4);
        Bounds b;
        b.add(textRect(s, p.caption));
        b.add(Rect{p.left, p.top - lh / 4 + 1, p.left + p.width, p.top + p.height});
        for (int32_t r = 0; r < p.rowsShown; ++r)
            b.add(etalonCellExtent(p.cell(r, m - 1, lh), lh));
        out.blocks.push_back({"pattern panel", b.r});
        if (p.tuples)
            graphLeft = b.r.right + 2 * a.marginX + 10;
        else
            graphTop = b.r.bottom + lh / 2;
    }

    // The formula and font lines above the graph box.
    const int32_t graphRight = contentRight;
    int32_t rowBottom = graphTop - 1;
    if (!in.formula.empty()) {
        out.formula = {graphLeft, graphTop, in.formula};
        out.blocks.push_back(
            {"formula line", Rect{graphLeft, graphTop, graphLeft + formulaWidth - 1,
                                  graphTop + formulaHeight - 1}});
        rowBottom = graphTop + formulaHeight - 1;
    }
    {
        ScopedFont f(s, out.labelFont);
        out.fontLine.text = " " + std::to_string(out.labelFont.height) + " -> " +
                            std::to_string(out.obtainedLabelHeight);
        const Size e = s.textExtent(out.fontLine.text);
        out.fontLine.x = graphRight - e.cx + 1;
        out.fontLine.y = graphTop;
        if (!in.formula.empty() && graphLeft + formulaWidth + 12 > out.fontLine.x) {
            out.fontLine.x = graphLeft;
            out.fontLine.y = rowBottom + 2;
        }
        const Rect r = textRect(s, out.fontLine);
        out.blocks.push_back({"font line", r});
        rowBottom = std::max(rowBottom, r.bottom);
    }

    // The graph box with its labels, in the label font.
    ScopedFont f(s, out.labelFont);
    GraphBoxLayout& g = out.box;
    g.labelHeight = labelHeight;
    int32_t valueWidth = 0;
    std::vector<std::string> values;
    for (int32_t i = 0; i <= 5; ++i) {
        values.push_back(valueLabel(i, in.axisTop));
        valueWidth = std::max(valueWidth, s.textExtent(values.back()).cx);
    }
    int32_t curveWidth = 0;
    for (const std::string& label : in.curveLabels)
        curveWidth = std::max(curveWidth, s.textExtent(label).cx);
    int32_t noiseWidth = 0;
    for (int16_t sigma : in.noiseLevels)
        noiseWidth = std::max(noiseWidth, s.textExtent(noiseLabel(sigma)).cx);
    const int32_t blank = s.textExtent(" ").cx;
    const int32_t sigmaWidth = s.textExtent("s").cx;

    g.left = graphLeft + valueWidth + 6;
    g.top = rowBottom + 1 + labelHeight / 2 + 2;
    const int32_t noiseGap = labelHeight / 2 + 3;
    const int32_t lowest = bottomLimit - labelHeight + 1 - noiseGap;
    g.height = std::max(40, (lowest - g.top) / 40 * 40);
    g.gridStep = g.height / 10;
    const int32_t reserve = std::max(curveWidth ? g.curveLabelGap + curveWidth + 1 : 2,
                                     noiseWidth / 2 + blank + sigmaWidth + 2);
    const int32_t spans = std::max<int32_t>(in.levels - 1, 1);
    g.dx = std::max(2, (graphRight - reserve - g.left) / (2 * spans) * 2);
    g.width = spans * g.dx;

    Bounds b;
    b.add(Rect{g.left - 1, g.top - 1, g.right() + 1, g.bottom() + 1});
    for (int32_t i = 0; i <= 5; ++i) {
        const int32_t w = s.textExtent(values[size_t(i)]).cx;
        g.valueLabels.push_back(
            {g.left - 5 - w, g.bottom() - 2 * i * g.gridStep - labelHeight / 2, values[size_t(i)]});
        b.add(textRect(s, g.valueLabels.back()));
    }
    if (curveWidth)
        b.add(Rect{g.right() + g.curveLabelGap, g.top - labelHeight / 2,
                   g.right() + g.curveLabelGap + curveWidth - 1,
                   g.bottom() + 1 + labelHeight - labelHeight / 2});
    // Every fourth level is labelled, or every eighth, twelfth, ... when the labels would touch.
    int32_t every = 4;
    while (every * g.dx < noiseWidth + blank && every < 65536)
        every += 4;
    const int32_t noiseTop = g.bottom() + noiseGap;
    int32_t lastRight = g.left;
    for (int32_t k = 0; k < in.levels && k < int32_t(in.noiseLevels.size()); k += every) {
        const std::string text = noiseLabel(in.noiseLevels[size_t(k)]);
        const int32_t w = s.textExtent(text).cx;
        const size_t digits = text.find_first_not_of(' ');
        const int32_t dw = s.textExtent(text.substr(digits == std::string::npos ? 0 : digits)).cx;
        const int32_t x = g.left + k * g.dx;
        g.labelledLevels.push_back(k);
        g.noiseLabels.push_back({x + dw / 2 - w, noiseTop, text});
        const Rect r = textRect(s, g.noiseLabels.back());
        b.add(r);
        lastRight = r.right;
    }
    g.sigma = {lastRight + 1 + blank, noiseTop, "s"};
    b.add(textRect(s, g.sigma));
    out.blocks.push_back({"graph", b.r});
    return out;
}

}  // namespace render
