// The move generators: every pseudo-legal move of a side (movegen) or only
// its captures (qmovegen), scored for the sort as each record is written;
// the check test and the path counter built on them.
#include "movegen/movegen.h"

#include <array>
#include <cstdio>
#include <initializer_list>

// The one thing of the search generation reads: its ordering tables.
#include "search/ordnung.h"

namespace kelpin {

ZugEintrag zug[LISTEN][PLAETZE];
int32_t index[LISTEN];
CapMove capmove[LISTEN];
int64_t perftnodes;
int32_t debugmode;

namespace {

constexpr int SCHLAG_BONUS = 10000;
constexpr int KOENIGSSCHLAG_BONUS = 9910;
constexpr int HINWEIS_BONUS[4] = {0, 15000, 7500, 90};

// The positional term as one table per mover (code + 6), sign included: a
// White move scores T[nach] - T[von], a Black one T[von] - T[nach], where T
// is the piece-square table of the mover's kind and colour; the king scores
// nothing.
constexpr auto lagewert = [] {
    std::array<std::array<int32_t, 65>, 13> t{};
    auto tabelle = [&t](int figur, const int (&wert)[72]) {
        for (int s = 1; s <= 64; ++s) t[figur + 6][s] = figur > 0 ? wert[s] : -wert[s];
    };
    tabelle(wbauer, bfiguren_w), tabelle(sbauer, bfiguren_s);
    tabelle(wspringer, sfiguren_w), tabelle(sspringer, sfiguren_s);
    tabelle(wlaufer, lfiguren_w), tabelle(slaufer, lfiguren_s);
    tabelle(wturm, tfiguren_w), tabelle(sturm, tfiguren_s);
    tabelle(wdame, dfiguren_w), tabelle(sdame, dfiguren_s);
    return t;
}();

// The capture term by mover and victim (code + 6 each): 0 for no victim;
// the king's captures 9910 + the victim's value, every other piece's
// 10000 + the victim's value - a tenth of its own (truncated toward zero).
constexpr auto schlagwert = [] {
    std::array<std::array<int32_t, 13>, 13> t{};
    for (int f = 0; f < 13; ++f)
        for (int g = 0; g < 13; ++g) {
            if (g == leer + 6) continue;
            const int opfer = figurenwert[g] < 0 ? -figurenwert[g] : figurenwert[g];
            const int zehntel = figurenwert[f] / 10;
            t[f][g] = (f == wkonig + 6 || f == skonig + 6) ? KOENIGSSCHLAG_BONUS + opfer
                                                           : SCHLAG_BONUS + opfer - (zehntel < 0 ? -zehntel : zehntel);
        }
    return t;
}();

// A move's squares as one number, for comparing with the hints.
constexpr uint32_t felderpaar(uint32_t von, uint32_t nach) { return von << 16 | nach; }

// The square of a hint as a mask (bit s - 1 for square s), by the hint's
// to-square; none for 0 (an empty hint) or a number past the board.
constexpr auto zielmaske = [] {
    std::array<uint64_t, 66> m{};
    for (int s = 1; s <= 64; ++s) m[s] = uint64_t{1} << (s - 1);
    return m;
}();

inline uint64_t hinweisfeld(const ZugEintrag& h) { return zielmaske[h.nach < 65 ? h.nach : 65]; }

// The history term's division, rarely needed (historywrites stays 1 in the
// search): out of line, so that the compiler does not divide every move by 1.
[[gnu::noinline]] int32_t geteilt(int32_t w, int32_t teiler) { return w / teiler; }

// Everything the score of a move needs that does not depend on the move:
// read once per generator call. Few moves land where a hint does, so only
// the hints' to-squares are gathered here, and the hints themselves are
// read for a move that lands on one.
struct Bewerter {
    const int32_t (*history)[65];
    int32_t faktor;
    int32_t writes;
    const ZugEintrag* hinweise;  // slots 1 ... 3
    uint64_t hinweis_ziele;      // the to-squares of the hints

    explicit Bewerter(int tiefe)
        : history(history_heuristic[tiefe]), faktor(kelpin::faktor), writes(historywrites), hinweise(killer[tiefe]),
          hinweis_ziele(hinweisfeld(hinweise[1]) | hinweisfeld(hinweise[2]) | hinweisfeld(hinweise[3])) {}

    int32_t wert(int von, int nach, int figur, int geschlagen) const {
        int32_t w = history[von][nach] * faktor;
        if (writes != 1) [[unlikely]]
            w = geteilt(w, writes);
        w += lagewert[figur + 6][nach] - lagewert[figur + 6][von] + schlagwert[figur + 6][geschlagen + 6];
        if (hinweis_ziele & (uint64_t{1} << (nach - 1))) {
            const uint32_t paar = felderpaar(von, nach);
            for (int k = 1; k <= 3; ++k)
                w += paar == felderpaar(hinweise[k].von, hinweise[k].nach) ? HINWEIS_BONUS[k] : 0;
        }
        return w;
    }
};

// Writes one record into the list. A full list takes nothing more: whatever
// position setboard produced, no list runs into the next one. The count is
// kept here and handed to index[] at the end.
struct Schreiber {
    ZugEintrag* liste;
    int32_t n;
    const Bewerter& bewerter;

    ZugEintrag* zug(int von, int nach, int figur, int geschlagen) {
        if (n >= MAXZUEGE) return nullptr;
        ZugEintrag& m = liste[++n];
        m = ZugEintrag{static_cast<uint16_t>(von), static_cast<uint16_t>(nach), static_cast<int16_t>(figur),
                       static_cast<int16_t>(geschlagen), 0, 0, 0, 0, bewerter.wert(von, nach, figur, geschlagen), leer};
        return &m;
    }

    // A pawn reaching the last rank: the record just written becomes the
    // queen promotion and rook, knight and bishop follow with the same score.
    void umwandlungen(ZugEintrag* m, int farbe_vz) {
        if (m == nullptr) return;
        m->umwandlung = 1;
        m->neue_figur = static_cast<int16_t>(farbe_vz * wdame);
        const ZugEintrag dame = *m;
        for (const int neu : {wturm, wspringer, wlaufer}) {
            if (n >= MAXZUEGE) return;
            ZugEintrag& k = liste[++n];
            k = dame;
            k.neue_figur = static_cast<int16_t>(farbe_vz * neu);
        }
    }
};

// A step from square s by d stays on the board: the number lies in 1 ... 64
// and an east or west component did not wrap to the other edge.
constexpr bool auf_brett(int t, int d) {
    if (t < 1 || t > 64) return false;
    const int spalte = t % 8;
    if ((d == 1 || d == 9 || d == -7) && spalte == 1) return false;
    if ((d == -1 || d == -9 || d == 7) && spalte == 0) return false;
    return true;
}

struct Sprung {
    int d;
    int linie_min, linie_max;
    int s_min, s_max;
};
constexpr Sprung springer_spruenge[8] = {
    {-17, 2, 8, 18, 64}, {-15, 1, 7, 17, 64}, {17, 1, 7, 1, 47}, {15, 2, 8, 1, 48},
    {-10, 3, 8, 11, 64}, {6, 3, 8, 1, 56},    {-6, 1, 6, 9, 64}, {10, 1, 6, 1, 54},
};

constexpr int damen_strahlen[8] = {9, 7, -9, -7, 1, -1, 8, -8};  // bishop rays first, then rook rays
constexpr int LAEUFER_STRAHLEN = 0, TURM_STRAHLEN = 4;
constexpr int koenig_schritte[8] = {1, -1, 8, -8, 9, 7, -7, -9};

// The board's geometry worked out once: for every square the knight and king
// targets in the generator's order and the squares of each ray up to the
// edge, so the generators never test for wrapping.
struct Ziele {
    int8_t n;
    int8_t feld[8];
};

constexpr std::array<Ziele, 65> springer_ziele = [] {
    std::array<Ziele, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (const Sprung& j : springer_spruenge) {
            const int linie = (s - 1) % 8 + 1;
            if (linie >= j.linie_min && linie <= j.linie_max && s >= j.s_min && s <= j.s_max)
                z[s].feld[z[s].n++] = static_cast<int8_t>(s + j.d);
        }
    return z;
}();

constexpr std::array<Ziele, 65> koenig_ziele = [] {
    std::array<Ziele, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (const int d : koenig_schritte)
            if (auf_brett(s + d, d)) z[s].feld[z[s].n++] = static_cast<int8_t>(s + d);
    return z;
}();

struct Strahl {
    int8_t n;
    int8_t feld[7];
};

constexpr std::array<std::array<Strahl, 8>, 65> strahlen = [] {
    std::array<std::array<Strahl, 8>, 65> z{};
    for (int s = 1; s <= 64; ++s)
        for (int r = 0; r < 8; ++r) {
            const int d = damen_strahlen[r];
            for (int t = s + d; auf_brett(t, d); t += d) z[s][r].feld[z[s][r].n++] = static_cast<int8_t>(t);
        }
    return z;
}();

// The same geometry as bit masks (bit s - 1 for square s): each ray's
// squares, and the squares a knight or king reaches.
constexpr uint64_t bit(int t) { return uint64_t{1} << (t - 1); }

constexpr auto strahl_masken = [] {
    std::array<std::array<uint64_t, 8>, 65> m{};
    for (int s = 1; s <= 64; ++s)
        for (int r = 0; r < 8; ++r)
            for (int k = 0; k < strahlen[s][r].n; ++k) m[s][r] |= bit(strahlen[s][r].feld[k]);
    return m;
}();

constexpr auto ziel_masken = [](const std::array<Ziele, 65>& z) {
    std::array<uint64_t, 65> m{};
    for (int s = 1; s <= 64; ++s)
        for (int k = 0; k < z[s].n; ++k) m[s] |= bit(z[s].feld[k]);
    return m;
};
constexpr auto springer_masken = ziel_masken(springer_ziele);
constexpr auto koenig_masken = ziel_masken(koenig_ziele);

// Steps along a ray from s to t (the king distance of the two squares).
constexpr auto abstaende = [] {
    std::array<std::array<int8_t, 65>, 65> d{};
    for (int s = 1; s <= 64; ++s)
        for (int t = 1; t <= 64; ++t) {
            const int dr = (s - 1) / 8 - (t - 1) / 8, dl = (s - 1) % 8 - (t - 1) % 8;
            d[s][t] = static_cast<int8_t>(std::max(dr < 0 ? -dr : dr, dl < 0 ? -dl : dl));
        }
    return d;
}();

// The first occupied square on ray r from s, 0 when the ray is clear to the
// edge: the lowest bit on rays toward higher squares, the highest on the
// others.
inline int erstes_hindernis(int s, int r, uint64_t besetzt) {
    const uint64_t h = strahl_masken[s][r] & besetzt;
    if (h == 0) return 0;
    return damen_strahlen[r] > 0 ? __builtin_ctzll(h) + 1 : 64 - __builtin_clzll(h);
}

// Files a and h as masks, and the squares from which the pieces of a mask
// are reached by a knight's jump or a king's step (the geometry is
// symmetric), computed for the whole mask at once.
constexpr uint64_t LINIE_A = 0x0101010101010101ull;
constexpr uint64_t LINIE_H = LINIE_A << 7;
constexpr uint64_t LINIEN_AB = LINIE_A | (LINIE_A << 1);
constexpr uint64_t LINIEN_GH = LINIE_H | (LINIE_H >> 1);

constexpr uint64_t springerfelder(uint64_t m) {
    const uint64_t eins = ((m >> 1) & ~LINIE_H) | ((m << 1) & ~LINIE_A);
    const uint64_t zwei = ((m >> 2) & ~LINIEN_GH) | ((m << 2) & ~LINIEN_AB);
    return (eins << 16) | (eins >> 16) | (zwei << 8) | (zwei >> 8);
}

constexpr uint64_t koenigsfelder(uint64_t m) {
    const uint64_t seitlich = ((m >> 1) & ~LINIE_H) | ((m << 1) & ~LINIE_A);
    const uint64_t zeile = m | seitlich;
    return seitlich | (zeile << 8) | (zeile >> 8);
}

// The squares from which a pawn of side vz captures onto a piece of the mask,
// with the generator's file conditions (White +9 not from file h, +7 not
// from file a; Black -9 not from file a, -7 not from file h).
constexpr uint64_t bauernquellen(uint64_t m, int vz) {
    if (vz > 0) return ((m >> 9) & ~LINIE_H) | ((m >> 7) & ~LINIE_A);
    return ((m << 9) & ~LINIE_A) | ((m << 7) & ~LINIE_H);
}

constexpr bool masken_stimmen() {
    for (int s = 1; s <= 64; ++s) {
        if (springerfelder(bit(s)) != springer_masken[s] || koenigsfelder(bit(s)) != koenig_masken[s]) return false;
        uint64_t w = 0, b = 0;
        for (int q = 1; q <= 64; ++q) {
            const int linie = (q - 1) % 8 + 1;
            if ((linie != 8 && q + 9 == s) || (linie != 1 && q + 7 == s)) w |= bit(q);
            if ((linie != 1 && q - 9 == s) || (linie != 8 && q - 7 == s)) b |= bit(q);
        }
        if (bauernquellen(bit(s), 1) != w || bauernquellen(bit(s), -1) != b) return false;
    }
    return true;
}
static_assert(masken_stimmen());

static_assert(springer_ziele[b1].n == 3 && springer_ziele[d4].n == 8 && koenig_ziele[a1].n == 3);
static_assert(strahlen[a1][0].n == 7 && strahlen[h1][0].n == 0 && strahlen[d4][5].n == 3);

// All rays of a slider advance together, distance by distance, so its moves
// are listed by distance first and ray second. Each ray's moves follow from
// its first occupied square; bit 8 x distance + ray of `folge` stands for
// one move, so the bits in ascending order are the moves in list order.
constexpr uint64_t SPALTE = LINIE_A;

template <int ERSTER, int N>
[[gnu::always_inline]] inline void gleiter(Schreiber& w, int s, int figur, uint64_t besetzt, uint64_t eigene) {
    uint64_t folge = 0;
    for (int r = 0; r < N; ++r) {
        const int t = erstes_hindernis(s, ERSTER + r, besetzt);
        const int n = t == 0 ? strahlen[s][ERSTER + r].n : abstaende[s][t] - ((eigene & bit(t)) != 0);
        folge |= (SPALTE << r) & ((uint64_t{1} << (8 * n)) - 1);
    }
    for (; folge != 0; folge &= folge - 1) {
        const int schluessel = __builtin_ctzll(folge);
        const int t = strahlen[s][ERSTER + (schluessel & 7)].feld[schluessel >> 3];
        w.zug(s, t, figur, brett[t]);
    }
}

// Captures only: each ray yields at most its first occupied square.
template <int ERSTER, int N>
[[gnu::always_inline]] inline void gleiter_schlaege(Schreiber& w, int s, int figur, uint64_t besetzt, uint64_t feinde) {
    uint64_t folge = 0;
    for (int r = 0; r < N; ++r) {
        if ((strahl_masken[s][ERSTER + r] & feinde) == 0) continue;  // no enemy on the ray at all
        const int t = erstes_hindernis(s, ERSTER + r, besetzt);
        if (feinde & bit(t)) folge |= uint64_t{1} << (8 * (abstaende[s][t] - 1) + r);
    }
    for (; folge != 0; folge &= folge - 1) {
        const int schluessel = __builtin_ctzll(folge);
        const int t = strahlen[s][ERSTER + (schluessel & 7)].feld[schluessel >> 3];
        w.zug(s, t, figur, brett[t]);
    }
}

// A pawn of side vz could capture on s (were s occupied): the squares from
// which a pawn's capture lands on s, with the generator's file conditions.
bool bauer_schlaegt(int s, int vz) {
    if (vz > 0) {
        return (s - 9 >= 1 && i_linie[s - 9] != 8 && brett[s - 9] == wbauer) ||
               (s - 7 >= 1 && i_linie[s - 7] != 1 && brett[s - 7] == wbauer);
    }
    return (s + 9 <= 64 && i_linie[s + 9] != 1 && brett[s + 9] == sbauer) ||
           (s + 7 <= 64 && i_linie[s + 7] != 8 && brett[s + 7] == sbauer);
}

// A knight, king, bishop, rook or queen of side vz could move to s (were s
// empty or the other side's). Knight and king geometry is symmetric: the
// squares a piece on s could reach are those from which it reaches s; a
// slider reaches s when it is the first piece on a ray from s.
bool stueck_erreicht(int s, int vz, uint64_t besetzt) {
    for (uint64_t q = springer_masken[s] & besetzt; q != 0;)
        if (brett[naechstes_feld(q)] == vz * wspringer) return true;
    for (uint64_t q = koenig_masken[s] & besetzt; q != 0;)
        if (brett[naechstes_feld(q)] == vz * wkonig) return true;
    for (int r = 0; r < 8; ++r) {
        const int t = erstes_hindernis(s, r, besetzt);
        if (t == 0) continue;
        const int inhalt = brett[t];
        if (inhalt == vz * (r >= TURM_STRAHLEN ? wturm : wlaufer) || inhalt == vz * wdame) return true;
    }
    return false;
}

bool angegriffen_bei(int s, int vz, uint64_t besetzt) {
    return bauer_schlaegt(s, vz) || stueck_erreicht(s, vz, besetzt);
}

bool endet_auf(int x, int vz, uint64_t besetzt) {
    const int inhalt = brett[x];
    if (inhalt * vz > 0) return false;
    if (inhalt == leer) {
        const int einer = x - 8 * vz;
        const int zweier = x - 16 * vz;
        if (einer >= 1 && einer <= 64 && brett[einer] == vz * wbauer) return true;
        const bool grundreihe = vz > 0 ? (zweier >= a2 && zweier <= h2) : (zweier >= a7 && zweier <= h7);
        if (grundreihe && brett[zweier] == vz * wbauer && brett[einer] == leer) return true;
    } else if (bauer_schlaegt(x, vz)) {
        return true;
    }
    return stueck_erreicht(x, vz, besetzt);
}

}  // namespace

bool zug_endet_auf(int x, int g) { return endet_auf(x, g == WEISS ? 1 : -1, besetzte_felder()); }

namespace {

// Castling: no move of the opponent's complete list may end on the king's
// square or a square it crosses or lands on (the opponent's own castling
// never ends on this side's rank, so it does not count), and no opponent pawn
// may attack one of them: a pawn's diagonal attack on an empty square is not
// a move. Offered only at levels from the horizon up.
void rochaden(Schreiber& w, int tiefe, int farbe, uint64_t besetzt) {
    if (tiefe < QSUCHE) return;
    const bool weiss = farbe == WEISS;
    const int gvz = weiss ? -1 : 1;
    const int16_t& k_bewegt = weiss ? e1_bewegt : e8_bewegt;
    const int16_t& kurz_bewegt = weiss ? h1_bewegt : h8_bewegt;
    const int16_t& lang_bewegt = weiss ? a1_bewegt : a8_bewegt;
    const int k = weiss ? e1 : e8;
    const int turm = weiss ? wturm : sturm;
    const int koenig = weiss ? wkonig : skonig;
    auto frei = [&](int x) { return !endet_auf(x, gvz, besetzt) && !bauer_schlaegt(x, gvz); };

    if (kurz_bewegt == 0 && k_bewegt == 0 && brett[k + 1] == leer && brett[k + 2] == leer && brett[k + 3] == turm &&
        frei(k) && frei(k + 1) && frei(k + 2))
        if (ZugEintrag* m = w.zug(k, k + 2, koenig, leer)) m->rochade = 1;
    if (lang_bewegt == 0 && k_bewegt == 0 && brett[k - 1] == leer && brett[k - 2] == leer &&
        brett[k - 3] == leer && brett[k - 4] == turm && frei(k) && frei(k - 1) && frei(k - 2))
        if (ZugEintrag* m = w.zug(k, k - 2, koenig, leer)) m->rochade = 1;
}

// Knight jumps and king steps, in the generator's order, onto the squares
// of `erlaubt` (empty or enemy, or enemy only); `reichweite` holds all the
// targets, so that none or one of them needs no order.
inline void sprung(Schreiber& w, int s, int figur, uint64_t erlaubt, const Ziele& ziele, uint64_t reichweite) {
    const uint64_t treffer = reichweite & erlaubt;
    if ((treffer & (treffer - 1)) == 0) {
        if (treffer != 0) {
            const int t = __builtin_ctzll(treffer) + 1;
            w.zug(s, t, figur, brett[t]);
        }
        return;
    }
    for (int k = 0; k < ziele.n; ++k) {
        const int t = ziele.feld[k];
        if (erlaubt & bit(t)) w.zug(s, t, figur, brett[t]);
    }
}

// What each pawn of side vz may do, found for all of them at once as masks of
// the squares they stand on: a single step (the square ahead empty), a double
// step (from the second rank, both squares ahead empty), and the captures
// toward the h-file for White (+9) and the a-file for Black (-9), then the
// other diagonal, onto a piece of `feinde`, with the generator's file
// conditions. `eigene` holds the side's pieces; only its pawns are asked.
struct Bauernzuege {
    uint64_t einzel, doppel, schlag9, schlag7;
};

constexpr uint64_t REIHE_2 = 0xFF00ull, REIHE_7 = REIHE_2 << 40;

inline Bauernzuege bauernzuege(uint64_t eigene, uint64_t besetzt, uint64_t feinde, int vz) {
    const uint64_t frei = ~besetzt;
    Bauernzuege z;
    if (vz > 0) {
        z.einzel = eigene & (frei >> 8);
        z.doppel = z.einzel & REIHE_2 & (frei >> 16);
        z.schlag9 = eigene & ~LINIE_H & (feinde >> 9);
        z.schlag7 = eigene & ~LINIE_A & (feinde >> 7);
    } else {
        z.einzel = eigene & (frei << 8);
        z.doppel = z.einzel & REIHE_7 & (frei << 16);
        z.schlag9 = eigene & ~LINIE_A & (feinde << 9);
        z.schlag7 = eigene & ~LINIE_H & (feinde << 7);
    }
    return z;
}

// One pawn's moves in the generator's order: the double step, the single
// step, then the two captures; onto the last rank a step or capture becomes
// four promotions.
template <bool NUR_SCHLAEGE>
inline void bauer(Schreiber& w, int s, int figur, int vz, const Bauernzuege& z) {
    const uint64_t b = bit(s);
    const auto letzte_reihe = [vz](int t) { return vz > 0 ? t >= a8 : t <= h1; };
    if (!NUR_SCHLAEGE) {
        if (z.doppel & b)
            if (ZugEintrag* m = w.zug(s, s + 16 * vz, figur, leer)) m->ep_linie = static_cast<int16_t>(i_linie[s]);
        if (z.einzel & b) {
            const int t = s + 8 * vz;
            ZugEintrag* m = w.zug(s, t, figur, leer);
            if (letzte_reihe(t)) w.umwandlungen(m, vz);
        }
    }
    if (z.schlag9 & b) {
        const int t = s + 9 * vz;
        ZugEintrag* m = w.zug(s, t, figur, brett[t]);
        if (letzte_reihe(t)) w.umwandlungen(m, vz);
    }
    if (z.schlag7 & b) {
        const int t = s + 7 * vz;
        ZugEintrag* m = w.zug(s, t, figur, brett[t]);
        if (letzte_reihe(t)) w.umwandlungen(m, vz);
    }
}

template <bool NUR_SCHLAEGE, int ERSTER, int N>
inline void gleite(Schreiber& w, int s, int figur, uint64_t besetzt, uint64_t feinde) {
    if (NUR_SCHLAEGE)
        gleiter_schlaege<ERSTER, N>(w, s, figur, besetzt, feinde);
    else
        gleiter<ERSTER, N>(w, s, figur, besetzt, besetzt & ~feinde);
}

// The moves of one piece of code FIGUR on square s, its side's sign its own.
template <bool NUR_SCHLAEGE, int FIGUR>
[[gnu::always_inline]] inline void zuege_der_figur(Schreiber& w, int s, const Bauernzuege& bz, uint64_t ziele,
                                                   uint64_t besetzt, uint64_t feinde, int tiefe, int farbe) {
    constexpr int vz = FIGUR > 0 ? 1 : -1;
    constexpr int art = FIGUR * vz;
    if constexpr (art == wbauer) {
        bauer<NUR_SCHLAEGE>(w, s, FIGUR, vz, bz);
    } else if constexpr (art == wspringer) {
        sprung(w, s, FIGUR, ziele, springer_ziele[s], springer_masken[s]);
    } else if constexpr (art == wlaufer) {
        gleite<NUR_SCHLAEGE, LAEUFER_STRAHLEN, 4>(w, s, FIGUR, besetzt, feinde);
    } else if constexpr (art == wturm) {
        gleite<NUR_SCHLAEGE, TURM_STRAHLEN, 4>(w, s, FIGUR, besetzt, feinde);
    } else if constexpr (art == wdame) {
        gleite<NUR_SCHLAEGE, LAEUFER_STRAHLEN, 8>(w, s, FIGUR, besetzt, feinde);
    } else {
        if (!NUR_SCHLAEGE && s == (vz > 0 ? e1 : e8)) rochaden(w, tiefe, farbe, besetzt);
        sprung(w, s, FIGUR, ziele, koenig_ziele[s], koenig_masken[s]);
    }
}

// The moves of the pieces of side VZ on the squares of `stuecke`, square by
// square upward, each piece's in its own order; only captures, or all moves.
// Each kind of piece is compiled with its code known, so that its score
// tables are fixed addresses.
template <bool NUR_SCHLAEGE, int VZ>
[[gnu::always_inline]] inline void zuege_von(Schreiber& w, uint64_t stuecke, uint64_t besetzt, uint64_t feinde,
                                             int tiefe, int farbe) {
    const uint64_t ziele = NUR_SCHLAEGE ? feinde : feinde | ~besetzt;
    const Bauernzuege bz = bauernzuege(stuecke, besetzt, feinde, VZ);
    for (uint64_t q = stuecke; q != 0;) {
        const int s = naechstes_feld(q);
        const auto zuege = [&]<int FIGUR>() {
            zuege_der_figur<NUR_SCHLAEGE, FIGUR>(w, s, bz, ziele, besetzt, feinde, tiefe, farbe);
        };
        switch (brett[s] * VZ) {
            case wbauer:
                zuege.template operator()<VZ * wbauer>();
                break;
            case wspringer:
                zuege.template operator()<VZ * wspringer>();
                break;
            case wlaufer:
                zuege.template operator()<VZ * wlaufer>();
                break;
            case wturm:
                zuege.template operator()<VZ * wturm>();
                break;
            case wdame:
                zuege.template operator()<VZ * wdame>();
                break;
            case wkonig:
                zuege.template operator()<VZ * wkonig>();
                break;
        }
    }
}

[[gnu::always_inline]] inline void alle_zuege_inhalt(int tiefe, int farbe, uint64_t besetzt, uint64_t feinde) {
    const Bewerter bewerter(tiefe);
    Schreiber w{zug[tiefe], 0, bewerter};
    if (farbe == WEISS)
        zuege_von<false, 1>(w, besetzt & ~feinde, besetzt, feinde, tiefe, farbe);
    else
        zuege_von<false, -1>(w, besetzt & ~feinde, besetzt, feinde, tiefe, farbe);
    index[tiefe] = w.n;
}

// The generators are compiled twice: portably, and with the bit-manipulation
// instructions of the processors that have the wide vector ones
// (breitbefehl, chosen at start-up).
void alle_zuege(int tiefe, int farbe, uint64_t besetzt, uint64_t feinde) {
    alle_zuege_inhalt(tiefe, farbe, besetzt, feinde);
}

#if defined(__GNUC__) && defined(__x86_64__)
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt")]] void alle_zuege_breit(int tiefe, int farbe, uint64_t besetzt,
                                                                    uint64_t feinde) {
    alle_zuege_inhalt(tiefe, farbe, besetzt, feinde);
}
#else
void alle_zuege_breit(int tiefe, int farbe, uint64_t besetzt, uint64_t feinde) {
    alle_zuege_inhalt(tiefe, farbe, besetzt, feinde);
}
#endif

inline void alle_zuege_gewaehlt(int tiefe, int farbe, uint64_t besetzt, uint64_t feinde) {
    if (breitbefehl)
        alle_zuege_breit(tiefe, farbe, besetzt, feinde);
    else
        alle_zuege(tiefe, farbe, besetzt, feinde);
}

// The pieces of the side with pawns at index e of the masks (6 + vz).
inline uint64_t seite(const uint64_t* m, int e, int vz) {
    return m[e] | m[e + vz] | m[e + 2 * vz] | m[e + 3 * vz] | m[e + 4 * vz] | m[e + 5 * vz];
}

// What the capture generator needs of the board, from the mover's side.
struct Schlaglage {
    uint64_t besetzt, feinde, bauern, springer, koenige, gleitende;
};

Schlaglage schlaglage(int vz) {
    const Brettbild bild = brettbild(vz);
    Schlaglage l;
    l.besetzt = ~felder_gleich(bild, leer);
    l.feinde = felder_unter(bild, leer);
    l.bauern = felder_gleich(bild, wbauer);
    l.springer = felder_gleich(bild, wspringer);
    l.koenige = felder_gleich(bild, wkonig);
    l.gleitende = l.besetzt & ~l.feinde & ~(l.bauern | l.springer | l.koenige);
    return l;
}

template <int VZ>
[[gnu::always_inline]] inline Schlaglage schlaglage(const uint64_t* m) {
    constexpr int e = 6 + VZ, g = 6 - VZ;  // index of the mover's and the other side's pawns
    Schlaglage l;
    l.feinde = seite(m, g, -VZ);
    l.bauern = m[e];
    l.springer = m[e + VZ];
    l.koenige = m[e + 5 * VZ];
    l.gleitende = m[e + 2 * VZ] | m[e + 3 * VZ] | m[e + 4 * VZ];
    l.besetzt = l.feinde | l.bauern | l.springer | l.koenige | l.gleitende;
    return l;
}

// Only the pieces that reach an enemy piece at all are visited: pawns,
// knights and the king by the squares from which they would, computed for
// all enemy pieces at once; sliders all, since their rays may be blocked.
template <int VZ>
[[gnu::always_inline]] inline void schlaege(int tiefe, int farbe, const Schlaglage& l) {
    const uint64_t kandidaten = (l.bauern & bauernquellen(l.feinde, VZ)) | (l.springer & springerfelder(l.feinde)) |
                                (l.koenige & koenigsfelder(l.feinde)) | l.gleitende;
    int32_t n = 0;
    if (kandidaten != 0) {
        const Bewerter bewerter(tiefe);
        Schreiber w{zug[tiefe], 0, bewerter};
        zuege_von<true, VZ>(w, kandidaten, l.besetzt, l.feinde, tiefe, farbe);
        n = w.n;
    }
    index[tiefe] = n;
}

// The capture generator of either side, with the board's summary or from
// brett.
template <int VZ>
void schlaege_aus(int tiefe, const Lage& lage) {
    schlaege<VZ>(tiefe, VZ > 0 ? WEISS : SCHWARZ, schlaglage<VZ>(lage.maske));
}

#if defined(__GNUC__) && defined(__x86_64__)
template <int VZ>
[[gnu::target("avx2,bmi,bmi2,lzcnt,popcnt")]] void schlaege_aus_breit(int tiefe, const Lage& lage) {
    schlaege<VZ>(tiefe, VZ > 0 ? WEISS : SCHWARZ, schlaglage<VZ>(lage.maske));
}
#else
template <int VZ>
void schlaege_aus_breit(int tiefe, const Lage& lage) {
    schlaege_aus<VZ>(tiefe, lage);
}
#endif

template <int VZ>
void schlaege_brett(int tiefe) {
    schlaege<VZ>(tiefe, VZ > 0 ? WEISS : SCHWARZ, schlaglage(VZ));
}

}  // namespace

int movegen(int tiefe, int farbe) {
    index[tiefe] = 0;
    if (farbe == WEISS || farbe == SCHWARZ) {
        const Brettbild bild = brettbild(farbe == WEISS ? 1 : -1);
        alle_zuege_gewaehlt(tiefe, farbe, ~felder_gleich(bild, leer), felder_unter(bild, leer));
    }
    if (debugmode == 1) {
        for (int i = 1; i <= index[tiefe]; ++i) printf("%s%s ", feld[zug[tiefe][i].von], feld[zug[tiefe][i].nach]);
        printf("\n");
    }
    return 0;
}

int movegen_aus(int tiefe, int farbe, const Lage& lage) {
    if (debugmode == 1 || (farbe != WEISS && farbe != SCHWARZ)) return movegen(tiefe, farbe);
    const int vz = farbe == WEISS ? 1 : -1;
    alle_zuege_gewaehlt(tiefe, farbe, ~lage.maske[leer + 6], seite(lage.maske, 6 - vz, -vz));
    return 0;
}

int qmovegen(int tiefe, int farbe) {
    index[tiefe] = 0;
    if (farbe == WEISS) schlaege_brett<1>(tiefe);
    if (farbe == SCHWARZ) schlaege_brett<-1>(tiefe);
    return 0;
}

int qmovegen_aus(int tiefe, int farbe, const Lage& lage) {
    index[tiefe] = 0;
    if (breitbefehl) {
        if (farbe == WEISS) schlaege_aus_breit<1>(tiefe, lage);
        if (farbe == SCHWARZ) schlaege_aus_breit<-1>(tiefe, lage);
        return 0;
    }
    if (farbe == WEISS) schlaege_aus<1>(tiefe, lage);
    if (farbe == SCHWARZ) schlaege_aus<-1>(tiefe, lage);
    return 0;
}

bool angegriffen(int s, int angreifer) { return angegriffen_bei(s, angreifer == WEISS ? 1 : -1, besetzte_felder()); }

bool koenig_bedroht(int farbe) {
    const int vz = farbe == WEISS ? 1 : -1;
    const Brettbild bild = brettbild(vz);
    const uint64_t besetzt = ~felder_gleich(bild, leer);
    for (uint64_t koenige = felder_gleich(bild, wkonig); koenige != 0;)
        if (angegriffen_bei(naechstes_feld(koenige), -vz, besetzt)) return true;
    return false;
}

namespace {

// Every square on the bishop's and on the rook's rays from s, up to the edge.
constexpr auto laeufer_linien = [] {
    std::array<uint64_t, 65> m{};
    for (int s = 1; s <= 64; ++s)
        for (int r = LAEUFER_STRAHLEN; r < TURM_STRAHLEN; ++r) m[s] |= strahl_masken[s][r];
    return m;
}();
constexpr auto turm_linien = [] {
    std::array<uint64_t, 65> m{};
    for (int s = 1; s <= 64; ++s)
        for (int r = TURM_STRAHLEN; r < 8; ++r) m[s] |= strahl_masken[s][r];
    return m;
}();

// angegriffen_bei from the piece masks: what stands where is read from them,
// and a slider's rays are followed only when a piece that moves along them
// stands somewhere on them. The attacker's pieces on the squares of `ohne`
// count as gone (a piece just captured there).
inline bool angegriffen_aus(int s, int vz, const uint64_t* m, uint64_t besetzt, uint64_t ohne = 0) {
    const int e = 6 + vz;  // the attacker's pawns
    if ((bauernquellen(bit(s), vz) & m[e] & ~ohne) || (springer_masken[s] & m[e + vz] & ~ohne) ||
        (koenig_masken[s] & m[e + 5 * vz] & ~ohne))
        return true;
    const uint64_t dame = m[e + 4 * vz];
    const uint64_t schraeg = (m[e + 2 * vz] | dame) & ~ohne, gerade = (m[e + 3 * vz] | dame) & ~ohne;
    if (laeufer_linien[s] & schraeg)
        for (int r = LAEUFER_STRAHLEN; r < TURM_STRAHLEN; ++r)
            if (const int t = erstes_hindernis(s, r, besetzt); t != 0 && (schraeg & bit(t))) return true;
    if (turm_linien[s] & gerade)
        for (int r = TURM_STRAHLEN; r < 8; ++r)
            if (const int t = erstes_hindernis(s, r, besetzt); t != 0 && (gerade & bit(t))) return true;
    return false;
}

}  // namespace

bool koenig_bedroht_aus(int farbe, const Lage& lage) {
    const int vz = farbe == WEISS ? 1 : -1;
    const uint64_t besetzt = ~lage.maske[leer + 6];
    for (uint64_t koenige = lage.maske[6 + vz * wkonig]; koenige != 0;)
        if (angegriffen_aus(naechstes_feld(koenige), -vz, lage.maske, besetzt)) return true;
    return false;
}

bool koenig_bedroht_nach(int farbe, const Lage& lage, const ZugEintrag& m) {
    if (!gewoehnlicher_zug(m) || m.von < 1 || m.von > 64 || m.nach < 1 || m.nach > 64) {
        zug_machen(m);
        const bool bedroht = koenig_bedroht(farbe);
        zug_nehmen(m);
        return bedroht;
    }
    // The board after the move: the from-square empty, the to-square taken,
    // the victim gone from the other side's pieces, a moving king moved.
    const int vz = farbe == WEISS ? 1 : -1;
    const uint64_t von = bit(m.von), nach = bit(m.nach);
    const uint64_t besetzt = (~lage.maske[leer + 6] & ~von) | nach;
    uint64_t koenige = lage.maske[6 + vz * wkonig];
    if (m.figur == vz * wkonig) koenige ^= von | nach;
    for (; koenige != 0;)
        if (angegriffen_aus(naechstes_feld(koenige), -vz, lage.maske, besetzt, nach)) return true;
    return false;
}

int inSchach(int farbe) {
    qmovegen(0, farbe == WEISS ? SCHWARZ : WEISS);
    for (int i = 1; i <= index[0]; ++i)
        if (zug[0][i].geschlagen == wkonig || zug[0][i].geschlagen == skonig) return 1;
    return 0;
}

int perft(int tiefe, int farbe) {
    movegen(tiefe, farbe);
    for (int i = 1; i <= index[tiefe]; ++i) {
        if (tiefe == 0) ++perftnodes;
        zugausf(tiefe, i);
        if (tiefe > 0 && (farbe == WEISS || farbe == SCHWARZ)) perft(tiefe - 1, farbe == WEISS ? SCHWARZ : WEISS);
        zugzur(tiefe, i);
    }
    return 0;
}

}  // namespace kelpin
