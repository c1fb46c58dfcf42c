// The search: its signature, stops, mates, repetition, and the thinking driver's rules.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <tuple>

#include "hilfen.h"
#include "signatur.h"
#include "stellungstext.h"

namespace kelpin {
namespace {

using test::programm;

// Each bench position's node count and move, twice in one process (left-over state drifts).
TEST(Signatur, ZweimalWieAufgezeichnet) {
    test::neustart();
    const auto zeilen = signatur::lade(KELPIN_SIGNATUR);
    ASSERT_EQ(zeilen.size(), static_cast<size_t>(BENCH_STELLUNGEN));
    for (int lauf = 0; lauf < 2; ++lauf)
        for (int i = 0; i < BENCH_STELLUNGEN; ++i) {
            testing::internal::CaptureStdout();
            const BenchErgebnis e = bench_suche(benchstellungen[i]);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_EQ(e.knoten, zeilen[i].knoten) << zeilen[i].stellung << " pass " << lauf;
            EXPECT_EQ(e.zug, zeilen[i].zug) << zeilen[i].stellung << " pass " << lauf;
            EXPECT_EQ(QSUCHE + schachext + onerep_extended + extended + reduction + nullstatus, QSUCHE_START);
        }
}

// `kelpin bench`: its last line gives the table's node total.
TEST(Signatur, BenchAufDerKommandozeile) {
    long long tabelle = 0;
    for (const auto& z : signatur::lade(KELPIN_SIGNATUR)) tabelle += z.knoten;
    int status = -2;
    const std::string aus = programm("", 600, &status, "bench");
    EXPECT_EQ(status, 0);
    std::smatch m;
    const std::string letzte = test::zeile(aus, test::zeilen(aus) - 1);
    ASSERT_TRUE(std::regex_match(letzte, m, std::regex(R"((\d+)\s+nodes\s+(\d+)\s+nps)"))) << aus;
    EXPECT_EQ(std::stoll(m[1]), tabelle);
}

struct Knoten : testing::Test {
    Variante linie_{};
    void SetUp() override {
        test::stellung("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R");
        InitSearch();
        MAXTIEFE = QSUCHE + 4;
        statistik.hashbetacut = statistik.reps = 0;
    }
    void eintrag(int ebene, int wert, int flag) {
        ZugEintrag m{};
        m.von = g1;
        m.nach = g5;
        ToHash(hashplatz(hashindex), ebene, wert, m, flag);
    }
};

TEST_F(Knoten, DritteWiederholungUndPfadzustand) {
    // The position three times on the path above (root included): a draw. Twice: searched.
    MAXTIEFE = QSUCHE + 10;
    const int ebene = QSUCHE + 3;
    for (int j = ebene + 1; j <= MAXTIEFE; ++j) wiederholung[j] = {0, 0};
    for (int j : {MAXTIEFE, ebene + 4, ebene + 2}) wiederholung[j] = {hashkennung, hashindex};
    EXPECT_EQ(AlphaBeta(ebene, -100, 100, WEISS, &linie_), 0);
    EXPECT_EQ(statistik.reps, 1);
    wiederholung[MAXTIEFE] = {0, 0};
    AlphaBeta(ebene, -100, 100, WEISS, &linie_);
    EXPECT_EQ(statistik.reps, 1);
    // A whole search leaves the horizon, the path counters and the board.
    MAXTIEFE = QSUCHE + 6;
    AlphaBeta(MAXTIEFE, -28000, 28000, WEISS, &linie_);
    EXPECT_EQ(QSUCHE + schachext + onerep_extended + extended + reduction + nullstatus, QSUCHE_START);
    EXPECT_TRUE(brett_ist_ok());
}

// What the search has remembered when told to stop, against what it has after unwinding.
int32_t stores_beim_halt;
PlyKiller killer_beim_halt[EBENEN];
int halt_nach;  // stop at this poll

bool halt() {
    if (--halt_nach > 0) return false;
    stores_beim_halt = statistik.hashstores;
    memcpy(killer_beim_halt, plykiller, sizeof plykiller);
    return true;
}

TEST_F(Knoten, HaltMittenInDerSucheHinterlaesstNichts) {
    // Stopped deep inside: no unwinding node stores or changes a killer; board, keys, path restored.
    for (const int polls : {1, 3, 17}) {
        SetUp();
        const uint64_t index0 = hashindex, kennung0 = hashkennung;
        MAXTIEFE = QSUCHE + 9;
        halt_nach = polls;
        anhalten = halt;
        abgebrochen = false;
        linie_.anzahl = 0;
        AlphaBeta(MAXTIEFE, -28000, 28000, WEISS, &linie_);
        anhalten = nullptr;
        ASSERT_TRUE(abgebrochen) << polls;
        abgebrochen = false;
        EXPECT_EQ(statistik.hashstores, stores_beim_halt) << polls;
        EXPECT_EQ(memcmp(plykiller, killer_beim_halt, sizeof plykiller), 0) << polls;
        EXPECT_EQ(QSUCHE + schachext + onerep_extended + extended + reduction + nullstatus, QSUCHE_START);
        EXPECT_TRUE(brett_ist_ok());
        EXPECT_EQ(hashindex, index0);
        EXPECT_EQ(hashkennung, kennung0);
        EXPECT_EQ(test::platzierung(), "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R");
    }
}

TEST_F(Knoten, HaltVorDemErstenWurzelzugSpieltDieOrdnung) {
    // Stopped before a root move is done: the best-ordered legal one, not the pinned rook's capture.
    test::stellung("4r1k1/8/8/8/2n5/3B4/1q2R3/4K3");
    MAXTIEFE = QSUCHE + 9;
    halt_nach = 1;
    anhalten = halt;
    abgebrochen = false;
    AlphaBeta(MAXTIEFE, -28000, 28000, WEISS, &linie_);
    anhalten = nullptr;
    abgebrochen = false;
    ZugEintrag m{};
    ASSERT_TRUE(wurzel_vorschlag(m));
    const std::string text = std::string(feld[m.von]) + feld[m.nach];
    EXPECT_NE(text, "e2b2");
    EXPECT_NE(m.geschlagen, leer) << text;
    EXPECT_TRUE(brett_ist_ok());
}

TEST(Matt, XBoardPattfalleUndKeinLegalerZug) {
    // The XBoard form of the mate score, and the mating move (the UCI form: test_analyse).
    for (const auto& [stellung, n, zug] : {std::tuple{"6k1/5ppp/8/8/8/8/8/R5K1", 1, "a1a8"},
                                           {"kbK5/pp6/1P6/8/8/8/8/R7", 2, "a1a6"}}) {
        const std::string aus = programm(std::string("output\nsetboard ") + stellung + "\nst 2\ngo\n");
        EXPECT_NE(aus.find("Search returned value: #" + std::to_string(n) + "\n"), std::string::npos) << aus;
        EXPECT_NE(aus.find(std::string("My move: ") + zug), std::string::npos) << aus;
    }
    // Rg7 stalemates at once; the engine must play something else.
    std::string aus = programm("setboard 7k/8/5K2/8/8/8/8/6R1\nst 1\ngo\n");
    EXPECT_EQ(aus.find("move g1g7"), std::string::npos) << aus;
    EXPECT_NE(aus.find("move "), std::string::npos);
    // Mated by the move read: announced, no thinking; `go` then resigns for the mated side.
    aus = programm("new\nforce\nf2f3\ne7e5\ng2g4\nd8h4\nwhite\ngo\nquit\n");
    EXPECT_EQ(test::nach_start(aus), "result 0-1 {Black mates}\n0-1 {White resigns}\n");
    aus = programm("new\nforce\ne2e4\nsetboard 7k/5Q2/6K1/8/8/8/8/8\ngo\nquit\n");
    EXPECT_EQ(aus.find("move "), std::string::npos) << aus;
    EXPECT_NE(aus.find("\n1/2-1/2 {Stalemate}\n"), std::string::npos) << aus;
}

std::vector<int> tiefen(const std::string& aus) {
    std::vector<int> t;
    const std::regex zeile("(^|\n)(\\d+) -?\\d+ \\d+ \\d+ ");
    for (auto i = std::sregex_iterator(aus.begin(), aus.end(), zeile); i != std::sregex_iterator(); ++i)
        t.push_back(std::stoi((*i)[2]));
    return t;
}

TEST(Denken, StopRegelnUndFenster) {
    // A new game's first moves stop at depth 6; a negative time is one iteration, a huge one no overflow.
    EXPECT_EQ(tiefen(programm("option OwnBook=0\nnew\nst 30\ne2e4\n")), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(tiefen(programm("option OwnBook=0\nnew\nst -2147483648\ngo\n")), std::vector<int>{4});
    EXPECT_EQ(tiefen(programm("option OwnBook=0\nnew\nst 2147483647\ngo\nst -1\ngo\n")),
              (std::vector<int>{4, 5, 6, 4}));
    // Set up, it searches on, past a score jump at depth 5: the window slides ("!"
    // or "?") and the depth is searched again. st 0 is taken as a second.
    const std::string aus = programm(
        "option OwnBook=0\noutput\nsetboard r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R\nst 0\ngo\nst\n");
    EXPECT_TRUE(
        std::regex_search(aus, std::regex("\t5/\\d+\t\\d+K\t-?\\d+\t[^\n]*[!?]\n(Thinking: [a-h1-8]{4}\r)*\\d+\t5/")))
        << aus;
    EXPECT_NE(aus.find("Allocated time: 1 seconds.\n"), std::string::npos);
    EXPECT_NE(aus.find("Allocated time set to 1s.\n"), std::string::npos);
}

// The engine's move and its last thinking line's score after command lines run here.
std::pair<std::string, int> zug_nach(const std::string& zeilen) {
    const std::string aus = test::befehle(zeilen);
    std::smatch m;
    std::string zug;
    int wert = 0;
    const std::regex denkzeile("(^|\n)\\d+ (-?\\d+) \\d+ \\d+ ");
    for (auto i = std::sregex_iterator(aus.begin(), aus.end(), denkzeile); i != std::sregex_iterator(); ++i)
        wert = std::stoi((*i)[2]);
    if (std::regex_search(aus, m, std::regex("\nmove ([a-h1-8]{4})"))) zug = m[1];
    return {zug, wert};
}

TEST(Wiederholung, StellungenDerPartieVorDerWurzel) {
    // A knight up, the natural move would repeat a position of the game: another one.
    test::neustart();
    const char* const VORN = "new\nforce\nst 60\nsd 7\nsetboard 6k1/p4ppp/8/8/8/2N5/P4PPP/6K1 w - - 0 1\n";
    auto [zug, wert] = zug_nach(std::string(VORN) + "go");
    ASSERT_EQ(zug, "c3d5");
    EXPECT_GT(wert, 200);
    std::tie(zug, wert) = zug_nach("force\ng8h8\nd5c3\nh8g8\ngo");
    EXPECT_NE(zug, "c3d5");
    EXPECT_GT(wert, 200);

    // A queen and a rook down, the one move that repeats a game position: a draw.
    const char* const HINTEN = "new\nforce\nst 60\nsd 7\nsetboard 7k/6p1/8/8/8/8/1Q6/R5K1 b - - 0 1\n";
    std::tie(zug, wert) = zug_nach(std::string(HINTEN) + "go");
    ASSERT_EQ(zug, "h8h7");
    EXPECT_LT(wert, -1000);
    std::tie(zug, wert) = zug_nach("force\nundo\nh8g8\na1a2\ng8h8\na2a1\ngo");
    EXPECT_EQ(zug, "h8g8");
    EXPECT_EQ(wert, 0);

    // A king that stepped out and back has lost its rights: the position is a new one.
    const char* const RECHTE = "new\nforce\nst 60\nsd 7\nsetboard 6k1/6p1/8/8/8/8/1Q6/R3K2R b KQ - 0 1\n";
    std::tie(zug, wert) = zug_nach(std::string(RECHTE) + "g8f8\nb2c2\nf8g8\nc2b2\ngo");
    EXPECT_EQ(std::tie(zug, wert), std::tuple("g8f8", 0));
    std::tie(zug, wert) = zug_nach(std::string(RECHTE) + "g8f8\ne1f1\nf8g8\nf1e1\ngo");
    EXPECT_LT(wert, -1000) << zug;
}

}  // namespace
}  // namespace kelpin
