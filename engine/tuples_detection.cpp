// Tuple recognition with an unknown number of pulses: for every tuple a cyclic layered pass (one
// layer per member, the layer after the last member being the first again) over the admissible
// starts, the tuple of the cheapest chain recognised.

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "platform/allocation.h"
#include "position_set.h"
#include "procedures.h"
#include "tuples_common.h"

namespace engine {

namespace {

using tuples::addWrap;
using tuples::kUnreached;

constexpr const char* kListingTitle = " About TuplesDetection ";

// A set derived from `a` with room for any result of combining it with `b`; null when `a` is
// absent or storage failed (the class of positions is then empty).
PositionSetPtr copyWithRoom(platform::Window& window, const PositionSet* a, const PositionSet* b) {
    if (a == nullptr)
        return nullptr;
    const uint32_t room = uint32_t{a->wCount} + (b ? b->wCount : 0u) + 1u;
    PositionSetPtr s =
        getPositionSet(window, nullptr, static_cast<uint16_t>(std::min<uint32_t>(room, 65535u)));
    if (s)
        addSet(window, s.get(), a);
    return s;
}

// The working tables of one tuple: per layer cost, back pointer, etalon index and visible range,
// each of W positions.
struct LayerTables {
    int32_t A = 0;
    int32_t W = 0;
    int32_t** rows = nullptr;  // 5 rows per layer
    int32_t* cost(int32_t t) const { return rows[5 * t]; }
    int32_t* back(int32_t t) const { return rows[5 * t + 1]; }
    int32_t* etalon(int32_t t) const { return rows[5 * t + 2]; }
    int32_t* first(int32_t t) const { return rows[5 * t + 3]; }
    int32_t* last(int32_t t) const { return rows[5 * t + 4]; }
};

void appendIntervals(std::string& text, const PositionSet* set) {
    if (set == nullptr)
        return;
    for (uint16_t i = 0; i < set->wCount; ++i) {
        text.append(" [").append(std::to_string(set->lpLow[i])).append("..");
        text.append(std::to_string(set->lpHigh[i])).append("] ");
    }
}

// One mark per position of the set for layer t: " +" for a cost that is not negative, the cost
// itself where a negative cost is the smallest of the set, " -" for other negative costs; each
// followed by the back pointer in brackets when that is a position.
void appendMarks(std::string& text, const PositionSet* set, const LayerTables& tables, int32_t t) {
    const int32_t* cost = tables.cost(t);
    const int32_t* back = tables.back(t);
    bool any = false;
    int32_t smallest = 0;
    forEachPosition(set, [&](uint16_t w) {
        if (w >= tables.W)
            return;
        if (!any || cost[w] < smallest)
            smallest = cost[w];
        any = true;
    });
    forEachPosition(set, [&](uint16_t w) {
        if (w >= tables.W)
            return;
        if (cost[w] >= 0)
            text += " +";
        else if (cost[w] == smallest)
            text.append(" ").append(std::to_string(cost[w]));
        else
            text += " -";
        if (back[w] >= 0)
            text.append("[").append(std::to_string(back[w])).append("]");
    });
}

}  // namespace

// Tuples of no members, or without a member list, have no chain (cost 999999999, no pulses).
// When no pulse can start where a chain is continued (Tmin 0), the windows are scanned literally.
int32_t TuplesDetection(platform::Window& window, const series::Alphabet& alphabet,
                        const int32_t* lengths, const int32_t* const* rows, int32_t T,
                        uint16_t /*proceeding*/, uint16_t Tmin, uint16_t Tmax, uint16_t savedLevel,
                        ChainsHeader* chains, series::SeriesHeader& header, int32_t* debugRepeat) {
    if (lengths == nullptr || rows == nullptr || alphabet.empty())
        T = 0;
    T = std::max(T, 0);
    const int32_t W = tuples::startCount(header);
    const int32_t Kmax = std::min(header.wMaxPulses, header.wPulsesCapacity);
    const int32_t len = header.wImpulseSize;
    int32_t longest = 0;
    for (int32_t k = 0; k < T; ++k)
        longest = std::max(longest, lengths[k]);
    const int32_t layersMax = std::min(longest, Kmax);

    // Row handles for the members' energies and five tables per layer, then one block for the
    // layer tables and the chains being built (current and best: starts, etalons, visible
    // ranges; room for the fragment bounds is kept as laid out).
    std::unique_ptr<int32_t*[]> handles;
    try {
        handles = platform::allocateArray<int32_t*>(static_cast<size_t>(longest) +
                                                    5 * static_cast<size_t>(layersMax) + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для EtalonsPartialEnergy!", "");
        return 0;
    }
    std::unique_ptr<int32_t[]> block;
    const size_t tableCells = 5 * static_cast<size_t>(layersMax) * static_cast<size_t>(W);
    try {
        block = platform::allocateArray<int32_t>(tableCells + 12 * static_cast<size_t>(Kmax) + 1);
    } catch (const std::bad_alloc&) {
        handles.reset();
        window.messageBox("Нет памяти для G_on_layers!", "");
        return 0;
    }
    LayerTables tables;
    tables.W = W;
    tables.rows = handles.get() + longest;
    for (int32_t r = 0; r < 5 * layersMax; ++r)
        tables.rows[r] = block.get() + static_cast<size_t>(r) * static_cast<size_t>(W);
    int32_t* results = block.get() + tableCells;
    auto resultRow = [&](int32_t i) { return results + static_cast<size_t>(i) * Kmax; };
    int32_t *curStart = resultRow(0), *curEtalon = resultRow(1), *curFirst = resultRow(2),
            *curLast = resultRow(3);
    int32_t *bestStart = resultRow(4), *bestEtalon = resultRow(5), *bestFirst = resultRow(6),
            *bestLast = resultRow(7);
    std::vector<int16_t> fragFirst(static_cast<size_t>(Kmax) + 1),
        fragLast(static_cast<size_t>(Kmax) + 1);
    std::vector<int16_t> bestFragFirst(fragFirst.size()), bestFragLast(fragLast.size());

    if (chains)
        tuples::resetChains(*chains, 0, 0, header.wMaxPulses);

    OmegaSets omega = buildOmegaSets(window, header);
    PositionSetPtr minusOnly =
        copyWithRoom(window, omega.omega_minus.get(), omega.omega_tilda.get());
    removeSet(window, minusOnly.get(), omega.omega_tilda.get());
    PositionSetPtr both = copyWithRoom(window, omega.omega_minus.get(), omega.omega_tilda.get());
    if (both && !omega.omega_tilda)
        both->wCount = 0;  // an absent set is an empty class
    intersectSets(window, both.get(), omega.omega_tilda.get());
    PositionSetPtr tildaOnly =
        copyWithRoom(window, omega.omega_tilda.get(), omega.omega_minus.get());
    removeSet(window, tildaOnly.get(), omega.omega_minus.get());

    tuples::FitCache fits(alphabet, header.lpNoisyData, W, header.wImpulseSize, savedLevel);
    std::vector<tuples::WindowMinimum> windows;
    windows.reserve(static_cast<size_t>(layersMax));
    for (int32_t t = 0; t < layersMax; ++t)
        windows.emplace_back(static_cast<size_t>(W) + 1);
    std::vector<int32_t> pushNext(static_cast<size_t>(layersMax), 0);
    std::vector<int32_t> members(static_cast<size_t>(layersMax), 0);
    const bool listing = debugRepeat != nullptr && *debugRepeat == 1;

    int32_t bestCost = kUnreached;
    int32_t recognized = 0;
    int32_t bestPulses = 0;
    int32_t bestFragments = 0;
    std::vector<ChainPulse> offered;

    for (int32_t k = 0; k < T; ++k) {
        const int32_t Mk = lengths[k];
        const int32_t A = (rows[k] != nullptr) ? std::clamp(Mk, 0, Kmax) : 0;
        tables.A = A;
        int32_t tupleCost = kUnreached;
        int32_t found = 0;
        if (A > 0 && W > 0) {
            for (int32_t t = 0; t < A; ++t) {
                members[t] = tuples::etalonIndexOf(rows[k][t], alphabet.size());
                std::fill(tables.cost(t), tables.cost(t) + W, kUnreached);
                std::fill(tables.back(t), tables.back(t) + W, kUnreached);
                std::fill(tables.etalon(t), tables.etalon(t) + W, 0);
                std::fill(tables.first(t), tables.first(t) + W, 0);
                std::fill(tables.last(t), tables.last(t) + W, len - 1);
            }
            // Places member t + 1 at w and returns its fragment cost.
            auto place = [&](int32_t t, int32_t w) {
                const LocalFit& fit = fits.at(members[t], w);
                tables.etalon(t)[w] = members[t];
                tables.first(t)[w] = fit.cutBegin;
                tables.last(t)[w] = fit.cutEnd;
                return fit.cost;
            };
            // The smallest cost below `limit` of layer `layer` over the starts w - Tmax .. w - Tmin
            // that are not negative, the lowest position on ties; position -1 when none.
            struct Found {
                int32_t value;
                int32_t position;
            };
            auto search = [&](int32_t layer, int32_t w, int32_t limit) -> Found {
                const int32_t* cost = tables.cost(layer);
                const int32_t hi = w - int32_t{Tmin};
                const int32_t lo = std::max(w - int32_t{Tmax}, 0);
                if (Tmin == 0) {
                    Found f{limit, -1};
                    for (int32_t c = lo; c <= hi; ++c)
                        if (cost[c] < f.value)
                            f = {cost[c], c};
                    return f;
                }
                // Every start below w is final for the current class of positions, so a window
                // minimum fed in ascending order returns what the scan would.
                tuples::WindowMinimum& wm = windows[layer];
                int32_t& next = pushNext[layer];
                for (; next <= hi; ++next)
                    wm.push(next, cost[next]);
                wm.dropBefore(lo);
                if (!wm.empty() && wm.value() < limit)
                    return {wm.value(), wm.position()};
                return {limit, -1};
            };
            auto restartWindows = [&] {
                for (int32_t t = 0; t < A; ++t)
                    windows[t].reset(), pushNext[t] = 0;
            };

            // Chain starts only.
            forEachPosition(minusOnly.get(), [&](uint16_t w) {
                if (w >= W)
                    return;
                tables.cost(0)[w] = place(0, w);
                tables.back(0)[w] = -1;
            });
            if (listing) {
                std::string text = "omega_minus - omega_tilda: ";
                appendIntervals(text, minusOnly.get());
                text += "\n";
                appendMarks(text, minusOnly.get(), tables, 0);
                text += "\n ";
                window.messageBox(text, kListingTitle);
            }

            // Starts or continuations: a predecessor is taken only when its cost is negative.
            restartWindows();
            forEachPosition(both.get(), [&](uint16_t w) {
                if (w >= W)
                    return;
                for (int32_t t = 0; t < A; ++t) {
                    const int32_t c = place(t, w);
                    const Found f = search((t + A - 1) % A, w, 0);
                    if (f.position >= 0) {
                        tables.cost(t)[w] = addWrap(f.value, c);
                        tables.back(t)[w] = f.position;
                    } else if (t == 0) {
                        tables.cost(t)[w] = c;
                        tables.back(t)[w] = -1;
                    } else {
                        tables.cost(t)[w] = kUnreached;
                        tables.back(t)[w] = -2;
                    }
                }
            });
            if (listing) {
                std::string text = "omega_minus x omega_tilda: ";
                appendIntervals(text, both.get());
                text += "\n";
                for (int32_t t = 0; t < A; ++t) {
                    text.append("l=").append(std::to_string(t + 1)).append("\n ");
                    appendMarks(text, both.get(), tables, t);
                    text += "\n ";
                }
                window.messageBox(text, kListingTitle);
            }

            // Continuations only: any predecessor below the sentinel. A position no chain reaches
            // stays at the sentinel: adding its fragment cost to the sentinel would let a negative
            // cost pull it below, and a chain could then begin where no first pulse may start.
            restartWindows();
            forEachPosition(tildaOnly.get(), [&](uint16_t w) {
                if (w >= W)
                    return;
                for (int32_t t = 0; t < A; ++t) {
                    const int32_t c = place(t, w);
                    const Found f = search((t + A - 1) % A, w, kUnreached);
                    tables.cost(t)[w] = f.position >= 0 ? addWrap(f.value, c) : kUnreached;
                    tables.back(t)[w] = f.position >= 0 ? f.position : -2;
                }
            });

            // End: the smallest cost below the sentinel over the last-pulse starts, first found.
            int32_t endPos = -1, endLayer = 0;
            forEachPosition(omega.omega_end.get(), [&](uint16_t w) {
                if (w >= W)
                    return;
                for (int32_t t = 0; t < A; ++t)
                    if (tables.cost(t)[w] < tupleCost)
                        tupleCost = tables.cost(t)[w], endPos = w, endLayer = t;
            });

            // Backtrack; a chain never holds more than Kmax pulses, as its starts are at least
            // Tmin apart inside 0 .. N - len, and the walk is bounded by that all the same.
            if (endPos >= 0) {
                int32_t pos = endPos, layer = endLayer;
                while (pos >= 0 && pos < W && found < Kmax) {
                    curStart[found] = pos;
                    curEtalon[found] = layer;
                    ++found;
                    pos = tables.back(layer)[pos];
                    layer = (layer + A - 1) % A;
                }
                std::reverse(curStart, curStart + found);
                std::reverse(curEtalon, curEtalon + found);
                for (int32_t i = 0; i < found; ++i) {
                    const int32_t t = curEtalon[i], w = curStart[i];
                    curEtalon[i] = tables.etalon(t)[w] + 1;
                    curFirst[i] = tables.first(t)[w];
                    curLast[i] = tables.last(t)[w];
                }
            }
        }
        const int32_t fragments =
            tuples::groupTuples(found, Mk, 0, fragFirst.data(), fragLast.data(), Kmax);

        if (tupleCost < bestCost) {
            bestCost = tupleCost;
            recognized = k + 1;
            bestPulses = found;
            std::copy(curStart, curStart + found, bestStart);
            std::copy(curEtalon, curEtalon + found, bestEtalon);
            std::copy(curFirst, curFirst + found, bestFirst);
            std::copy(curLast, curLast + found, bestLast);
            bestFragFirst = fragFirst;
            bestFragLast = fragLast;
            bestFragments = fragments;
        }
        if (chains) {
            offered.resize(static_cast<size_t>(found));
            for (int32_t i = 0; i < found; ++i)
                offered[i] = {static_cast<int16_t>(curStart[i]), static_cast<int16_t>(curEtalon[i]),
                              static_cast<int16_t>(curFirst[i]), static_cast<int16_t>(curLast[i])};
            offerChain(*chains, tupleCost, offered);
        }
    }

    std::vector<ChainPulse> result(static_cast<size_t>(bestPulses));
    for (int32_t i = 0; i < bestPulses; ++i)
        result[i] = {static_cast<int16_t>(bestStart[i]), static_cast<int16_t>(bestEtalon[i]),
                     static_cast<int16_t>(bestFirst[i]), static_cast<int16_t>(bestLast[i])};
    tuples::storeFindings(header, result, bestFragFirst.data(), bestFragLast.data(), bestFragments);
    header.wRecognizedSubset = static_cast<int16_t>(recognized);
    if (chains)
        chains->wSeekingPulsesQuantity = header.wDetectedQuantity;
    if (debugRepeat)
        *debugRepeat = 0;
    return recognized;
}

}  // namespace engine
