// Evaluation: the static score of the board, White-positive, from one scan of
// the board followed by global terms, lazy exits, king safety and file terms.
#pragma once
#include <cstdint>
#include <cstring>

#include "board/board.h"

namespace kelpin {

// Everything the evaluation draws from the pawns alone, for one placement of
// the pawns of both sides: the per-file facts the later terms read, and the
// pawn terms that depend on nothing else. Kept in the pawn table, so that
// positions with the same pawns share the work.
struct alignas(64) Bauernbefund {
    uint64_t weiss, schwarz;  // the pawn masks (bit s - 1 for square s) it was made for
    int8_t nW[9], nB[9];      // pawns per file; slot 0 stays 0 for a missing king's file
    int8_t rW[9], rB[9];      // most advanced White and least advanced Black pawn rank
    uint16_t wdatei, sdatei;  // bit f: White / Black pawns on file f
    uint16_t wiso, siso;      // bit f: isolated White / Black pawns on file f
    int16_t anzahl_w, anzahl_s;
    int32_t B;            // piece-square values, the Black pawns' centre weights, the pawn count's term
    int32_t struktur;     // isolated and doubled pawns
    int32_t frei;         // passed pawns, while 20 or fewer squares are occupied
    int32_t frei_wenige;  // what they add when 8 or fewer are
    int32_t halboffen;    // the half-open files' own term
    uint16_t schild;      // pawns that king safety asks about, one bit per question (eval.cpp)
    uint16_t reserve;
    // Squares that the piece terms ask about, as masks: where a knight is
    // backed by an own pawn, where a bishop has one diagonally ahead, and the
    // files of the rook and queen terms (half-open for White or Black, with a
    // pawn at all, and with an isolated enemy pawn on an edge or inner file).
    uint64_t w_stuetze, s_stuetze;
    uint64_t w_schraeg, s_schraeg;
    uint64_t halb_w, halb_s;
    uint64_t mit_bauern;
    uint64_t iso_s_rand, iso_s_innen, iso_w_rand, iso_w_innen;
    uint64_t polster[2];  // to three whole cache lines, each slot starting one: a cheaper slot address
};
static_assert(sizeof(Bauernbefund) == 192, "no padding: entries compare byte for byte");
inline bool operator==(const Bauernbefund& x, const Bauernbefund& y) { return memcmp(&x, &y, sizeof x) == 0; }

// Left behind by the latest evaluation (eval, eval_aus or eval_nochmals)
// and read by the search's selective steps.
extern int32_t nrPIECES;
extern int32_t nrBAUERN;
extern int16_t eval_iwkonig;
extern int16_t eval_iskonig;
// Evaluations made (eval_nochmals counts as one); 64 bits, as the node counts.
extern int64_t evals;

// The first two arguments are ignored (the search passes its level and side);
// alpha and beta bound the range in which the caller needs an exact value.
int eval(int ebene, int farbe, int alpha, int beta);

// The same for the board that `lage` summarises, which must be brett as it
// stands: the search passes the summary it carries, eval() takes one from
// brett.
int eval_aus(const Lage& lage, int alpha, int beta);

// What eval(ebene, farbe, alpha, beta) gives for the board the latest eval()
// call evaluated, answered from what that call found on its way where it got
// far enough for this window. Precondition: brett is exactly the board of
// that latest call, nothing made, unmade or set up in between (not even a
// move taken back again) and no other evaluation since; otherwise the answer
// belongs to another board. Debug builds check it against a copy of brett.
int eval_nochmals(int alpha, int beta);
// The same with the board's summary given, for a board evaluated anew.
int eval_nochmals_aus(const Lage& lage, int alpha, int beta);

// The pawn facts of the board as eval reads them, from the pawn table, and
// the same computed afresh: the table must never give anything else.
const Bauernbefund& bauernbefund();
Bauernbefund bauernbefund_neu();

}  // namespace kelpin
