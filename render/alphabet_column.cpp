#include "series_boxes.h"
#include "text_line.h"

namespace render {

void drawAlphabetColumn(Surface& surface, const SeriesLayout& l, const RunKinds& kinds,
                        const engine::ChainsHeader* chains, const series::SeriesHeader& header,
                        uint16_t requiredCount, const uint16_t* requiredList, int32_t amplitude) {
    const SeriesAccess s(header);
    const int32_t left = l.alphabetBoxLeft;
    const int32_t top = l.alphabetBoxTop;
    surface.rectangle(left, top, left + l.alphabetBoxWidth + 1, top + l.alphabetBoxHeight + 1);

    TextLine caption;
    if (l.alphabetBoxWidth < 100)
        caption.add(" Alph: %d ", requiredCount);
    else if (requiredCount == 1)
        caption.add(" Alphabet, %d item ", requiredCount);
    else
        caption.add(" Alphabet, %d items ", requiredCount);
    surface.textOut(left + 7, top - l.gapY, caption.str());

    if (requiredList == nullptr || l.alphabetRows <= 0)
        return;
    // The recognised etalon of a recognition run. It is compared with the etalon each cell
    // shows, so that a required list other than 1, 2, 3, ... marks the right cell.
    const int32_t recognised =
        kinds.taskKind == 2 && chains != nullptr ? ChainsAccess(*chains).firstEtalon(0) : -1;
    for (int32_t k = 0; k < requiredCount; ++k) {
        const series::PulseHeader* etalon = s.etalon(requiredList[k]);
        if (etalon == nullptr)
            continue;
        const int32_t row = k % l.alphabetRows;
        const int32_t column = k / l.alphabetRows;
        const int32_t x = left + l.marginX + column * (l.alphabetCellWidth + 2 * l.marginX);
        const int32_t y = top + l.gapY + row * (l.alphabetCellHeight + l.halfGapY + l.lh);
        const Rect cell{x, y, x + l.alphabetCellWidth, y + l.alphabetCellHeight};
        const int highlight = recognised == requiredList[k] ? 1 : 0;
        drawEtalonCell(surface, *etalon, amplitude, highlight, cell, l.lh);
    }
}

}  // namespace render
