// The board: set-up, keys, the built-in test positions, make and unmake.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::GRUNDSTELLUNG;
using test::platzierung;

TEST(Aufstellung, PlatzierungSchluesselUndTabelle) {
    test::neustart();
    EXPECT_EQ(platzierung(), GRUNDSTELLUNG) << "brettinit";
    const uint64_t weiss = hashkennung;
    werdran = SCHWARZ;
    InitStellung();
    EXPECT_EQ(hashkennung, weiss) << "the side to move is no part of the keys";
    const char* const LEER = "8/8/8/8/8/8/8/8";
    const char* const faelle[][2] = {
        {GRUNDSTELLUNG, GRUNDSTELLUNG},
        {"4k3/8/8/8/8/8/8/4K3", "4k3/8/8/8/8/8/8/4K3"},
        {LEER, LEER},
        {"", LEER},
        {"rnbqkbnr/ppp/p7/8/8/8/PPPPPPPP/RNBQKBNR", "rnbqkbnr/ppp5/p7/8/8/8/PPPPPPPP/RNBQKBNR"},  // '/' goes to a6
        {"4k3 /8/8/8/8/8/8/4K3", "4k3/8/8/8/8/8/8/8"},  // a blank ends the text
        // Pieces past h8 or on a ninth rank fall off the board; for the rest only safety is asked.
        {"pppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp", "pppppppp/8/8/8/8/8/8/8"},
        {"8/8/8/8/8/8/8/8/PPPPPPPP/KKKK", LEER},
        {"9999999999/ppppppppppppppppp//////KKKK", nullptr},
        {"////////////////kkkk", nullptr}};
    for (const auto& [text, erwartet] : faelle) {
        test::neustart();
        const uint64_t index0 = hashindex, kennung0 = hashkennung;
        const uint64_t runde = tabellenrunde;
        epd(text);
        if (erwartet != nullptr) {
            EXPECT_EQ(platzierung(), erwartet) << text;
        }
        EXPECT_TRUE(brett[0] == leer && std::count(brett + 65, brett + BRETTGROESSE, leer) == 7) << text;
        EXPECT_EQ(hashkennung2 ^ hashindex, 31337u) << text;
        EXPECT_EQ(teststellung_an, 1) << text;
        // Stopped at a blank, epd computes no keys; the table is never its to clear.
        const bool halt = std::strchr(text, ' ') != nullptr;
        EXPECT_EQ(tabellenrunde, runde) << text;
        if (halt || erwartet == LEER) {
            EXPECT_EQ(std::tuple(hashindex, hashkennung), std::tuple(halt ? index0 : 0, halt ? kennung0 : 0)) << text;
        }
    }
}

// Everything make and unmake may touch: board, keys, castling flags, side to move.
auto aufnahme() {
    return std::tuple(std::vector<int16_t>(brett, brett + BRETTGROESSE), hashindex, hashkennung, hashkennung2,
                      std::array{a1_bewegt, h1_bewegt, h8_bewegt, a8_bewegt, e1_bewegt, e8_bewegt, werdran});
}

// Random play: each move changes the pieces and both keys (their xor stays); unmake restores all.
TEST(ZugAusfuehren, SchluesselUndZuruecknahmeInZufallspartien) {
    // A list above the horizon offers castling; the path's moves have a list of their own.
    const int liste = QSUCHE_START + 1, PFAD = 250;
    std::mt19937 zufallszahl(20240611);
    int rochaden = 0, umwandlungen = 0, schlaege = 0;
    for (const char* start : {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R", "1n2k1r1/P5P1/8/8/8/8/p5p1/1N2K1R1",
                              "rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R"}) {
        for (int partie = 0; partie < 4; ++partie) {
            test::stellung(start);
            // One rook's flag set: that castling is barred, and the others must leave the flag alone.
            *std::array{&a1_bewegt, &h1_bewegt, &h8_bewegt, &a8_bewegt}[partie] = 1;
            const auto anfang = aufnahme();
            int laenge = 0;
            for (int seite = WEISS; laenge < 60; seite = seite == WEISS ? SCHWARZ : WEISS) {
                movegen(liste, seite);
                if (index[liste] == 0) break;
                const auto hier = aufnahme();
                for (int i = 1; i <= index[liste]; ++i) {
                    const ZugEintrag& m = zug[liste][i];
                    rochaden += m.rochade, umwandlungen += m.umwandlung, schlaege += m.geschlagen != leer;
                    auto brett_danach = std::get<0>(hier);  // the castling rook goes beside the king
                    brett_danach[m.von] = leer, brett_danach[m.nach] = m.umwandlung ? m.neue_figur : m.figur;
                    if (m.rochade)
                        std::swap(brett_danach[(m.von + m.nach) / 2],
                                  brett_danach[m.nach > m.von ? m.nach + 1 : m.nach - 2]);
                    zugausf(liste, i);
                    const auto danach = aufnahme();  // flags and side to move stay as they were
                    EXPECT_EQ(std::tie(std::get<0>(danach), std::get<4>(danach)),
                              std::tie(brett_danach, std::get<4>(hier)))
                        << start << " move " << feld[m.von] << feld[m.nach];
                    EXPECT_TRUE((hashkennung2 ^ hashindex) == 31337u && hashindex != std::get<1>(hier) &&
                                hashkennung != std::get<2>(hier));
                    zugzur(liste, i);
                    ASSERT_EQ(aufnahme(), hier) << start << " move " << feld[m.von] << feld[m.nach];
                }
                zug[PFAD][++laenge] = zug[liste][1 + zufallszahl() % index[liste]];
                zugausf(PFAD, laenge);
            }
            for (; laenge > 0; --laenge) zugzur(PFAD, laenge);
            EXPECT_EQ(aufnahme(), anfang) << start;
        }
    }
    EXPECT_TRUE(rochaden > 0 && umwandlungen > 0 && schlaege > 0) << "every kind of move was met";
}

}  // namespace
}  // namespace kelpin
