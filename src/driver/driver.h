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
extern int32_t THINKTIME;      // seconds per move
extern int32_t t_start;        // clock at the start of a turn or a perft

// --- game record ------------------------------------------------------------

inline constexpr int PARTIE_ZUEGE = 1000;  // entries 1 ... 999; 0 stays unused

struct PartieEintrag {
    char zugtext[256];
    uint64_t schluessel;
};
extern PartieEintrag gamehistory[PARTIE_ZUEGE];

// --- the clock --------------------------------------------------------------

// Wall clock in milliseconds, wrapping in 32 bits; only differences count.
int32_t timer();
// Milliseconds since an earlier reading, right across the 32-bit wrap.
int64_t vergangen(int32_t seit);

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
// Forgets what the game level knows beyond the board (a pending en passant).
void partie_neu();

// The command loop's line record: every search returns its line here, and
// the slots keep their contents from one search to the next.
extern Variante linie;
// Iterations that ended outside their window since the last one inside.
extern int fehlversuche;

// A thinking turn: returns the score of the last iteration and leaves the line
// in `linie`. nominal_grenze > 0 stops after the iteration of that nominal
// depth instead of the clock (for the search signature); `frisch` tells
// whether some iteration of this turn returned a line at all.
int denken(Variante* linie, int nominal_grenze = 0, bool* frisch = nullptr);
// A thinking turn and the move it plays on the board.
void computerzug();
void zug_drucken(const ZugEintrag& m);

// --- display ----------------------------------------------------------------

int brettanz();
int help();

}  // namespace kelpin
