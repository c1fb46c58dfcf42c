// UCI: the command parser as a table, and sessions through the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <sstream>
#include <string>
#include <tuple>

#include "hilfen.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::bis;
using test::Prozess;

std::string uci(const std::string& zeile) {
    testing::internal::CaptureStdout();
    uci_befehl(zeile.c_str());
    return testing::internal::GetCapturedStdout();
}

TEST(Uci, BefehleZustandUndAntworten) {
    test::neustart();
    EXPECT_NE(uci("uci").find("\nuciok\n"), std::string::npos);  // the option lines: the session below
    // Command, reply, placement and side to move afterwards ("" keeps them).
    const char* const NACH_E4_E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR";
    const std::tuple<const char*, const char*, const char*, int> faelle[] = {
        {"isready", "readyok\n", "", 0},
        {"position startpos moves e2e4 e7e5", "", NACH_E4_E5, WEISS},
        {"position fen 4k3/8/8/8/8/8/4P3/4K3 b - - 0 1 moves e8d7 e2e4", "", "8/3k4/8/8/4P3/8/8/4K3", SCHWARZ},
        {"position startpos moves e2e4 e7e5", "", NACH_E4_E5, WEISS},
        // Malformed: said why, and the position stays as it was.
        {"position startpos moves e2e4 e7e5 e1e3", "info string illegal move e1e3, the position stays as it was\n",
         NACH_E4_E5, WEISS},
        {"position fen 8/8/8/8/8/8/8/4K3 w - - 0 1",
         "info string illegal position, the position stays as it was: 8/8/8/8/8/8/8/4K3 w - - 0 1\n", NACH_E4_E5,
         WEISS},
        {"position", "info string position needs startpos or fen\n", NACH_E4_E5, WEISS},
        {"position startpos moves e2e4 zz", "info string illegal move zz, the position stays as it was\n", NACH_E4_E5,
         WEISS},
        {"setoption name Hash value abc", "info string Hash takes a number from 1 to 1048576\n", "", 0},
        {"setoption name Threads value 2", "info string no such option: Threads\n", "", 0},
        {"setoption name MultiPV value 65", "info string MultiPV takes a number from 1 to 64\n", "", 0},
        {"setoption name UCI_LimitStrength value yes", "info string UCI_LimitStrength takes true or false\n", "", 0},
        {"flip", "info string unknown command: flip\n", "", 0},
        {"stop", "", "", 0},
        {"ucinewgame", "", test::GRUNDSTELLUNG, WEISS},
    };
    for (const auto& [zeile, antwort, stellung, am_zug] : faelle) {
        EXPECT_EQ(uci(zeile), antwort) << zeile;
        if (stellung[0] != '\0') {
            EXPECT_EQ(test::platzierung(), stellung) << zeile;
            EXPECT_EQ(werdran, am_zug) << zeile;
        }
    }
    // Hash: another size maps a table of its own; the default goes back to the first.
    EXPECT_EQ(uci("setoption name Hash value 64"), "");
    EXPECT_EQ(hasheintraege, (uint64_t{64} << 20) / sizeof(HashEintrag));
    EXPECT_EQ(uci("setoption name hash value 32"), "");
    EXPECT_EQ(hasheintraege, HASHEINTRAEGE);
    // No legal move: bestmove 0000 at once.
    EXPECT_EQ(uci("position startpos moves f2f3 e7e5 g2g4 d8h4"), "");
    EXPECT_EQ(uci("go depth 3"), "bestmove 0000\n");
    test::neustart();
}

// The bestmove's move; the lines before it go to `info`, the ponder move to `ponder`.
std::string bestmove(Prozess& p, std::vector<std::string>* info = nullptr, std::string* ponder = nullptr) {
    for (std::string z; p.zeile(z);) {
        if (z.rfind("bestmove ", 0) == 0) {
            std::istringstream w(z.substr(9));
            std::string zug, wort, p_zug;
            w >> zug >> wort >> p_zug;
            if (ponder != nullptr) *ponder = wort == "ponder" ? p_zug : "";
            return zug;
        }
        if (info != nullptr) info->push_back(z);
    }
    ADD_FAILURE() << "no bestmove";
    return "";
}

TEST(Uci, SitzungDurchDasProgramm) {
    Prozess kelpin;
    std::string z;
    kelpin.sende("uci");
    // The book's defaults come from the machine: Debian's book if it is there.
    const bool buch = access(BUCH_STANDARD, R_OK) == 0;
    const std::string buchdatei = buch ? BUCH_STANDARD : "<empty>";
    for (const std::string& erwartet :
         {std::string("id name Kelpin 0.2b"), std::string("id author the Kelpin developers"),
          std::string("option name Hash type spin default 32 min 1 max 1048576"),
          std::string("option name Clear Hash type button"), std::string("option name Ponder type check default false"),
          std::string("option name OwnBook type check default ") + (buch ? "true" : "false"),
          "option name BookFile type string default " + buchdatei,
          std::string("option name BookDepth type spin default 20 min 0 max 1000"),
          std::string("option name MultiPV type spin default 1 min 1 max 64"),
          std::string("option name Move Overhead type spin default 50 min 0 max 5000"),
          std::string("option name UCI_LimitStrength type check default false"),
          "option name UCI_Elo type spin default " + std::to_string(ELO_STANDARD) + " min " + std::to_string(ELO_MIN) +
              " max " + std::to_string(ELO_MAX),
          std::string("uciok")})
        EXPECT_TRUE(kelpin.zeile(z) && z == erwartet) << z;
    kelpin.sende("setoption name OwnBook value false");
    kelpin.sende("isready");
    EXPECT_TRUE(kelpin.zeile(z) && z == "readyok") << z;

    // movetime: the time is used, and not overrun (an unstopped iteration here ends past 3 s).
    const std::string MITTELSPIEL = "position fen r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1 w - - 0 1";
    kelpin.sende(MITTELSPIEL);
    auto t0 = std::chrono::steady_clock::now();
    kelpin.sende("go movetime 2000");
    ASSERT_TRUE(bis(kelpin, "bestmove"));
    EXPECT_GT(test::sekunden_seit(t0), 1.0);
    EXPECT_LT(test::sekunden_seit(t0), 3.0);
    // 3 s on each clock: a move takes a small share of it.
    t0 = std::chrono::steady_clock::now();
    kelpin.sende("go wtime 3000 btime 3000");
    ASSERT_TRUE(bis(kelpin, "bestmove"));
    EXPECT_LT(test::sekunden_seit(t0), 2.0);
    // depth and nodes limits.
    std::vector<std::string> info;
    kelpin.sende("go depth 5");
    ASSERT_TRUE(bis(kelpin, "bestmove", &info));
    ASSERT_FALSE(info.empty());
    EXPECT_EQ(info.back().rfind("info depth 5 ", 0), 0u) << info.back();
    info.clear();
    kelpin.sende("go nodes 20000");
    ASSERT_TRUE(bis(kelpin, "bestmove", &info));
    // infinite: isready answered during the search, stop ends it at once.
    kelpin.sende("go infinite");
    ASSERT_TRUE(bis(kelpin, "info depth 6"));
    kelpin.sende("isready");
    ASSERT_TRUE(bis(kelpin, "readyok", &info));
    t0 = std::chrono::steady_clock::now();
    kelpin.sende("stop");
    info.clear();
    ASSERT_TRUE(bis(kelpin, "bestmove", &info));
    EXPECT_LT(test::sekunden_seit(t0), 2.0);
    for (const std::string& i : info) EXPECT_EQ(i.rfind("info", 0), 0u) << i;
    // A flood of lines while it thinks: none is lost, the `stop` behind them is seen.
    kelpin.sende("go infinite");
    ASSERT_TRUE(bis(kelpin, "info depth 5"));
    std::string flut;
    for (int i = 0; i < 30000; ++i) flut += "debug off\n";
    kelpin.sende(flut + "stop\nisready");
    ASSERT_TRUE(bis(kelpin, "bestmove"));
    ASSERT_TRUE(bis(kelpin, "readyok"));

    kelpin.sende("position fen kbK5/pp6/1P6/8/8/8/8/R7 w - - 0 1");  // mate in 2 by a1a6

    // Malformed input is said to be so and changes nothing.
    for (const char* falsch : {"position fen 8/8/8/8 w", "position startpos moves e2e5", "go wtime abc", "nonsense"}) {
        kelpin.sende(falsch);
        if (std::string(falsch).rfind("go", 0) != 0) {
            EXPECT_TRUE(kelpin.zeile(z) && z.rfind("info string ", 0) == 0) << falsch << ": " << z;
        } else {
            ASSERT_TRUE(bis(kelpin, "info depth 7"));
            kelpin.sende("stop");
            EXPECT_EQ(bestmove(kelpin), "a1a6") << "the position of before";
        }
    }

    // `quit` in the middle of a search ends the program at once.
    kelpin.sende("go infinite");
    ASSERT_TRUE(bis(kelpin, "info depth 5"));
    t0 = std::chrono::steady_clock::now();
    kelpin.beende();
    EXPECT_LT(test::sekunden_seit(t0), 2.0);
}

TEST(Uci, Pondern) {
    // go ponder never answers by itself, only soon after ponderhit or stop; isready is answered.
    Prozess kelpin;
    std::string z;
    kelpin.sende("uci");
    ASSERT_TRUE(bis(kelpin, "uciok"));
    kelpin.sende("setoption name Ponder value true");
    const std::string stellung = "position fen r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1 w - - 0 1";
    kelpin.sende(stellung);
    kelpin.sende("go wtime 10000 btime 10000");
    std::string ponder;
    std::string antwort = bestmove(kelpin, nullptr, &ponder);
    ASSERT_FALSE(ponder.empty()) << antwort;
    const std::string weiter = stellung + " moves " + antwort + " " + ponder;
    for (const char* ende : {"ponderhit", "stop"}) {
        kelpin.sende(weiter);
        kelpin.sende("go ponder wtime 4000 btime 4000 depth 3");  // ends by itself long before it is told
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kelpin.sende("isready");
        std::vector<std::string> info;
        ASSERT_TRUE(bis(kelpin, "readyok", &info));
        for (const std::string& i : info) EXPECT_EQ(i.rfind("info", 0), 0u) << i;
        auto t0 = std::chrono::steady_clock::now();
        kelpin.sende(ende);
        antwort = bestmove(kelpin);
        EXPECT_LT(test::sekunden_seit(t0), 2.0) << ende;
        EXPECT_EQ(antwort.size() >= 4, true) << ende;
    }
    kelpin.beende();
}

// 40 plies, 3 s on both clocks: every bestmove legal to the library here, en passant included.
void selbstpartie(const std::vector<std::string>& optionen) {
    test::neustart();
    Prozess kelpin;
    std::string zuege;
    kelpin.sende("uci");
    ASSERT_TRUE(bis(kelpin, "uciok"));
    for (const std::string& o : optionen) kelpin.sende("setoption name " + o);
    kelpin.sende("ucinewgame");
    int ply = 0;
    for (; ply < 40; ++ply) {
        const std::vector<std::string> legal = test::legale_woerter();
        if (legal.empty()) break;
        kelpin.sende("position startpos" + (zuege.empty() ? "" : " moves" + zuege));
        kelpin.sende("go wtime 3000 btime 3000");
        const std::string m = bestmove(kelpin);
        ASSERT_NE(std::find(legal.begin(), legal.end(), m), legal.end()) << m << " after" << zuege;
        ASSERT_NE(zug_lesen(m.c_str()), Eingabe::ILLEGAL);
        zuege += " " + m;
    }
    EXPECT_TRUE(ply == 40 || test::legale_woerter().empty()) << zuege;
    kelpin.beende();
    test::neustart();
}

TEST(Uci, SelbstpartieMitLegalenZuegen) {
    selbstpartie({});
    // The weakest setting draws its moves from several lines.
    selbstpartie({"UCI_LimitStrength value true", "UCI_Elo value " + std::to_string(ELO_MIN)});
}

}  // namespace
}  // namespace kelpin
