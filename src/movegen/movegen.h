// Move generation: the per-level move lists (an entry made and unmade), the
// full and the capture generator, the check test and the path counter. Every
// global of the subsystem is declared here and defined once in movegen.cpp.
#pragma once
#include <cstdint>

#include "board/board.h"

namespace kelpin {

inline constexpr int LISTEN = 256;   // one list per level
inline constexpr int PLAETZE = 256;  // entries per list; entry 0 stays unused
inline constexpr int MAXZUEGE = PLAETZE - 1;

// One list per level: a level is regenerated without disturbing the lists of
// the levels above it, and nothing is ever allocated.
extern ZugEintrag zug[LISTEN][PLAETZE];
extern int32_t index[LISTEN];  // moves of zug[p] are entries 1 ... index[p]

// The capture last made at a level, for the recapture extension.
struct CapMove {
    int16_t nach;
    int16_t geschlagen;
    int16_t figur;
};
extern CapMove capmove[LISTEN];

// Play and take back entry i of move list ply.
inline void zugausf(int ply, int i) { zug_machen(zug[ply][i]); }
inline void zugzur(int ply, int i) { zug_nehmen(zug[ply][i]); }

extern int64_t perftnodes;  // 64 bits: depth 7 from the start already passes 2^31
extern int32_t debugmode;  // 1: movegen() prints the list it generated

int movegen(int tiefe, int farbe);
int qmovegen(int tiefe, int farbe);
// movegen and qmovegen with the board's summary given, which must be that of
// brett as it stands: its masks spare reading the board for them.
int movegen_aus(int tiefe, int farbe, const Lage& lage);
int qmovegen_aus(int tiefe, int farbe, const Lage& lage);
int inSchach(int farbe);

// The same answer as inSchach (farbe 1 White, any other value Black) by
// looking outward from the king squares instead of generating the
// opponent's captures; leaves every move list alone. Kings are found by
// scanning the board, so a set-up board with several kings is judged like
// inSchach judges it.
bool koenig_bedroht(int farbe);
bool koenig_bedroht_aus(int farbe, const Lage& lage);  // with brett's summary given
// Whether a king of farbe could be taken after move m of the board that
// `lage` summarises (brett as it stands), as zug_machen, koenig_bedroht and
// zug_nehmen would tell, without making it where the summary can tell.
bool koenig_bedroht_nach(int farbe, const Lage& lage, const ZugEintrag& m);
// True when a piece of side `angreifer` could capture on square s.
bool angegriffen(int s, int angreifer);
// True when some move of side g's complete list, castling aside, ends on
// square x (onto an empty square a pawn steps, onto the other side's piece it
// captures): what the castling test asks of the opponent's list, without
// generating it.
bool zug_endet_auf(int x, int g);
int perft(int tiefe, int farbe);

}  // namespace kelpin
