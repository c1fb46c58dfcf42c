// Move ordering: the hint tables, the history table, the per-search reset and
// the sort that puts the best-scored move last, where the move loop starts.
#include <cstring>
#include <utility>

#include "search/search.h"

namespace kelpin {

ZugEintrag killer[EBENEN][4];
PlyKiller plykiller[EBENEN];
ZugEintrag oldhvar[EBENEN];
int32_t history_heuristic[EBENEN][65][65];
int16_t faktor = 1000;
int32_t historywrites = 1;

void InitSearch() {
    memset(zug, 0, sizeof zug);
    memset(plykiller, 0, sizeof plykiller);
    historywrites = 1;
    checkextensions = 0;
    schachext = 0;
    sel_gipfel = 0;
    for (int t = 1; t < EBENEN; ++t)
        for (int von = 1; von <= 64; ++von)
            for (int nach = 1; nach <= 64; ++nach) history_heuristic[t][von][nach] = 1;
}

// Quicksort, ascending by sortwert. A two-entry range whose lower entry takes
// a king raises GeschKonig and stays as it is: the node is decided anyway.
// Ties keep whatever order this exact procedure leaves, and the search's
// result depends on it, so the partitioning must not be "improved".
void qmoveorder(int tiefe, int lo, int hi) {
    ZugEintrag* z = zug[tiefe];
    while (lo < hi) {
        if (hi == lo + 1) {
            if (z[lo].geschlagen == wkonig || z[lo].geschlagen == skonig) {
                GeschKonig = 1;
                return;
            }
            if (z[hi].sortwert < z[lo].sortwert) std::swap(z[lo], z[hi]);
            return;
        }
        const int m = (lo + hi) / 2;
        const int32_t p = z[m].sortwert;
        std::swap(z[m], z[hi]);
        int i = lo;
        int j = hi - 1;
        for (;;) {
            while (i <= j && z[i].sortwert <= p) ++i;
            while (j >= i && z[j].sortwert > p) --j;
            if (i >= j) break;
            std::swap(z[i], z[j]);
        }
        std::swap(z[i], z[hi]);
        qmoveorder(tiefe, lo, i - 1);
        lo = i + 1;
    }
}

}  // namespace kelpin
