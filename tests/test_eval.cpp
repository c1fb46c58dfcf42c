// The static evaluation, checked against values worked out by hand from the
// evaluation rules. Where one term is under test, two boards that differ in
// one feature are compared (mostly a king move, which only the king terms
// see), so the difference is that term alone. Full values are derived
// term by term; the final score is M + K + L/2 + T/2 + B/2, halvings
// truncating toward zero.
#include <gtest/gtest.h>

#include <string>

#include "hilfen.h"
#include "search/search.h"

namespace kelpin {
namespace {

constexpr int UNTEN = -32000;
constexpr int OBEN = 32000;

int bewerte(const char* fen) {
    test::stellung(fen);
    return eval(0, 0, UNTEN, OBEN);
}

// The placement with one more piece on `feld`: lets a test move one piece
// (usually a king) while the rest of the board stays exactly as it is.
int bewerte_mit(const char* fen, int feld, int figur) {
    test::stellung(fen);
    brett[feld] = static_cast<int16_t>(figur);
    return eval(0, 0, UNTEN, OBEN);
}

// What putting `figur` on `feld` instead of on the neutral square `ruhig`
// changes in the score.
int differenz(const char* fen, int figur, int feld, int ruhig) {
    return bewerte_mit(fen, feld, figur) - bewerte_mit(fen, ruhig, figur);
}

int im_fenster(const char* fen, int alpha, int beta) {
    test::stellung(fen);
    return eval(0, 0, alpha, beta);
}

// Kings g1/g8 behind pawns a2 b2 c2 f2 g2 h2 / a7 b7 c7 f7 g7 h7: fourteen
// occupied squares, so king safety runs. M 0; B = 2*8 (White's pawn table)
// - 2*8 - 8 (Black's table and centre) + 5 (twelve pawns) = -3; K = +47
// (g1 sheltered by g2 and h2); no file term fires: 47 + (-3)/2 = 46.
constexpr const char* SKELETT = "6k1/ppp2ppp/8/8/8/8/PPP2PPP/6K1";
constexpr const char* SKELETT_OHNE_WK = "6k1/ppp2ppp/8/8/8/8/PPP2PPP/8";
constexpr const char* SKELETT_OHNE_SK = "8/ppp2ppp/8/8/8/8/PPP2PPP/6K1";

// --- reference values ---------------------------------------------------------

TEST(Bewertung, Grundstellung) {
    test::neustart();
    const int vorher = evals;
    testing::internal::CaptureStdout();
    // L: knights 3*(-20) + 3*8, bishops 3*(-20) - 8 - 8 + 3*8 + 8 + 8 = -72
    // (pairs, knight bonus and the king-safety edge/pawn terms cancel);
    // T: rooks 4 - 4, queens 2 + 1 = 3; B: -14 (centre of Black's pawns);
    // K: e1 -25, e8 +25. -72/2 + 3/2 - 14/2 = -36 + 1 - 7 = -42.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), -42);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(evals, vorher + 1);
    EXPECT_EQ(nrPIECES, 32);
    EXPECT_EQ(nrBAUERN, 16);
    EXPECT_EQ(eval_iwkonig, e1);
    EXPECT_EQ(eval_iskonig, e8);
}

TEST(Bewertung, NachE2E4) {
    // Against the initial position: B += 2*(15 - (-4)) = 38 -> 24, and the
    // f1 bishop is no longer hemmed by e2 (L += 13 -> -59): -29 + 1 + 12.
    EXPECT_EQ(bewerte("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"), -16);
}

TEST(Bewertung, Teststellung4) {
    test::neustart();
    teststellung(4);
    // M 16; scan L 18 (Ng5), T 2, B 21, +25 for eight pawns; Ng5 three
    // squares from h8: K 35. Files: a isolated -54, half-open -13-23 and
    // -12 against it; b isolated black +63, +13+23+16; c -13; d passed +62,
    // -13; e passed +71, -13-23; g isolated -63; h +13. B 125, T -43:
    // 16 + 35 + 9 - 21 + 62.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), 101);
}

TEST(Bewertung, Teststellung5) {
    // The locked pawn wall 7k/8/8/pppppppp/PPPPPPPP/8/8/K7.
    test::neustart();
    teststellung(5);
    // B = 2*36 - 2*36 - 46 = -46. No queens: one near attacker each, no
    // value. a1 against h8 storm: each black a/b/c file holds one pawn, the
    // square numbered 1 is a1 itself: K -= 9*7 + 8*7 + 8*7 = 175; h8
    // without g7/h7: K += 35. -140 - 23.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), -163);
}

TEST(Bewertung, FehlenderKoenig) {
    testing::internal::CaptureStdout();
    // M 20206; B -16, both pawns passed 35+18+20 each: B 130; half-open
    // d/e for Black: T -26; three squares: the lone king on the edge -50.
    // 20206 - 50 - 13 + 65.
    EXPECT_EQ(bewerte("8/8/8/8/8/8/3PP3/4K3"), 20208);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUH!");
    EXPECT_EQ(eval_iskonig, 0);
    EXPECT_EQ(eval_iwkonig, e1);

    testing::internal::CaptureStdout();
    // The missing white king reads square 0 (no edge), e8 is on the edge.
    EXPECT_EQ(bewerte("4k3/8/8/8/8/8/8/8"), -20000 + 50);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUH!");
    EXPECT_EQ(eval_iwkonig, 0);
}

TEST(Bewertung, ZweiBesetzteFelderSindNull) {
    EXPECT_EQ(bewerte("4k3/8/8/8/8/8/8/4K3"), 0);
    testing::internal::CaptureStdout();
    // The count of squares decides, not the kings.
    EXPECT_EQ(bewerte("8/8/8/8/8/8/4P3/4K3"), 0);
    EXPECT_EQ(bewerte("8/8/8/8/8/8/8/R6R"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUH!BUH!");
}

TEST(Bewertung, EingesperrterKoenigslaeufer) {
    // M -1225; bishop f8 L 12; queen e7 T -4-3; open e-file T -22; the
    // queen in front of the bishop L += 20: -1225 + 32/2 + (-29)/2.
    EXPECT_EQ(bewerte("4kb2/4q3/8/8/8/8/8/4K3"), -1223);
    // Mirrored: bishop f1 L -30, queen e2 T 3+3, open e-file T +22, L -20.
    EXPECT_EQ(bewerte("4k3/8/8/8/8/8/4Q3/4KB2"), 1225 - 25 + 14);
}

TEST(Bewertung, LaeuferAmRandLiestNurDasBrett) {
    // The bishop g8 looks at g8+7 and g8+9, the bishop b1 at b1-7 and b1-9:
    // off the board, so empty. What counts: b1 bishop before its own b2
    // pawn L += 5*8; g8 bishop above its g7 pawn L -= 16. The pawns are
    // mirror images (isolated, passed: B -1 + 0), half-open b/g cancel.
    EXPECT_EQ(bewerte("4k1B1/6P1/8/8/8/8/1p6/1b2K3"), 12);
}

TEST(Bewertung, VieleSpringer) {
    // 23 white knights on a1-g1 and ranks 2 and 3: M 7130; L 3*(-70+17+24)
    // = -87, T 0+14+24 = 38; eleven on the edge ring L -165; c3..h3 stand
    // five from h8: K 6*15; h8 without pawns K += 35. 7130+125-126+19.
    EXPECT_EQ(bewerte("7k/8/8/8/8/NNNNNNNN/NNNNNNNN/NNNNNNNK"), 7148);
}

TEST(Bewertung, VieleLaeuferOhneKoenige) {
    testing::internal::CaptureStdout();
    // 24 black bishops on ranks 6-8: M -7800; L 3*(-21) - 38 = -101, twelve
    // on the edge ring L += 156. With no white king every bishop stands at
    // distance 0 (no value, but near), and so does the missing black queen:
    // 25 near attackers, K -= 750. -7800 - 750 + 55/2.
    EXPECT_EQ(bewerte("bbbbbbbb/bbbbbbbb/bbbbbbbb/8/8/8/8/8"), -8523);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUH!");
    EXPECT_EQ(eval_iwkonig, 0);
    EXPECT_EQ(eval_iskonig, 0);
}

// --- lazy exits -----------------------------------------------------------------

// The initial position with the black king walked to e6: M 0, L -72, T 3,
// B -14, K +55 (queen on the board, king on rank 6). King safety adds 27
// (Nb1, Ng1, Bc1, Bf1, Qd1 five away: 15+15+6+6+10; e1 -25): K 82.
// Full: 82 - 36 + 1 - 7 = 40.
constexpr const char* SK_E6 = "rnbq1bnr/pppppppp/4k3/8/8/8/PPPPPPPP/RNBQKBNR";
// The same with the white king on e3 instead: K -55, then -52 from the
// black pieces five away and +25 for e8: K -82; S = M+K+L = -154.
// Full: -82 - 36 + 1 - 7 = -124.
constexpr const char* WK_E3 = "rnbqkbnr/pppppppp/8/8/8/4K3/PPPPPPPP/RNBQ1BNR";
// Two kings in corners and three black heavy pieces on White's back
// ranks: M -1900, K 0 (edge terms cancel), T -56 (Ra1 -18, Qc2 -18-2,
// Rh2 -18), and -66 from three open files. Full: -1900 - 122/2 = -1961.
constexpr const char* SCHWERE = "k6K/8/8/8/8/8/2q4r/r7";

TEST(BewertungFenster, MaterialAllein) {
    // M <= alpha - 100 returns M at once; one step lower, nothing exits.
    EXPECT_EQ(im_fenster(SCHWERE, -1800, OBEN), -1900);
    EXPECT_EQ(im_fenster(SCHWERE, -1801, OBEN), -1961);
    EXPECT_EQ(im_fenster(SK_E6, 100, OBEN), 0);
    EXPECT_EQ(im_fenster(SK_E6, 99, OBEN), 40);
}

TEST(BewertungFenster, ObenOhneKoenigssicherheit) {
    // M+L+K+B+T = -28 reaches beta+100: M+L+B+T, without K.
    EXPECT_EQ(im_fenster(SK_E6, UNTEN, -128), -83);
    // Next exit: M+L+T+K = -14, without B.
    EXPECT_EQ(im_fenster(SK_E6, UNTEN, -127), -14);
    EXPECT_EQ(im_fenster(SK_E6, UNTEN, -114), -14);
    // S = 10 is not above beta + 150 = 37: the full value.
    EXPECT_EQ(im_fenster(SK_E6, UNTEN, -113), 40);
}

TEST(BewertungFenster, UntenMaterialUndKoenig) {
    // M = 0 stays above alpha - 100, M+K = -55 falls below it.
    EXPECT_EQ(im_fenster(WK_E3, 50, OBEN), -55);
    // Not any more at 45; after king safety S = -154 < alpha - 150.
    EXPECT_EQ(im_fenster(WK_E3, 45, OBEN), -154);
    EXPECT_EQ(im_fenster(WK_E3, -3, OBEN), -154);
    EXPECT_EQ(im_fenster(WK_E3, -4, OBEN), -124);
}

TEST(BewertungFenster, LetzterAusstiegOben) {
    // S = M+K+L = -1900 leaves out T: the earlier exits see -1956 and stay
    // below beta+100, S lies above beta+150.
    EXPECT_EQ(im_fenster(SCHWERE, UNTEN, -2053), -1900);
    EXPECT_EQ(im_fenster(SCHWERE, UNTEN, -2050), -1961);
}

// --- king safety ----------------------------------------------------------------

TEST(BewertungKoenig, NurMitMehrAlsDreizehnSteinen) {
    EXPECT_EQ(bewerte(SKELETT), 46);
    // Without a7 only 13 squares are occupied: no shelter bonus. M 103,
    // B 16 - 15 = 1 (eleven pawns earn nothing), the a-pawn's file is
    // half-open for Black: T -13. Centre term of the kings: 0.
    EXPECT_EQ(bewerte("6k1/1pp2ppp/8/8/8/8/PPP2PPP/6K1"), 103 - 6);
}

TEST(BewertungKoenig, BauernschildWeiss) {
    const char* g3 = "6k1/ppp2ppp/8/8/8/6P1/PPP2P1P/8";
    const char* h3 = "6k1/ppp2ppp/8/8/8/7P/PPP2PP1/8";
    EXPECT_EQ(differenz(SKELETT_OHNE_WK, wkonig, g1, e3), 47);
    EXPECT_EQ(differenz(SKELETT_OHNE_WK, wkonig, h1, e3), 47);
    EXPECT_EQ(differenz(g3, wkonig, g1, e3), 47);  // g3 stands in for g2
    EXPECT_EQ(differenz(g3, wkonig, g2, e3), 47);
    EXPECT_EQ(differenz(h3, wkonig, g1, e3), 0);  // the h2 pawn is needed
}

TEST(BewertungKoenig, BauernschildSchwarz) {
    const char* g6 = "8/ppp2p1p/6p1/8/8/8/PPP2PPP/6K1";
    const char* h6 = "8/ppp2pp1/7p/8/8/8/PPP2PPP/6K1";
    EXPECT_EQ(differenz(SKELETT_OHNE_SK, skonig, g8, e6), 0);
    EXPECT_EQ(differenz(SKELETT_OHNE_SK, skonig, h8, e6), 0);
    EXPECT_EQ(differenz(g6, skonig, g8, e6), 35);
    EXPECT_EQ(differenz(h6, skonig, g8, e6), 35);
    EXPECT_EQ(differenz(h6, skonig, h7, e6), 35);
}

TEST(BewertungKoenig, Koenigsfelder) {
    const int weiss[][2] = {{f1, -37}, {e1, -25}, {e2, -30}, {d1, -31}, {d2, -33}};
    for (const auto& [feld, wert] : weiss) EXPECT_EQ(differenz(SKELETT_OHNE_WK, wkonig, feld, e3), wert) << feld;
    const int schwarz[][2] = {{e8, 25}, {f8, 37}, {e7, 30}, {d8, 31}, {d7, 33}};
    for (const auto& [feld, wert] : schwarz) EXPECT_EQ(differenz(SKELETT_OHNE_SK, skonig, feld, e6), wert) << feld;

    // With the f-pawn one step on, f2/f7 are free for the king, and e1/e8
    // also lose the f-pawn cover: 25 + 15.
    const char* f3 = "6k1/ppp2ppp/8/8/8/5P2/PPP3PP/8";
    EXPECT_EQ(differenz(f3, wkonig, f2, e3), -50);
    EXPECT_EQ(differenz(f3, wkonig, e1, e3), -40);
    const char* f6 = "8/ppp3pp/5p2/8/8/8/PPP2PPP/6K1";
    EXPECT_EQ(differenz(f6, skonig, f7, e6), 50);
    EXPECT_EQ(differenz(f6, skonig, e8, e6), 40);
}

TEST(BewertungKoenig, TurmUeberDenKoenigGezogen) {
    // e1 costs 25, and 40 more with the rook already on f1 or g1.
    EXPECT_EQ(differenz("6k1/ppp2ppp/8/8/8/8/PPP2PPP/5R2", wkonig, e1, e3), -65);
    EXPECT_EQ(differenz("6k1/ppp2ppp/8/8/8/8/PPP2PPP/6R1", wkonig, e1, e3), -65);
    EXPECT_EQ(differenz("6k1/ppp2ppp/8/8/8/8/PPP2PPP/7R", wkonig, e1, e3), -25);
    EXPECT_EQ(differenz("5r2/ppp2ppp/8/8/8/8/PPP2PPP/6K1", skonig, e8, e6), 65);
}

TEST(BewertungKoenig, NaeheZumKoenig) {
    // One piece on b3 (b6) and the enemy king 1, 2, 3, 4 or 5 squares away
    // on the diagonal to e6 (e3) and beyond, against h6 (h3), six away.
    const int weiss_feld[] = {c4, d5, e6, f6, g6};
    const int schwarz_feld[] = {c5, d4, e3, f3, g3};
    struct Fall {
        const char* fen;
        bool weiss;
        int wert[5];
    };
    const Fall faelle[] = {
        {"8/ppp2ppp/8/8/8/1Q6/PPP2PPP/6K1", true, {85, 60, 45, 15, 10}},
        {"8/ppp2ppp/8/8/8/1N6/PPP2PPP/6K1", true, {40, 58, 35, 25, 15}},
        {"8/ppp2ppp/8/8/8/1B6/PPP2PPP/6K1", true, {55, 60, 45, 20, 6}},
        {"6k1/ppp2ppp/1q6/8/8/8/PPP2PPP/8", false, {-85, -60, -45, -15, -10}},
        {"6k1/ppp2ppp/1n6/8/8/8/PPP2PPP/8", false, {-40, -58, -35, -25, -15}},
        {"6k1/ppp2ppp/1b6/8/8/8/PPP2PPP/8", false, {-55, -60, -45, -20, -6}},
    };
    for (const Fall& fall : faelle)
        for (int d = 0; d < 5; ++d) {
            const int feld = fall.weiss ? weiss_feld[d] : schwarz_feld[d];
            const int koenig = fall.weiss ? skonig : wkonig;
            EXPECT_EQ(differenz(fall.fen, koenig, feld, fall.weiss ? h6 : h3), fall.wert[d])
                << fall.fen << " distance " << d + 1;
        }
}

TEST(BewertungKoenig, DreiNaheAngreifer) {
    // Queen b3, knight d2 and bishop e2 all within two of c4: 85 + 58 + 60,
    // and three near pieces 3*30 more. From h8 all three are six away.
    EXPECT_EQ(differenz("8/ppp2ppp/8/8/8/1Q6/PPPNBPPP/6K1", skonig, c4, h8), 293);
    // Without a queen its square 0 is distance 0: a third near attacker.
    EXPECT_EQ(differenz("8/ppp2ppp/8/8/8/8/PPPNBPPP/6K1", skonig, c4, h8), 208);
}

TEST(BewertungKoenig, Bauernsturm) {
    // White has no f/g/h pawns: each file measures from g8 to square 0,
    // the full 8*7 + 9*7 + 9*7 = 182. Black's single a/b/c pawns measure
    // from the white king to a1: b1 -(9+8+8)*6 = -150, c1 -(25)*5 = -125;
    // the shelter a2 b2 c2 +40. a1 is only on the second list: -(25)*7.
    const char* weiss = "6k1/ppp2ppp/8/8/3RR3/8/PPPP4/8";
    EXPECT_EQ(differenz(weiss, wkonig, b1, e3), 182 - 150 + 40);
    EXPECT_EQ(differenz(weiss, wkonig, c1, e3), 182 - 125 + 40);
    EXPECT_EQ(differenz(weiss, wkonig, a1, e3), -175);
    // Black has no f/g/h pawns: -182 against g1; White's a-pawn measures
    // from b8 to a1, seven away: 0; the shelter a7 b7 c7 -40. a8 is only
    // on the list that measures to White's a/b/c pawns: 0 here, and the
    // full 9*7 + 8*7 + 8*7 when White has none there.
    const char* schwarz = "8/pppp4/8/3rr3/8/8/PPP2PPP/6K1";
    EXPECT_EQ(differenz(schwarz, skonig, b8, e6), -182 - 40);
    EXPECT_EQ(differenz(schwarz, skonig, a8, e6), 0);
    EXPECT_EQ(differenz("8/pppp3p/8/3rr3/8/8/3PPPPP/6K1", skonig, a8, e6), 175);
}

TEST(BewertungKoenig, OffeneLinieAmKoenig) {
    // Black rooks d8 and e8; no pawn on the d-file, only White's on e.
    const char* fen = "3rr1k1/ppp3pp/8/8/8/8/PPP1P1PP/8";
    EXPECT_EQ(differenz(fen, wkonig, d3, b3), -41 - 67);
    EXPECT_EQ(differenz(fen, wkonig, e3, b3), -41);
    // White rooks d1 and e1; no pawn on the d-file, only Black's on e.
    const char* schwarz = "8/ppp1p1pp/8/8/8/8/PPP3PP/3RR1K1";
    EXPECT_EQ(differenz(schwarz, skonig, d6, b6), 41 + 67);
    EXPECT_EQ(differenz(schwarz, skonig, e6, b6), 41);
}

TEST(BewertungKoenig, Springer) {
    // Nc6 blockades c7: L 27 + 17*2, T 4, K +25 (four from g8). Nh3 on the
    // edge in front of h2: L -15 - 3, T 1, K +15. Knights with more than
    // nine pawns L +10. M 620, K 87, L 53, T 5: 620 + 87 + 26 + 2 - 1.
    EXPECT_EQ(bewerte("6k1/ppp2ppp/2N5/8/8/7N/PPP2PPP/6K1"), 734);
    // Nf3 blockades f2: L -27 - 4 - 17*2, K -58 (two from g1). Na6 on the
    // edge in front of a7: L -1 + 15 + 3. L -10. M -620, K -11, L -58.
    EXPECT_EQ(bewerte("6k1/ppp2ppp/n7/8/8/5n2/PPP2PPP/6K1"), -661);
}

TEST(BewertungKoenig, Laeufer) {
    // Bb1: L -30, -8 (a2 beside it), edge -13, a2 -13, c2 -13. Bb3: L 3,
    // -16 and -30 (b2 behind it), T 2, K +6 (five from g8). Pair +33. Bb8:
    // L -6 + 8 (c7), edge +13, c7 +13, a7 +13. M 325, K 53, L -46, T 2:
    // 325 + 53 - 23 + 1 - 1.
    EXPECT_EQ(bewerte("1b4k1/ppp2ppp/8/8/8/1B6/PPP2PPP/1B4K1"), 355);
}

TEST(BewertungKoenig, Fianchetto) {
    // g3: B +6, L -18 (g3 and h2 without a g2 bishop) - 8 (no bishop).
    EXPECT_EQ(bewerte("6k1/ppp2ppp/8/8/8/6P1/PPP2P1P/6K1"), 47 - 13 + 1);
    // b3: B +2, L -5.
    EXPECT_EQ(bewerte("6k1/ppp2ppp/8/8/8/1P6/P1P2PPP/6K1"), 47 - 2 + 0);
    // g6: B -7, L +18 + 8, and g8 loses its cover: K +35.
    EXPECT_EQ(bewerte("6k1/ppp2p1p/6p1/8/8/8/PPP2PPP/6K1"), 82 + 13 - 5);
    // b6: B -3, L +5.
    EXPECT_EQ(bewerte("6k1/p1p2ppp/1p6/8/8/8/PPP2PPP/6K1"), 47 + 2 - 3);
}

TEST(BewertungKoenig, Springervorposten) {
    // Ne5 with d4 behind it: L 18 + 25, T 12; d4 isolated -45, passed
    // 35 + 36 + 40, scan 30, B 96; half-open d T -13. 413 + 21 + 0 + 48.
    EXPECT_EQ(bewerte("4k3/8/8/4N3/3P4/8/8/4K3"), 482);
    // Ne4 with d5: L -25 - 18 - 12; d5 scan -42, isolated +45, passed
    // -71 - 40; T +13. -413 - 27 + 6 - 54.
    EXPECT_EQ(bewerte("4k3/8/8/3p4/4n3/8/8/4K3"), -488);
}

// --- pawn structure ---------------------------------------------------------------

TEST(BewertungBauern, DoppelbauerMitGegner) {
    // e2/e3 against e7: scan 1, isolated -9*6 and +9*7, doubled -27, no
    // extra 33, nothing passed: B -17. 103 - 8.
    EXPECT_EQ(bewerte("4k3/4p3/8/8/8/4P3/4P3/4K3"), 95);
    // Without e7: doubled -27 - 33, passed 35 + 27 + 30, half-open T -13.
    EXPECT_EQ(bewerte("4k3/8/8/8/8/4P3/4P3/4K3"), 206 - 6 - 13);
}

TEST(BewertungBauern, DreifachUndVierfach) {
    // e2 e3 e4: scan 31, isolated -9*5 (e4 leads), e7 +63, tripled -83.
    EXPECT_EQ(bewerte("4k3/4p3/8/8/4P3/4P3/4P3/4K3"), 206 - 17);
    // d4..d7: scan -80, isolated -63 and +9*7 (d7 hangs back), +40*4.
    EXPECT_EQ(bewerte("4k3/3p4/3p4/3p4/3p4/8/3P4/4K3"), -309 + 40);
}

TEST(BewertungBauern, FreibauerNurBisZwanzigSteine) {
    // Twenty squares: a2 isolated -63 and passed 35 + 2*2: net -24. M -397,
    // scan B -4, T -2; half-open a -13, open b with a black rook -22;
    // g1 shelter +47. -397 + 47 - 37/2 - 28/2.
    EXPECT_EQ(bewerte("1r1rr1k1/2pppppp/8/8/8/8/P1PPPPPP/3RR1K1"), -382);
    // A 21st piece (rook h8, T -2): the a-pawn is no longer passed.
    EXPECT_EQ(bewerte("1r1rr1kr/2pppppp/8/8/8/8/P1PPPPPP/3RR1K1"), -897 + 47 - 19 - 33);
}

TEST(BewertungBauern, UnaufhaltsamWeiss) {
    // c6 with the king on rank 4: unstoppable +280, isolated -27, passed
    // 35 + 54 + 60, scan 4: B 406; T -13; K -72 - 36 - 50 (a1 on the edge).
    EXPECT_EQ(bewerte("8/8/2P5/8/4k3/8/8/K7"), 103 - 158 - 6 + 203);
    // e5 has the same king terms; 9 - 6 > |3 - 5 + 2|: caught.
    EXPECT_EQ(bewerte("8/8/2P5/4k3/8/8/8/K7"), 103 - 158 - 6 + 63);
    // h7: 3 > |3 - 8 + 2| fails, awarded; K -6 - 3 - 50 + 50.
    EXPECT_EQ(bewerte("8/7k/2P5/8/8/8/8/K7"), 103 - 9 - 6 + 203);
    // g7: 3 > |3 - 7 + 2| holds, caught; K -9 - 50 + 25.
    EXPECT_EQ(bewerte("8/6k1/2P5/8/8/8/8/K7"), 103 - 34 - 6 + 63);
}

TEST(BewertungBauern, UnaufhaltsamSchwarz) {
    // f3 with the white king on rank 5: -280, isolated +27, passed -89 - 60,
    // scan -8: B -410; T +13; K 72 + 36 + 50 (h1 on the edge).
    EXPECT_EQ(bewerte("8/8/8/4K3/8/5p2/8/7k"), -103 + 158 + 6 - 205);
    // e4: 3 > |6 - 5 - 2|, caught.
    EXPECT_EQ(bewerte("8/8/8/8/4K3/5p2/8/7k"), -103 + 158 + 6 - 65);
    // a4: 3 > |6 - 1 - 2| fails, awarded; K 12 + 6 - 50 + 50.
    EXPECT_EQ(bewerte("8/8/8/8/K7/5p2/8/7k"), -103 + 18 + 6 - 205);
    // b4: 3 > 2, caught; K 18 + 9 - 25 + 50.
    EXPECT_EQ(bewerte("8/8/8/8/1K6/5p2/8/7k"), -103 + 52 + 6 - 65);
}

// --- files ------------------------------------------------------------------------

TEST(BewertungLinien, TurmAufDerKoenigslinie) {
    // Fifteen squares: a rook on the king's open file earns king safety
    // (+41 + 67) but not yet the file term. Rd1 or Re1: T 6 + 22.
    EXPECT_EQ(bewerte("8/ppp2ppp/4k3/8/8/8/PPP2PPP/K2R4"), 500 + 14 - 1);
    EXPECT_EQ(bewerte("8/ppp2ppp/4k3/8/8/8/PPP2PPP/K3R3"), 500 + 108 + 14 - 1);
    // Sixteen (a black rook h8, T -2): the e-file now adds 21 + 42.
    EXPECT_EQ(bewerte("7r/ppp2ppp/4k3/8/8/8/PPP2PPP/K2R4"), 0 + 13 - 1);
    EXPECT_EQ(bewerte("7r/ppp2ppp/4k3/8/8/8/PPP2PPP/K3R3"), 108 + 89 / 2 - 1);
    // Black's rook on the white king's open file: T 2 - 6 - 22 - 63.
    EXPECT_EQ(bewerte("k2r4/ppp2ppp/8/8/8/4K3/PPP2PPP/7R"), -13 - 1);
    EXPECT_EQ(bewerte("k3r3/ppp2ppp/8/8/8/4K3/PPP2PPP/7R"), -108 - 44 - 1);
}

TEST(BewertungLinien, SchwereFigurGegenIsolani) {
    // Rd1 against the isolated d6: T 6 + 13 + 23 + 16; B -9 + 54 - 62 - 30.
    EXPECT_EQ(bewerte("4k3/8/3p4/8/8/8/8/3RK3"), 397 + 29 - 23);
    // On the a-file 12: T 2 + 36 + 12; B -3 + 54 - 41 - 9.
    EXPECT_EQ(bewerte("4k3/8/p7/8/8/8/8/R3K3"), 397 + 25 + 0);
}

TEST(BewertungLinien, LinieDerDame) {
    // Rd1 against Qd8 on the open d-file: 22 - 22, and 12 for facing the
    // queen. T 6 + 1 + 12.
    EXPECT_EQ(bewerte("3qk3/8/8/8/8/8/8/3RK3"), -400 + 9);
    // Mirrored: T 2 - 6 - 12.
    EXPECT_EQ(bewerte("3rk3/8/8/8/8/8/8/3QK3"), 400 - 8);
}

}  // namespace
}  // namespace kelpin
