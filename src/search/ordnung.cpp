// Move ordering: the hint tables, the history table, the per-turn preparation
// and the sort that puts the best-scored move last, where the move loop starts.
#include <cstring>
#include <utility>

#include "eval/eval.h"
#include "search/search.h"

namespace kelpin {

ZugEintrag killer[EBENEN][4];
PlyKiller plykiller[EBENEN];
ZugEintrag oldhvar[EBENEN];
int32_t history_heuristic[EBENEN][65][65];
int16_t faktor = 1000;
int32_t historywrites = 1;
int16_t GeschKonig;

void InitSearch() {
    memset(zug, 0, sizeof zug);
    memset(plykiller, 0, sizeof plykiller);
    historywrites = 1;
    schachext = 0;
    sel_gipfel = 0;
    for (int t = 1; t < EBENEN; ++t)
        for (int von = 1; von <= 64; ++von)
            for (int nach = 1; nach <= 64; ++nach) history_heuristic[t][von][nach] = 1;
}

void suche_vorbereiten() {
    statistik = Statistik{};
    evals = 0;
    onerep_extended = 0;
    InitHash();
    InitStellung();
    InitSearch();
}

void hinweise_setzen(const ZugEintrag* zuege, int k, int oben) {
    for (int i = 0; i < k; ++i)
        if (const int ebene = oben - i; ebene >= 0 && ebene < EBENEN) oldhvar[ebene] = zuege[i];
}

void hinweise_vergessen() {
    memset(oldhvar, 0, sizeof oldhvar);
    memset(killer, 0, sizeof killer);
}

namespace {

// One partition step of the sort on entries lo ... hi (at least three): the
// middle entry's score is the pivot; returns the place the pivot ends on,
// with nothing above it scored lower and nothing below it scored higher.
// `hoeher(x, y)`: x scores more than y. The same steps serve the records and
// the keys below.
template <typename T, typename Hoeher>
int teilen(T* z, int lo, int hi, Hoeher hoeher) {
    const int m = (lo + hi) / 2;
    const T p = z[m];
    std::swap(z[m], z[hi]);
    int i = lo;
    int j = hi - 1;
    for (;;) {
        while (i <= j && !hoeher(z[i], p)) ++i;
        while (j >= i && hoeher(z[j], p)) --j;
        if (i >= j) break;
        std::swap(z[i], z[j]);
    }
    std::swap(z[i], z[hi]);
    return i;
}

constexpr auto hoeher_bewertet = [](const ZugEintrag& x, const ZugEintrag& y) { return x.sortwert > y.sortwert; };

// The search sorts keys, not records: a key is score x 256 + the record's
// entry number, so keys order like scores, and the low byte says where the
// record stands.
inline constexpr int PLATZBITS = 8;
inline constexpr int64_t PLATZMASKE = (1 << PLATZBITS) - 1;
static_assert(PLAETZE <= 1 << PLATZBITS);
constexpr auto hoeher_verschluesselt = [](int64_t x, int64_t y) { return (x >> PLATZBITS) > (y >> PLATZBITS); };

// The same partition step on keys, for ranges of up to 65 entries, without
// a branch per entry: which entries score above the pivot is one mask, and
// the steps above exchange the k-th of those from the left among the places
// that end below the pivot with the k-th entry from the right that does not
// score above it among the places that end above the pivot, until those run
// out; the pivot then goes to the first place above them.
int teilen_schluessel(int64_t* z, int lo, int hi) {
    const int laenge = hi - lo;  // entries lo ... hi - 1 besides the pivot
    if (laenge > 64) return teilen(z, lo, hi, hoeher_verschluesselt);
    const int m = (lo + hi) / 2;
    const int64_t p = z[m] >> PLATZBITS;
    std::swap(z[m], z[hi]);
    uint64_t hoeher = 0;
    int oben = 0;  // entries above the pivot
    for (int t = laenge - 1; t >= 0; --t) {
        const bool ueber = (z[lo + t] >> PLATZBITS) > p;
        hoeher = hoeher << 1 | static_cast<uint64_t>(ueber);
        oben += ueber;
    }
    const int unten = laenge - oben;  // entries not above the pivot
    const uint64_t unterhalb = unten == 64 ? ~uint64_t{0} : (uint64_t{1} << unten) - 1;
    const uint64_t alle = laenge == 64 ? ~uint64_t{0} : (uint64_t{1} << laenge) - 1;
    uint64_t links = hoeher & unterhalb;
    uint64_t rechts = ~hoeher & alle & ~unterhalb;
    for (; links != 0; links &= links - 1) {
        const int r = 63 - __builtin_clzll(rechts);
        std::swap(z[lo + __builtin_ctzll(links)], z[lo + r]);
        rechts &= ~(uint64_t{1} << r);
    }
    std::swap(z[lo + unten], z[hi]);
    return lo + unten;
}

// Per level: the keys, and the first places of the ranges still to be
// sorted, ascending, so the last one starts the range that holds the next
// place; the list's length, whether the keys are set up yet, and the entry
// that holds the highest score when no other entry has that score (else 0).
// Levels strictly fall along a path, so one set per level never serves two
// live nodes.
int64_t schluessel[EBENEN][PLAETZE];
int16_t anfaenge[EBENEN][PLAETZE + 1];
int16_t anfaenge_n[EBENEN];
int16_t laenge[EBENEN];
bool begonnen[EBENEN];
int16_t einziger_bester[EBENEN];
bool ganz_sortiert[EBENEN];  // every place final: the loop reads the keys as they stand

// Sorts list tiefe's keys until place k is final; the places above it are.
void platz_sortieren(int tiefe, int k) {
    int64_t* z = schluessel[tiefe];
    int16_t* const anfang = anfaenge[tiefe];
    int16_t& n = anfaenge_n[tiefe];
    for (;;) {
        // Ranges that start above k are sorted to their end.
        while (n > 0 && anfang[n - 1] > k) --n;
        if (n == 0) return;
        const int a = anfang[n - 1];
        if (a == k) return;
        if (k == a + 1) {
            if (hoeher_verschluesselt(z[a], z[k])) std::swap(z[a], z[k]);
            return;
        }
        // Below the pivot's place a range waits; the pivot's place is final
        // (a range of one) and the range above it holds k, unless the pivot
        // landed on k itself. A pivot on a keeps the range's own entry, so
        // the starts stay strictly ascending and never outnumber the places.
        const int i = teilen_schluessel(z, a, k);
        if (i > a) anfang[n++] = static_cast<int16_t>(i);
        if (i < k) anfang[n++] = static_cast<int16_t>(i + 1);
    }
}

inline bool nimmt_koenig(const ZugEintrag& m) { return m.geschlagen * m.geschlagen == wkonig * wkonig; }

// The whole sort's steps on the ranges of list tiefe that hold a king
// capture, the only ones that can raise the flag; a range without one is
// left to the place-by-place sort, which gives it the same order should the
// loop get there. Ranges and final places are entered ascending, as that
// sort expects them. True when the flag is raised: the rest is not sorted.
bool koenigsteile_sortieren(int tiefe, int lo, int hi) {
    int64_t* z = schluessel[tiefe];
    const ZugEintrag* liste = zug[tiefe];
    int16_t* const anfang = anfaenge[tiefe];
    int16_t& n = anfaenge_n[tiefe];
    while (lo <= hi) {
        bool koenig = false;
        for (int j = lo; j <= hi && !koenig; ++j) koenig = nimmt_koenig(liste[z[j] & PLATZMASKE]);
        if (lo == hi || !koenig) {
            anfang[n++] = static_cast<int16_t>(lo);
            return false;
        }
        if (hi == lo + 1) {
            if (nimmt_koenig(liste[z[lo] & PLATZMASKE])) return true;
            if (hoeher_verschluesselt(z[lo], z[hi])) std::swap(z[lo], z[hi]);
            anfang[n++] = static_cast<int16_t>(lo);
            anfang[n++] = static_cast<int16_t>(hi);
            return false;
        }
        const int i = teilen_schluessel(z, lo, hi);
        if (koenigsteile_sortieren(tiefe, lo, i - 1)) return true;
        anfang[n++] = static_cast<int16_t>(i);
        lo = i + 1;
    }
    return false;
}

// Lists up to this length are first sorted by straight insertion: when no two
// entries share a score the order is the only ascending one, which is what
// the whole sort gives; with a tie the keys are set up afresh for it.
inline constexpr int KURZE_LISTE = 10;

bool ohne_gleichstand_sortieren(int tiefe) {
    const ZugEintrag* liste = zug[tiefe];
    int64_t* z = schluessel[tiefe];
    const int n = laenge[tiefe];
    for (int i = 1; i <= n; ++i) {
        const int64_t neu = static_cast<int64_t>(liste[i].sortwert) * (1 << PLATZBITS) + i;
        int j = i - 1;
        for (; j >= 1 && hoeher_verschluesselt(z[j], neu); --j) z[j + 1] = z[j];
        if (j >= 1 && (z[j] >> PLATZBITS) == (neu >> PLATZBITS)) return false;
        z[j + 1] = neu;
    }
    return true;
}

// The keys of list tiefe in list order, one range still to sort.
void schluessel_aufstellen(int tiefe) {
    const ZugEintrag* liste = zug[tiefe];
    int64_t* z = schluessel[tiefe];
    for (int i = 1; i <= laenge[tiefe]; ++i) z[i] = static_cast<int64_t>(liste[i].sortwert) * (1 << PLATZBITS) + i;
    anfaenge[tiefe][0] = 1;
    anfaenge_n[tiefe] = 1;
    begonnen[tiefe] = true;
}

}  // namespace

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
            if (hoeher_bewertet(z[lo], z[hi])) std::swap(z[lo], z[hi]);
            return;
        }
        const int i = teilen(z, lo, hi, hoeher_bewertet);
        qmoveorder(tiefe, lo, i - 1);
        lo = i + 1;
    }
}

int ordnung_beginnen(int tiefe, int n) {
    // One pass: the top score, where it first stands and how often, and
    // whether a victim is a king (bit 0 or 12 of KOENIGE moved down by the
    // victim's code + 6, gathered into one word).
    constexpr unsigned KOENIGE = 1u | 1u << 12;
    const ZugEintrag* liste = zug[tiefe];
    unsigned koenige = 0;
    int bester = 1, gleich = 0;
    int32_t hoechster = n >= 1 ? liste[1].sortwert : 0;
    for (int i = 1; i <= n; ++i) {
        koenige |= KOENIGE >> (liste[i].geschlagen + 6);
        const int32_t w = liste[i].sortwert;
        if (w > hoechster) {
            hoechster = w;
            bester = i;
            gleich = 1;
        } else {
            gleich += w == hoechster;
        }
    }
    const bool koenigsschlag = koenige & 1;
    laenge[tiefe] = static_cast<int16_t>(n);
    einziger_bester[tiefe] = static_cast<int16_t>(gleich == 1 ? bester : 0);
    begonnen[tiefe] = ganz_sortiert[tiefe] = false;
    // Whether the whole sort would meet a king capture is known only once
    // the ranges that hold one are sorted: those are sorted now.
    if (koenigsschlag) {
        schluessel_aufstellen(tiefe);
        anfaenge_n[tiefe] = 0;
        if (koenigsteile_sortieren(tiefe, 1, n)) GeschKonig = 1;
        return 0;
    }
    return einziger_bester[tiefe];
}

int ordnung_platz(int tiefe, int k) {
    // A top score that no other entry shares goes to the top place whatever
    // the sort does with ties: many nodes end with their first move, and
    // theirs is never sorted. Once more is asked, the sort starts from the
    // list as generated and catches up with the places above.
    if (!begonnen[tiefe]) {
        if (k == laenge[tiefe] && einziger_bester[tiefe] != 0) return einziger_bester[tiefe];
        if (laenge[tiefe] <= KURZE_LISTE && ohne_gleichstand_sortieren(tiefe)) {
            begonnen[tiefe] = ganz_sortiert[tiefe] = true;
        } else {
            schluessel_aufstellen(tiefe);
            for (int oben = laenge[tiefe]; oben > k; --oben) platz_sortieren(tiefe, oben);
        }
    }
    if (!ganz_sortiert[tiefe]) platz_sortieren(tiefe, k);
    return static_cast<int>(schluessel[tiefe][k] & PLATZMASKE);
}

}  // namespace kelpin
