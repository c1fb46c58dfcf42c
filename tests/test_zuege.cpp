// Move generation: the path counter, the order and fields of the records, castling.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::stellung;

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
    ADD_FAILURE() << feld[von] << feld[nach] << " is not in list " << liste;
    return zug[liste][0];
}

TEST(Perft, VonHandGezaehlt) {
    test::neustart();
    EXPECT_EQ((std::array{engine_perft(1), engine_perft(2), engine_perft(3)}),
              (std::array<long long, 3>{20, 400, 8902}));
    // The command takes depth 0 as 1; outside 1 ... 256 there is no list to count in.
    for (const auto& [zeile, erste] : {std::pair{"perft 0", "movegen() to depth 1 -> 20 nodes"},
                                       {"perft 257", "movegen() to depth 257 -> 0 nodes"},
                                       {"perft -3", "movegen() to depth -3 -> 0 nodes"}}) {
        testing::internal::CaptureStdout();
        befehl(zeile);
        EXPECT_EQ(test::zeile(testing::internal::GetCapturedStdout(), 0), erste);
    }
    // Black answers 13 rook moves with seven moves, Rxe8 with the two pawn moves.
    stellung("4k3/p7/8/8/8/8/8/4R3");
    EXPECT_EQ(engine_perft(2), 13 * 7 + 2);
    // a8 and axb8 to four pieces each; the knight answers a8 with three moves.
    stellung("1n6/P7/8/8/8/8/8/8");
    EXPECT_EQ(engine_perft(1), 8);
    EXPECT_EQ(engine_perft(2), 4 * 3);
}

TEST(Zugliste, ReihenfolgeUndDatensatz) {
    test::neustart();
    testing::internal::CaptureStdout();
    befehl("showmoves");
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "b1c3 b1a3 g1h3 g1f3 a2a4 a2a3 b2b4 b2b3 c2c4 c2c3 d2d4 d2d3 e2e4 e2e3 f2f4 f2f3 g2g4 g2g3 h2h4 h2h3 \n\n");
    const ZugEintrag& m = suche(0, e2, e4);
    EXPECT_EQ(std::tie(m.von, m.nach, m.figur, m.geschlagen, m.ep_linie), std::make_tuple(13, 29, 1, 0, 5));
    EXPECT_EQ(std::tie(m.umwandlung, m.rochade, m.reserve, m.neue_figur), std::make_tuple(0, 0, 0, 0));
    EXPECT_EQ(suche(0, e2, e3).ep_linie, 0);

    // Distance by distance, the rays +9 +7 -9 -7 +1 -1 +8 -8 as far as each reaches.
    stellung("8/8/8/8/3Q4/8/8/8");
    movegen(3, WEISS);
    EXPECT_EQ(als_text(3),
              "d4e5 d4c5 d4c3 d4e3 d4e4 d4c4 d4d5 d4d3 d4f6 d4b6 d4b2 d4f2 d4f4 d4b4 d4d6 d4d2 "
              "d4g7 d4a7 d4a1 d4g1 d4g4 d4a4 d4d7 d4d1 d4h8 d4h4 d4d8 ");

    // Promotions to queen, rook, knight, bishop, each group with one score.
    for (const auto& [text, seite, zuege] :
         {std::tuple{"7r/6P1/8/8/8/8/8/8", WEISS, "g7g8 g7g8 g7g8 g7g8 g7h8 g7h8 g7h8 g7h8 "},
          {"8/8/8/8/8/8/6p1/7R", SCHWARZ, "g2g1 g2g1 g2g1 g2g1 g2h1 g2h1 g2h1 g2h1 "}}) {
        stellung(text, seite);
        movegen(2, seite);
        EXPECT_EQ(als_text(2), zuege);
        const int vz = seite == WEISS ? 1 : -1;
        for (int i = 1; i <= index[2]; ++i) {
            const ZugEintrag& u = zug[2][i];
            EXPECT_EQ(std::tie(u.umwandlung, u.figur, u.geschlagen, u.sortwert),
                      std::make_tuple(1, vz * wbauer, i <= 4 ? leer : -vz * wturm, zug[2][i <= 4 ? 1 : 5].sortwert));
            EXPECT_EQ(u.neue_figur, vz * (std::array{wdame, wturm, wspringer, wlaufer})[(i - 1) % 4]);
        }
    }

    // 28 queens' 290 moves: the list stops full, the next one untouched.
    stellung("QQQQQQQQ/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/QQQQQQQQ");
    zug[11][1].von = 7, index[11] = 3;
    movegen(10, WEISS);
    EXPECT_EQ(index[10], MAXZUEGE);
    EXPECT_EQ(std::tie(zug[11][1].von, index[11]), std::make_tuple(7, 3));
}

TEST(Rochade, ErlaubtUndVerweigert) {
    const char* const OFFEN = "r3k2r/8/8/8/8/8/8/R3K2R";
    const std::tuple<const char*, int, int16_t*, const char*> faelle[] = {
        {OFFEN, WEISS, nullptr, "e1g1 e1c1 "},
        {OFFEN, SCHWARZ, nullptr, "e8g8 e8c8 "},
        {OFFEN, WEISS, &h1_bewegt, "e1c1 "},
        {OFFEN, WEISS, &e1_bewegt, ""},
        {OFFEN, WEISS, &h8_bewegt, "e1g1 e1c1 "},  // Black's flags are Black's
        {"r3k2r/8/8/8/8/8/8/RN2KB1R", WEISS, nullptr, ""},
        {"4k3/8/b7/8/8/8/8/R3K2R", WEISS, nullptr, "e1c1 "},       // bishop a6 reaches f1
        {"4k3/8/8/8/8/8/4p3/R3K2R", WEISS, nullptr, ""},           // pawn e2 attacks d1 and f1
        {"4k3/8/8/8/8/8/7p/R3K2R", WEISS, nullptr, "e1c1 "},       // pawn h2 attacks g1
        {"4k3/8/8/8/8/8/p7/R3K2R", WEISS, nullptr, "e1g1 e1c1 "},  // pawn a2 attacks b1 only
        {"2r1k3/8/8/8/8/8/8/R3K2R", WEISS, nullptr, "e1g1 "},      // rook c8 reaches c1
        {"4r1k1/8/8/8/8/8/8/R3K2R", WEISS, nullptr, ""},           // rook e8 checks
        {"r3k2r/4P3/8/8/8/8/8/4K3", SCHWARZ, nullptr, ""},         // pawn e7 attacks d8 and f8
    };
    for (const auto& [text, seite, flagge, erwartet] : faelle) {
        stellung(text);
        if (flagge != nullptr) *flagge = 1;
        for (const int liste : {+QSUCHE, QSUCHE - 1, 1}) {  // none below the horizon
            movegen(liste, seite);
            EXPECT_EQ(als_text(liste, true), liste == QSUCHE ? erwartet : "") << text << " list " << liste;
        }
    }
}

}  // namespace
}  // namespace kelpin
