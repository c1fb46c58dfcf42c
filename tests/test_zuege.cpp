// Move generation: the order and fields of the generated records, their
// ordering scores, castling, the capture generator, the check test and the
// path counter, the latter checked against a plain counter of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::neustart;
using test::stellung;

// --- a second, deliberately plain move counter --------------------------------
// File and rank coordinates on a copy of the board, no table shared with the
// generator. It counts by the same rules as the engine's counter: pseudo-legal
// moves, king captures played on, four promotions per pawn move to the last
// rank, no castling (the lists counted lie below the horizon), no en passant.

using Kopie = std::array<int, 64>;  // [rank * 8 + file], both from 0

Kopie vom_brett() {
    Kopie b{};
    for (int s = 1; s <= 64; ++s) b[s - 1] = brett[s];
    return b;
}

long long pfade(Kopie& b, int vz, int tiefe);

long long zweig(Kopie& b, int von, int nach, int neu, int vz, int tiefe) {
    const int alt_von = b[von], alt_nach = b[nach];
    b[nach] = neu, b[von] = 0;
    const long long n = tiefe == 1 ? 1 : pfade(b, -vz, tiefe - 1);
    b[von] = alt_von, b[nach] = alt_nach;
    return n;
}

long long pfade(Kopie& b, int vz, int tiefe) {
    constexpr std::pair<int, int> springer[] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    constexpr std::pair<int, int> richtungen[] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    long long n = 0;
    for (int von = 0; von < 64; ++von) {
        const int p = b[von], f = von % 8, r = von / 8;
        if (p * vz <= 0) continue;
        auto auf = [](int ff, int rr) { return ff >= 0 && ff < 8 && rr >= 0 && rr < 8; };
        auto frei = [&](int ff, int rr) { return auf(ff, rr) && b[rr * 8 + ff] == 0; };
        auto feind = [&](int ff, int rr) { return auf(ff, rr) && b[rr * 8 + ff] * vz < 0; };
        auto ziel = [&](int ff, int rr, int neu) { n += zweig(b, von, rr * 8 + ff, neu, vz, tiefe); };
        const int art = std::abs(p);
        if (art == 1) {
            const int rr = r + vz;
            auto bauer = [&](int ff) {
                if (rr == 7 || rr == 0)
                    for (const int neu : {5, 4, 2, 3}) ziel(ff, rr, neu * vz);
                else
                    ziel(ff, rr, p);
            };
            if (frei(f, rr)) {
                bauer(f);
                if (r == (vz > 0 ? 1 : 6) && frei(f, rr + vz)) ziel(f, rr + vz, p);
            }
            for (const int df : {-1, 1})
                if (feind(f + df, rr)) bauer(f + df);
        } else if (art == 2 || art == 6) {
            for (const auto& [df, dr] : art == 2 ? springer : richtungen)
                if (frei(f + df, r + dr) || feind(f + df, r + dr)) ziel(f + df, r + dr, p);
        } else {
            // Bishop: the four diagonals, rook: the four lines, queen: all eight.
            for (int k = art == 4 ? 4 : 0; k < (art == 3 ? 4 : 8); ++k) {
                const auto [df, dr] = richtungen[k];
                int ff = f + df, rr = r + dr;
                for (; frei(ff, rr); ff += df, rr += dr) ziel(ff, rr, p);
                if (feind(ff, rr)) ziel(ff, rr, p);
            }
        }
    }
    return n;
}

long long engine_perft(int tiefe) {
    perftnodes = 0;
    perft(tiefe - 1, WEISS);
    return perftnodes;
}

// The moves of a list as "von nach" names; with nur_rochaden only castling.
std::string als_text(int liste, bool nur_rochaden = false) {
    std::string text;
    for (int i = 1; i <= index[liste]; ++i)
        if (!nur_rochaden || zug[liste][i].rochade == 1)
            text += std::string(feld[zug[liste][i].von]) + feld[zug[liste][i].nach] + " ";
    return text;
}

const ZugEintrag& suche(int liste, int von, int nach) {
    for (int i = 1; i <= index[liste]; ++i)
        if (zug[liste][i].von == von && zug[liste][i].nach == nach) return zug[liste][i];
    static const ZugEintrag fehlt{};
    ADD_FAILURE() << feld[von] << feld[nach] << " is not in list " << liste;
    return fehlt;
}

TEST(Perft, Grundstellung) {
    constexpr long long erwartet[] = {20, 400, 8902};
    for (int n = 1; n <= 3; ++n) {
        neustart();
        EXPECT_EQ(engine_perft(n), erwartet[n - 1]) << "depth " << n;
    }
    // The command takes depth 0 as 1; outside 1 ... 256 there are no lists
    // to count in, so nothing is counted.
    const std::pair<const char*, const char*> befehle[] = {{"perft 0", "movegen() to depth 1 -> 20 nodes"},
                                                           {"perft 257", "movegen() to depth 257 -> 0 nodes"},
                                                           {"perft -3", "movegen() to depth -3 -> 0 nodes"}};
    for (const auto& [zeile, erste] : befehle) {
        testing::internal::CaptureStdout();
        befehl(zeile);
        EXPECT_EQ(test::zeile(testing::internal::GetCapturedStdout(), 0), erste);
    }
}

TEST(Perft, KoenigsschlagUndUmwandlungVonHand) {
    // Rook e1, black king e8, black pawn a7. White: seven squares along the
    // first rank plus e2 ... e8 = 14. After each of the 13 quiet moves Black
    // has five king steps and two pawn moves; after Rxe8 only the two pawn
    // moves: 13 * 7 + 2 = 93.
    stellung("4k3/p7/8/8/8/8/8/4R3");
    EXPECT_EQ(engine_perft(1), 14);
    EXPECT_EQ(engine_perft(2), 93);
    // Pawn a7 beside a black knight on b8: a8 and axb8, four pieces each = 8.
    // After a8 = anything the knight has a6, c6, d7; after axb8 Black has
    // nothing: 4 * 3 = 12.
    stellung("1n6/P7/8/8/8/8/8/8");
    EXPECT_EQ(engine_perft(1), 8);
    EXPECT_EQ(engine_perft(2), 12);
}

TEST(Perft, StimmtMitSchlichtemZaehlerUeberein) {
    for (const int n : {1, 7, 10, 16, 18, 23, 37, 46, 47, 49}) {
        neustart();
        teststellung(n);
        Kopie b = vom_brett();
        for (int tiefe = 1; tiefe <= 3; ++tiefe)
            EXPECT_EQ(engine_perft(tiefe), pfade(b, 1, tiefe)) << "test position " << n << " depth " << tiefe;
    }
    neustart();
    Kopie b = vom_brett();
    EXPECT_EQ(engine_perft(4), pfade(b, 1, 4)) << "initial position, depth 4";
}

TEST(Zugliste, GrundstellungDruckenUndDatensatz) {
    neustart();
    debugmode = 1;
    testing::internal::CaptureStdout();
    movegen(0, WEISS);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "b1c3 b1a3 g1h3 g1f3 a2a4 a2a3 b2b4 b2b3 c2c4 c2c3 d2d4 d2d3 e2e4 e2e3 f2f4 f2f3 g2g4 g2g3 h2h4 h2h3 \n");
    debugmode = 0;
    const ZugEintrag& m = suche(0, e2, e4);
    EXPECT_EQ(m.von, 13);
    EXPECT_EQ(m.nach, 29);
    EXPECT_EQ(m.figur, 1);
    EXPECT_EQ(m.geschlagen, 0);
    EXPECT_EQ(m.ep_linie, 5);
    EXPECT_EQ(m.umwandlung + m.rochade + m.reserve + m.neue_figur, 0);
    EXPECT_EQ(suche(0, e2, e3).ep_linie, 0);

    // Black by the showmoves command: the pawns a7 ... h7 come first in the
    // scan (double step before single step), then b8 (-17 to a6 before -15
    // to c6) and g8 (-17 to f6, -15 to h6).
    werdran = SCHWARZ;
    testing::internal::CaptureStdout();
    befehl("showmoves");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "a7a5 a7a6 b7b5 b7b6 c7c5 c7c6 d7d5 d7d6 e7e5 e7e6 f7f5 f7f6 g7g5 g7g6 h7h5 h7h6 "
              "b8a6 b8c6 g8f6 g8h6 \n\n");
    EXPECT_EQ(debugmode, 0);
}

TEST(Zugliste, DameNachEntfernungDannStrahl) {
    stellung("8/8/8/8/3Q4/8/8/8");
    movegen(3, WEISS);
    // For each distance the rays +9 +7 -9 -7 +1 -1 +8 -8 as (file, rank)
    // steps from d4, each as long as it stays on the board.
    constexpr std::pair<int, int> strahlen[] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    std::string erwartet;
    for (int k = 1; k <= 7; ++k)
        for (const auto& [df, dr] : strahlen) {
            const int f = 3 + k * df, r = 3 + k * dr;
            if (f >= 0 && f < 8 && r >= 0 && r < 8) erwartet += std::string("d4") + char('a' + f) + char('1' + r) + " ";
        }
    EXPECT_EQ(als_text(3), erwartet);
    EXPECT_EQ(index[3], 27);
}

TEST(Zugliste, UmwandlungenDameTurmSpringerLaeufer) {
    constexpr int neu[4] = {wdame, wturm, wspringer, wlaufer};
    stellung("7r/6P1/8/8/8/8/8/8");
    movegen(2, WEISS);
    EXPECT_EQ(als_text(2), "g7g8 g7g8 g7g8 g7g8 g7h8 g7h8 g7h8 g7h8 ");
    for (int i = 1; i <= index[2]; ++i) {
        const ZugEintrag& m = zug[2][i];
        EXPECT_EQ(m.geschlagen, i <= 4 ? leer : sturm);
        EXPECT_EQ(m.figur, wbauer);
        EXPECT_EQ(m.umwandlung, 1);
        EXPECT_EQ(m.neue_figur, neu[(i - 1) % 4]);
        EXPECT_EQ(m.sortwert, zug[2][i <= 4 ? 1 : 5].sortwert);
    }
    stellung("8/8/8/8/8/8/1p6/8", SCHWARZ);
    movegen(2, SCHWARZ);
    ASSERT_EQ(index[2], 4);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(zug[2][i].neue_figur, -neu[i - 1]);
}

TEST(Zugliste, LeereSeiteFremdeFarbeUndVolleListe) {
    stellung("4k3/8/8/8/8/8/8/8");
    zug[4][1].von = 42;
    debugmode = 1;
    testing::internal::CaptureStdout();
    movegen(4, WEISS);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
    debugmode = 0;
    EXPECT_EQ(index[4], 0);
    EXPECT_EQ(zug[4][1].von, 42) << "entries above the count keep their contents";
    // Side codes other than 1 and 2 give nothing, though both kings could
    // take each other here.
    stellung("8/8/8/3kK3/8/8/8/8");
    for (const int farbe : {0, 3}) {
        movegen(4, farbe);
        EXPECT_EQ(index[4], 0);
        qmovegen(4, farbe);
        EXPECT_EQ(index[4], 0);
    }
    // Twenty-eight queens on the edge ring reach into the empty middle with
    // more moves than a list holds; the list stops full and the next one
    // stays untouched.
    stellung("QQQQQQQQ/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/QQQQQQQQ");
    Kopie b = vom_brett();
    ASSERT_GT(pfade(b, 1, 1), MAXZUEGE);
    zug[11][0].von = zug[11][1].von = 7, index[11] = 3;
    movegen(10, WEISS);
    EXPECT_EQ(index[10], MAXZUEGE);
    EXPECT_EQ(zug[11][0].von + zug[11][1].von + index[11], 17);
}

TEST(Sortwert, BeispieleDerOrdnung) {
    // History 1 * faktor 1000 / historywrites 1 = 1000 for every move.
    neustart();
    for (auto& zeile : history_heuristic[1]) std::fill(std::begin(zeile), std::end(zeile), 1);
    movegen(1, WEISS);
    EXPECT_EQ(suche(1, e2, e4).sortwert, 1019);  // 1000 + (15 - (-4))
    EXPECT_EQ(suche(1, b1, c3).sortwert, 1016);  // 1000 + (6 - (-10))
    // Killer bonuses add independently: e2e4 in entries 1 and 2, b1c3 in 3.
    killer[1][1].von = killer[1][2].von = e2, killer[1][1].nach = killer[1][2].nach = e4;
    killer[1][3].von = b1, killer[1][3].nach = c3;
    movegen(1, WEISS);
    EXPECT_EQ(suche(1, e2, e4).sortwert, 1019 + 15000 + 7500);
    EXPECT_EQ(suche(1, b1, c3).sortwert, 1016 + 90);

    // History 7 * 1000 / 3 truncates to 2333; the other lists keep history 0.
    neustart();
    history_heuristic[1][e2][e4] = 7;
    historywrites = 3;
    movegen(1, WEISS);
    EXPECT_EQ(suche(1, e2, e4).sortwert, 2333 + 19);
    // A Black mover negates its table's difference: e7e5 is
    // -(bfiguren_s[e5] - bfiguren_s[e7]) = -(-15 - 4).
    movegen(2, SCHWARZ);
    EXPECT_EQ(suche(2, e7, e5).sortwert, 19);

    // Knight e3 takes the queen on d5: positional 8 - 4, capture
    // 10000 + 900 - 310 / 10. A king taking a pawn: 9910 + 103, no
    // positional term.
    stellung("8/8/8/3q4/8/4N3/3p4/4K3");
    movegen(2, WEISS);
    EXPECT_EQ(suche(2, e3, d5).sortwert, 4 + 10000 + 900 - 31);
    EXPECT_EQ(suche(2, e1, d2).sortwert, 9910 + 103);
    // Rook e1 takes the king on e8: positional 18 - 6, capture
    // 10000 + 20000 - 500 / 10.
    stellung("4k3/8/8/8/8/8/8/4R3");
    movegen(0, WEISS);
    EXPECT_EQ(suche(0, e1, e8).geschlagen, skonig);
    EXPECT_EQ(suche(0, e1, e8).sortwert, 12 + 10000 + 20000 - 50);
}

TEST(Rochade, ErlaubtVorDenKoenigsschritten) {
    stellung("r3k2r/8/8/8/8/8/8/R3K2R");
    movegen(QSUCHE, WEISS);
    // The king's moves: both castlings first, then the steps +1 -1 +8 +9 +7.
    std::string koenig;
    for (int i = 1; i <= index[QSUCHE]; ++i)
        if (zug[QSUCHE][i].von == e1) koenig += std::string("e1") + feld[zug[QSUCHE][i].nach] + " ";
    EXPECT_EQ(koenig, "e1g1 e1c1 e1f1 e1d1 e1e2 e1f2 e1d2 ");
    const ZugEintrag& kurz = suche(QSUCHE, e1, g1);
    EXPECT_EQ(kurz.figur + kurz.nach + kurz.rochade + kurz.geschlagen, 6 + 7 + 1 + 0);
    movegen(QSUCHE + 5, SCHWARZ);
    EXPECT_EQ(als_text(QSUCHE + 5, true), "e8g8 e8c8 ");
    // Below the horizon there is never castling.
    for (const int liste : {QSUCHE - 1, 1, 0}) {
        movegen(liste, WEISS);
        EXPECT_EQ(als_text(liste, true), "") << liste;
    }
}

TEST(Rochade, FlaggenBesetzteUndAngegriffeneFelder) {
    const struct {
        const char* stellung;
        int16_t* flagge;
        const char* erwartet;
    } faelle[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R", &h1_bewegt, "e1c1 "},       // the h1 rook has moved
        {"r3k2r/8/8/8/8/8/8/R3K2R", &a1_bewegt, "e1g1 "},       // the a1 rook has moved
        {"r3k2r/8/8/8/8/8/8/R3K2R", &e1_bewegt, ""},            // the king has moved
        {"r3k2r/8/8/8/8/8/8/R3K2R", &h8_bewegt, "e1g1 e1c1 "},  // Black's flags are Black's
        {"r3k2r/8/8/8/8/8/8/RN2KB1R", nullptr, ""},             // b1 and f1 occupied
        {"r3k2r/8/8/8/8/8/8/R2QK1NR", nullptr, ""},             // d1 and g1 occupied
        {"r3k2r/8/8/8/8/8/8/r3K2b", nullptr, ""},               // no white rooks in the corners
        {"4k3/8/b7/8/8/8/8/R3K2R", nullptr, "e1c1 "},           // bishop a6 reaches f1
        {"4k3/8/8/8/8/8/4p3/R3K2R", nullptr, ""},               // pawn e2 attacks d1 and f1
        {"4k3/8/8/8/8/8/3p4/R3K2R", nullptr, ""},               // pawn d2 checks
        {"4k3/8/8/8/8/8/7p/R3K2R", nullptr, "e1c1 "},           // pawn h2 attacks g1
        {"4k3/8/8/8/8/8/p7/R3K2R", nullptr, "e1g1 e1c1 "},      // pawn a2 attacks b1 only,
        {"1r2k3/8/8/8/8/8/8/R3K2R", nullptr, "e1g1 e1c1 "},     // and b1 may be attacked
        {"2r1k3/8/8/8/8/8/8/R3K2R", nullptr, "e1g1 "},          // rook c8 reaches c1
        {"4r1k1/8/8/8/8/8/8/R3K2R", nullptr, ""},               // rook e8 checks
    };
    for (const auto& f : faelle) {
        stellung(f.stellung);
        if (f.flagge != nullptr) *f.flagge = 1;
        movegen(QSUCHE, WEISS);
        EXPECT_EQ(als_text(QSUCHE, true), f.erwartet) << f.stellung;
    }
    // Black likewise: a white pawn on e7 attacks d8 and f8, a bishop on a3
    // reaches f8.
    stellung("r3k2r/4P3/8/8/8/8/8/4K3", SCHWARZ);
    movegen(QSUCHE, SCHWARZ);
    EXPECT_EQ(als_text(QSUCHE, true), "");
    stellung("r3k2r/8/8/8/8/B7/8/4K3", SCHWARZ);
    movegen(QSUCHE, SCHWARZ);
    EXPECT_EQ(als_text(QSUCHE, true), "e8c8 ");
}

TEST(Schlagzuege, BeispieleUndNurDieEigeneListe) {
    neustart();
    qmovegen(5, WEISS);
    EXPECT_EQ(index[5], 0);
    qmovegen(5, SCHWARZ);
    EXPECT_EQ(index[5], 0);

    stellung("8/8/n7/8/8/8/8/RP6");
    zug[4][1].von = zug[6][1].von = 33, index[4] = index[6] = 9;
    qmovegen(5, WEISS);
    EXPECT_EQ(als_text(5), "a1a6 ");
    EXPECT_EQ(zug[5][1].geschlagen, sspringer);
    EXPECT_EQ(zug[4][1].von + zug[6][1].von + index[4] + index[6], 66 + 18);
    // A pawn's capture onto the last rank, four times, and no step.
    stellung("7r/6P1/8/8/8/8/8/8");
    qmovegen(5, WEISS);
    EXPECT_EQ(als_text(5), "g7h8 g7h8 g7h8 g7h8 ");
}

// The capture list is the full list's captures, in the same order, with the
// same fields and scores, whatever history and killers say.
TEST(Schlagzuege, GleichDenSchlagzuegenDerVollenListe) {
    std::mt19937 zufallszahl(7);
    for (int n = 1; n <= TESTSTELLUNGEN; ++n) {
        if (n == 14) continue;
        neustart();
        teststellung(n);
        for (auto& zeile : history_heuristic[3])
            for (auto& wert : zeile) wert = static_cast<int>(zufallszahl() % 50);
        for (int farbe : {WEISS, SCHWARZ}) {
            movegen(3, farbe);
            if (index[3] > 0) killer[3][1 + zufallszahl() % 3] = zug[3][1 + zufallszahl() % index[3]];
            movegen(3, farbe);
            const int alle = index[3];
            std::array<ZugEintrag, PLAETZE> voll;
            std::copy(zug[3], zug[3] + PLAETZE, voll.begin());
            qmovegen(3, farbe);  // the same list: history and killers are per list
            int j = 0;
            for (int i = 1; i <= alle; ++i) {
                const ZugEintrag& m = voll[i];
                if (m.geschlagen == leer) continue;
                ASSERT_LE(++j, index[3]) << "test position " << n;
                const ZugEintrag& q = zug[3][j];
                EXPECT_TRUE(q.von == m.von && q.nach == m.nach && q.figur == m.figur && q.geschlagen == m.geschlagen &&
                            q.neue_figur == m.neue_figur && q.umwandlung == m.umwandlung && q.sortwert == m.sortwert)
                    << "test position " << n << " " << feld[m.von] << feld[m.nach];
            }
            EXPECT_EQ(j, index[3]) << "test position " << n;
        }
    }
}

TEST(Schach, Beispiele) {
    const struct {
        const char* stellung;
        int farbe;
        int erwartet;
    } faelle[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", WEISS, 0},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", SCHWARZ, 0},
        {"8/8/8/3kK3/8/8/8/8", WEISS, 1},  // the enemy king's capture counts
        {"8/8/8/3kK3/8/8/8/8", SCHWARZ, 1},
        {"8/8/8/8/8/8/3p4/4K3", WEISS, 1},
        {"8/8/8/8/8/8/5p2/4K3", WEISS, 1},
        {"8/8/8/8/8/8/4p3/4K3", WEISS, 0},
        {"4k3/8/8/1B6/8/8/8/4K3", SCHWARZ, 1},
        {"4k3/8/8/1B6/8/8/8/4K3", 0, 1},  // any code but 1 asks about Black
        {"4k3/3p4/8/1B6/8/8/8/4K3", SCHWARZ, 0},
        {"8/8/8/8/8/8/3p4/8", WEISS, 0},  // no king, no check
    };
    for (const auto& f : faelle) {
        stellung(f.stellung);
        EXPECT_EQ(inSchach(f.farbe), f.erwartet) << f.stellung << " side " << f.farbe;
    }
}

}  // namespace
}  // namespace kelpin
