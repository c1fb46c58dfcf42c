// Moves read from the input: board and record they leave, the answer check, the record's listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::GRUNDSTELLUNG;
using test::platzierung;

// A position in force mode, so that no move read starts a thinking turn.
void partie(const char* placement = GRUNDSTELLUNG, int am_zug = WEISS) {
    test::stellung(placement, am_zug);
    forcemode = 1;
}

// Runs the words as commands (moves, or "list") and returns what they printed.
std::string eingabe(const std::string& woerter) {
    std::istringstream s(woerter);
    testing::internal::CaptureStdout();
    for (std::string wort; s >> wort;) befehl(wort.c_str());
    return testing::internal::GetCapturedStdout();
}

TEST(Eingabe, WoerterBrettProtokollUndAntwortpruefung) {
    // Words, the placement, the home squares without castling right, the answer check's line. On a
    // board no game reaches a word is written as it comes: castling as the king's two-square step,
    // en passant as a pawn changing file onto an empty square, a lower-case promotion on rank 8 or 1.
    const char* const BAUER_E7 = "7k/4P3/8/8/8/8/8/K7";
    const char* const PATT = "result 1/2-1/2 {Stalemate}\n";
    const std::tuple<const char*, int, const char*, const char*, const char*, const char*> faelle[] = {
        {"rnbqkbnr/pppppppp/8/8/K7/8/PPPPPPPP/RNBQKBNR", WEISS, "e1g1 e8c8", "1nkr1bnr/pppppppp/8/8/K7/8/PPPPPPPP/RNBQ1RK1",
         "h1 e1 a8 e8", ""},
        {"r3k2r/8/8/8/K7/8/8/R3K2R", WEISS, "e1c1 e8g8", "r4rk1/8/8/8/K7/8/8/2KR3R", "a1 e1 h8 e8", ""},
        {"4k3/8/8/8/8/8/8/4R2R", WEISS, "e1g1", "4k3/8/8/8/8/8/8/6RR", "e1", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R", WEISS, "a1a5 e8e7 a5a1", "r6r/4k3/8/8/8/8/8/R3K2R", "a1 e8", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R", WEISS, "h1h8", "r3k2R/8/8/8/8/8/8/R3K3", "h1 h8", ""},
        {"rnbqkbnr/pppppppp/8/8/K7/8/PPPPPPPP/RNBQKBNR", WEISS, "e2e2", "rnbqkbnr/pppppppp/8/8/K7/8/PPPP1PPP/RNBQKBNR",
         "", ""},
        {BAUER_E7, WEISS, "e7e8q", "4Q2k/8/8/8/8/8/8/K7", "e8", ""},
        {"7k/4P3/8/8/8/8/8/8", WEISS, "e7e8Q", "4P2k/8/8/8/8/8/8/8", "e8", ""},
        {BAUER_E7, WEISS, "e7e8rxyz", "4R2k/8/8/8/8/8/8/K7", "e8", ""},
        {"7k/4P3/8/8/8/8/8/8", WEISS, "e7e6q", "7k/8/4P3/8/8/8/8/8", "", ""},
        {"k7/8/8/8/8/8/4p3/7K", SCHWARZ, "e2e1q", "k7/8/8/8/8/8/8/4q2K", "e1", ""},
        {"7k/r7/8/8/8/8/8/8", WEISS, "a7a8n", "N6k/8/8/8/8/8/8/8", "a8", ""},
        {"4k3/8/8/3Pp3/8/8/8/8", WEISS, "d5e6", "4k3/8/4P3/8/8/8/8/8", "", ""},
        {"8/8/8/8/3pP3/8/8/4K3", SCHWARZ, "d4e3", "8/8/8/8/8/4p3/8/4K3", "", ""},
        {"4k3/8/4n3/3Pp3/8/8/8/8", WEISS, "d5e6", "4k3/8/4P3/4p3/8/8/8/8", "", ""},
        // Back-rank mate: the king's squares and every pawn move leave g8 to the rook.
        {"6k1/5ppp/8/8/8/8/8/R5K1", WEISS, "a1a8", "R5k1/5ppp/8/8/8/8/8/6K1", "a1 a8", "result 1-0 {White mates}\n"},
        {"r5k1/8/8/8/8/8/5PPP/6K1", SCHWARZ, "a8a1", "6k1/8/8/8/8/8/5PPP/r5K1", "a1 a8", "result 0-1 {Black mates}\n"},
        // The queen takes g8, g7 and h7 from the king on h8 without giving check.
        {"7k/8/8/8/8/8/8/K5Q1", WEISS, "g1g6", "7k/8/6Q1/8/8/8/8/K7", "", PATT},
        {"k5q1/8/8/8/8/8/8/7K", SCHWARZ, "g8g3", "k7/8/8/8/8/6q1/8/7K", "", PATT},
        // King a8 boxed in, pawn d4 blocked: en passant answers the double step only.
        {"k7/8/1Q6/8/3p4/3P4/4P3/7K", WEISS, "e2e4", "k7/8/1Q6/8/3pP3/3P4/8/7K", "", ""},
        {"k7/8/1Q6/8/3p4/3PP3/8/7K", WEISS, "e3e4", "k7/8/1Q6/8/3pP3/3P4/8/7K", "", PATT},
    };
    for (const auto& [stellung, am_zug, woerter, erwartet, ohne_recht, zeile] : faelle) {
        partie(stellung, am_zug);
        // Out of force mode when the game ends: the result line must be all, no thinking turn.
        forcemode = zeile[0] == '\0', THINKTIME = 1, computerfarbe = static_cast<int16_t>(am_zug);
        EXPECT_EQ(eingabe(woerter), zeile) << woerter;
        EXPECT_EQ(platzierung(), erwartet) << woerter;
        const std::pair<const char*, int> flaggen[] = {{"a1", a1_bewegt}, {"h1", h1_bewegt}, {"e1", e1_bewegt},
                                                       {"a8", a8_bewegt}, {"h8", h8_bewegt}, {"e8", e8_bewegt}};
        std::string ohne;
        for (const auto& [name, flagge] : flaggen)
            if (flagge != 0) ohne += ohne.empty() ? name : std::string(" ") + name;
        EXPECT_EQ(ohne, ohne_recht) << woerter;
        // Five characters a word recorded; the engine's colour passes on only when a reply is left.
        const std::string text = woerter, letztes = text.substr(text.rfind(' ') + 1);
        const int zuege = 1 + static_cast<int>(std::count(text.begin(), text.end(), ' '));
        EXPECT_EQ(SpielZugNummer, zuege) << woerter;
        EXPECT_EQ(gamehistory[SpielZugNummer].zugtext, letztes.substr(0, 5)) << woerter;
        EXPECT_EQ(werdran, zuege % 2 == 0 ? am_zug : (am_zug == WEISS ? SCHWARZ : WEISS)) << woerter;
        EXPECT_EQ(computerfarbe, zeile[0] == '\0' ? werdran : am_zug) << woerter;
    }
}

TEST(Eingabe, LegaleZuegeUndVerweigerte) {
    // Where a game can reach the board only a legal move is taken ('+'); any
    // other is refused ('-'), changing nothing. Elsewhere every word is taken.
    const std::tuple<const char*, int, const char*> faelle[] = {
        // From an empty square, a move of the side not to move, and moving twice.
        {GRUNDSTELLUNG, WEISS, "-e3e2 -e7e5 +e2e4 -e4e5 +e7e5 -e5e4 +g1f3"},
        // Castling without the right (the rooks went and came back), through check, out of check.
        {"r3k2r/8/8/8/8/8/8/R3K2R", WEISS, "+h1h2 +h8h7 +h2h1 +h7h8 -e1g1 +e1c1 -e8g8 -e8c8"},
        {"4kr2/8/8/8/8/8/8/R3K2R", WEISS, "-e1g1 +e1c1"},
        {"4k3/4r3/8/8/8/8/8/R3K2R", WEISS, "-e1g1 -e1c1 +e1f1"},
        {"r3k2r/8/8/8/8/8/8/4K3", SCHWARZ, "+e8g8"},
        // En passant right after the double step, and one move late.
        {"4k3/3p4/8/4P3/8/8/8/4K3", WEISS, "+e1e2 +d7d5 +e5d6"},
        {"4k3/3p4/8/4P3/8/8/8/4K3", WEISS, "+e1e2 +d7d5 +e2e1 +e8e7 -e5d6"},
        {"4k3/4p3/8/3P1P2/8/8/8/4K3", WEISS, "+e1e2 +e7e5 +f5e6"},  // either of two pawns may take
        {"4k3/4p3/8/3P1P2/8/8/8/4K3", WEISS, "+e1e2 +e7e5 +d5e6"},
        // Promotion with its lower-case letter only; the letter of any other move is not looked at.
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "-e7e8 -e7e8Q -e7e8k -e7f8q +e7e8n"},
        {GRUNDSTELLUNG, WEISS, "+e2e4q +c7c5x"},
        // Into check, and a pinned piece.
        {"4k3/8/8/8/8/8/4r3/4K3", WEISS, "-e1d2 -e1f2 +e1e2"},
        {"4k3/4r3/8/8/8/8/4B3/4K3", WEISS, "-e2d3 +e1d1"},
        // Boards no game reaches: no king, two kings, a pawn on the last rank, the side not to move in check.
        {"8/8/8/8/8/8/4P3/8", WEISS, "+e2e5 +e5e5"},
        {"4k3/8/8/8/8/8/8/K3K3", WEISS, "+e1e3 +e3e1"},
        {"P3k3/8/8/8/8/8/8/4K3", WEISS, "+e8e7 +a8a1"},
        {"4k3/8/8/8/8/8/8/4K2r", SCHWARZ, "+e1e2"},
    };
    for (const auto& [stellung, am_zug, woerter] : faelle) {
        partie(stellung, am_zug);
        std::istringstream s(woerter);
        for (std::string w; s >> w;) {
            const std::string wort = w.substr(1);
            const std::string vorher = test::spielstand();
            const std::string aus = eingabe(wort);
            if (w[0] == '-') {
                EXPECT_EQ(aus, "Illegal move: " + wort + "\n") << stellung << " " << wort;
                EXPECT_EQ(test::spielstand(), vorher) << stellung << " " << wort;
            } else {
                EXPECT_EQ(aus.find("Illegal"), std::string::npos) << stellung << " " << wort << ": " << aus;
                EXPECT_NE(test::spielstand(), vorher) << stellung << " " << wort;
            }
        }
    }
}

TEST(Partieliste, GeradeUngeradeUndUeberlauf) {
    partie();
    const uint64_t kennung = hashkennung;
    EXPECT_EQ(eingabe("z9z9 E2E4 e2 e2e e2z9 i1a1 list"), "") << "words that are no move, and no record";
    EXPECT_EQ(platzierung() + " " + std::to_string(werdran), std::string(GRUNDSTELLUNG) + " 1");
    // An odd count shows the entry after the last move, as an earlier game left it.
    strcpy(gamehistory[4].zugtext, "h7h5");
    EXPECT_EQ(eingabe("e2e4 e7e5 g1f3 list"), "e2e4 - e7e5\ng1f3 - h7h5\n");
    EXPECT_EQ(eingabe("b8c6 list"), "e2e4 - e7e5\ng1f3 - b8c6\n");
    EXPECT_EQ(gamehistory[1].schluessel, kennung) << "the key before the move";

    // Past the record's last entry, 999, the game goes on and the record keeps what fits.
    partie();
    memset(gamehistory, 0, sizeof gamehistory);
    SpielZugNummer = 997;
    const std::string text = eingabe("e2e4 e7e5 g1f3 b8c6 list");
    EXPECT_EQ(SpielZugNummer, 1001);
    EXPECT_EQ(platzierung(), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R");
    EXPECT_STREQ(gamehistory[0].zugtext, "");
    EXPECT_EQ(test::zeilen(text), 500);
    EXPECT_EQ(test::zeile(text, 498) + "|" + test::zeile(text, 499), " - e2e4|e7e5 - ");
    EXPECT_EQ(text.find("g1f3"), std::string::npos);
}

}  // namespace
}  // namespace kelpin
