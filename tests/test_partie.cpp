// The game around the board: the time budget, positions from a full FEN, take-backs.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::befehle;

// What a turn may spend: depth, nodes and no end exactly; the target within the hard limit, and
// that plus the transfer (Move Overhead) within `decke` ms (-1: no limit), exactly so if `fest`.
struct Uhrfall {
    const char* befehle;
    int zuege;  // XBoard: moves into the game, counting towards the control
    int64_t decke;
    bool fest;
    int tiefe;
    int64_t knoten;
    bool endlos;
};

// The turn's order: the last line as a go, or the engine's next move after all lines.
Suchauftrag auftrag_aus(const Uhrfall& f) {
    test::neustart();
    const std::string zeilen = f.befehle;
    const size_t go = zeilen.rfind("\ngo");
    if (zeilen.rfind("go", 0) == 0) return go_auftrag(zeilen.c_str());
    if (go != std::string::npos) {
        befehle(zeilen.substr(0, go + 1));
        return go_auftrag(zeilen.c_str() + go + 1);
    }
    befehle(zeilen);
    return zeitauftrag();
}

TEST(Zeit, AuftragAusDenAngabenDerOberflaeche) {
    constexpr const char* GROSS = "9223372036854775807";
    const std::string ueberlauf_uci = std::string("go wtime ") + GROSS + " btime " + GROSS + " winc " + GROSS +
                                      " binc " + GROSS + " movestogo " + GROSS + " nodes " + GROSS;
    const std::string ueberlauf_zeit = std::string("go movetime ") + GROSS + " depth " + GROSS;
    constexpr int64_t SG = SCHNITTSTELLE_GROESST;
    constexpr int TIEFST = EBENEN - 1 - QSUCHE_START;
    const Uhrfall faelle[] = {
        {"new\nst 5", 0, 5000, true, 0, 0, false},
        {"new\nst 5\ntime 300", 0, 3000, false, 0, 0, false},  // the clock shows less
        {"new\nst 0", 0, 1000, true, 0, 0, false},             // 0 is a second
        {"go movetime 1000", 0, 1000, true, 0, 0, false},
        {"option Move Overhead=500\ngo movetime 1000", 0, 1000, true, 0, 0, false},
        {"option Move Overhead=0\nnew\nst 5", 0, 5000, true, 0, 0, false},
        {"option Move Overhead=500\ngo wtime 2000 btime 2000", 0, 2000, false, 0, 0, false},
        {"level 40 1 0\ntime 6000", 39, 60000, false, 0, 0, false},
        {"level 0 0:30 0.5\ntime 3000\notim 100", 0, 30000, false, 0, 0, false},
        {"level 40 1 0\ntime -100", 0, 0, false, 0, 0, false},  // a clock run out still moves
        {"uci\nposition startpos moves e2e4\ngo wtime 60000 btime 30000 binc 500 movestogo 20", 0, 30000, false,
         0, 0, false},
        // Depths are clamped to the first and the deepest, never "no limit"; sd ends with the game.
        {"sd 7", 0, 10000, true, 7, 0, false},
        {"sd 7\nnew", 0, 10000, true, 0, 0, false},
        {"sd -3", 0, 10000, true, 1, 0, false},
        {"sd 2147483647", 0, 10000, true, TIEFST, 0, false},
        {"go depth 999", 0, -1, false, TIEFST, 0, false},
        {"go depth 0", 0, -1, false, 1, 0, false},
        {"go nodes 20000", 0, -1, false, 0, 20000, false},
        {"go infinite", 0, -1, false, 0, 0, true},
        {"go", 0, -1, false, 0, 0, true},
        {"go depth 5 infinite", 0, -1, false, 5, 0, true},
        {"go mate 3", 0, -1, false, 0, 0, true},  // until the mate, or stop
        {"go mate 3 movetime 1000", 0, 1000, true, 0, 0, false},
        {"go movetime -9223372036854775808", 0, 1000 + ZEIT_UEBERTRAGUNG_MS, false, 0, 0, false},  // one iteration
        // The largest numbers each field can hold overflow nothing.
        {ueberlauf_uci.c_str(), 0, SG, false, 0, SG, false},
        {ueberlauf_zeit.c_str(), 0, SG, true, TIEFST, 0, false},
        {"go wtime -9223372036854775808 btime 5 winc -9223372036854775808", 0, 0, false, 0, 0, false},
        {"level 2147483647 0:2147483647 999999\ntime 2147483647\notim -2147483648", 5, 21474836470, false, 0, 0,
         false},
        {"st 2147483647\ntime -2147483648", 0, 0, false, 0, 0, false},
    };
    for (const Uhrfall& f : faelle) {
        const Suchauftrag a = auftrag_aus(f);
        const int64_t ueb = opt_aufschlag;
        const std::string was = std::string(f.befehle) + " after " + std::to_string(f.zuege);
        EXPECT_EQ(a.tiefe, f.tiefe) << was;
        EXPECT_EQ(a.knoten, f.knoten) << was;
        EXPECT_EQ(a.endlos, f.endlos) << was;
        if (f.decke < 0) {
            EXPECT_TRUE(a.ziel_ms == -1 && a.hart_ms == -1) << was;
            continue;
        }
        EXPECT_TRUE(0 <= a.ziel_ms && a.ziel_ms <= a.hart_ms && a.hart_ms >= ZEIT_MINDESTENS_MS) << was;
        EXPECT_LE(a.hart_ms + ueb, std::max(f.decke, ZEIT_MINDESTENS_MS + ueb)) << was;
        if (f.fest) {
            EXPECT_EQ(a.hart_ms + ueb, f.decke) << was;
        }
    }
    // A negative fixed time ends the turn after one iteration: no target.
    const Suchauftrag a = auftrag_aus({"new\nst -1", 0, 0, false, 0, 0, false});
    EXPECT_EQ(a.ziel_ms, 0);
    test::neustart();
}

// Over a grid of clocks: the target within the hard limit, that plus the transfer within the clock
// (if it holds the least hard limit and a transfer), within 70 % with one move to go, 50 % with two.
TEST(Zeit, GrenzenBleibenImAnteilDerUhr) {
    const int64_t uhren[] = {0, 5, 60, 100, 500, 1000, 2000, 5000, 60000, 3600000, SCHNITTSTELLE_GROESST};
    const int64_t inkremente[] = {0, 10, 1000, 60000, SCHNITTSTELLE_GROESST};
    const int zuege[] = {0, 1, 2, 3, 10, 40, ZUEGE_GROESST};
    const int64_t gegner[] = {Uhrstand::KEINE, 1, 1000, SCHNITTSTELLE_GROESST};
    const int64_t aufschlaege[] = {ZEIT_UEBERTRAGUNG_MS, 0, 500, 5000};  // Move Overhead
    for (const int64_t rest : uhren)
        for (const int64_t inc : inkremente)
            for (const int z : zuege)
                for (const int64_t g : gegner)
                    for (const int64_t ueb : aufschlaege) {
                        Uhrstand u;
                        u.rest_ms = rest, u.inkrement_ms = inc, u.zuege_bis_kontrolle = z, u.gegner_ms = g;
                        const Zeitbudget b = budget(u, ueb);
                        const std::string was = std::to_string(rest) + " " + std::to_string(inc) + " " +
                                                std::to_string(z) + " " + std::to_string(g) + " " + std::to_string(ueb);
                        EXPECT_TRUE(0 <= b.ziel_ms && b.ziel_ms <= b.hart_ms && b.hart_ms >= ZEIT_MINDESTENS_MS) << was;
                        if (rest >= ZEIT_MINDESTENS_MS + ueb) {
                            EXPECT_LE(b.hart_ms + ueb, rest) << was;
                        }
                        const int64_t anteil = z == 1 ? rest * 7 / 10 : (z == 2 ? rest / 2 : rest);
                        EXPECT_LE(b.hart_ms, std::max(anteil, ZEIT_MINDESTENS_MS)) << was;
                    }
}

TEST(Zeit, OhneAngabenZehnSekundenMitUhrDerenAnteil) {
    // Before any st or level 10 s a move; with a clock its share as in sudden death (300 s: 9.97 s).
    for (const auto& [uhr, sekunden] : {std::pair{"", "10"}, {"time 30000\n", "10"}, {"time 3000\n", "1"}}) {
        const std::string aus =
            test::programm(std::string("output\n") + uhr + "setboard 7k/8/8/8/8/8/8/K7\nsd 4\ngo\n");
        EXPECT_NE(aus.find(std::string("Allocated time: ") + sekunden + " seconds."), std::string::npos) << aus;
    }
}

// A line of coordinate moves ("g1f3 g8f6"): squares only, as the line's check reads them.
Variante linie_aus(const char* zuege) {
    Variante v{};
    std::istringstream l(zuege);
    for (std::string z; l >> z; ++v.anzahl) {
        v.zuege[v.anzahl].von = static_cast<uint16_t>((z[1] - '1') * 8 + (z[0] - 'a') + 1);
        v.zuege[v.anzahl].nach = static_cast<uint16_t>((z[3] - '1') * 8 + (z[2] - 'a') + 1);
    }
    return v;
}

// A line shown ends at an illegal move (past a mate) or with one that repeats a position.
TEST(Linie, EndetBeiMattUndWiederholung) {
    const std::tuple<const char*, const char*, int> faelle[] = {
        {"", "g1f3 g8f6 f3g1 f6g8 g1f3", 4},            // back to the initial position
        {"g1f3 g8f6", "f3g1 f6g8 g1f3", 2},             // to one of the game's
        {"", "g1f3 g8f6 e2e4 f6g8 f3g1 g8f6", 6},       // the pawn move parts them
        {"", "f2f3 e7e5 g2g4 d8h4 e1f2", 4},            // past the mate
        {"e2e4 e7e5 e1e2 e8e7", "e2e1 e7e8 e1e2", 3},   // rights gone: no repetition
        {"e2e4 e7e5 g1f3 g8f6 f1e2 f8e7", "h1g1 b8c6 g1h1 c6b8 e1g1", 4},  // a right the line spent
    };
    for (const auto& [vorher, zuege, laenge] : faelle) {
        test::neustart();
        std::istringstream w(vorher);
        for (std::string z; w >> z;) ASSERT_EQ(zug_lesen(z.c_str()), Eingabe::GESPIELT) << z;
        const Variante v = linie_aus(zuege);
        const std::string vor = test::spielstand();
        EXPECT_EQ(spielbare_laenge(v, v.anzahl), laenge) << vorher << " | " << zuege;
        EXPECT_EQ(test::spielstand(), vor);
    }
}

// A line shown ends with the move that brings the FEN's fifty-move count to a hundred; a pawn
// move or capture starts the count anew, castling does not.
TEST(Linie, EndetBeiDerFuenfzigZuegeRegel) {
    const std::tuple<const char*, const char*, int> faelle[] = {
        {"4k3/8/8/8/8/8/4P3/R3K3 w Q - 97 80", "a1a2 e8d8 a2a3 d8e8", 3},
        {"4k3/8/8/8/8/8/4P3/R3K3 w Q - 97 80", "e1c1 e8f8 c1b1 f8e8", 3},  // castling counts on
        {"4k3/8/8/8/8/8/4P3/R3K3 w Q - 99 80", "e2e3 e8d8 a1a2 d8e8", 4},  // the pawn move resets it
        {"4k3/8/8/8/8/8/4P3/R3K3 w Q - 120 80", "a1a2 e8d8", 1},           // past it: the move alone
    };
    for (const auto& [fen, zuege, laenge] : faelle) {
        test::neustart();
        ASSERT_TRUE(fen_setzen(fen)) << fen;
        const Variante v = linie_aus(zuege);
        EXPECT_EQ(spielbare_laenge(v, v.anzahl), laenge) << fen << " | " << zuege;
    }
}

TEST(Fen, FelderUndZurueckweisungen) {
    test::neustart();
    ausgabe = 0;
    // Side to move and castling flags (a right without its king or rook at home dropped).
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
    // Random games, every third move the engine's, taken back one and two at a time: exactly restored.
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
