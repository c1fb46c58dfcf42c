// The XBoard protocol with the program as a child; its moves must be legal to the library here.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::bis;
using test::Prozess;

bool spielen(const std::string& text) {
    const Eingabe e = zug_lesen(text.c_str());
    return e != Eingabe::KEIN_ZUG && e != Eingabe::ILLEGAL;
}

// What an engine announces when the side to move has no legal move, "" else.
std::string ergebnis() {
    if (hat_legalen_zug(werdran)) return "";
    if (!koenig_bedroht(werdran)) return "1/2-1/2 {Stalemate}";
    return werdran == SCHWARZ ? "1-0 {White mates}" : "0-1 {Black mates}";
}

// 'ply score centiseconds nodes line'; Black's promotions show in lower case.
const std::regex DENKZEILE(R"(\d+ -?\d+ \d+ \d+ ((?:[a-h][1-8][a-h][1-8][qrbnQRBN]? )+))");
const std::regex ZUGZEILE(R"(move ([a-h][1-8][a-h][1-8][QRBN]?))");

// The move answering a move or `go` (played here too), after thinking lines and before a result.
std::string antwort(Prozess& kelpin) {
    std::string z, linie;
    std::smatch m;
    bool da;
    while ((da = kelpin.zeile(z)) && std::regex_match(z, m, DENKZEILE)) linie = m[1];
    EXPECT_TRUE(da && !linie.empty()) << "no answer, or one without thinking: " << z;
    if (std::regex_match(z, m, ZUGZEILE)) {
        std::string gezogen = m[1];
        for (char& c : gezogen) c = static_cast<char>(std::tolower(c));
        if (!spielen(gezogen)) {
            ADD_FAILURE() << gezogen << " is a move that the other process's generator does not list as legal";
            return "";
        }
        const std::string e = ergebnis();
        EXPECT_TRUE(e.empty() || (kelpin.zeile(z) && z == e)) << z;
        return gezogen;
    }
    const char* aufgabe = werdran == WEISS ? "0-1 {White resigns}" : "1-0 {Black resigns}";
    EXPECT_EQ(z, z == "1/2-1/2 {Stalemate}" ? ergebnis() : aufgabe);
    return "";
}

TEST(Protokoll, ZwangsmodusNewUndGo) {
    test::neustart();
    Prozess kelpin;
    for (const char* z : {"xboard", "protover 2", "new", "post", "hard"}) kelpin.sende(z);
    // `new` and `go` leave force mode, where moves are not answered (the `ping` answer comes next).
    for (const char* eingabe : {"force", "new", "e2e4"}) kelpin.sende(eingabe);
    spielen("e2e4");
    ASSERT_FALSE(antwort(kelpin).empty());
    kelpin.sende("force");
    for (int n = 0; n < 2; ++n) {
        const std::string gespielt = test::legale_woerter().back();
        spielen(gespielt);
        kelpin.sende(gespielt);
    }
    // Thinking lines may come first: the engine pondered until `force` reached it.
    kelpin.sende("ping 3");
    std::vector<std::string> davor;
    EXPECT_TRUE(bis(kelpin, "pong 3", &davor));
    for (const std::string& d : davor) EXPECT_TRUE(std::regex_match(d, DENKZEILE)) << d;
    kelpin.sende("go");
    ASSERT_FALSE(antwort(kelpin).empty());
    const std::string meiner = test::legale_woerter().front();
    spielen(meiner);
    kelpin.sende(meiner);
    EXPECT_FALSE(antwort(kelpin).empty());
    kelpin.beende();
}

TEST(Protokoll, ErgebnisNachDemDenken) {
    // A negative allocation ends the turn after its first iteration.
    const std::pair<const char*, const char*> faelle[] = {
        {"setboard k7/8/1K6/8/8/8/7Q/8\n", "move h2h8\n1-0 {White mates}\n"},      // mate in one
        {"setboard 8/8/8/8/8/1k6/1q6/K7\n", "0-1 {White resigns}\n"},              // mated before moving
        {"setboard 8/8/8/8/8/1k6/2q5/K7\n", "1/2-1/2 {Stalemate}\n"},              // stalemated
        {"force\nsetboard 7k/8/6K1/8/8/8/Q7/8\na2a1\n", "1-0 {Black resigns}\n"},  // mated next move
    };
    for (const auto& [eingabe, ende] : faelle) {
        int status = -2;
        // A bare ping has nothing to answer; the end of the input ends the program.
        const std::string aus = test::programm(std::string("new\nping\nst -1\n") + eingabe + "go\n", 60, &status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(aus.find("pong"), std::string::npos) << aus;
        EXPECT_TRUE(aus.ends_with(ende)) << aus;
        EXPECT_EQ(aus.find("move") == std::string::npos, ende[0] != 'm') << aus;  // nothing else is played
    }
}

TEST(Protokoll, EingabeWaehrendDesDenkens) {
    // A position searched on and on (no opening limit), 30 s a move.
    const char* const STELLUNG = "setboard r1q1r1k1/pp4bp/4n1p1/nP1Q1p2/P2P4/4B3/4BPPP/R3R1K1 w - - 0 1";
    Prozess kelpin;
    for (const char* z : {"xboard", "protover 2", "new", "force", STELLUNG, "st 30", "go"}) kelpin.sende(z);
    // `?` plays at once; `ping` sent before it is answered after the move.
    ASSERT_TRUE(bis(kelpin, "4 "));
    kelpin.sende("ping 5");
    auto t0 = std::chrono::steady_clock::now();
    kelpin.sende("?");
    ASSERT_TRUE(bis(kelpin, "move "));
    EXPECT_LT(test::sekunden_seit(t0), 3.0);
    std::string z;
    EXPECT_TRUE(kelpin.zeile(z) && z == "pong 5") << z;

    // `force` abandons the search: no move, the game goes on from the position before it.
    for (const char* z2 : {"force", STELLUNG, "go"}) kelpin.sende(z2);
    ASSERT_TRUE(bis(kelpin, "5 "));
    kelpin.sende("force");
    kelpin.sende("ping 6");
    std::vector<std::string> davor;
    ASSERT_TRUE(bis(kelpin, "pong 6", &davor));
    for (const std::string& d : davor) EXPECT_NE(d.rfind("move", 0), 0u) << d;
    kelpin.sende("e3d2");
    kelpin.sende("ping 7");
    EXPECT_TRUE(kelpin.zeile(z) && z == "pong 7") << z;

    // `quit` ends the program at once, in the middle of a search.
    kelpin.sende("go");
    ASSERT_TRUE(bis(kelpin, "5 "));
    t0 = std::chrono::steady_clock::now();
    kelpin.beende();
    EXPECT_LT(test::sekunden_seit(t0), 2.0);
}

TEST(Protokoll, Analyse) {
    // Never a move; restarted on every change of the position; `.` gives a status line.
    Prozess kelpin;
    for (const char* z : {"xboard", "protover 2", "new", "post", "analyze"}) kelpin.sende(z);
    const std::regex zeile(R"((\d+) -?\d+ \d+ \d+ ([a-h][1-8])[a-h][1-8].*)");
    // The first move of the thinking lines that come next starts on one of these ranks.
    auto erste_zuege_von = [&](const char* reihen) {
        std::string z;
        std::smatch m;
        for (int n = 0; n < 3; ++n) {
            ASSERT_TRUE(kelpin.zeile(z));
            ASSERT_TRUE(std::regex_match(z, m, zeile)) << z;
            EXPECT_NE(std::string(reihen).find(m[2].str()[1]), std::string::npos) << z;
        }
    };
    erste_zuege_von("12");
    kelpin.sende(".");
    ASSERT_TRUE(bis(kelpin, "stat01: "));
    kelpin.sende("e2e4");
    kelpin.sende("ping 1");
    ASSERT_TRUE(bis(kelpin, "pong 1"));
    erste_zuege_von("78");
    kelpin.sende("undo");
    kelpin.sende("ping 2");
    ASSERT_TRUE(bis(kelpin, "pong 2"));
    erste_zuege_von("12");
    kelpin.sende("setboard 4k3/8/8/8/8/8/3q4/4K3 w - - 0 1");
    kelpin.sende("ping 3");
    ASSERT_TRUE(bis(kelpin, "pong 3"));
    erste_zuege_von("1");  // the king must take or step aside
    kelpin.sende("exit");
    kelpin.sende("ping 4");
    std::vector<std::string> davor;
    ASSERT_TRUE(bis(kelpin, "pong 4", &davor));
    for (const std::string& d : davor) EXPECT_NE(d.rfind("move", 0), 0u) << d;
    kelpin.sende("ping 5");
    std::string z;
    EXPECT_TRUE(kelpin.zeile(z) && z == "pong 5") << z;
    kelpin.beende();
}

TEST(Protokoll, PondernMitTrefferUndFehlgriff) {
    // With `hard` it thinks on the reply it expects: answered at once; another reply or `force` abandons it.
    test::neustart();
    Prozess kelpin;
    for (const char* z : {"xboard", "protover 2", "option OwnBook=0", "new", "hard", "post", "sd 5"}) kelpin.sende(z);
    std::string z, linie;
    // Reads the answer to a move; returns how many thinking lines came first.
    auto antwort_lesen = [&] {
        std::smatch m;
        int zeilen = 0;
        while (kelpin.zeile(z) && std::regex_match(z, m, DENKZEILE)) linie = m[1], ++zeilen;
        EXPECT_TRUE(std::regex_match(z, m, ZUGZEILE)) << z;
        EXPECT_TRUE(spielen(m[1])) << z;
        return zeilen;
    };
    spielen("e2e4");
    kelpin.sende("e2e4");
    EXPECT_GT(antwort_lesen(), 0);
    // The line's second move is expected; the ponder search ends at depth 5 and waits, answering `ping`.
    const std::string erwartet = linie.substr(5, 4);
    ASSERT_TRUE(spielen(erwartet)) << linie;
    ASSERT_TRUE(bis(kelpin, "5 "));
    kelpin.sende("ping 1");
    ASSERT_TRUE(bis(kelpin, "pong 1"));
    kelpin.sende("time 1000");
    kelpin.sende("otim 1000");
    kelpin.sende(erwartet);
    EXPECT_EQ(antwort_lesen(), 0);
    // Another reply than expected: searched and answered.
    std::smatch m;
    while (kelpin.zeile(z) && !(std::regex_match(z, m, DENKZEILE) && z.rfind("5 ", 0) == 0)) continue;
    const std::string neu_erwartet = std::string(m[1]).substr(5, 4);
    const std::vector<std::string> moeglich = test::legale_woerter();
    const std::string anders = moeglich.front() == neu_erwartet ? moeglich.back() : moeglich.front();
    spielen(anders);
    kelpin.sende(anders);
    EXPECT_GT(antwort_lesen(), 0);
    // force while pondering: no move; `easy` ends pondering.
    kelpin.sende("force");
    kelpin.sende("easy");
    kelpin.sende("ping 2");
    std::vector<std::string> davor;
    ASSERT_TRUE(bis(kelpin, "pong 2", &davor));
    for (const std::string& d : davor) EXPECT_NE(d.rfind("move", 0), 0u) << d;
    const std::string meiner = test::legale_woerter().front();
    spielen(meiner);
    kelpin.sende(meiner);
    kelpin.sende("go");
    antwort_lesen();
    kelpin.beende();
}

}  // namespace
}  // namespace kelpin
