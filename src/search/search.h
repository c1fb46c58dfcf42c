// Search: AlphaBeta with its quiescence behaviour and selective steps, the
// transposition table and the move ordering. Every global of the subsystem is
// declared here and defined once in one of its .cpp files.
#pragma once
#include <cstdint>

#include "movegen/movegen.h"
#include "search/ordnung.h"

namespace kelpin {

inline constexpr int VARIANTE_ZUEGE = 1024;

// The line a node hands back to its caller, first move first.
struct Variante {
    int32_t anzahl;
    ZugEintrag zuege[VARIANTE_ZUEGE];
};

// --- scores -----------------------------------------------------------------

// A king capture scores KOENIGSWERT less the levels from the root, so a mate
// found nearer scores higher; every score beyond MATT_SCHWELLE (either sign)
// is a mate, and the levels to it give its distance.
inline constexpr int KOENIGSWERT = 20000;
inline constexpr int MATT_SCHWELLE = 19000;

// --- levels and path state --------------------------------------------------

inline constexpr int QSUCHE_START = 60;
// QSUCHE, the horizon level, is declared in search/ordnung.h.
extern int32_t MAXTIEFE;  // root level of the current iteration
extern int16_t nullstatus;
extern int16_t schachext;
extern int16_t onerep_extended;
extern int16_t extended;
extern int16_t reduction;
extern int16_t sel_gipfel;

struct Wiederholung {
    uint64_t kennung;
    uint64_t index;
};
extern Wiederholung wiederholung[EBENEN];

// --- statistics -------------------------------------------------------------

// What a turn counts: the node counts that the limits and the status lines
// read, and the tallies of the search statistics report. The search owns
// them; suche_vorbereiten zeroes them (and the evaluation's `evals`).
struct Statistik {
    int64_t nodes, qnodes;  // 64 bits: an analysis that runs for hours passes 2^31 nodes
    int32_t reps;
    int32_t hashtreffer, hashbetacut, hashalphacut, hashstores;
    int32_t nullcut, checkextensions, capture_ext, futility, reductions;
    int16_t one_response, threat_extension;
    int32_t betacuts, firstbetacutoff, cutoff_zaehler, cutoff_zahl;
};
extern Statistik statistik;

// --- transposition table ----------------------------------------------------

inline constexpr uint64_t HASHEINTRAEGE = 1048577;  // 2^20 + 1, indexed by modulo
inline constexpr int HASH_EXAKT = 1, HASH_OBERGRENZE = 2, HASH_UNTERGRENZE = 3;

// The move of an entry: every field of a move the generators write, in
// eight bytes (squares up to 127, piece codes -8 ... 7, the file of a double
// step up to 15; reserve is always 0), so that an entry is 32 bytes and one
// probe reads one cache line.
struct Tabellenzug {
    uint32_t von : 7;
    uint32_t nach : 7;
    int32_t figur : 4;
    int32_t geschlagen : 4;
    uint32_t umwandlung : 1;
    uint32_t rochade : 1;
    uint32_t ep_linie : 4;
    int32_t neue_figur : 4;
    int32_t sortwert;
};
static_assert(sizeof(Tabellenzug) == 8);

inline Tabellenzug tabellenzug(const ZugEintrag& m) {
    Tabellenzug t{};
    t.von = m.von;
    t.nach = m.nach;
    t.figur = m.figur;
    t.geschlagen = m.geschlagen;
    t.umwandlung = static_cast<uint32_t>(m.umwandlung);
    t.rochade = static_cast<uint32_t>(m.rochade);
    t.ep_linie = static_cast<uint32_t>(m.ep_linie);
    t.neue_figur = m.neue_figur;
    t.sortwert = m.sortwert;
    return t;
}

inline ZugEintrag als_zug(const Tabellenzug& t) {
    ZugEintrag m{};
    m.von = static_cast<uint16_t>(t.von);
    m.nach = static_cast<uint16_t>(t.nach);
    m.figur = static_cast<int16_t>(t.figur);
    m.geschlagen = static_cast<int16_t>(t.geschlagen);
    m.umwandlung = static_cast<int16_t>(t.umwandlung);
    m.rochade = static_cast<int16_t>(t.rochade);
    m.ep_linie = static_cast<int16_t>(t.ep_linie);
    m.sortwert = t.sortwert;
    m.neue_figur = static_cast<int16_t>(t.neue_figur);
    return m;
}

// Packed to 32 bytes; the table itself starts on a cache line.
struct [[gnu::packed]] HashEintrag {
    uint64_t kennung;
    uint64_t kennung2;
    uint16_t tiefe;
    int32_t wert;
    int16_t flag;
    Tabellenzug bestzug;
};
static_assert(sizeof(HashEintrag) == 32);

// The table in use and its entries: the static table of HASHEINTRAEGE
// entries unless another size was asked for (UCI's Hash option).
extern HashEintrag* hashtable;
extern uint64_t hasheintraege;
inline constexpr int64_t HASH_MB_STANDARD = 32;  // the static table, in MiB (rounded)
inline constexpr int64_t HASH_MB_GROESST = int64_t{1} << 20;  // what the option offers; the machine decides

// The round of the table: every clearing begins a new one, and an entry
// carries the round it was written in, folded into its second key. An entry
// of an earlier round matches no position, so the table is as good as empty
// after a clearing that writes nothing, whatever its size.
extern uint64_t tabellenrunde;

// True when the entry holds the current position, written in this round.
inline bool hash_passt(const HashEintrag& h) {
    return h.kennung == hashkennung && h.kennung2 == (hashkennung2 ^ tabellenrunde);
}

// The slot of a position: the remainder by the size. For the static table
// the divisor is a constant, which the compiler turns into multiplications.
inline uint64_t hashplatz(uint64_t index) {
    return hasheintraege == HASHEINTRAEGE ? index % HASHEINTRAEGE : index % hasheintraege;
}

// A table of `mb` MiB (HASH_MB_STANDARD: the static one), empty and with
// every page already in memory, so that no search pays for the mapping;
// false (and the table as it was) when the memory cannot be had: the
// mapping fails, or it is more than the machine has free.
bool hash_groesse(int64_t mb);

void ToHash(uint64_t slot, int tiefe, int wert, ZugEintrag zug, int flag);
// The move the table holds for the position on the board (keys as they
// stand), if it holds one from this round.
bool tabellenzug_holen(ZugEintrag& m);
// Empties the table by beginning a new round: no entry is written.
void InitHash();
// Per mille of the table written in this round, from its first thousand
// slots (for a status line).
int hash_promille();

// --- move ordering ----------------------------------------------------------

// Raised by the move sort when it meets a king capture.
extern int16_t GeschKonig;

struct PlyKiller {
    int32_t zaehler1;
    ZugEintrag zug1;
    int32_t zaehler2;
    ZugEintrag zug2;
};

// killer, history_heuristic, faktor and historywrites: search/ordnung.h.
extern PlyKiller plykiller[EBENEN];
extern ZugEintrag oldhvar[EBENEN];

void InitSearch();

// A turn's start: the statistics zeroed, the table emptied, the keys taken
// from the board, the ordering tables reset (the hints and killers of the
// previous turn stay: they are the next turn's first guesses).
void suche_vorbereiten();
// The first k moves of a line (zuege[0] first) become the hints of the levels from `oben`
// down (move i at level oben - i), for the next iteration or turn.
void hinweise_setzen(const ZugEintrag* zuege, int k, int oben);
// Forgets what a turn leaves for the next one: the hints and the killers.
void hinweise_vergessen();
void qmoveorder(int tiefe, int lo, int hi);

// The order qmoveorder(tiefe, 1, n) gives a list, found one place at a time
// from the top and without moving the records: after ordnung_beginnen,
// ordnung_platz(tiefe, k) for k = n, n - 1, ... returns the entry that the
// whole sort would put on place k. The order of a range after the sort
// depends only on what the range holds, not on when the ranges beside it are
// sorted, so partitioning only the range that holds the next place gives the
// same places, and a cutoff leaves the rest unsorted. In a list with a king
// capture the ranges that hold one are sorted at once, raising GeschKonig
// where qmoveorder would. Returns the entry on the top place when it is known
// without sorting (what ordnung_platz(tiefe, n) would return next), else 0.
int ordnung_beginnen(int tiefe, int n);
int ordnung_platz(int tiefe, int k);

// --- stopping and the game before the root ---------------------------------

// Asked every ABFRAGE_KNOTEN nodes while a search runs: true ends the search
// at once. The driver sets it; nullptr never stops. The check costs nothing
// else, and it reads the node count, so it never changes what is searched.
inline constexpr int64_t ABFRAGE_KNOTEN = 4096;
extern bool (*anhalten)();
// Set once a search has been told to stop: every node returns at once and
// nothing that is unwound is stored, remembered as a killer or handed up as
// a line. The driver clears it before each search.
extern bool abgebrochen;

// The positions of the game before the root, since its last capture or pawn
// move, as keys of placement, side to move,
// castling rights and a possible en-passant capture (stellungskennung,
// rechte_kennung, ep_kennung). A node reached by reversible moves from the
// root that repeats one is a draw. The root's castling rights come with
// them: a king or rook leaving home on the way gives a position of its own.
inline constexpr int VORGESCHICHTE = 1024;
extern uint64_t vorgeschichte[VORGESCHICHTE];
extern int32_t vorgeschichte_anzahl;
extern int32_t wurzel_rechte;

// The root's progress in the running iteration, for a status line: the
// moves of its list, those not yet begun, and the one being searched.
extern int32_t wurzel_zuege, wurzel_offen;
extern ZugEintrag wurzel_aktuell;

// The root's moves restricted to a set (a book move scored alone, an
// interface's choice): moves outside it are passed over at the root. None:
// every move. Beside it the moves passed over all the same: an interface's
// exclusions, and in a search for several lines the moves whose lines this
// iteration has already found. Moves compare by their squares and promoted
// piece. A restricted root neither takes a score from the table nor leaves
// one there, since the score of a part of its moves is not the position's.
extern ZugEintrag wurzel_auswahl[MAXZUEGE];
extern int32_t wurzel_auswahl_anzahl;
extern ZugEintrag wurzel_ausschluss[MAXZUEGE];
extern int32_t wurzel_ausschluss_anzahl;
inline bool wurzel_eingeschraenkt() { return wurzel_auswahl_anzahl > 0 || wurzel_ausschluss_anzahl > 0; }
// True when the move is in the set and not excluded.
bool in_wurzel_auswahl(const ZugEintrag& m);

// Told of every root move of the set just before it is searched (nullptr:
// nobody is): the driver's status lines. `eintrag` is the move's entry in
// the root's list; wurzel_nummer counts the moves of the set begun in this
// visit of the root, pseudo-legal ones included.
extern void (*wurzel_meldung)(int eintrag);
extern int32_t wurzel_nummer;
// Told of every move of the root's list as it is taken up, in or out of the
// set (nullptr: nobody is): the console's progress line.
extern void (*wurzel_anzeige)(const ZugEintrag& m);

// For a search stopped before any root move was searched to its end: the
// legal move the root's own ordering put first in the latest iteration (the
// hints of the previous line and the table come first, then the scores);
// false when the root had no legal move in its list.
bool wurzel_vorschlag(ZugEintrag& m);

// --- the search -------------------------------------------------------------

int AlphaBeta(int tiefe, int alpha, int beta, int farbe, Variante* variante);

}  // namespace kelpin
