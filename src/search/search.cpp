// AlphaBeta: one recursive function for every node, full-width above the
// horizon level QSUCHE and captures only at and below it. Levels count down
// from the root MAXTIEFE; extensions and reductions move the horizon, never
// the level handed to a child.
#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

#include "eval/eval.h"
#include "search/search.h"

namespace kelpin {

int16_t QSUCHE = QSUCHE_START;
int32_t MAXTIEFE;
int16_t nullstatus;
int16_t schachext;
int16_t onerep_extended;
int16_t extended;
int16_t reduction;
int16_t sel_gipfel;
Wiederholung wiederholung[EBENEN];

Statistik statistik;
bool (*anhalten)();
bool abgebrochen;
uint64_t vorgeschichte[VORGESCHICHTE];
int32_t vorgeschichte_anzahl;
int32_t wurzel_rechte;
int32_t wurzel_zuege, wurzel_offen;
ZugEintrag wurzel_aktuell;
ZugEintrag wurzel_auswahl[MAXZUEGE];
int32_t wurzel_auswahl_anzahl;
ZugEintrag wurzel_ausschluss[MAXZUEGE];
int32_t wurzel_ausschluss_anzahl;
void (*wurzel_meldung)(int eintrag);
void (*wurzel_anzeige)(const ZugEintrag& m);
int32_t wurzel_nummer;

namespace {

constexpr int NULLZUG_TIEFE = 4;
constexpr int QSUCHE_TIEFE = 6;    // captures are searched this many levels below the horizon
constexpr int MAX_SCHACHEXT = 50;
constexpr int MAX_ONEREP = 5;
constexpr int PATT_ZUEGE = 8;      // the stalemate test runs up to this many moves

// Per level, for the repetitions of the game before the root: whether the
// path from the root to the node holds only reversible moves, the castling
// rights left on it, and what turns the node's hashkennung into the key the
// game compares (placement, side to move, rights). Inside the search the
// keys carry extra terms of the moves made (the to-square's "no promotion"
// and "no castling" entries, the Black-move key), which the correction
// cancels. Written by the parent just before the child is searched.
bool umkehrbar[EBENEN];
int8_t rechte[EBENEN];
uint64_t korrektur[EBENEN];

// Set just before a child is searched whose board the parent has evaluated
// last: the child's stand pat answers from that evaluation.
bool kind_bewertet;

// The root of the latest iteration: its side and the entry of its list it
// took first.
int wurzel_farbe;
int wurzel_erster;

// The board's summary per level, and whether the parent has just derived the
// child's from its own by the move (else the node takes it from brett: a call
// from outside the search).
Lage lagen[EBENEN];
bool kind_lage;

// The line each level hands to its children. Levels strictly fall along a
// path, so one buffer per level never serves two live nodes, and 256 lines of
// 1024 moves live in static storage rather than on the stack.
Variante kindlinien[EBENEN];

inline bool nimmt_koenig(const ZugEintrag& m) { return m.geschlagen == wkonig || m.geschlagen == skonig; }

inline bool gleich(const ZugEintrag& x, const ZugEintrag& y) {
    return x.von == y.von && x.nach == y.nach && x.figur == y.figur;
}

// eval() from the side to move, for the board that `lage` summarises.
inline int bewerte(const Lage& lage, int farbe, int unten, int oben) {
    const int v = eval_aus(lage, unten, oben);
    return farbe == SCHWARZ ? -v : v;
}

// The same for the board the latest eval() call evaluated, unchanged since.
inline int nochmals_bewerten(const Lage& lage, int farbe, int unten, int oben) {
    const int v = eval_nochmals_aus(lage, unten, oben);
    return farbe == SCHWARZ ? -v : v;
}

void null_schluessel() {
    hashindex ^= zufall[SCHWARZ_SCHLUESSEL_FELD][leer + 6][0];
    hashkennung2 ^= zufall[SCHWARZ_SCHLUESSEL_FELD][leer + 6][0];
    hashkennung ^= zufall[SCHWARZ_SCHLUESSEL_FELD][leer + 6][1];
}

// A quiet move that refutes a node: it enters the second candidate slot if it
// is neither candidate yet, then the counts decide which candidate leads.
void killer_merken(int tiefe, const ZugEintrag& m) {
    PlyKiller& k = plykiller[tiefe];
    if (!gleich(m, k.zug1) && !gleich(m, k.zug2)) {
        k.zug2 = m;
        k.zaehler2 = 1;
    }
    if (gleich(m, k.zug1)) ++k.zaehler1;
    if (gleich(m, k.zug2)) ++k.zaehler2;
    if (k.zaehler1 < k.zaehler2) {
        std::swap(k.zaehler1, k.zaehler2);
        std::swap(k.zug1, k.zug2);
    }
}

// Stamps the child level of a move: a capture, a pawn move or castling
// closes the path to the game's earlier positions; any other move adds the
// key terms its making put in on top of the placement, and a king or rook
// leaving home the rights it takes away.
inline void pfad_stempeln(int tiefe, const ZugEintrag& m) {
    const int kind = tiefe - 1;
    umkehrbar[kind] = umkehrbar[tiefe] && m.geschlagen == leer && m.rochade == 0 && m.figur != wbauer &&
                      m.figur != sbauer;
    if (!umkehrbar[kind]) return;
    const int verloren = rechte[tiefe] & rechte_von_feld(m.von);
    rechte[kind] = static_cast<int8_t>(rechte[tiefe] & ~verloren);
    uint64_t k = korrektur[tiefe] ^ zufall[m.nach][leer + 6][1] ^ zufall[m.nach][0][1] ^ rechte_kennung[verloren];
    if (m.figur < 0) k ^= schwarz_kennung();
    korrektur[kind] = k;
}

int reduktionsrand(int rest) {
    if (rest >= 10) return 1500;
    if (rest >= 8) return 900;
    if (rest >= 6) return 700;
    if (rest >= 4) return 500;
    return 0;
}

}  // namespace

bool in_wurzel_auswahl(const ZugEintrag& m) {
    const auto derselbe = [&m](const ZugEintrag& a) { return derselbe_zug(a, m); };
    for (int i = 0; i < wurzel_ausschluss_anzahl; ++i)
        if (derselbe(wurzel_ausschluss[i])) return false;
    if (wurzel_auswahl_anzahl == 0) return true;
    for (int i = 0; i < wurzel_auswahl_anzahl; ++i)
        if (derselbe(wurzel_auswahl[i])) return true;
    return false;
}

bool wurzel_vorschlag(ZugEintrag& m) {
    // The root's list stays in its level's slot after the search: no other
    // node of the iteration has the root's level. The entry it took first,
    // if legal, else the legal entry with the highest score.
    const int t = MAXTIEFE;
    int beste = 0;
    for (int e = 1; e <= index[t]; ++e) {
        if (zug[t][e].von == 0 || !in_wurzel_auswahl(zug[t][e])) continue;
        zugausf(t, e);
        const bool legal = !koenig_bedroht(wurzel_farbe);
        zugzur(t, e);
        if (!legal) continue;
        if (e == wurzel_erster) {
            beste = e;
            break;
        }
        if (beste == 0 || zug[t][e].sortwert > zug[t][beste].sortwert) beste = e;
    }
    if (beste == 0) return false;
    m = zug[t][beste];
    return true;
}

int AlphaBeta(int tiefe, int alpha, int beta, int farbe, Variante* variante) {
    // 1. Count the node and forget the capture an earlier node of this level
    //    made, so a recapture is only ever measured against this path. Every
    //    few thousand nodes the driver is asked whether to stop.
    ++statistik.nodes;
    const bool schon_bewertet = kind_bewertet;
    kind_bewertet = false;
    Lage& lage = lagen[tiefe];
    if (!kind_lage) lage_aus_brett(lage);
    kind_lage = false;
    if ((statistik.nodes & (ABFRAGE_KNOTEN - 1)) == 0 && anhalten != nullptr && !abgebrochen && anhalten())
        abgebrochen = true;
    if (abgebrochen) return alpha;
    capmove[tiefe].geschlagen = 0;
    const int q0 = QSUCHE;
    if (0 < tiefe && tiefe < q0) ++statistik.qnodes;
    if (tiefe > q0 && MAXTIEFE - tiefe > sel_gipfel) sel_gipfel = static_cast<int16_t>(MAXTIEFE - tiefe);
    const int gegner = gegenseite(farbe);
    Variante& kindlinie = kindlinien[tiefe];

    // 2. Repetition: a position that already stands three times on the path
    //    above this node, root included, is a draw. Only checked well below
    //    the root and above the horizon. A node reached from the root by
    //    reversible moves that repeats a position of the game before the
    //    root is a draw as well: the side to move could go on repeating.
    wiederholung[tiefe] = {hashkennung, hashindex};
    if (tiefe == MAXTIEFE) {
        wurzel_nummer = 0;
        umkehrbar[tiefe] = true;
        rechte[tiefe] = static_cast<int8_t>(wurzel_rechte);
        korrektur[tiefe] = rechte_kennung[wurzel_rechte & 15];
    } else if (vorgeschichte_anzahl > 0 && tiefe >= q0 && umkehrbar[tiefe]) {
        const uint64_t k = hashkennung ^ korrektur[tiefe] ^ (farbe == SCHWARZ ? schwarz_kennung() : 0);
        for (int j = 0; j < vorgeschichte_anzahl; ++j)
            if (vorgeschichte[j] == k) {
                ++statistik.reps;
                return 0;
            }
    }
    if (q0 < tiefe && tiefe < MAXTIEFE - 6) {
        int treffer = 0;
        for (int j = MAXTIEFE; j >= tiefe + 1; --j) {
            if (wiederholung[j].kennung == hashkennung && wiederholung[j].index == hashindex && ++treffer == 3) {
                ++statistik.reps;
                return 0;
            }
        }
    }

    // 3./4. The table slot, and the hints the generator scores: the previous
    //    iteration's move at this level and the leading killer. Only a
    //    full-width node uses the table (below the horizon nothing extends
    //    the node back above it), so only it needs the slot.
    const uint64_t slot = tiefe > q0 ? hashplatz(hashindex) : 0;
    killer[tiefe][1] = oldhvar[tiefe];
    killer[tiefe][3] = plykiller[tiefe].zug1;
    killer[tiefe][2].von = 0;
    killer[tiefe][2].nach = 0;

    // 5. Table probe, full-width nodes only. A match supplies the first hint
    //    whatever its level; a deep enough entry may settle the node.
    bool null_erlaubt = true;
    if (tiefe > q0) {
        const HashEintrag& h = hashtable[slot];
        if (hash_passt(h)) {
            ++statistik.hashtreffer;
            killer[tiefe][2] = oldhvar[tiefe];
            killer[tiefe][1] = als_zug(h.bestzug);
            if (h.tiefe >= tiefe && (tiefe != MAXTIEFE || !wurzel_eingeschraenkt())) {
                if (h.flag == HASH_EXAKT) {
                    variante->anzahl = 1;
                    variante->zuege[0] = als_zug(h.bestzug);
                    return h.wert;
                }
                if (h.flag == HASH_UNTERGRENZE && h.wert >= beta) {
                    ++statistik.hashbetacut;
                    return beta;
                }
                if (h.flag == HASH_OBERGRENZE && h.wert <= alpha) {
                    ++statistik.hashalphacut;
                    return alpha;
                }
                if (h.wert < beta) null_erlaubt = false;
            }
        }
    }

    // 6./7. The horizon node starts an empty line; level 0 is the floor.
    if (tiefe == q0) variante->anzahl = 0;
    if (tiefe == 0) return bewerte(lage, farbe, alpha - 1000, beta + 1000);

    // 8. Stand pat: below the horizon the side to move may decline every
    //    capture. Far below beta the captures are not even looked at.
    int16_t standpat = 0;
    if (tiefe <= q0) {
        const int v = schon_bewertet ? nochmals_bewerten(lage, farbe, alpha - 500, beta + 500)
                                     : bewerte(lage, farbe, alpha - 500, beta + 500);
        if (v >= beta) return v;
        if (v + 900 < beta) return v;
        if (v > alpha) alpha = v;
        standpat = static_cast<int16_t>(v);
        // Six levels below the horizon no capture is searched: the node ends
        // with alpha unless its first move takes a king (step 17), and
        // without a king to take there is nothing to generate.
        if (tiefe <= q0 - QSUCHE_TIEFE && !koenig_bedroht_aus(gegner, lage)) return alpha;
    }

    // 9. In check when an opponent's capture could take a king.
    bool im_schach = false;
    if (tiefe > QSUCHE) im_schach = koenig_bedroht_aus(farbe, lage);

    // 10. Null move: pass, search four levels less with a null window, and
    //     take a fail high as the node's cutoff. Only the keys change.
    if (null_erlaubt && tiefe > QSUCHE && tiefe < MAXTIEFE && nullstatus != 2 && !im_schach && nrPIECES > 8) {
        nullstatus = nullstatus == 0 ? 1 : 2;
        null_schluessel();
        kindlinie.anzahl = 0;
        umkehrbar[tiefe - NULLZUG_TIEFE] = false;  // no real game passes a move
        lagen[tiefe - NULLZUG_TIEFE] = lage;
        kind_lage = true;
        const int v = -AlphaBeta(tiefe - NULLZUG_TIEFE, -beta, -beta + 1, gegner, &kindlinie);
        null_schluessel();
        --nullstatus;
        if (abgebrochen) return alpha;
        if (v >= beta) {
            ++statistik.nullcut;
            return beta;
        }
    }

    // 11./12. This level's own list: deeper levels write only to theirs, so
    //     these entries stay valid across the recursive calls.
    if (tiefe > QSUCHE)
        movegen_aus(tiefe, farbe, lage);
    else
        qmovegen_aus(tiefe, farbe, lage);
    const int n = index[tiefe];
    ZugEintrag* const liste = zug[tiefe];
    if (n == 0 && !im_schach) return alpha;

    // 13. Sort ascending; the loop runs from the top. The sort may already
    //     have met a king capture: the previous move was illegal. The loop
    //     has each place sorted just before it reads it, so a cutoff spares
    //     the sorting of the rest.
    GeschKonig = 0;
    const int oben = ordnung_beginnen(tiefe, n);
    if (GeschKonig == 1) return KOENIGSWERT - (MAXTIEFE - tiefe);

    // 14. Stalemate: with few moves, see whether every one of them walks
    //     into a king capture although the side is not in check.
    if (n <= PATT_ZUEGE && tiefe > QSUCHE && !im_schach) {
        bool alle_illegal = true;
        for (int i = 1; i <= n && alle_illegal; ++i) alle_illegal = koenig_bedroht_nach(farbe, lage, liste[i]);
        if (alle_illegal) return 0;
    }

    // 15. Check extension (from the second one on a path it adds plies) and,
    //     for a node with a single legal reply, the one-reply extension.
    bool schach_erweitert = false;
    bool einzig_erweitert = false;
    bool hier_erweitert = false;
    if (nrPIECES > 7 && im_schach && QSUCHE > 6 && schachext < MAX_SCHACHEXT) {
        ++statistik.checkextensions;
        ++schachext;
        schach_erweitert = hier_erweitert = true;
        if (schachext > 1) --QSUCHE;
        if (schachext == 4) --QSUCHE;
    }
    if (schach_erweitert && schachext <= MAX_SCHACHEXT - 1) {
        int legal = 0;
        for (int i = n; i >= 1 && legal <= 1; --i)
            if (!koenig_bedroht_nach(farbe, lage, liste[i])) ++legal;
        if (legal == 1 && onerep_extended < MAX_ONEREP) {
            ++statistik.one_response;
            ++onerep_extended;
            --QSUCHE;
            einzig_erweitert = hier_erweitert = true;
        }
    }
    auto knoten_erweiterung_zurueck = [&] {
        if (einzig_erweitert) {
            ++QSUCHE;
            --onerep_extended;
        }
        if (schach_erweitert) {
            if (schachext > 1) ++QSUCHE;
            if (schachext == 4) ++QSUCHE;
            --schachext;
        }
    };

    // 16. The running window; every move after the first is tried with a
    //     null window first.
    int16_t a = static_cast<int16_t>(alpha);
    int16_t b = static_cast<int16_t>(beta);
    int flag = HASH_OBERGRENZE;
    ZugEintrag bester{};

    // 17. The move loop, best-scored move first.
    for (int i = n; i >= 1; --i) {
        const int e = i == n && oben != 0 ? oben : ordnung_platz(tiefe, i);  // the entry on place i
        const ZugEintrag& m = liste[e];
        if (tiefe == MAXTIEFE) {
            if (i == n) wurzel_farbe = farbe, wurzel_erster = e;
            wurzel_zuege = n, wurzel_offen = i - 1, wurzel_aktuell = m;
            if (wurzel_anzeige != nullptr) wurzel_anzeige(m);
            if (wurzel_eingeschraenkt() && !in_wurzel_auswahl(m)) continue;
            ++wurzel_nummer;
            if (wurzel_meldung != nullptr) wurzel_meldung(e);
        }
        bool zug_erweitert = false;
        if (m.von == 0) continue;
        if (nimmt_koenig(m)) {
            knoten_erweiterung_zurueck();
            return KOENIGSWERT - (MAXTIEFE - tiefe);
        }

        // 17.5 Below the horizon: captures only, hard limit, delta test.
        if (tiefe <= QSUCHE) {
            if (tiefe <= QSUCHE - QSUCHE_TIEFE) return alpha;
            if (std::abs(figurenwert[m.geschlagen + 6]) + standpat <= alpha) continue;
            zugausf(tiefe, e);
            lage_nach_zug(lage, m, lagen[tiefe - 1]);
            kindlinie.anzahl = 0;
            kind_lage = true;
            const int s = -AlphaBeta(tiefe - 1, -beta, -alpha, gegner, &kindlinie);
            if (abgebrochen) {
                zugzur(tiefe, e);
                return alpha;
            }
            if (s >= beta) {
                zugzur(tiefe, e);
                return beta;
            }
            if (s > alpha) alpha = s;
            zugzur(tiefe, e);
            continue;
        }

        // 17.6 At most one extension per move: a move next to the enemy king
        //      (as the latest evaluation saw it), a pawn reaching its last two
        //      ranks, or a cheaper recapture of a piece on the same square.
        {
            const int q = QSUCHE;
            const int gegnerkoenig = farbe == WEISS ? eval_iskonig : eval_iwkonig;
            const CapMove* vorher = tiefe < MAXTIEFE ? &capmove[tiefe + 1] : nullptr;
            bool erweitern = false;
            if (nrPIECES > 10 && q > 6 && extended <= 0 && distance[m.nach][gegnerkoenig] == 1) {
                ++statistik.threat_extension;
                erweitern = true;
            } else if (extended <= 0 && q > 6 &&
                       ((m.figur == wbauer && i_reihe[m.nach] > 6) || (m.figur == sbauer && i_reihe[m.nach] <= 2))) {
                ++statistik.threat_extension;
                erweitern = true;
            } else if (q > 6 && tiefe > q + 2 && extended <= 2 && vorher != nullptr && vorher->geschlagen != leer &&
                       std::abs(vorher->geschlagen) > wbauer && m.geschlagen != leer && m.nach == vorher->nach &&
                       std::abs(m.figur) < std::abs(vorher->figur)) {
                ++statistik.capture_ext;
                erweitern = true;
            }
            if (erweitern) {
                --QSUCHE;
                ++extended;
                zug_erweitert = hier_erweitert = true;
            }
        }
        auto zug_erweiterung_zurueck = [&] {
            if (zug_erweitert) {
                ++QSUCHE;
                --extended;
            }
        };

        // 17.7 Make the move and remember a capture for the recapture test.
        //      A child above the horizon probes the table first thing: start
        //      loading its slot (a reduction can only lift the horizon).
        zugausf(tiefe, e);
        if (tiefe - 1 > QSUCHE) __builtin_prefetch(&hashtable[hashplatz(hashindex)]);
        Lage& kind = lagen[tiefe - 1];
        lage_nach_zug(lage, m, kind);
        if (m.geschlagen != leer) capmove[tiefe] = {static_cast<int16_t>(m.nach), m.geschlagen, m.figur};

        // 17.8 Futility near the horizon and one reduction per path, for
        //      quiet moves of a node that is not in check and extended nothing.
        const bool ruhig = !hier_erweitert && !im_schach && m.geschlagen == leer;
        bool kind_ist_bewertet = false;
        if (ruhig && i < n && (tiefe == QSUCHE + 1 || tiefe == QSUCHE + 2)) {
            const int rand = tiefe == QSUCHE + 1 ? 200 : 300;
            const int marge = tiefe == QSUCHE + 1 ? 350 : 550;
            const int s = bewerte(kind, farbe, alpha - rand, beta + rand);
            if (s + marge <= alpha) {
                ++statistik.futility;
                zugzur(tiefe, e);
                continue;
            }
            kind_ist_bewertet = true;
        }
        bool reduziert = false;
        if (ruhig && tiefe > QSUCHE + 2 && reduction == 0) {
            const int rand = reduktionsrand(tiefe - QSUCHE);
            const int s = bewerte(kind, farbe, alpha - rand, beta + rand);
            if (s + rand < alpha) {
                ++QSUCHE;
                reduction = 1;
                ++statistik.reductions;
                reduziert = true;
            }
        }

        // 17.9 Principal-variation search: a null-window result inside the
        //      real window is searched again with the window from s - 1.
        if (vorgeschichte_anzahl > 0) pfad_stempeln(tiefe, m);
        kindlinie.anzahl = 0;
        kind_bewertet = kind_ist_bewertet;  // nothing evaluated since
        kind_lage = true;
        int s = -AlphaBeta(tiefe - 1, -b, -a, gegner, &kindlinie);
        if (!abgebrochen && a < s && s < beta && i < n && tiefe > QSUCHE + 1) {
            kindlinie.anzahl = 0;
            kind_lage = true;  // the child's summary is still on its level
            s = -AlphaBeta(tiefe - 1, -beta, 1 - s, gegner, &kindlinie);
        }

        // 17.10 The reduction ends with this move's search; fail hard low.
        //       A stopped search unwinds here with the path state restored
        //       and nothing of the move's unfinished subtree kept.
        if (reduziert) {
            reduction = 0;
            --QSUCHE;
        }
        if (abgebrochen) {
            zug_erweiterung_zurueck();
            knoten_erweiterung_zurueck();
            zugzur(tiefe, e);
            return alpha;
        }
        if (s < a) s = a;
        a = static_cast<int16_t>(s);

        // 17.11 Beta cutoff.
        if (s >= beta) {
            if (m.geschlagen == leer) killer_merken(tiefe, m);
            if (i == n) {
                ++statistik.firstbetacutoff;
            } else {
                ++statistik.cutoff_zaehler;
                statistik.cutoff_zahl += n - i + 1;
            }
            knoten_erweiterung_zurueck();
            zug_erweiterung_zurueck();
            ++statistik.betacuts;
            zugzur(tiefe, e);
            assert(tiefe > q0 && "a slot only for full-width nodes");
            ToHash(slot, tiefe, s, m, HASH_UNTERGRENZE);
            return s;
        }

        // 17.12 A new best move; its line is this move and the child's line.
        //       Inside a null-move subtree no line is kept.
        if (s > alpha) {
            bester = m;
            if (nullstatus == 0) {
                const int laenge = std::min(kindlinie.anzahl, VARIANTE_ZUEGE - 1);
                variante->zuege[0] = m;
                for (int k = 0; k < laenge; ++k) variante->zuege[k + 1] = kindlinie.zuege[k];
                variante->anzahl = laenge + 1;
            }
            flag = HASH_EXAKT;
            alpha = s;
        }

        // 17.13
        b = static_cast<int16_t>(a + 1);
        zug_erweiterung_zurueck();
        zugzur(tiefe, e);
    }

    // 18.-20.
    if (tiefe > QSUCHE && (tiefe != MAXTIEFE || !wurzel_eingeschraenkt())) {
        assert(tiefe > q0 && "a slot only for full-width nodes");
        ToHash(slot, tiefe, alpha, bester, flag);
    }
    knoten_erweiterung_zurueck();
    return alpha;
}

}  // namespace kelpin
