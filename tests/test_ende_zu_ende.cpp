// End to end: the program on whole command texts. Random and malformed input
// must never crash or hang it, the console prompt follows the board, and the
// benchmark and console thinking output keep their formats.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

using test::programm;

// The board as `display` shows it in a fresh program: the initial position.
const std::string& grundstellung() {
    static const std::string brett = [] {
        return test::nach_start(programm("display\n", 20));
    }();
    return brett;
}

bool endet_mit(const std::string& text, const std::string& ende) {
    return text.size() >= ende.size() && text.compare(text.size() - ende.size(), ende.size(), ende) == 0;
}

std::vector<std::string> treffer(const std::string& text, const std::regex& muster, int gruppe = 1) {
    std::vector<std::string> t;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), muster); it != std::sregex_iterator(); ++it)
        t.push_back((*it)[gruppe]);
    return t;
}

// --- random input -------------------------------------------------------------

// The program reads a line in pieces of 255 characters and takes the first
// word of each piece (up to a NUL) as a command. Random text must not start
// a thinking turn, end the program, switch to console mode or run a
// benchmark with a number left over from an earlier command.
bool harmlos(const std::string& zeile) {
    const std::string ganz = zeile + "\n";
    for (size_t a = 0; a < ganz.size(); a += 255) {
        std::string stueck = ganz.substr(a, 255);
        stueck = stueck.substr(0, stueck.find('\0'));
        size_t b = 0;
        while (b < stueck.size() && isspace(static_cast<unsigned char>(stueck[b]))) ++b;
        for (const char* wort : {"go", "quit", "output", "perft", "evalperft"})
            if (stueck.compare(b, std::string(wort).size(), wort) == 0) return false;
    }
    return true;
}

class Zufall {
public:
    explicit Zufall(unsigned saat) : g_(saat) {}
    int zahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(g_); }
    char aus(const std::string& zeichen) { return zeichen[zahl(0, static_cast<int>(zeichen.size()) - 1)]; }
    std::string text(const std::string& zeichen, int laenge) {
        std::string t;
        for (int i = 0; i < laenge; ++i) t += aus(zeichen);
        return t;
    }
    std::string feld() { return {aus("abcdefgh"), aus("12345678")}; }

    // Absurd as well as ordinary numbers, as text.
    std::string unsinnszahl() {
        static const char* grenzen[] = {"99999999999", "-2147483648", "2147483647", "-99999999999",
                                        "0",           "-1",          "4294967296", "007",
                                        "+5",          "-",           "1e9",        "0x10"};
        return zahl(0, 2) == 0 ? std::to_string(zahl(-100000, 100000)) : grenzen[zahl(0, 11)];
    }

    // A piece placement that is broken in some way, or one that puts far
    // more pieces on the board than a game can have.
    std::string fen() {
        static const char* boese[] = {"9/9/9/9/9/9/9/9/9",
                                      "////////////",
                                      "99999999",
                                      "/K/k/",
                                      "KQRBNPkqrbnp",
                                      "8/8/8/8/8/8/8/8/KQ",
                                      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ppp",
                                      "QqQqQqQq/qQqQqQqQ/QqQqQqQq/qQqQqQqQ/QqQqQqQq/qQqQqQqQ/QqQqQqQq/qQqQqQqQ",
                                      "1Q1Q1Q1Q/q1q1q1q1/1Q1Q1Q1Q/q1q1q1q1/1Q1Q1Q1Q/q1q1q1q1/1Q1Q1Q1Q/q1q1q1q1",
                                      "PPPPPPPP/pppppppp/PPPPPPPP/pppppppp/PPPPPPPP/pppppppp/PPPPPPPP/pppppppp"};
        if (zahl(0, 3) == 0) return boese[zahl(0, 9)];
        return text("KQRBNPkqrbnp12345678/90x-", zahl(0, 90));
    }

    std::string zugwort() {
        static const char* besondere[] = {"e1g1", "e1c1", "e8g8", "e8c8", "a1h8", "e7e8q", "h2h1n", "a7a8N"};
        if (zahl(0, 5) == 0) return besondere[zahl(0, 7)];
        std::string z = feld() + feld();
        if (zahl(0, 3) == 0) z += aus("qrbnQRBNxk\r");
        if (zahl(0, 9) == 0) z += text("abcdefgh12345678 ", zahl(1, 10));
        return z;
    }

    // One line of the random part of the input.
    std::string zeile() {
        switch (zahl(0, 19)) {
            case 9: return "perft " + std::to_string(zahl(1, 2));
            case 10: {
                static const char* nichts[] = {"perft 257",         "perft -1",     "perft 99999999999",
                                               "perft -2147483648", "evalperft -3", "evalperft -2147483648"};
                return nichts[zahl(0, 5)];
            }
            default:
                for (;;)
                    if (const std::string t = ungeprueft(); harmlos(t)) return t;
        }
    }

private:
    std::string ungeprueft() {
        static const char* befehle[] = {"display", "showmoves", "list",       "eval", "help", "black", "white", "force",
                                        "new",     "xboard",    "protover 2", "post", "?",    "st",    "time"};
        switch (zahl(0, 17)) {
            case 0:
            case 1:
            case 2: {  // raw bytes, NUL, CR and high bytes included
                std::string t;
                for (int i = zahl(0, 80); i > 0; --i) {
                    const char c = static_cast<char>(zahl(0, 255));
                    if (c != '\n') t += c;
                }
                return t;
            }
            case 3: {  // over-long lines
                const int laenge = zahl(300, 2000);
                switch (zahl(0, 2)) {
                    case 0: return text("abcdefgh12345678 /KQkq\t", laenge);
                    case 1: return "setboard " + text("KQRBNPkqrbnp12345678/", laenge);
                    default: {
                        std::string t;
                        while (static_cast<int>(t.size()) < laenge) t += zugwort() + " ";
                        return t;
                    }
                }
            }
            case 4:
            case 5: return "setboard " + fen();
            case 6: return "st " + unsinnszahl();
            case 7: return "time " + unsinnszahl();
            case 8: return befehle[zahl(0, 14)] + std::string(zahl(0, 1) ? "" : " " + unsinnszahl());
            default: return zugwort();
        }
    }

    std::mt19937 g_;
};

TEST(EndeZuEnde, ZufallseingabenImZwangsmodus) {
    Zufall z(20240611);
    std::string eingabe = "force\nnew\nperft 3\nevalperft 0\n";
    for (int n = 0; n < 3000; ++n) eingabe += z.zeile() + "\n";
    eingabe += "new\ndisplay\nquit\n";

    int status = -2;
    const std::string aus = programm(eingabe, 300, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(endet_mit(aus, grundstellung())) << aus.substr(aus.size() > 2000 ? aus.size() - 2000 : 0);
    EXPECT_NE(aus.find("movegen() to depth 3 -> 8902 nodes\n"), std::string::npos);
    // Force mode is never left and console mode never entered.
    EXPECT_EQ(aus.find("\nmove "), std::string::npos);
    EXPECT_EQ(aus.find("Force mode set"), std::string::npos);
}

TEST(EndeZuEnde, ZufallszuegeMitKurzemDenken) {
    // Without force mode every move read is answered; a negative allocation
    // ends each turn after one iteration. Set-up boards stay sparse, with or
    // without kings.
    Zufall z(77);
    std::string eingabe = "new\nst -1\n";
    for (int n = 0; n < 200; ++n) {
        switch (z.zahl(0, 9)) {
            case 0: {
                eingabe += "setboard ";
                for (int r = 0; r < 8; ++r) eingabe += z.text("8888888KkQqRrBbNnPp", 1) + (r < 7 ? "/" : "\n");
                break;
            }
            case 1: eingabe += z.aus("gdln") == 'g' ? "go\n" : "display\n"; break;
            case 2: eingabe += "new\n"; break;
            default: eingabe += z.zugwort() + "\n";
        }
    }
    eingabe += "new\ndisplay\nquit\n";

    int status = -2;
    const std::string aus = programm(eingabe, 300, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(endet_mit(aus, grundstellung()));
    const auto zuege = treffer(aus, std::regex(R"((?:^|\n)(move[^\n]*))"));
    EXPECT_FALSE(zuege.empty());
    for (const std::string& zug : zuege)
        EXPECT_TRUE(std::regex_match(zug, std::regex("move [a-h][1-8][a-h][1-8][QRBN]?"))) << zug;
}

// --- the console -------------------------------------------------------------------

TEST(EndeZuEnde, SchluesselImPromptFolgtDemBrett) {
    int status = -2;
    const std::string aus = programm(
        "output\nforce\nnew\ne2e4\ne7e5\nsetboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR\nnew\n"
        "setboard 8/8/8/8/8/8/8/8\nquit\n",
        20, &status);
    EXPECT_EQ(status, 0);
    const auto h = treffer(aus, std::regex(R"(h:(-?\d+)> )"));
    ASSERT_EQ(h.size(), 8u) << aus;
    // Keys of the board: none computed before `new`, unchanged by moves
    // read, new after `setboard`, the same again after `new`, 0 when empty.
    EXPECT_EQ(h[0], "0");
    EXPECT_EQ(h[1], "0");
    EXPECT_NE(h[2], "0");
    EXPECT_EQ(h[3], h[2]);
    EXPECT_EQ(h[4], h[2]);
    EXPECT_NE(h[5], h[2]);
    EXPECT_EQ(h[6], h[2]);
    EXPECT_EQ(h[7], "0");
    EXPECT_TRUE(endet_mit(aus, "h:0> Force mode set to 1.\nh:0> New game.\nh:" + h[2] + "> h:" + h[2] + "> h:" + h[2] +
                                   "> h:" + h[5] + "> New game.\nh:" + h[2] + "> h:0> Bye.\n"))
        << aus;
}

TEST(EndeZuEnde, KonsolenDenkenUndBericht) {
    // `st 0` is shown as 0 seconds, thinks for one and leaves 1 behind.
    int status = -2;
    const std::string aus = programm("output\nnew\nst 0\ngo\nst\nquit\n", 60, &status);
    EXPECT_EQ(status, 0);
    const auto h = treffer(aus, std::regex(R"(h:(-?\d+)> )"));
    ASSERT_EQ(h.size(), 5u);
    EXPECT_NE(h[3], h[2]) << "the key follows the engine's move";
    char hex[16];
    snprintf(hex, sizeof hex, "%02x", static_cast<uint32_t>(std::stol(h[2])));
    const std::string kopf = "h:" + h[2] + "> Clearing hash...done.\n" + grundstellung() +
                             "\nPosition's hashkey: " + hex +
                             "\tAllocated time: 0 seconds.\n\n\t\t\t-------------------\n\t\t\t| T H I N K I N G |\n"
                             "\t\t\t-------------------\n\ntime\tdepth\tnodes\tvalue\tprincipal variation\n";
    EXPECT_NE(aus.find(kopf), std::string::npos) << aus;

    // The iteration lines, each after the root's "Thinking:" texts; the
    // opening limit stops at six plies.
    const std::string zug = R"([a-h][1-8][a-h][1-8][qrbnQRBN]?)";
    const std::regex iteration("(?:Thinking: " + zug + "\r)*(\\d+)\t(\\d+)/\\d+\t\\d+K\t-?\\d+\t((?:" + zug +
                               " )+)(?:-?#\\d+)?(?:[?!]{0,2})\n");
    const auto tiefen = treffer(aus, iteration, 2);
    ASSERT_FALSE(tiefen.empty()) << aus;
    EXPECT_EQ(tiefen.front(), "4");
    for (const std::string& t : tiefen) EXPECT_LE(std::stoi(t), 6);

    const std::string statistik =
        "\n\t\t-------------------------------------\n\t\t\\| S E A R C H   S T A T I S T I C S \\|\n"
        "\t\t-------------------------------------\n\n"
        R"(Nodes: \d+K\t\t Time used: \d+s\t\t Speed: \d+Kn/s\n)"
        R"(QNodes: \d+ \(\d+%\)\t Evaluations: \d+\t Check_ext: \d+\n)"
        R"(Threat_ext: \d+\t Null cutoff: \d+\t Repetitions: \d+\n)"
        R"(Hashtable hits: \d+\t Hash alpha cutoff: \d+\t Hash beta cutoff: \d+\n)"
        R"(Move ordering: \d+%\t 1Resp_ex: \d+\t\t Futility: \d+\n)"
        R"(Reductions: \d+\tHashtable stores: \d+\tCapture_ext: \d+\n)"
        R"(Search returned value: -?\d+\n)";
    const std::string zuege = "My move: (" + zug + ")\nPrincipal variation: ((" + zug + ") (?:" + zug + " )*)\n\n\a";
    std::smatch m;
    ASSERT_TRUE(std::regex_search(aus, m, std::regex(statistik + zuege))) << aus;
    const std::set<std::string> eroeffnung = {"b1c3", "b1a3", "g1h3", "g1f3", "a2a4", "a2a3", "b2b4",
                                              "b2b3", "c2c4", "c2c3", "d2d4", "d2d3", "e2e4", "e2e3",
                                              "f2f4", "f2f3", "g2g4", "g2g3", "h2h4", "h2h3"};
    EXPECT_EQ(eroeffnung.count(m[1]), 1u) << m[1];
    EXPECT_EQ(m[3], m[1]);
    EXPECT_TRUE(endet_mit(aus, "\n\ah:" + h[3] + "> Allocated time set to 1s.\nh:" + h[3] + "> Bye.\n")) << aus;
    EXPECT_EQ(aus.find("move "), std::string::npos);
}

// --- the benchmarks -----------------------------------------------------------------

TEST(EndeZuEnde, PerftUndEvalperftZeilen) {
    int status = -2;
    const std::string aus = programm(
        "perft 3\nperft0\ntime 2\nperft\nperft 257\nperft -2147483648\nperft 99999999999\nforce\ne2e4\nperft 1\n"
        "evalperft -1\ndisplay\n",
        60, &status);
    EXPECT_EQ(status, 0);
    // The number after `time` is the one a following bare `perft` uses;
    // perft counts White's moves whoever is to move; depths the move lists
    // cannot hold count nothing.
    const auto zaehlung =
        treffer(aus, std::regex(R"(movegen\(\) to depth (-?\d+ -> \d+) nodes\n-?\d+ nodes per second\n)"));
    const std::vector<std::string> erwartet = {"3 -> 8902",        "1 -> 20",         "2 -> 400", "257 -> 0",
                                               "-2147483648 -> 0", "2147483647 -> 0", "1 -> 30"};
    EXPECT_EQ(zaehlung, erwartet);

    // 'evalperft' first runs 'eval', then times test position 4, which stays
    // on the board; a negative time ends at once and divides by nothing.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        aus, m,
        std::regex(R"(eval\(\) to current position: -16\n[1-9]\d* eval\(\) calls in 0 seconds: \d+ evals/sec\n)"
                   R"(eval\(\) of test position 4 \(intern\): 101\n)")));
    EXPECT_NE(aus.find("8  |     |     |     |     |  r  |     |     |  k  |\n"), std::string::npos);
    EXPECT_NE(aus.find("1  |     |     |     |     |     |     |     |  K  |\n"), std::string::npos);
}

}  // namespace
}  // namespace kelpin
