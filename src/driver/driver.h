// Game driver: start-up, the command loop, moves read from the input and the
// game flow, the thinking driver, the clock, the board display and help.
#pragma once
#include <cstdint>

#include "search/search.h"

namespace kelpin {

inline constexpr const char* NAME = "Kelpin 0.2b";

extern int16_t ausgabe;        // 0 XBoard mode, 1 console mode (for good)
extern int16_t forcemode;      // 1: moves read are played, not answered
extern int16_t computerfarbe;  // the side the engine plays
extern int32_t THINKTIME;      // seconds per move (st)
extern int32_t t_start;        // clock at the start of a turn or a perft
extern int32_t tiefengrenze;   // sd: nominal depth limit, 0 for none

// --- game record ------------------------------------------------------------

inline constexpr int PARTIE_ZUEGE = 1000;  // entries 1 ... 999; 0 stays unused

struct PartieEintrag {
    char zugtext[256];
    uint64_t schluessel;
};
extern PartieEintrag gamehistory[PARTIE_ZUEGE];

// --- the clock and the budget ------------------------------------------------

// A monotonic clock in milliseconds, wrapping in 32 bits; only differences count.
int32_t timer();
// Milliseconds since an earlier reading, right across the 32-bit wrap.
int64_t vergangen(int32_t seit);

// The time situation of one turn, in milliseconds.
struct Uhrstand {
    static constexpr int64_t KEINE = INT64_MIN;
    int64_t fest_ms = KEINE;      // a fixed time per move (st); negative: one iteration
    int64_t rest_ms = KEINE;      // the engine's clock
    int64_t gegner_ms = KEINE;    // the opponent's clock
    int64_t inkrement_ms = 0;     // added to the clock after each move
    int zuege_bis_kontrolle = 0;  // moves to the next control; 0 for the rest of the game
};

// After the target no new iteration starts; at the hard limit the search is
// stopped wherever it is.
struct Zeitbudget {
    int64_t ziel_ms;
    int64_t hart_ms;
};

// The constants of the budget, chosen by measurement (see the README).
inline constexpr int64_t ZEIT_UEBERTRAGUNG_MS = 30;  // lost per move between engine and interface
inline constexpr int64_t ZEIT_MINDESTENS_MS = 10;    // the least hard limit
inline constexpr int ZEIT_HORIZONT = 30;             // moves assumed still to play in sudden death
inline constexpr int64_t ZEIT_HART_FAKTOR = 4;       // hard limit over target
inline constexpr int64_t ZEIT_WACHSTUM_ZEHNTEL = 15; // the next iteration takes at least 1.5 times this one

Zeitbudget budget(const Uhrstand& u);

// What the interface said, kept until it says otherwise.
void uhr_st();  // st: THINKTIME is now a fixed ceiling per move
void uhr_level(int zuege, int64_t basis_ms, int64_t inkrement_ms);
void uhr_zeit(int64_t ms);    // time
void uhr_gegner(int64_t ms);  // otim
void uhr_neue_partie();       // new: clocks unknown again, no depth limit
// The situation of the side to move, which has made `eigene_zuege` moves
// since the game began.
Uhrstand uhrstand(int eigene_zuege);

// --- start-up and the command loop -------------------------------------------

// Reads and carries out commands until the input ends; returns 0 then.
int spiel();
// Runs one line of input: the keyword chain, then the word as a move.
void befehl(const char* zeile);

// --- moves and the game flow ------------------------------------------------

// Takes a command word as a move of the game; false when its first four
// characters are not two square names.
bool zugeingabe(const char* wort);
void listeausgabe();
// The game begins anew from the board as it stands (new, setboard): what the
// game level knows beyond the board (a pending en passant, the positions so
// far) is forgotten, and the side to move is the one that moves first.
void partie_neu();
// Moves that `seite` has made since the game began.
int eigene_zuege(int seite);

// The command loop's line record: every search returns its line here, and
// the slots keep their contents from one search to the next.
extern Variante linie;
// Iterations that ended outside their window since the last one inside.
extern int fehlversuche;

// What a thinking turn may spend.
struct Suchauftrag {
    int64_t ziel_ms = -1;  // no iteration starts after it; -1 for no clock
    int64_t hart_ms = -1;  // the search is stopped there; -1 for never
    int tiefe = 0;         // nominal depth limit, 0 for none
    int64_t knoten = 0;    // node limit, 0 for none (checked every few thousand nodes)
    bool endlos = false;   // only a stop, a limit above or the level limit end it
};

// A thinking turn: returns the score of the last iteration and leaves the line
// in `linie`; `frisch` tells whether some iteration of this turn returned a
// line at all. A search stopped by the hard limit leaves the line of the last
// completed iteration, or of a root move that the stopped iteration had
// searched to its end and found better.
int denken(Variante* linie, const Suchauftrag& auftrag, bool* frisch = nullptr);
// A thinking turn and the move it plays on the board.
void computerzug();
void zug_drucken(const ZugEintrag& m);

// --- display ----------------------------------------------------------------

int brettanz();
int help();

}  // namespace kelpin
