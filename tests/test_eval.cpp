// The static evaluation against values worked out by hand: M + K + L/2 + T/2 +
// B/2, each half truncated; a term is isolated by a king move only king terms see.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

#include "hilfen.h"
#include "search/search.h"

namespace kelpin {
namespace {

constexpr int UNTEN = -32000, OBEN = 32000;

int bewerte(const char* fen, int alpha = UNTEN, int beta = OBEN) {
    test::stellung(fen);
    return eval(0, 0, alpha, beta);
}

void pruefe(std::initializer_list<std::pair<const char*, int>> faelle) {
    for (const auto& [fen, wert] : faelle) EXPECT_EQ(bewerte(fen), wert) << fen;
}

// What the king missing from the placement changes on `feld` rather than on the empty `ruhig`.
int differenz(const char* fen, int feld, int ruhig) {
    test::stellung(fen);
    brett[feld] = static_cast<int16_t>(std::strchr(fen, 'K') ? skonig : wkonig);
    const int dort = eval(0, 0, UNTEN, OBEN);
    std::swap(brett[feld], brett[ruhig]);
    return dort - eval(0, 0, UNTEN, OBEN);
}

TEST(Bewertung, Bezugsstellungen) {
    test::neustart();
    const int vorher = evals;
    // L -72 (minor pieces), T 3 (queens), B -14 (Black's pawn centre): -36 + 1 - 7.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), -42);
    EXPECT_EQ(evals, vorher + 1);
    EXPECT_EQ(nrPIECES, 32);
    EXPECT_EQ(nrBAUERN, 16);
    teststellung(4);
    // M 16; K 35 (Ng5 three from h8); B 125, T -43, L 18: 16 + 35 + 9 - 21 + 62.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), 101);
    teststellung(5);
    // B -46; Black's a/b/c pawn counts name a1, the king's square: K -175 + 35.
    EXPECT_EQ(eval(0, 0, UNTEN, OBEN), -163);

    const struct {
        const char* fen;
        int wert, wk, sk;
    } faelle[] = {
        // B -14 + 2*(15 + 4) = 24; Bf1 no longer hemmed by e2: L -59. -29 + 1 + 12.
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", -16, e1, e8},
        // Bg8, Bb1 see nothing past the edge; Bb1 before b2 L 40, Bg8 above g7 L -16.
        {"4k1B1/6P1/8/8/8/8/1p6/1b2K3", 12, e1, e8},
        // d2, e2 passed 73 each, scan -16; T -26; K -50 (e1 on the edge; square 0 is not).
        {"8/8/8/8/8/8/3PP3/4K3", 20208, e1, 0},  // 20206 - 50 - 13 + 65
        {"4k3/8/8/8/8/8/8/8", -19950, 0, e8},    // -20000 + 50
        {"4k3/8/8/8/8/8/8/4K3", 0, e1, e8},      // two squares: the count decides
        {"8/8/8/8/8/8/4P3/4K3", 0, e1, 0},
        {"8/8/8/8/8/8/8/R6R", 0, 0, 0},
        // 24 bishops; with no white king all stand at distance 0, as does the missing queen.
        {"bbbbbbbb/bbbbbbbb/bbbbbbbb/8/8/8/8/8", -8523, 0, 0},  // -7800 - 750 + 55/2
    };
    for (const auto& f : faelle) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(bewerte(f.fen), f.wert) << f.fen;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), f.wk && f.sk ? "" : "BUH!") << f.fen;
        EXPECT_EQ(eval_iwkonig, f.wk) << f.fen;
        EXPECT_EQ(eval_iskonig, f.sk) << f.fen;
    }
}

TEST(BewertungFenster, VorzeitigeAusstiege) {
    // The initial position's L -72, T 3, B -14 with K 82 from the king on e6: 40.
    const char* sk_e6 = "rnbq1bnr/pppppppp/4k3/8/8/8/PPPPPPPP/RNBQKBNR";
    const char* wk_e3 = "rnbqkbnr/pppppppp/8/8/8/4K3/PPPPPPPP/RNBQ1BNR";  // K -55 - 52 + 25: -82 - 42
    const char* schwer = "k6K/8/8/8/8/8/2q4r/r7";  // M -1900; T -18 (Ra1) - 20 (Qc2) - 18 (Rh2) - 66 (open)
    const struct {
        const char* fen;
        int alpha, beta, wert;
    } faelle[] = {
        // M alone once M <= alpha - 100.
        {schwer, -1800, OBEN, -1900}, {schwer, -1801, OBEN, -1961}, {sk_e6, 100, OBEN, 0}, {sk_e6, 99, OBEN, 40},
        // M+L+K+B+T against beta + 100 (K left out), then M+L+T+K against beta + 150.
        {sk_e6, UNTEN, -128, -83}, {sk_e6, UNTEN, -127, -14}, {sk_e6, UNTEN, -114, -14}, {sk_e6, UNTEN, -113, 40},
        // M+K = -55 < alpha - 100; then S = M+K+L = -154 < alpha - 150.
        {wk_e3, 50, OBEN, -55}, {wk_e3, 45, OBEN, -154}, {wk_e3, -3, OBEN, -154}, {wk_e3, -4, OBEN, -124},
        // S = -1900 > beta + 150, while M+L+T+K = -1956 < beta + 100.
        {schwer, UNTEN, -2053, -1900}, {schwer, UNTEN, -2050, -1961},
    };
    for (const auto& f : faelle) EXPECT_EQ(bewerte(f.fen, f.alpha, f.beta), f.wert) << f.fen << " " << f.beta;
}

TEST(BewertungKoenig, Differenzen) {
    // Kings g1/g8 behind six pawns each: 14 squares, so king safety runs.
    const char *ohne_wk = "6k1/ppp2ppp/8/8/8/8/PPP2PPP/8", *ohne_sk = "8/ppp2ppp/8/8/8/8/PPP2PPP/6K1";
    const char *p_g3 = "6k1/ppp2ppp/8/8/8/6P1/PPP2P1P/8", *p_h6 = "8/ppp2pp1/7p/8/8/8/PPP2PPP/6K1";
    const char *p_f3 = "6k1/ppp2ppp/8/8/8/5P2/PPP3PP/8", *p_f6 = "8/ppp3pp/5p2/8/8/8/PPP2PPP/6K1";
    const char *sturm_w = "6k1/ppp2ppp/8/8/3RR3/8/PPPP4/8", *sturm_s = "8/pppp4/8/3rr3/8/8/PPP2PPP/6K1";
    const char *p_b3 = "6k1/ppp2ppp/8/8/3RR3/1P6/P1PP4/8", *p_c3 = "6k1/ppp2ppp/8/8/3RR3/2P5/PP1P4/8";
    const char *linie_w = "3rr1k1/ppp3pp/8/8/8/8/PPP1P1PP/8", *linie_s = "8/ppp1p1pp/8/8/8/8/PPP3PP/3RR1K1";
    const struct {
        const char* fen;
        int feld, ruhig, wert;
    } faelle[] = {
        // Shelters: g1/h1/g2 with g2 or g3 and h2 +47; g8/h8/h7 lacking g7 or h7 +35.
        {ohne_wk, g1, e3, 47}, {ohne_wk, h1, e3, 47}, {p_g3, g1, e3, 47}, {p_g3, g2, e3, 47},
        {"6k1/ppp2ppp/8/8/8/7P/PPP2PP1/8", g1, e3, 0}, {"8/ppp2p1p/6p1/8/8/8/PPP2PPP/6K1", g8, e6, 35},
        {ohne_sk, g8, e6, 0}, {p_h6, h7, e6, 35}, {p_h6, h8, e6, 35},
        // King squares; e1/e8 15 more without the f-pawn, 40 more with a rook on f or g.
        {ohne_wk, f1, e3, -37}, {ohne_wk, e1, e3, -25}, {ohne_wk, e2, e3, -30}, {ohne_wk, d1, e3, -31},
        {ohne_wk, d2, e3, -33}, {p_f3, f2, e3, -50}, {p_f3, e1, e3, -40}, {ohne_sk, e8, e6, 25},
        {ohne_sk, f8, e6, 37}, {ohne_sk, e7, e6, 30}, {ohne_sk, d8, e6, 31}, {ohne_sk, d7, e6, 33},
        {p_f6, f7, e6, 50}, {p_f6, e8, e6, 40}, {"5r2/ppp2ppp/8/8/8/8/PPP2PPP/6K1", e8, e6, 65},
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/5R2", e1, e3, -65}, {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/6R1", e1, e3, -65},
        {"6k1/ppp2ppp/8/8/8/8/PPP2PPP/7R", e1, e3, -25},
        // Qb3, Nd2, Be2 within two of c4; without a queen its square 0 lies at distance 0.
        {"8/ppp2ppp/8/8/8/1Q6/PPPNBPPP/6K1", c4, h8, 293}, {"8/ppp2ppp/8/8/8/8/PPPNBPPP/6K1", c4, h8, 208},
        // No white f/g/h pawns: 7*26 each from g8 to square 0. Black's a/b/c pawns name a1.
        {sturm_w, b1, e3, 182 - 150 + 40}, {sturm_w, c1, e3, 182 - 125 + 40}, {sturm_w, a1, e3, -175},
        // Mirrored; White's a-pawn names a1, seven from b8 and a8.
        {sturm_s, b8, e6, -182 - 40}, {sturm_s, a8, e6, 0}, {"8/pppp3p/8/3rr3/8/8/3PPPPP/6K1", a8, e6, 175},
        {"8/pp2p3/2p5/3rr3/8/8/PPP2PPP/6K1", c7, e6, -182 + 25},
        // b2 on b3 (b7 on b6): no shelter; c3 stands in for c2.
        {p_b3, b1, e3, 182 - 150 - 5}, {"8/p1pp4/1p6/3rr3/8/8/PPP2PPP/6K1", b8, e6, -182 + 5},
        {p_c3, b1, e3, 182 - 150 + 40}, {p_c3, c2, e3, 182 - 125},
        // Enemy rooks on d and e; no pawn on d, only the king's own on e.
        {linie_w, d3, b3, -41 - 67}, {linie_w, e3, b3, -41}, {linie_s, d6, b6, 41 + 67}, {linie_s, e6, b6, 41},
    };
    for (const auto& f : faelle) EXPECT_EQ(differenz(f.fen, f.feld, f.ruhig), f.wert) << f.fen << " " << f.feld;

    // A queen, knight or bishop on b3 (b6), the enemy king 1 to 5 squares away, against six.
    const int wert[3][5] = {{85, 60, 45, 15, 10}, {40, 58, 35, 25, 15}, {55, 60, 45, 20, 6}};
    const char* fen[3][2] = {{"8/ppp2ppp/8/8/8/1Q6/PPP2PPP/6K1", "6k1/ppp2ppp/1q6/8/8/8/PPP2PPP/8"},
                             {"8/ppp2ppp/8/8/8/1N6/PPP2PPP/6K1", "6k1/ppp2ppp/1n6/8/8/8/PPP2PPP/8"},
                             {"8/ppp2ppp/8/8/8/1B6/PPP2PPP/6K1", "6k1/ppp2ppp/1b6/8/8/8/PPP2PPP/8"}};
    const int nah_s[] = {c4, d5, e6, f6, g6}, nah_w[] = {c5, d4, e3, f3, g3};
    for (int i = 0; i < 3; ++i)
        for (int d = 0; d < 5; ++d) {
            EXPECT_EQ(differenz(fen[i][0], nah_s[d], h6), wert[i][d]) << fen[i][0] << " " << d;
            EXPECT_EQ(differenz(fen[i][1], nah_w[d], h3), -wert[i][d]) << fen[i][1] << " " << d;
        }
}

TEST(Bewertung, FigurenBauernLinien) {
    pruefe({
        {"6k1/1pp2ppp/8/8/8/8/PPP2PPP/6K1", 103 - 6},  // skeleton less a7: 13 squares, no K; B 1, T -13
        // Skeleton K 47, B -3; Nc6 blockades c7, Nh3 on the edge before h2.
        {"6k1/ppp2ppp/2N5/8/8/7N/PPP2PPP/6K1", 620 + 87 + 26 + 2 - 1},
        {"6k1/ppp2ppp/n7/8/8/5n2/PPP2PPP/6K1", -620 + 47 - 58 - 29 - 1},
        // Bb1, Bb3 and the pair; Bb8.
        {"1b4k1/ppp2ppp/8/8/8/1B6/PPP2PPP/1B4K1", 325 + 47 + 6 - 23 + 1 - 1},
        {"6k1/ppp2ppp/8/8/8/6P1/PPP2P1P/6K1", 47 - 13 + 1},  // g3: B -3 + 6, L -18 (g3, h2, no Bg2) - 8
        {"6k1/ppp2ppp/8/8/8/1P6/P1P2PPP/6K1", 47 - 2 + 0},   // b3: B -3 + 2, L -5 (no bishop)
        {"6k1/ppp2p1p/6p1/8/8/8/PPP2PPP/6K1", 82 + 13 - 5},  // g6: B -3 - 7, L 18 + 8, g8 bare K 35
        {"6k1/p1p2ppp/1p6/8/8/8/PPP2PPP/6K1", 47 + 2 - 3},   // b6: B -3 - 3, L 5
        // Ne5 backed by d4 (passed, isolated); Ne4 backed by d5.
        {"4k3/8/8/4N3/3P4/8/8/4K3", 413 + 21 + 0 + 48}, {"4k3/8/8/3p4/4n3/8/8/4K3", -413 - 27 + 6 - 54},
        // The queen on the open e-file shutting in the bishop, and mirrored.
        {"4kb2/4q3/8/8/8/8/8/4K3", -1225 + 16 - 14}, {"4k3/8/8/8/8/8/4Q3/4KB2", 1225 - 25 + 14},
        {"4k3/4p3/8/8/8/4P3/4P3/4K3", 103 - 8},       // B 1 (scan) - 54 + 63 (isolated) - 27 (doubled)
        {"4k3/8/8/8/8/4P3/4P3/4K3", 206 - 6 - 13},     // B -4 - 54 - 27 - 33 + 35 + 27 + 30; T -13
        {"4k3/4p3/8/8/4P3/4P3/4P3/4K3", 206 - 17},     // B 31, isolated -45 (e4 leads) + 63, -83
        {"4k3/3p4/3p4/3p4/3p4/8/3P4/4K3", -309 + 40},  // B -80, isolated -63 + 63 (d7), 40*4
        // Twenty squares: a2 isolated and passed; a 21st (Rh8): no longer passed.
        {"1r1rr1k1/2pppppp/8/8/8/8/P1PPPPPP/3RR1K1", -397 + 47 - 18 - 14},
        {"1r1rr1kr/2pppppp/8/8/8/8/P1PPPPPP/3RR1K1", -897 + 47 - 19 - 33},
        // c6 unstoppable (B 406) or caught by the black king; K -158 for a1 on the edge.
        {"8/8/2P5/8/4k3/8/8/K7", 103 - 158 - 6 + 203},
        {"8/8/2P5/4k3/8/8/8/K7", 103 - 158 - 6 + 63},  // 9 - 6 > |3 - 5 + 2|: caught
        {"8/7k/2P5/8/8/8/8/K7", 103 - 9 - 6 + 203},    // 3 > |3 - 8 + 2| fails; K -9 - 50 + 50
        {"8/6k1/2P5/8/8/8/8/K7", 103 - 34 - 6 + 63},   // 3 > |3 - 7 + 2| holds; K -9 - 50 + 25
        // f3 unstoppable (B -410) or caught by the white king; K 158 for h1 on the edge.
        {"8/8/8/4K3/8/5p2/8/7k", -103 + 158 + 6 - 205},
        {"8/8/8/8/4K3/5p2/8/7k", -103 + 158 + 6 - 65},  // 3 > |6 - 5 - 2|: caught
        {"8/8/8/8/K7/5p2/8/7k", -103 + 18 + 6 - 205},   // 3 > |6 - 1 - 2| fails; K 18 - 50 + 50
        {"8/8/8/8/1K6/5p2/8/7k", -103 + 52 + 6 - 65},   // 3 > 2 holds; K 27 - 25 + 50
        // Re1 on the e6 king's open file; fifteen squares add no file term, sixteen do.
        {"8/ppp2ppp/4k3/8/8/8/PPP2PPP/K3R3", 500 + 108 + 14 - 1},
        {"7r/ppp2ppp/4k3/8/8/8/PPP2PPP/K3R3", 108 + 89 / 2 - 1},
        {"k3r3/ppp2ppp/8/8/8/4K3/PPP2PPP/7R", -108 - 44 - 1},
        {"4k3/8/3p4/8/8/8/8/3RK3", 397 + 29 - 23},  // isolated d6: T 6 + 13 + 23 + 16; B -9 + 54 - 62 - 30
        {"4k3/8/p7/8/8/8/8/R3K3", 397 + 25 + 0},    // a-file 12: T 2 + 36 + 12; B -3 + 54 - 41 - 9
        // Rd1 facing Qd8 on the open d-file, and mirrored.
        {"3qk3/8/8/8/8/8/8/3RK3", -400 + 9}, {"3rk3/8/8/8/8/8/8/3QK3", 400 - 8},
    });
}

}  // namespace
}  // namespace kelpin
