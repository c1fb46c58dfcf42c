// Moves read from the input: how a word is written onto the board, the game
// record it leaves, the check for a legal answer with its result lines, and
// the listing of the record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::platzierung;

const char* const GRUNDSTELLUNG = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

// A position in force mode, so that no move read starts a thinking turn.
void partie(const char* placement = GRUNDSTELLUNG, int am_zug = WEISS) {
    test::stellung(placement, am_zug);
    forcemode = 1;
}

// Reads one word as a move and returns what it printed.
std::string eingabe(const char* wort, bool* angenommen = nullptr) {
    testing::internal::CaptureStdout();
    const bool ok = zugeingabe(wort);
    if (angenommen != nullptr) *angenommen = ok;
    return testing::internal::GetCapturedStdout();
}

std::string liste() {
    testing::internal::CaptureStdout();
    befehl("list");
    return testing::internal::GetCapturedStdout();
}

TEST(Eingabe, ZugAusDerGrundstellung) {
    partie();
    computerfarbe = WEISS;
    const uint64_t kennung = hashkennung;
    bool ok = false;
    EXPECT_EQ(eingabe("e2e4", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(platzierung(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR");
    EXPECT_EQ(SpielZugNummer, 1);
    EXPECT_STREQ(gamehistory[1].zugtext, "e2e4");
    // The record keeps the key of the position before the move, and a move
    // read leaves the keys alone.
    EXPECT_EQ(gamehistory[1].schluessel, kennung);
    EXPECT_EQ(hashkennung, kennung);
    EXPECT_EQ(werdran, SCHWARZ);
    EXPECT_EQ(computerfarbe, SCHWARZ);

    eingabe("e7e5");
    EXPECT_STREQ(gamehistory[2].zugtext, "e7e5");
    EXPECT_EQ(werdran + computerfarbe + SpielZugNummer, WEISS + WEISS + 2);
}

TEST(Eingabe, UngueltigeWoerterUndLeererZug) {
    for (const char* wort : {"z9z9", "E2E4", "e2", "e2e", "e2z9", "i1a1", ""}) {
        partie();
        bool ok = true;
        EXPECT_EQ(eingabe(wort, &ok), "") << wort;
        EXPECT_FALSE(ok) << wort;
        EXPECT_EQ(platzierung(), GRUNDSTELLUNG) << wort;
        EXPECT_EQ(SpielZugNummer, 0) << wort;
        EXPECT_EQ(werdran, WEISS) << wort;
    }
    // The piece is written onto e2 and then removed from it.
    partie();
    bool ok = false;
    eingabe("e2e2", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(brett[e2], leer);
    EXPECT_EQ(SpielZugNummer, 1);
}

TEST(Eingabe, RochadeAmZweifeldschrittDesKoenigs) {
    // With the king marked as moved and f1, g1 occupied: the rook comes to f1
    // and the king to g1 over whatever stood there.
    partie();
    e1_bewegt = 1;
    eingabe("e1g1");
    eingabe("e8c8");
    EXPECT_EQ(platzierung(), "1nkr1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1");

    partie("r3k2r/8/8/8/8/8/8/R3K2R");
    eingabe("e1c1");
    eingabe("e8g8");
    EXPECT_EQ(platzierung(), "r4rk1/8/8/8/8/8/8/2KR3R");
    // King and rook leave their home squares: both lose the right.
    EXPECT_EQ(a1_bewegt + e1_bewegt + h8_bewegt + e8_bewegt, 4);
    EXPECT_EQ(h1_bewegt + a8_bewegt, 0);

    // A rook on e1 making the same step is an ordinary move.
    partie("4k3/8/8/8/8/8/8/4R2R");
    eingabe("e1g1");
    EXPECT_EQ(platzierung(), "4k3/8/8/8/8/8/8/6RR");
}

TEST(Eingabe, UmwandlungsbuchstabeUndZugtext) {
    const struct {
        const char* stellung;
        int am_zug;
        const char* wort;
        int ziel;
        int erwartet;
    } faelle[] = {
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "e7e8q", e8, wdame},
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "e7e8b", e8, wlaufer},
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "e7e8Q", e8, wbauer},  // upper case is no promotion letter
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "e7e8", e8, wbauer},
        {"7k/4P3/8/8/8/8/8/K7", WEISS, "e7e6q", e6, wbauer},  // only ranks 8 and 1 promote
        {"k7/8/8/8/8/8/4p3/7K", SCHWARZ, "e2e1q", e1, sdame},
        {"7k/r7/8/8/8/8/8/K7", WEISS, "a7a8n", a8, wspringer},  // the rank decides the colour,
        {"7k/8/8/8/8/8/4R3/K7", WEISS, "e2e1r", e1, sturm},     // not the piece that moves
    };
    for (const auto& f : faelle) {
        partie(f.stellung, f.am_zug);
        eingabe(f.wort);
        EXPECT_EQ(brett[f.ziel], f.erwartet) << f.wort;
        EXPECT_STREQ(gamehistory[1].zugtext, f.wort);
    }
    // The record keeps the first five characters of the word.
    partie("7k/4P3/8/8/8/8/8/K7");
    eingabe("e7e8rxyz");
    EXPECT_EQ(brett[e8], wturm);
    EXPECT_STREQ(gamehistory[1].zugtext, "e7e8r");
}

TEST(Eingabe, EnPassantNimmtDenUeberschrittenenBauern) {
    partie("4k3/8/8/3Pp3/8/8/8/4K3");
    eingabe("d5e6");
    EXPECT_EQ(platzierung(), "4k3/8/4P3/8/8/8/8/4K3");
    partie("4k3/8/8/8/3pP3/8/8/4K3", SCHWARZ);
    eingabe("d4e3");
    EXPECT_EQ(platzierung(), "4k3/8/8/8/8/4p3/8/4K3");
    // Onto an occupied square it is an ordinary capture.
    partie("4k3/8/4n3/3Pp3/8/8/8/4K3");
    eingabe("d5e6");
    EXPECT_EQ(platzierung(), "4k3/8/4P3/4p3/8/8/8/4K3");
}

TEST(Eingabe, HeimfelderVerlierenDasRochaderecht) {
    partie("r3k2r/8/8/8/8/8/8/R3K2R");
    eingabe("a1a5");
    EXPECT_EQ(a1_bewegt, 1);
    EXPECT_EQ(h1_bewegt + e1_bewegt + a8_bewegt + h8_bewegt + e8_bewegt, 0);
    // The rook going home does not give the right back.
    eingabe("e8e7");
    eingabe("a5a1");
    EXPECT_EQ(e8_bewegt, 1);
    movegen(QSUCHE, WEISS);
    int rochaden = 0;
    for (int i = 1; i <= index[QSUCHE]; ++i) rochaden += zug[QSUCHE][i].rochade * zug[QSUCHE][i].nach;
    EXPECT_EQ(rochaden, g1) << "only the short castling is left";

    // A rook taken on its home square loses its right as well.
    partie("r3k2r/8/8/8/8/8/8/R3K2R");
    eingabe("h1h8");
    EXPECT_EQ(h1_bewegt + h8_bewegt, 2);
    EXPECT_EQ(a1_bewegt + e1_bewegt + a8_bewegt + e8_bewegt, 0);
}

TEST(Antwortpruefung, MattUndPatt) {
    const struct {
        const char* stellung;
        int am_zug;
        const char* wort;
        const char* zeile;
    } faelle[] = {
        // Back-rank mate: the king's squares and every pawn move leave g8 to the rook.
        {"6k1/5ppp/8/8/8/8/8/R5K1", WEISS, "a1a8", "result 1-0 {White mates}\n"},
        {"r5k1/8/8/8/8/8/5PPP/6K1", SCHWARZ, "a8a1", "result 0-1 {Black mates}\n"},
        // The queen takes g8, g7 and h7 from the king on h8 without giving check.
        {"7k/8/8/8/8/8/8/K5Q1", WEISS, "g1g6", "result 1/2-1/2 {Stalemate}\n"},
        {"k5q1/8/8/8/8/8/8/7K", SCHWARZ, "g8g3", "result 1/2-1/2 {Stalemate}\n"},
    };
    for (const auto& f : faelle) {
        partie(f.stellung, f.am_zug);
        // Without force mode: the result line must be all, no thinking turn.
        forcemode = 0;
        THINKTIME = 1;
        computerfarbe = static_cast<int16_t>(f.am_zug);
        EXPECT_EQ(eingabe(f.wort), f.zeile) << f.wort;
        EXPECT_EQ(werdran, f.am_zug) << f.wort;
        EXPECT_EQ(computerfarbe, f.am_zug) << f.wort;
    }
}

TEST(Antwortpruefung, EnPassantAlsEinzigeAntwort) {
    // King a8 has only squares the queen on b6 covers, the pawn d4 is blocked
    // by d3 and has nothing to take, unless White's pawn passes e3 with a
    // double step.
    partie("k7/8/1Q6/8/3p4/3P4/4P3/7K");
    EXPECT_EQ(eingabe("e2e4"), "");
    EXPECT_EQ(werdran + computerfarbe, SCHWARZ + SCHWARZ);
    eingabe("d4e3");
    EXPECT_EQ(platzierung(), "k7/8/1Q6/8/8/3Pp3/8/7K");
    // A single step to e4 leaves the same position without that capture.
    partie("k7/8/1Q6/8/3p4/3PP3/8/7K");
    EXPECT_EQ(eingabe("e3e4"), "result 1/2-1/2 {Stalemate}\n");
    EXPECT_EQ(werdran, WEISS);
}

TEST(Partieliste, GeradeUndUngeradeAnzahl) {
    partie();
    EXPECT_EQ(liste(), "");
    eingabe("e2e4"), eingabe("e7e5"), eingabe("g1f3");
    // An odd count shows the entry after the last move, here as an earlier
    // game of the same run left it.
    strcpy(gamehistory[4].zugtext, "h7h5");
    EXPECT_EQ(liste(), "e2e4 - e7e5\ng1f3 - h7h5\n");
    eingabe("b8c6");
    EXPECT_EQ(liste(), "e2e4 - e7e5\ng1f3 - b8c6\n");
}

TEST(Partieliste, UeberlaufNachNeunhundertNeunundneunzig) {
    partie();
    memset(gamehistory, 0, sizeof gamehistory);
    SpielZugNummer = 997;
    for (const char* wort : {"e2e4", "e7e5", "g1f3", "b8c6"}) eingabe(wort);
    // The game goes on past the record's last entry, 999.
    EXPECT_EQ(SpielZugNummer, 1001);
    EXPECT_EQ(platzierung(), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R");
    EXPECT_STREQ(gamehistory[998].zugtext, "e2e4");
    EXPECT_STREQ(gamehistory[999].zugtext, "e7e5");
    EXPECT_STREQ(gamehistory[0].zugtext, "");

    const std::string text = liste();
    EXPECT_EQ(test::zeile(text, 498), " - e2e4");
    EXPECT_EQ(test::zeile(text, 499), "e7e5 - ");
    EXPECT_LE(test::zeilen(text), 501);
    EXPECT_EQ(text.find("g1f3"), std::string::npos) << "moves past the record are not kept";
}

}  // namespace
}  // namespace kelpin
