// The game around the board: the time budget from what an interface says,
// positions set up from a full FEN, and take-backs that restore the game.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::platzierung;

// Runs command lines as the command loop would and returns what they printed.
std::string befehle(const std::string& zeilen) {
    std::istringstream s(zeilen);
    testing::internal::CaptureStdout();
    for (std::string z; std::getline(s, z);) befehl((z + "\n").c_str());
    return testing::internal::GetCapturedStdout();
}

TEST(Zeit, BudgetAusDenAngabenDerOberflaeche) {
    // Commands, move number less one, target and hard limit in ms. 50 ms a
    // move go to the interface: the session's moves (at most 20)
    // are set aside first; the target is the rest over the moves to go (30
    // in sudden death) plus 3/4 of the increment; the hard limit is four
    // targets, at most 40 % of the rest (50 % with two moves to go, 70 %
    // with one).
    const std::tuple<const char*, int, int64_t, int64_t> faelle[] = {
        {"new\nst 5", 0, 4950, 4950},            // a ceiling less the transfer
        {"new\nst 5\ntime 300", 0, 2950, 2950},  // capped by a clock that shows less
        {"new\nst 0", 0, 950, 950},              // taken as a second
        {"new\nst -1", 0, 0, 1000},              // one iteration
        {"level 40 1 0\ntime 6000", 0, 1475, 5900},
        {"level 40 1 0\ntime 6000", 38, 29950, 29950},
        {"level 40 1 0\ntime 6000", 39, 41965, 41965},
        {"level 40 1 0\ntime 6000", 79, 41965, 41965},  // the next session's last move
        {"level 0 1 0\ntime 6000", 0, 1966, 7864},
        {"level 0 1 0\ntime 6000\notim 4000", 0, 2211, 8844},  // well ahead of the opponent
        {"level 0 1 0\ntime 6000\notim 9000", 0, 1720, 6880},  // well behind
        {"level 0 0:30 0.5\ntime 3000", 0, 1341, 5364},
        {"level 40 1 0\ntime 50", 0, 0, 225},             // less than the transfers to come
        {"level 40 1 0\ntime -100", 0, 0, 10},            // a clock run out still moves
        {"level 40 1 0", 0, 1475, 5900},                  // no clock yet: the session's base
        {"level 40 1 0\ntime 6000\nnew", 0, 1475, 5900},  // a new game starts from the base too
        {"level 40 1 0\nlevel x 1 0", 0, 1475, 5900},     // a level that does not read changes nothing
    };
    for (const auto& [zeilen, zuege, ziel, hart] : faelle) {
        test::neustart();
        befehle(zeilen);
        const Zeitbudget b = budget(uhrstand(zuege));
        EXPECT_EQ(b.ziel_ms, ziel) << zeilen << " after " << zuege;
        EXPECT_EQ(b.hart_ms, hart) << zeilen << " after " << zuege;
    }
    // sd limits the depth of the engine's turns until a new game.
    befehle("sd 7");
    EXPECT_EQ(zeitauftrag().tiefe, 7);
    befehle("new");
    EXPECT_EQ(zeitauftrag().tiefe, 0);
}

TEST(Zeit, OhneAngabenZehnSekundenMitUhrDerenAnteil) {
    // Before any st or level the engine takes 10 seconds a move; once a
    // clock has come, its share as in sudden death (300 s: 9.97 s).
    std::string aus = test::programm("output\nsetboard 7k/8/8/8/8/8/8/K7\nsd 4\ngo\n");
    EXPECT_NE(aus.find("Allocated time: 10 seconds."), std::string::npos) << aus;
    aus = test::programm("output\ntime 30000\nsetboard 7k/8/8/8/8/8/8/K7\nsd 4\ngo\n");
    EXPECT_NE(aus.find("Allocated time: 10 seconds."), std::string::npos) << aus;
    aus = test::programm("output\ntime 3000\nsetboard 7k/8/8/8/8/8/8/K7\nsd 4\ngo\n");
    EXPECT_NE(aus.find("Allocated time: 1 seconds."), std::string::npos) << aus;
}

TEST(Fen, FelderUndZurueckweisungen) {
    test::neustart();
    ausgabe = 0;
    // Side to move, castling rights as flags (a right whose king or rook is
    // not at home dropped), move counters where present.
    const std::tuple<const char*, int, const char*> faelle[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", WEISS, "000000"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b Kq - 12 40", SCHWARZ, "100010"},
        {"r3k3/8/8/8/8/8/8/R3K3 w KQkq - 0 1", WEISS, "010010"},
        {"r3k2r/8/8/8/8/8/8/R4K1R w KQkq -", WEISS, "111000"},
        {"4k3/8/8/8/8/8/8/4K3 b", SCHWARZ, "111111"},
    };
    for (const auto& [fen, am_zug, flaggen] : faelle) {
        EXPECT_EQ(befehle(std::string("setboard ") + fen), "") << fen;
        std::ostringstream f;
        f << a1_bewegt << h1_bewegt << e1_bewegt << a8_bewegt << h8_bewegt << e8_bewegt;
        EXPECT_EQ(werdran, am_zug) << fen;
        EXPECT_EQ(f.str(), flaggen) << fen;
        EXPECT_EQ(teststellung_an, 1) << fen;
    }
    // The en-passant square opens the capture for the next move only.
    forcemode = 1;
    EXPECT_EQ(befehle("setboard 4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1\nd4e3"), "");
    EXPECT_EQ(befehle("setboard 4k3/8/8/8/3pP3/8/8/4K3 b - - 0 1\nd4e3"), "Illegal move: d4e3\n");
    EXPECT_EQ(befehle("setboard 4k3/8/8/8/3pP3/8/8/4K3 b - e6 0 1\nd4e3"), "Illegal move: d4e3\n");
    // A placement alone keeps the side to move and the flags.
    befehle("setboard 4k3/8/8/8/8/8/8/4K3 b");
    befehle("setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR");
    EXPECT_EQ(werdran, SCHWARZ);
    EXPECT_EQ(e1_bewegt + e8_bewegt, 2);

    // No position a game reaches, or no FEN: refused, nothing changed.
    const char* const falsch[] = {
        "rnbqkbnr/pppppppp/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1",      // seven ranks
        "rnbqkbnr/pppppppp/8/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1",  // nine
        "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1",   // nine squares
        "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1",     // seven
        "8/8/8/8/8/8/8/4K3 w - - 0 1",                              // a king missing
        "4k3/8/8/8/8/8/8/3KK3 w - - 0 1",                           // doubled
        "4k3/8/8/8/8/8/8/P3K3 w - - 0 1",                           // a pawn on the first rank
        "4k2p/8/8/8/8/8/8/4K3 w - - 0 1",                           // on the last
        "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",                          // the side not to move in check
        "4k3/8/8/8/8/8/8/4K3 x - - 0 1",
        "4k3/8/8/8/8/8/8/4K3 w KQkx - 0 1",
        "4k3/8/8/8/8/8/8/4K3 w - e5 0 1",
        "4k3/8/8/8/8/8/8/4K3 w - - -1 1",
        "4k3/8/8/8/8/8/8/4K3 w - - 0 zwei",
    };
    for (const char* fen : falsch) {
        const std::string vorher = test::spielstand();
        EXPECT_EQ(befehle(std::string("setboard ") + fen), "tellusererror Illegal position\n") << fen;
        EXPECT_EQ(test::spielstand(), vorher) << fen;
    }
    ausgabe = 1;
    EXPECT_EQ(befehle("setboard 8/8/8/8/8/8/8/4K3 w - - 0 1"),
              "Error (illegal position): setboard 8/8/8/8/8/8/8/4K3 w - - 0 1\n");
    ausgabe = 0;
}

TEST(Zuruecknahme, UndoUndRemoveInZufallspartien) {
    // Random games from several starts, some moves by the engine itself
    // (one iteration each), then taken back one and two at a time: every
    // step back gives the game exactly as it stood.
    const char* const starts[] = {
        "new",
        "setboard r3k2r/pppq1ppp/2npbn2/4p3/2B1P3/2NP1N2/PPPQ1PPP/R3K2R w KQkq - 0 8",
        "setboard rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3\ne5f6",
        "setboard 8/2P5/8/8/8/k7/5p2/K7 w - - 0 1",
    };
    std::mt19937 zufall(7);
    for (const char* start : starts) {
        test::neustart();
        befehle(std::string("force\nst -1\n") + start + "\nforce");
        std::vector<std::string> stand{test::spielstand()};
        for (int n = 0; n < 24; ++n) {
            const std::vector<std::string> zuege = test::legale_woerter();
            if (zuege.empty()) break;
            befehle(n % 3 == 2 ? "go\nforce" : zuege[zufall() % zuege.size()]);
            stand.push_back(test::spielstand());
        }
        ASSERT_GT(stand.size(), 10u) << start;
        while (stand.size() > 3) {
            stand.pop_back();
            EXPECT_EQ(befehle("undo"), "") << start;
            EXPECT_EQ(test::spielstand(), stand.back()) << start << " undo to " << stand.size() - 1;
            if (stand.size() > 6) {
                stand.pop_back(), stand.pop_back();
                EXPECT_EQ(befehle("remove"), "") << start;
                EXPECT_EQ(test::spielstand(), stand.back()) << start << " remove to " << stand.size() - 1;
            }
        }
    }
    // Nothing (or not enough) to take back: an error line, nothing changed.
    befehle("new");
    const std::string vorher = test::spielstand();
    EXPECT_EQ(befehle("undo"), "Error (nothing to take back): undo\n");
    EXPECT_EQ(befehle("force\ne2e4\nremove"), "Error (nothing to take back): remove\n");
    EXPECT_EQ(befehle("undo"), "");
    EXPECT_EQ(test::spielstand(), vorher);
}

}  // namespace
}  // namespace kelpin
