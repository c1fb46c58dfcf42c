// Random and malformed input never crashes or hangs the program nor keeps it from a new game.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "hilfen.h"

namespace kelpin {
namespace {

// Random input that spells no go, quit, output, analyze or perft; `new` comes with a `force`.
std::string zufallszeile(std::mt19937& g) {
    auto text = [&](std::string_view zeichen, size_t laenge) {
        std::string t;
        while (t.size() < laenge) t += zeichen[g() % zeichen.size()];
        return t;
    };
    static const char* const worte[] = {"setboard", "st",    "time",  "new\nforce", "undo",  "display", "showmoves", "list",
                                        "eval",     "level", "white", "black",       "ping",  "remove",  "e8c8",      "e7e8q"};
    static const char* const zahlen[] = {"99999999999", "-2147483648", "4294967296", "-1", "0x10", "1e9", "-", ""};
    std::string roh;  // raw bytes, NUL, CR and high bytes included
    for (unsigned n = g() % 80; n > 0; --n)
        if (const char c = static_cast<char>(g() % 256); std::string_view("opuz\n").find(c) == std::string::npos)
            roh += c;
    switch (g() % 7) {
        case 0: return roh;
        case 1: return text("abcdefgh12345678 /KQkq\t\r", 300 + g() % 1700);      // over-long
        case 2: return "setboard " + text("KQRBNPkqrbnp12345678/9x-", g() % 90);  // broken or overfull
        case 3: return std::string(worte[g() % 16]) + " " + zahlen[g() % 8];      // absurd numbers
        default:
            return text("abcdefgh", 1) + text("12345678", 1) + text("abcdefgh", 1) + text("12345678", 1) +
                   text("qrbnQk\r  ", 1);  // moves, some with odd endings
    }
}

TEST(EndeZuEnde, ZufallseingabenImZwangsmodus) {
    std::mt19937 g(20240611);
    std::string eingabe = "force\n";
    for (int n = 0; n < 3000; ++n) eingabe += zufallszeile(g) + "\n";
    int status = -2;
    const std::string aus = test::programm(eingabe + "new\ndisplay\nquit\n", 300, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(aus.find("\nmove "), std::string::npos);  // force mode is never left
    // The last display is the one a fresh program shows (see the transcript).
    const std::string grundstellung = test::nach_start(test::programm("display\n", 20));
    ASSERT_EQ(test::zeilen(grundstellung), 18);
    EXPECT_TRUE(aus.ends_with(grundstellung)) << aus.substr(aus.size() > 2000 ? aus.size() - 2000 : 0);
}

}  // namespace
}  // namespace kelpin
