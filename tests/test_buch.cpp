// The opening book: published keys, a small book written and read back, files that are no book.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

std::string text_von(const Buchzug& z) {
    char t[6];
    buchzug_text(z, t);
    return t;
}

// Plays the words as moves of the game from the initial position.
void spiele_ab_grundstellung(const std::string& zuege) {
    test::neustart();
    grundstellung();
    std::istringstream s(zuege);
    for (std::string w; s >> w;) ASSERT_EQ(zug_lesen(w.c_str()), Eingabe::GESPIELT) << w;
}

uint64_t fen_schluessel(const char* fen) {
    Fen f;
    EXPECT_TRUE(fen_lesen(fen, f)) << fen;
    return polyglot_schluessel(f.brett, f.am_zug, f.rochade, f.ep_feld);
}

void fen_spielen(const char* fen) {
    test::neustart();
    Fen f;
    ASSERT_TRUE(fen_lesen(fen, f)) << fen;
    fen_aufstellen(f);
}

TEST(Buch, SchluesselDerVeroeffentlichtenStellungen) {
    // The format's published keys; an en-passant square with no pawn beside it does not count.
    struct Fall {
        const char* zuege;
        const char* fen;
        uint64_t schluessel;
    };
    const Fall faelle[] = {
        {"", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0x463b96181691fc9c},
        {"e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 0x823c9b50fd114196},
        {"e2e4 d7d5", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2", 0x0756b94461c50fb0},
        {"e2e4 d7d5 e4e5", "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2", 0x662fafb965db29d4},
        {"e2e4 d7d5 e4e5 f7f5", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", 0x22a48b5a8e47ff78},
        {"e2e4 d7d5 e4e5 f7f5 e1e2", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR b kq - 0 3", 0x652a607ca3f242c1},
        {"e2e4 d7d5 e4e5 f7f5 e1e2 e8f7", "rnbq1bnr/ppp1pkpp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR w - - 0 4",
         0x00fdd303c946bdd9},
        {"a2a4 b7b5 h2h4 b5b4 c2c4", "rnbqkbnr/p1pppppp/8/8/PpP4P/8/1P1PPPP1/RNBQKBNR b KQkq c3 0 3",
         0x3c8123ea7b067637},
        {"a2a4 b7b5 h2h4 b5b4 c2c4 b4c3 a1a3", "rnbqkbnr/p1pppppp/8/8/P6P/R1p5/1P1PPPP1/1NBQKBNR b Kkq - 0 4",
         0x5c3f9b829b279560},
    };
    for (const Fall& f : faelle) {
        EXPECT_EQ(fen_schluessel(f.fen), f.schluessel) << f.fen;
        spiele_ab_grundstellung(f.zuege);
        EXPECT_EQ(buch_schluessel(), f.schluessel) << "after " << f.zuege;
        fen_spielen(f.fen);
        EXPECT_EQ(buch_schluessel(), f.schluessel) << "set up " << f.fen;
    }

    // A right needs king and rook unmoved and at home.
    spiele_ab_grundstellung("g1f3 g8f6 h1g1 h8g8 g1h1 g8h8");
    EXPECT_EQ(buch_schluessel(), fen_schluessel("rnbqkb1r/pppppppp/5n2/8/8/5N2/PPPPPPPP/RNBQKB1R w Qq - 6 4"));
    spiele_ab_grundstellung("e2e4 e7e5 e1e2 e8e7 e2e1 e7e8");
    EXPECT_EQ(buch_schluessel(), fen_schluessel("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w - - 4 4"));
    test::stellung("r3k2r/8/8/8/8/8/8/4K3");
    EXPECT_EQ(buch_schluessel(), fen_schluessel("r3k2r/8/8/8/8/8/8/4K3 w kq - 0 1"));
}

// A book entry as the test writes it.
struct Roh {
    uint64_t schluessel;
    const char* zug;  // "e1h1", "b7b8q"; "" for the null move a1a1
    uint16_t gewicht;
    uint16_t bits = 0;  // or'ed into the move
};

uint16_t kodiere(const std::string& w) {
    if (w.empty()) return 0;
    const int nach = (w[3] - '1') * 8 + (w[2] - 'a');
    const int von = (w[1] - '1') * 8 + (w[0] - 'a');
    const int stueck = w.size() < 5 ? 0 : static_cast<int>(std::string("?nbrq").find(w[4]));
    return static_cast<uint16_t>(nach | von << 6 | stueck << 12);
}

std::string bytes_von(std::vector<Roh> eintraege) {
    std::stable_sort(eintraege.begin(), eintraege.end(),
                     [](const Roh& a, const Roh& b) { return a.schluessel < b.schluessel; });
    std::string b;
    for (const Roh& e : eintraege) {
        for (int i = 7; i >= 0; --i) b += static_cast<char>(e.schluessel >> (8 * i));
        const uint16_t z = kodiere(e.zug) | e.bits;
        b += static_cast<char>(z >> 8), b += static_cast<char>(z);
        b += static_cast<char>(e.gewicht >> 8), b += static_cast<char>(e.gewicht);
        b += std::string(4, '\0');  // learn
    }
    return b;
}

std::string temp_pfad(const std::string& name) {
    return testing::TempDir() + "kelpin_buch_" + std::to_string(getpid()) + "_" + name;
}

std::string schreibe(const std::string& name, const std::string& bytes) {
    const std::string pfad = temp_pfad(name);
    std::ofstream(pfad, std::ios::binary) << bytes;
    return pfad;
}

std::string liste() {
    testing::internal::CaptureStdout();
    buch_liste();
    return testing::internal::GetCapturedStdout();
}

// Both sides may castle either way and White may promote on b8 or take on a8.
constexpr const char* WEISS_WAEHLT = "r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* SCHWARZ_WAEHLT = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
constexpr const char* GRUNDSTELLUNG = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

std::string kleines_buch() {
    const uint64_t w = fen_schluessel(WEISS_WAEHLT);
    return bytes_von({
        {w, "e1h1", 10},            // castling short, king takes rook
        {w, "e1a1", 20},            // castling long
        {w, "b7b8q", 10},           // a promotion
        {w, "e1e3", 1000},          // no legal move
        {w, "b7a8n", 0},            // legal, but never to be played
        {w, "b7b8", 500},           // a promotion without its piece
        {w, "e1f1q", 500},          // a piece on a move that is no promotion
        {w, "", 100},               // the null move: a gap
        {w, "b7b8q", 300, 0x8000},  // the unused top bit set
        {fen_schluessel(SCHWARZ_WAEHLT), "e8a8", 7},
        {fen_schluessel(GRUNDSTELLUNG), "e2e4", 2},
        {fen_schluessel(GRUNDSTELLUNG), "d2d4", 1},
    });
}

TEST(Buch, KleinesBuchGelesenUndGezogen) {
    test::neustart();
    const std::string pfad = schreibe("klein.bin", kleines_buch());
    ASSERT_TRUE(buch_laden(pfad.c_str())) << buch_warnung();
    EXPECT_TRUE(buch_offen());

    // Every entry of the key in file order, castling as the king's step.
    fen_spielen(WEISS_WAEHLT);
    Buchzug z[16];
    const int n = buch_eintraege(buch_schluessel(), z, 16);
    std::vector<std::string> gelesen;
    for (int i = 0; i < n; ++i) gelesen.push_back(text_von(z[i]) + "/" + std::to_string(z[i].gewicht));
    const std::vector<std::string> erwartet = {"e1g1/10",  "e1c1/20",   "b7b8q/10", "e1e3/1000", "b7a8n/0",
                                               "b7b8/500", "e1f1q/500", "a1a1/100", "b7b8?/300"};
    EXPECT_EQ(gelesen, erwartet);
    EXPECT_EQ(buch_eintraege(buch_schluessel(), z, 2), 2);

    // bk: the legal moves by weight with their shares, then an empty line.
    EXPECT_EQ(liste(), " e1c1 50%\n e1g1 25%\n b7b8q 25%\n b7a8n 0%\n\n");

    // 200 draws: each legal move (weight 10, 20, 10) comes up, no other; the game's rand() is left alone.
    srand(7);
    const int vorher = rand();
    srand(7);
    std::map<std::string, int> gezogen;
    for (int i = 0; i < 200; ++i) {
        Buchzug g{};
        ASSERT_TRUE(buch_waehlen(g));
        ++gezogen[text_von(g)];
    }
    EXPECT_EQ(rand(), vorher);
    EXPECT_EQ(gezogen.size(), 3u);
    for (const char* w : {"e1g1", "e1c1", "b7b8q"}) EXPECT_GT(gezogen[w], 0) << w;
    EXPECT_EQ(buch_illegale(), 4 * 200);
    EXPECT_NE(std::string(buch_warnung()).find("e1e3"), std::string::npos) << buch_warnung();

    fen_spielen(SCHWARZ_WAEHLT);
    Buchzug g{};
    ASSERT_TRUE(buch_waehlen(g));
    EXPECT_EQ(text_von(g), "e8c8");

    spiele_ab_grundstellung("");
    EXPECT_EQ(liste(), " e2e4 67%\n d2d4 33%\n\n");
    spiele_ab_grundstellung("e2e4");
    EXPECT_FALSE(buch_waehlen(g));
    EXPECT_EQ(liste(), " no book move in this position\n\n");

    buch_schliessen();
    EXPECT_FALSE(buch_offen());
    spiele_ab_grundstellung("");
    EXPECT_FALSE(buch_waehlen(g));
    EXPECT_EQ(liste(), " no opening book in use\n\n");
    unlink(pfad.c_str());
}

TEST(Buch, BeschaedigteDateienWerdenAbgewiesen) {
    test::neustart();
    const std::string gut = kleines_buch();
    const std::string guter_pfad = schreibe("gut.bin", gut);
    const std::string ungeordnet = gut.substr(16 * 9) + gut.substr(0, 16 * 9);
    std::mt19937 r(1);
    std::string zufall(4096, '\0');
    for (char& c : zufall) c = static_cast<char>(r());

    const std::string verzeichnis = temp_pfad("verzeichnis");
    mkdir(verzeichnis.c_str(), 0700);
    // A file over the size limit, sparse so that it costs no disk.
    const std::string riesig = schreibe("riesig.bin", "");
    ASSERT_EQ(truncate(riesig.c_str(), (int64_t{1} << 30) + 16), 0);

    struct Fall {
        std::string pfad;
        const char* grund;
    };
    const Fall faelle[] = {
        {schreibe("gekuerzt.bin", gut.substr(0, gut.size() - 5)), "not a multiple of 16"},
        {schreibe("kurz.bin", gut.substr(0, 10)), "not a multiple of 16"},
        {schreibe("leer.bin", ""), "empty"},
        {schreibe("ungeordnet.bin", ungeordnet), "not sorted"},
        {schreibe("zufall.bin", zufall), "not sorted"},
        {verzeichnis, "a directory"},
        {temp_pfad("fehlt.bin"), "No such file"},
        {"/dev/null", "not a regular file"},
        {riesig, "larger than"},
        {"", "no book file named"},
    };
    for (const Fall& f : faelle) {
        ASSERT_TRUE(buch_laden(guter_pfad.c_str())) << buch_warnung();
        EXPECT_FALSE(buch_laden(f.pfad.c_str())) << f.pfad;
        EXPECT_FALSE(buch_offen()) << f.pfad;
        const std::string w = buch_warnung();
        EXPECT_NE(w.find(f.grund), std::string::npos) << f.pfad << ": " << w;
        EXPECT_NE(w.find(f.pfad), std::string::npos) << w;
        EXPECT_EQ(w.find('\n'), std::string::npos) << w;
        spiele_ab_grundstellung("");
        Buchzug g{};
        EXPECT_FALSE(buch_waehlen(g)) << f.pfad;
    }
    EXPECT_FALSE(buch_laden(nullptr));
    // A refusal leaves nothing behind: the good book opens again.
    ASSERT_TRUE(buch_laden(guter_pfad.c_str()));
    EXPECT_STREQ(buch_warnung(), "");
    buch_schliessen();
    for (const Fall& f : faelle)
        if (f.pfad != verzeichnis && f.pfad.rfind(testing::TempDir(), 0) == 0) unlink(f.pfad.c_str());
    unlink(guter_pfad.c_str());
    rmdir(verzeichnis.c_str());
}

// A book move is announced and played at once; without a (valid, told once) book the engine searches.
TEST(Buch, ImSpielDurchDasProgramm) {
    const std::string pfad = schreibe("spiel.bin", bytes_von({{fen_schluessel(GRUNDSTELLUNG), "e2e4", 3},
                                                             {fen_schluessel(GRUNDSTELLUNG), "d2d4", 0}}));
    const std::string setzen = "uci\nsetoption name BookFile value " + pfad + "\nsetoption name OwnBook value true\n";
    std::string aus = test::programm(setzen + "position startpos\ngo wtime 60000 btime 60000\nquit\n");
    EXPECT_NE(aus.find("\ninfo string book move e2e4 (weight 3 of 3)\ninfo depth 4 "), std::string::npos) << aus;
    EXPECT_NE(aus.find(" pv e2e4"), std::string::npos) << aus;
    EXPECT_NE(aus.find("\nbestmove e2e4"), std::string::npos) << aus;
    // A position without an entry leaves the book for the game.
    aus = test::programm(setzen +
                         "position startpos moves g1f3\ngo depth 1\nposition startpos moves g1f3 g8f6 f3g1 f6g8\n"
                         "go depth 1\nquit\n");
    EXPECT_EQ(aus.find("book move"), std::string::npos) << aus;
    aus = test::programm(setzen + "setoption name OwnBook value false\nposition startpos\ngo depth 1\nquit\n");
    EXPECT_EQ(aus.find("book move"), std::string::npos) << aus;
    const std::string kaputt = schreibe("kaputt.bin", std::string(17, 'x'));
    aus = test::programm("uci\nsetoption name OwnBook value true\nsetoption name BookFile value " + kaputt +
                         "\nposition startpos\ngo depth 1\nposition startpos moves e2e4\ngo depth 1\nquit\n");
    const size_t warnung = aus.find("info string book " + kaputt + " not used: ");
    EXPECT_NE(warnung, std::string::npos) << aus;
    EXPECT_EQ(aus.find("info string book", warnung + 1), std::string::npos) << aus;
    EXPECT_NE(aus.find("\nbestmove "), std::string::npos) << aus;

    // XBoard: `bk` lists the moves, the book move comes with its thinking line.
    aus = test::nach_start(test::programm("xboard\noption BookFile=" + pfad + "\noption OwnBook=1\nbk\ngo\nquit\n"));
    EXPECT_EQ(aus.substr(0, 11), " e2e4 100%\n") << aus;
    EXPECT_TRUE(std::regex_search(aus, std::regex("\n4 -?\\d+ \\d+ \\d+ e2e4 [^\n]*\nmove e2e4\n"))) << aus;
    unlink(pfad.c_str());
    unlink(kaputt.c_str());
}

}  // namespace
}  // namespace kelpin
