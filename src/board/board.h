// Board and position: the one game position, its square tables, the three
// position keys, set-up, make/unmake and the built-in test positions. Every
// global of the subsystem is declared here and defined once in its .cpp files.
#pragma once
#include <array>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelpin {

// Squares run 1 ... 64 rank by rank from a1; 0 is "no square" (a missing
// king, an unset square variable).
inline constexpr int a1 = 1, b1 = 2, c1 = 3, d1 = 4, e1 = 5, f1 = 6, g1 = 7, h1 = 8;
inline constexpr int a2 = 9, b2 = 10, c2 = 11, d2 = 12, e2 = 13, f2 = 14, g2 = 15, h2 = 16;
inline constexpr int a3 = 17, b3 = 18, c3 = 19, d3 = 20, e3 = 21, f3 = 22, g3 = 23, h3 = 24;
inline constexpr int a4 = 25, b4 = 26, c4 = 27, d4 = 28, e4 = 29, f4 = 30, g4 = 31, h4 = 32;
inline constexpr int a5 = 33, b5 = 34, c5 = 35, d5 = 36, e5 = 37, f5 = 38, g5 = 39, h5 = 40;
inline constexpr int a6 = 41, b6 = 42, c6 = 43, d6 = 44, e6 = 45, f6 = 46, g6 = 47, h6 = 48;
inline constexpr int a7 = 49, b7 = 50, c7 = 51, d7 = 52, e7 = 53, f7 = 54, g7 = 55, h7 = 56;
inline constexpr int a8 = 57, b8 = 58, c8 = 59, d8 = 60, e8 = 61, f8 = 62, g8 = 63, h8 = 64;

// Piece codes: the sign is the colour, the magnitude the kind. Code + 6
// indexes every per-piece table.
inline constexpr int leer = 0;
inline constexpr int wbauer = 1, wspringer = 2, wlaufer = 3, wturm = 4, wdame = 5, wkonig = 6;
inline constexpr int sbauer = -1, sspringer = -2, slaufer = -3, sturm = -4, sdame = -5, skonig = -6;

inline constexpr int WEISS = 1;  // side codes of werdran, farbe, computerfarbe
inline constexpr int SCHWARZ = 2;

inline constexpr int gegenseite(int farbe) { return farbe == WEISS ? SCHWARZ : WEISS; }

inline constexpr int BRETTGROESSE = 72;  // 1 ... 64 are squares, the rest stays 0

// --- the position -----------------------------------------------------------

extern int16_t brett[BRETTGROESSE];
extern int16_t werdran;

// 0 while the piece that started on the square has not left it.
extern int16_t a1_bewegt, h1_bewegt, h8_bewegt, a8_bewegt, e1_bewegt, e8_bewegt;

// Half-moves of the game record; the set-up resets it, test positions may
// push it past the opening.
extern int32_t SpielZugNummer;

// 1 while the board holds a set-up position rather than one reached from
// the initial position by the game's moves.
extern int16_t teststellung_an;

// The board packed to one byte per square (squares 1 ... 64), with the
// pieces of side vz (1 White, -1 Black) positive: one compare gives the mask
// (bit s - 1 for square s) of every square holding a code, eight or sixteen
// squares at a time.
struct Brettbild {
#if defined(__SSE2__)
    __m128i teil[4];
#else
    int8_t feld[64];
#endif
};

inline Brettbild brettbild(int vz) {
    Brettbild b;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 1 + 16 * k)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 9 + 16 * k)));
        b.teil[k] = vz > 0 ? x : _mm_sub_epi8(_mm_setzero_si128(), x);
    }
#else
    for (int s = 1; s <= 64; ++s) b.feld[s - 1] = static_cast<int8_t>(vz * brett[s]);
#endif
    return b;
}

// The squares whose code (as the picture shows it) equals c, or with
// `unter` lies below c.
inline uint64_t felder_vergleich(const Brettbild& b, int c, bool unter) {
    uint64_t maske = 0;
#if defined(__SSE2__)
    const __m128i wert = _mm_set1_epi8(static_cast<char>(c));
    for (int k = 0; k < 4; ++k) {
        const __m128i ja = unter ? _mm_cmplt_epi8(b.teil[k], wert) : _mm_cmpeq_epi8(b.teil[k], wert);
        maske |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(ja))) << (16 * k);
    }
#else
    for (int s = 0; s < 64; ++s) maske |= static_cast<uint64_t>(unter ? b.feld[s] < c : b.feld[s] == c) << s;
#endif
    return maske;
}

// The squares holding code c (seen from the side the picture was taken for).
inline uint64_t felder_gleich(const Brettbild& b, int c) { return felder_vergleich(b, c, false); }

// The squares holding a code below c: with c = leer the other side's pieces.
inline uint64_t felder_unter(const Brettbild& b, int c) { return felder_vergleich(b, c, true); }

inline uint64_t besetzte_felder() { return ~felder_gleich(brettbild(1), leer); }

// The lowest square of a non-empty mask, which is then removed from it.
inline int naechstes_feld(uint64_t& maske) {
    const int s = __builtin_ctzll(maske) + 1;
    maske &= maske - 1;
    return s;
}

// --- constant tables --------------------------------------------------------

// Every square table below has 72 entries: slot 0 and 65 ... 71 are 0, so a
// missing king (square 0) reads 0 everywhere. Rows run from rank 1 upward,
// so the tables read upside down against a diagram.
inline constexpr int i_linie[72] = {
    0,
    1, 2, 3, 4, 5, 6, 7, 8,  1, 2, 3, 4, 5, 6, 7, 8,  1, 2, 3, 4, 5, 6, 7, 8,
    1, 2, 3, 4, 5, 6, 7, 8,  1, 2, 3, 4, 5, 6, 7, 8,  1, 2, 3, 4, 5, 6, 7, 8,
    1, 2, 3, 4, 5, 6, 7, 8,  1, 2, 3, 4, 5, 6, 7, 8,
    0, 0, 0, 0, 0, 0, 0,
};

inline constexpr int i_reihe[72] = {
    0,
    1, 1, 1, 1, 1, 1, 1, 1,  2, 2, 2, 2, 2, 2, 2, 2,  3, 3, 3, 3, 3, 3, 3, 3,
    4, 4, 4, 4, 4, 4, 4, 4,  5, 5, 5, 5, 5, 5, 5, 5,  6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7,  8, 8, 8, 8, 8, 8, 8, 8,
    0, 0, 0, 0, 0, 0, 0,
};

// Edge ring: 1 on the outer ring, 2 on the second, 0 in the middle sixteen.
inline constexpr int brettrand[72] = {
    0,
      1,   1,   1,   1,   1,   1,   1,   1,  // rank 1
      1,   2,   2,   2,   2,   2,   2,   1,  // rank 2
      1,   2,   0,   0,   0,   0,   2,   1,  // rank 3
      1,   2,   0,   0,   0,   0,   2,   1,  // rank 4
      1,   2,   0,   0,   0,   0,   2,   1,  // rank 5
      1,   2,   0,   0,   0,   0,   2,   1,  // rank 6
      1,   2,   2,   2,   2,   2,   2,   1,  // rank 7
      1,   1,   1,   1,   1,   1,   1,   1,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


// Centre weight, symmetric about the board's middle.
inline constexpr int zentrum[72] = {
    0,
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 1
      1,   1,   2,   3,   3,   2,   1,   1,  // rank 2
      1,   2,   4,   5,   5,   4,   2,   1,  // rank 3
      2,   3,   6,  12,  12,   6,   3,   2,  // rank 4
      2,   3,   6,  12,  12,   6,   3,   2,  // rank 5
      1,   2,   4,   5,   5,   4,   2,   1,  // rank 6
      1,   1,   2,   3,   3,   2,   1,   1,  // rank 7
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


// Piece-square tables, all from White's point of view: the Black tables are
// mostly negative and are not mirror images of the White ones.
inline constexpr int bfiguren_w[72] = {
    0,
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 1
      4,   1,  -1,  -4,  -4,   0,   0,   4,  // rank 2
      1,   2,   1,   2,   2,   0,   3,   1,  // rank 3
      0,   0,   3,  15,  15,   3,   0,   0,  // rank 4
      0,   0,   3,   7,   7,   3,   0,   0,  // rank 5
      2,   4,   2,   3,   3,   2,   4,   2,  // rank 6
     28,  28,  28,  28,  28,  28,  28,  28,  // rank 7
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int bfiguren_s[72] = {
    0,
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 1
    -28, -28, -28, -28, -28, -28, -28, -28,  // rank 2
     -2,  -4,  -2,  -3,  -3,  -2,  -4,  -2,  // rank 3
      0,   0,  -3,  -7,  -7,  -3,   0,   0,  // rank 4
      0,   0,  -3, -15, -15,  -3,   0,   0,  // rank 5
     -1,  -2,  -1,  -2,  -2,   0,  -3,  -6,  // rank 6
     -4,  -1,   1,   4,   4,   0,   0,  -4,  // rank 7
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int sfiguren_w[72] = {
    0,
    -10, -10, -10, -10, -10, -10, -10, -10,  // rank 1
      0,   4,   0,   5,   4,   0,   4,   0,  // rank 2
      0,   2,   6,   4,   4,   6,   2,   0,  // rank 3
      0,   0,   6,   7,   7,   6,   0,   0,  // rank 4
      0,   6,   4,   8,   6,   4,   6,   0,  // rank 5
      0,   6,   9,   6,   6,   9,   7,   0,  // rank 6
      0,   6,   6,   8,   8,   6,   6,   0,  // rank 7
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int sfiguren_s[72] = {
    0,
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 1
      0,  -6,  -6,  -8,  -8,  -6,  -6,   0,  // rank 2
      0,  -6,  -9,  -6,  -6,  -9,  -6,   0,  // rank 3
      0,  -6,  -4,  -8,  -6,  -4,  -6,   0,  // rank 4
      0,   0,  -6,  -7,  -7,  -6,   0,   0,  // rank 5
      0,  -2,  -6,  -4,  -4,  -6,  -2,   0,  // rank 6
      0,  -4,   0,  -5,  -4,   0,  -4,   0,  // rank 7
      0,   4,   0,   0,   0,   0,   4,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int lfiguren_w[72] = {
    0,
    -10, -10, -10, -10,   0, -10,   0,   1,  // rank 1
      1,   2,   1,   2,   2,   0,   5,   0,  // rank 2
      0,   1,   0,   6,   6,   3,   1,   1,  // rank 3
      2,   0,  14,   7,   7,  14,   0,   2,  // rank 4
      0,  13,   3,   4,   4,   3,  13,   0,  // rank 5
      1,   2,   3,   8,   8,   3,   2,  10,  // rank 6
      1,   2,   3,   3,   3,   3,   2,   1,  // rank 7
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int lfiguren_s[72] = {
    0,
      0,   0,   0,   0,   0,   0,   0,   0,  // rank 1
     -1,  -2,  -3,  -3,  -3,  -3,  -2,  -1,  // rank 2
     -1,  -2,  -3,  -3,  -3,  -3,  -2,  -1,  // rank 3
      0,  -4,  -3,  -3,  -3,  -3,  -4,   0,  // rank 4
     -2,   0,  -4,  -2,  -2,  -4,   0,  -2,  // rank 5
      0,  -1,   0,  -3,  -3,   0,  -1,   0,  // rank 6
     -1,  -3,   0,  -3,  -3,  -2,  -4,   0,  // rank 7
     -2,  -2,   4,   0,   0,   4,   0,  -1,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int tfiguren_w[72] = {
    0,
      2,   2,   4,   6,   6,   4,   2,   2,  // rank 1
      2,   0,   6,   8,   8,   6,   0,   2,  // rank 2
      0,   0,   1,   1,   1,   1,   0,   0,  // rank 3
      1,   0,   1,   1,   1,   1,   0,   1,  // rank 4
      0,   0,   1,   1,   1,   1,   0,   0,  // rank 5
      4,   4,   4,   4,   4,   4,   4,   4,  // rank 6
     18,  18,  18,  18,  18,  18,  18,  18,  // rank 7
     18,  18,  18,  18,  18,  18,  18,  18,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int tfiguren_s[72] = {
    0,
    -18, -18, -18, -18, -18, -18, -18, -18,  // rank 1
    -18, -18, -18, -18, -18, -18, -18, -18,  // rank 2
     -4,  -4,  -4,  -4,  -4,  -4,  -4,  -4,  // rank 3
      0,   0,  -1,  -1,  -1,  -1,   0,   0,  // rank 4
      0,   0,  -1,  -1,  -1,  -1,   0,   0,  // rank 5
      0,   0,  -1,  -1,  -1,  -1,   0,   0,  // rank 6
     -2,   0,  -6,  -4,  -4,  -4,   0,  -2,  // rank 7
     -2,  -2,  -4,  -6,  -6,  -4,  -2,  -2,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int dfiguren_w[72] = {
    0,
      1,   0,   0,   2,   1,   0,   0,   0,  // rank 1
      0,   0,   3,   4,   3,   1,   0,   0,  // rank 2
      0,   4,   1,   3,   1,   0,   0,   0,  // rank 3
      4,   1,   0,   5,   3,   1,   0,   0,  // rank 4
      0,   0,   0,   4,   4,   0,   4,   0,  // rank 5
      4,   4,   5,   6,   6,   7,   5,   4,  // rank 6
      8,   9,  10,  14,  14,  18,  10,   8,  // rank 7
     18,  18,  18,  18,  18,  18,  18,  18,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};


inline constexpr int dfiguren_s[72] = {
    0,
    -18, -18, -18, -18, -18, -18, -18, -18,  // rank 1
     -8, -10, -18, -14, -14, -10,  -9,  -8,  // rank 2
     -4,  -5,  -7,  -6,  -6,  -5,  -4,  -4,  // rank 3
      0,  -4,   0,  -4,  -4,   0,   0,   0,  // rank 4
      0,  -1,  -1,  -3,  -3,   0,  -1,  -2,  // rank 5
      0,   0,  -1,  -1,  -3,  -1,  -4,   0,  // rank 6
      0,   0,  -1,  -3,  -4,  -3,   0,   0,  // rank 7
      0,   0,   0,   1,   2,   0,   0,   1,  // rank 8
    0,   0,   0,   0,   0,   0,   0,
};

// Piece values by code + 6; negative for Black, so their sum over the board
// is the White-positive material balance.
inline constexpr int figurenwert[13] = {-20000, -900, -500, -325, -310, -103, 0,
                                         103,    310,  325,  500,  900,  20000};

// Piece letters by code + 6: Black lower case, a blank for an empty square.
inline constexpr char figurensymbol[] = "kqrbnp PNBRQK";

// The letter of a promoted piece (code of either colour) in a move's text:
// 'q', 'r', 'b', 'n', or upper case with `gross`.
inline char umwandlungsbuchstabe(int figur, bool gross = false) {
    const int art = figur > 0 ? figur : -figur;
    return figurensymbol[gross ? 6 + art : 6 - art];
}
// The piece a promotion letter names, as White's code; leer for any other.
inline constexpr int umwandlungsfigur(char c) {
    return c == 'q' ? wdame : c == 'r' ? wturm : c == 'n' ? wspringer : c == 'b' ? wlaufer : leer;
}

// Square names; entry 0 is the empty text.
extern const char* const feld[65];

// King-move distance between two squares; row and column 0 stay 0. Filled
// by brettinit() from i_linie and i_reihe.
extern int distance[65][65];

// --- position keys ----------------------------------------------------------

// [square][code + 6][word]: word 0 feeds hashindex and hashkennung2, word 1
// feeds hashkennung. [s][0] and [s][1] double as castling-flag keys and
// [15][6] as the key of a Black move and of the null move.
extern uint64_t zufall[65][13][2];
extern uint64_t hashindex;
extern uint64_t hashkennung;
extern uint64_t hashkennung2;  // always hashindex ^ 31337

inline constexpr uint64_t KENNUNG2_START = 31337;
inline constexpr int SCHWARZ_SCHLUESSEL_FELD = 15;  // g2, code leer

// Derived from zufall by InitZobrist, so that an ordinary move (no promotion,
// no castling) updates the keys from two entries: `zug_weg` is a piece's
// entry on the square it leaves, with the side key folded in for a Black
// piece; `zug_hin` its entry on the square it reaches, with the entries of
// "no promotion" (leer) and "no castling" (flag 0) folded in. Indexed like
// zufall, with room for 16 codes so that an entry's place takes shifts only.
extern uint64_t zug_weg[65][16][2];
extern uint64_t zug_hin[65][16][2];
// The entry of a captured piece on its square, 0 for leer: no test whether
// the move captured.
extern uint64_t schlag_weg[65][16][2];

uint64_t rand64();
int InitZobrist();
int InitStellung();

// The key of the board's placement and the side to move, computed from
// scratch and touching no global: what the game's positions are compared
// by for repetitions. Word 1 of the placement entries, as hashkennung, with
// the Black-move key for Black to move.
uint64_t stellungskennung(int am_zug);
inline uint64_t schwarz_kennung() { return zufall[SCHWARZ_SCHLUESSEL_FELD][leer + 6][1]; }

// Castling rights as a mask: White short and long, Black short and long.
inline constexpr int RECHT_WK = 1, RECHT_WD = 2, RECHT_SK = 4, RECHT_SD = 8;
// The rights the castling flags give, with king and rook on their squares.
int rochaderechte();
// The rights a piece leaving square s takes away.
inline constexpr int rechte_von_feld(int s) {
    return s == e1 ? RECHT_WK | RECHT_WD
         : s == h1 ? RECHT_WK
         : s == a1 ? RECHT_WD
         : s == e8 ? RECHT_SK | RECHT_SD
         : s == h8 ? RECHT_SK
         : s == a8 ? RECHT_SD
                   : 0;
}
// Castling is written as the king's two-square step from its home square;
// the rook's move that comes with it: from, to and the rook's code. All
// zero when the king's step from `koenig_von` to `koenig_nach` is none.
struct Turmzug {
    int von, nach, turm;
};
inline constexpr Turmzug rochade_turm(int koenig_von, int koenig_nach) {
    if (koenig_von == e1 && koenig_nach == g1) return {h1, f1, wturm};
    if (koenig_von == e1 && koenig_nach == c1) return {a1, d1, wturm};
    if (koenig_von == e8 && koenig_nach == g8) return {h8, f8, sturm};
    if (koenig_von == e8 && koenig_nach == c8) return {a8, d8, sturm};
    return {0, 0, leer};
}

// Key terms that tell positions of one placement apart for repetitions: the
// castling rights, and the file of an en-passant capture that is possible.
// Taken from square 0 of zufall, which no placement uses. Filled by
// InitZobrist.
extern uint64_t rechte_kennung[16];
extern uint64_t ep_kennung[9];

// --- the board in summary ---------------------------------------------------

// One move, as generated, made, unmade, kept as a hint or stored in the
// table. Moves compare by von and nach only.
struct ZugEintrag {
    uint16_t von;
    uint16_t nach;
    int16_t figur;       // the moving piece; for a promotion the pawn
    int16_t geschlagen;  // what stood on nach, leer for none (may be a king)
    int16_t umwandlung;  // 1 for a promotion
    int16_t rochade;     // 1 for castling (the king's move; the rook is implied)
    int16_t ep_linie;    // file of a pawn's double step, else 0
    int16_t reserve;
    int32_t sortwert;    // ordering score, given when the move is written
    int16_t neue_figur;  // the promoted piece, else leer
};

// Whether two records are the same move of one position: the squares and
// the promoted piece say it all (piece, capture, castling and double step
// follow from the board), so a move named by an interface, kept in a line
// or taken from the table is found in a generated list by this.
inline bool derselbe_zug(const ZugEintrag& a, const ZugEintrag& b) {
    return a.von == b.von && a.nach == b.nach && a.neue_figur == b.neue_figur;
}

// What the evaluation and the generators read of a board besides brett and
// would otherwise gather square by square: one mask per piece code (index
// code + 6, bit s - 1 for square s; index 6 holds the empty squares), the
// material balance, the piece counts and the sums of the piece-square terms
// that look at no other square. The search keeps one per level, each child's
// derived from its parent's by the move; elsewhere it is taken from brett.
struct Lage {
    uint64_t maske[13];
    int32_t material;   // figurenwert summed over the board, White positive
    int32_t leicht;     // the minor pieces' part of the evaluation's sum L
    int32_t schwer;     // the rooks', queens' and minor pieces' part of its sum T
    int8_t anzahl[13];  // pieces by code + 6; index 6 counts the empty squares
};

// The summary of brett as it stands.
void lage_aus_brett(Lage& l);
// The summary after move m, made on the board that `vor` summarises: brett
// must already hold the board after the move (a castling or a promotion is
// summarised from it afresh).
void lage_nach_zug(const Lage& vor, const ZugEintrag& m, Lage& nach);

// True when the processor counts the bits of a word in one instruction
// (checked at start-up): code that counts much is compiled a second way for
// it, since the portable build may not assume it. The same for the wide
// vector instructions with the bit-manipulation ones (AVX2, BMI1/2, LZCNT,
// POPCNT: what processors since about 2013 have).
extern const bool zaehlbefehl;
extern const bool breitbefehl;

// The piece-square values of the evaluation that depend on the square alone,
// by code + 6 and square: the minor-piece sum and the rook/queen/centre sum.
struct Lagewerte {
    std::array<std::array<int32_t, 65>, 13> leicht{}, schwer{};
};

inline constexpr Lagewerte lagewerte = [] {
    Lagewerte w;
    for (int s = 1; s <= 64; ++s) {
        w.leicht[wspringer + 6][s] = 3 * sfiguren_w[s];
        w.schwer[wspringer + 6][s] = zentrum[s];
        w.leicht[sspringer + 6][s] = 3 * sfiguren_s[s] - zentrum[s];
        w.leicht[wlaufer + 6][s] = 3 * lfiguren_w[s];
        w.schwer[wlaufer + 6][s] = zentrum[s];
        w.leicht[slaufer + 6][s] = 3 * lfiguren_s[s] - zentrum[s];
        w.schwer[wturm + 6][s] = tfiguren_w[s];
        w.schwer[sturm + 6][s] = tfiguren_s[s];
        w.schwer[wdame + 6][s] = dfiguren_w[s] + zentrum[s];
        w.schwer[sdame + 6][s] = dfiguren_s[s] - zentrum[s];
    }
    return w;
}();

#if defined(__SSE2__)
// The board as 64 bytes. The sign bit of each byte is the colour; its three
// low bits tell the kind (for Black as two's complement leaves them: -1 ...
// -6 end in 111, 110, ... 010), each moved in turn into the sign bit's
// place: four byte masks, the board's bit planes, give every code.
struct Bitebenen {
    uint64_t vorzeichen, b0, b1, b2;
};

inline Bitebenen bitebenen() {
    Bitebenen e{};
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 1 + 16 * k)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(brett + 9 + 16 * k)));
        // Bit 7 of each byte as 16 bits, placed for squares 16k + 1 ... 16k + 16.
        const auto vorzeichen = [k](__m128i x) {
            return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x))) << (16 * k);
        };
        e.vorzeichen |= vorzeichen(b);
        e.b0 |= vorzeichen(_mm_slli_epi16(b, 7));
        e.b1 |= vorzeichen(_mm_slli_epi16(b, 6));
        e.b2 |= vorzeichen(_mm_slli_epi16(b, 5));
    }
    return e;
}

#if defined(__GNUC__) && defined(__x86_64__)
// The same 32 squares at a time, for processors with the wide vector
// instructions: the packing works within 16-byte halves, so the middle two
// quarters are swapped back into square order.
[[gnu::target("avx2")]] inline uint64_t vorzeichen_breit(__m256i unten, __m256i oben) {
    return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(unten))) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(oben))) << 32;
}

[[gnu::target("avx2")]] inline Bitebenen bitebenen_breit() {
    const __m256i* b = reinterpret_cast<const __m256i*>(brett + 1);  // 16 squares each
    const __m256i unten =
        _mm256_permute4x64_epi64(_mm256_packs_epi16(_mm256_loadu_si256(b), _mm256_loadu_si256(b + 1)), 0xD8);
    const __m256i oben =
        _mm256_permute4x64_epi64(_mm256_packs_epi16(_mm256_loadu_si256(b + 2), _mm256_loadu_si256(b + 3)), 0xD8);
    return {vorzeichen_breit(unten, oben),
            vorzeichen_breit(_mm256_slli_epi16(unten, 7), _mm256_slli_epi16(oben, 7)),
            vorzeichen_breit(_mm256_slli_epi16(unten, 6), _mm256_slli_epi16(oben, 6)),
            vorzeichen_breit(_mm256_slli_epi16(unten, 5), _mm256_slli_epi16(oben, 5))};
}
#endif
#endif

// One mask per piece code (index code + 6, bit s - 1 for square s), the
// empty squares at index 6. BREIT: with the wide vector instructions.
template <bool BREIT>
[[gnu::always_inline]] inline void figurenmasken(uint64_t (&m)[13]) {
#if defined(__SSE2__)
    Bitebenen e;
#if defined(__GNUC__) && defined(__x86_64__)
    if constexpr (BREIT)
        e = bitebenen_breit();
    else
#endif
        e = bitebenen();
    const uint64_t schwarz = e.vorzeichen, weiss = ~schwarz;
    const uint64_t b0 = e.b0, b1 = e.b1, b2 = e.b2;
    const uint64_t n0 = ~b0, n1 = ~b1, n2 = ~b2;
    const uint64_t x01 = n0 & b1, x11 = b0 & b1, x00 = n0 & n1, x10 = b0 & n1;  // bits 1 and 0
    m[wbauer + 6] = x10 & n2 & weiss, m[sbauer + 6] = x11 & b2 & schwarz;
    m[wspringer + 6] = x01 & n2 & weiss, m[sspringer + 6] = x01 & b2 & schwarz;
    m[wlaufer + 6] = x11 & n2 & weiss, m[slaufer + 6] = x10 & b2 & schwarz;
    m[wturm + 6] = x00 & b2 & weiss, m[sturm + 6] = x00 & b2 & schwarz;
    m[wdame + 6] = x10 & b2 & weiss, m[sdame + 6] = x11 & n2 & schwarz;
    m[wkonig + 6] = x01 & b2 & weiss, m[skonig + 6] = x01 & n2 & schwarz;
    m[leer + 6] = x00 & n2;
#else
    for (uint64_t& maske : m) maske = 0;
    for (int s = 1; s <= 64; ++s) m[brett[s] + 6] |= uint64_t{1} << (s - 1);
#endif
}

// The squares of a mask, counted eight bits at a time: for a processor
// without the counting instruction.
inline int zahl_der_felder(uint64_t m) {
    m -= (m >> 1) & 0x5555555555555555ull;
    m = (m & 0x3333333333333333ull) + ((m >> 2) & 0x3333333333333333ull);
    m = (m + (m >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((m * 0x0101010101010101ull) >> 56);
}

// lagewerte with the piece values, one word per code + 6 and square - 1, so
// that the summary takes a piece with one addition: leicht in the lowest
// PAKET_BITS bits, schwer in the next and the material above them, each a
// signed field (a negative one borrows from the field above, which
// paket_lesen gives back). Summed over a board no field leaves its bits: 64
// pieces of at most 900 each.
inline constexpr int PAKET_BITS = 21;
struct Lagepaket {
    std::array<std::array<uint64_t, 64>, 13> wert{};
};
inline constexpr Lagepaket lagepaket = [] {
    Lagepaket p;
    for (int c = 0; c < 13; ++c)
        for (int s = 1; s <= 64; ++s)
            p.wert[c][s - 1] = static_cast<uint64_t>(int64_t{lagewerte.leicht[c][s]}) +
                               (static_cast<uint64_t>(int64_t{lagewerte.schwer[c][s]}) << PAKET_BITS) +
                               (static_cast<uint64_t>(int64_t{figurenwert[c]}) << (2 * PAKET_BITS));
    return p;
}();

// The three sums of a packed total.
struct Paketsummen {
    int32_t leicht, schwer, material;
};
inline Paketsummen paket_lesen(uint64_t summe) {
    constexpr int rest = 64 - PAKET_BITS;
    const auto feld = [](uint64_t w) { return static_cast<int32_t>(static_cast<int64_t>(w << rest) >> rest); };
    const int32_t leicht = feld(summe);
    summe -= static_cast<uint64_t>(int64_t{leicht});
    const int32_t schwer = feld(summe >> PAKET_BITS);
    summe -= static_cast<uint64_t>(int64_t{schwer}) << PAKET_BITS;
    return {leicht, schwer, static_cast<int32_t>(static_cast<int64_t>(summe) >> (2 * PAKET_BITS))};
}

// How the summary is taken from brett, in line for the callers that compile
// it into their own code (lage_aus_brett, the evaluation of a board on its
// own): lage_fuellen<ZB, BREIT> with the counting instruction (ZB) and with
// the wide vector instructions too (BREIT), to be called from code compiled
// for them.
template <bool ZB, bool BREIT = false>
[[gnu::always_inline]] inline void lage_fuellen(Lage& l) {
    uint64_t(&m)[13] = l.maske;
    figurenmasken<BREIT>(m);
    // Knights, bishops, rooks and queens carry piece-square values and are
    // few: visited one by one. Pawns and kings carry none: only counted.
    if constexpr (ZB) {
        // In one pass whatever their kind, the code read from brett, the
        // three sums in one word; every kind counted afterwards.
        uint64_t summe = 0;
        for (uint64_t q = ~(m[leer + 6] | m[wbauer + 6] | m[sbauer + 6] | m[wkonig + 6] | m[skonig + 6]); q != 0;) {
            const int s = naechstes_feld(q);
            summe += lagepaket.wert[brett[s] + 6][s - 1];
        }
        for (const int c : {wspringer, wlaufer, wturm, wdame, sspringer, slaufer, sturm, sdame, leer})
            l.anzahl[c + 6] = static_cast<int8_t>(__builtin_popcountll(m[c + 6]));
        const int wb = __builtin_popcountll(m[wbauer + 6]), sb = __builtin_popcountll(m[sbauer + 6]);
        const int wk = __builtin_popcountll(m[wkonig + 6]), sk = __builtin_popcountll(m[skonig + 6]);
        l.anzahl[wbauer + 6] = static_cast<int8_t>(wb);
        l.anzahl[sbauer + 6] = static_cast<int8_t>(sb);
        l.anzahl[wkonig + 6] = static_cast<int8_t>(wk);
        l.anzahl[skonig + 6] = static_cast<int8_t>(sk);
        const Paketsummen p = paket_lesen(summe);
        l.leicht = p.leicht;
        l.schwer = p.schwer;
        l.material = p.material + (wb - sb) * figurenwert[wbauer + 6] + (wk - sk) * figurenwert[wkonig + 6];
    } else {
        // Kind by kind, counted on the way.
        int32_t leicht = 0, schwer = 0, material = 0;
        int figuren = 0;
        const auto zaehle = [&](int c, int n) {
            l.anzahl[c + 6] = static_cast<int8_t>(n);
            material += n * figurenwert[c + 6];
            figuren += n;
        };
        const auto besuche = [&](int c) {
            int n = 0;
            for (uint64_t q = m[c + 6]; q != 0; ++n) {
                const int s = naechstes_feld(q);
                leicht += lagewerte.leicht[c + 6][s];
                schwer += lagewerte.schwer[c + 6][s];
            }
            zaehle(c, n);
        };
        besuche(wspringer), besuche(wlaufer), besuche(wturm), besuche(wdame);
        besuche(sspringer), besuche(slaufer), besuche(sturm), besuche(sdame);
        for (const int c : {wbauer, wkonig, sbauer, skonig}) zaehle(c, zahl_der_felder(m[c + 6]));
        l.leicht = leicht;
        l.schwer = schwer;
        l.material = material;
        l.anzahl[leer + 6] = static_cast<int8_t>(64 - figuren);
    }
}

// --- set-up and make/unmake -------------------------------------------------

int brettinit();
// Sets up a FEN piece placement (the keys computed, the board marked a test
// position); 0 when the text holds no placement. The transposition table is
// the caller's: a new position with the old table is a choice above the board.
int epd(const char* text);

// Play and take back a move; the record is the undo record, so calls pair
// up last-in first-out (zugausf/zugzur do it for an entry of a move list).
// Most moves are neither promotions nor castling (and the generators put
// leer into neue_figur for them): the board's two squares and two key
// entries are all they change, done where the caller stands, in line; the
// rest is done out of line.
void besonders_machen(const ZugEintrag& m);
void besonders_nehmen(const ZugEintrag& m);

inline bool gewoehnlicher_zug(const ZugEintrag& m) { return (m.umwandlung | m.rochade | m.neue_figur) == 0; }

// The key terms of an ordinary move: an XOR, so the same update makes and
// unmakes it. The record's fields are read before the board is written,
// which the compiler could not otherwise tell apart from them.
inline void gewoehnliche_schluessel(int von, int nach, int p, int g) {
    const uint64_t w0 = zug_weg[von][p][0] ^ zug_hin[nach][p][0] ^ schlag_weg[nach][g][0];
    hashindex ^= w0;
    hashkennung2 ^= w0;
    hashkennung ^= zug_weg[von][p][1] ^ zug_hin[nach][p][1] ^ schlag_weg[nach][g][1];
}

inline void zug_machen(const ZugEintrag& m) {
    if (!gewoehnlicher_zug(m)) [[unlikely]]
        return besonders_machen(m);
    const int von = m.von, nach = m.nach, figur = m.figur;
    gewoehnliche_schluessel(von, nach, figur + 6, m.geschlagen + 6);
    brett[nach] = static_cast<int16_t>(figur);
    brett[von] = leer;
}

inline void zug_nehmen(const ZugEintrag& m) {
    if (!gewoehnlicher_zug(m)) [[unlikely]]
        return besonders_nehmen(m);
    const int von = m.von, nach = m.nach, figur = m.figur, geschlagen = m.geschlagen;
    gewoehnliche_schluessel(von, nach, figur + 6, geschlagen + 6);
    brett[von] = static_cast<int16_t>(figur);
    brett[nach] = static_cast<int16_t>(geschlagen);
}

// The one reader of decimal numbers in text (FEN counters, commands,
// options): the number at the start of `text` (white space before it
// skipped, a sign allowed, held to 64 bits), with where it ended; false and
// nothing written when no digit comes.
bool zahl_lesen(const char* text, int64_t& wert, const char** ende = nullptr);
// The same for a whole word: false unless the word is a number and nothing else.
bool ganze_zahl(const char* wort, int64_t& wert);

// The fields of a full FEN: placement, side to move, castling rights,
// en-passant square and the two move counters (0 and 1 when absent).
struct Fen {
    int16_t brett[65];        // its squares 1 ... 64
    int am_zug;               // WEISS or SCHWARZ
    bool rochade[4];          // K, Q, k, q
    int ep_feld;              // 0 for none
    int32_t halbzugzaehler;   // half-moves since the last capture or pawn move
    int32_t zugnummer;
};
// Reads the fields of a full FEN (at least placement and side to move)
// without touching the board; false when the text is no FEN: not eight
// ranks of eight squares, or a field that reads as none of its values.
bool fen_lesen(const char* text, Fen& f);

inline constexpr int TESTSTELLUNGEN = 49;
int teststellung(int n);

// Invariant check for tests and debug builds: only piece codes on the board,
// nothing outside squares 1 ... 64, and hashkennung2 tied to hashindex.
bool brett_ist_ok();

}  // namespace kelpin
