// The XBoard protocol as an interface speaks it: the program runs as a child
// process, every line is sent when the previous answer has arrived, and every
// move it sends is judged by a referee that knows the full rules of chess and
// shares no code with the engine.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "hilfen.h"

namespace kelpin {
namespace {

// --- the referee --------------------------------------------------------------

// Squares a1 = 0 ... h8 = 63; upper case White, lower case Black, '.' empty.
struct Partie {
    std::array<char, 64> feld{};
    bool weiss = true;
    bool recht[4] = {true, true, true, true};  // White short, White long, Black short, Black long
    int ep = -1;                               // square a double step has just passed over

    Partie() {
        const std::string grund = "RNBQKBNR";
        feld.fill('.');
        for (int l = 0; l < 8; ++l) {
            feld[l] = grund[l], feld[8 + l] = 'P', feld[48 + l] = 'p';
            feld[56 + l] = static_cast<char>(tolower(grund[l]));
        }
    }
};

constexpr int GERADE[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr int SCHRAEG[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr int SPRUENGE[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};

bool farbe_von(char c, bool weiss) { return c != '.' && (isupper(static_cast<unsigned char>(c)) != 0) == weiss; }
bool auf_brett(int r, int l) { return r >= 0 && r < 8 && l >= 0 && l < 8; }
std::string name(int s) { return {static_cast<char>('a' + s % 8), static_cast<char>('1' + s / 8)}; }
char art(char c) { return static_cast<char>(toupper(static_cast<unsigned char>(c))); }

// Is square s attacked by the pieces of the given side?
bool angegriffen(const Partie& p, int s, bool durch_weiss) {
    const int r = s / 8, l = s % 8;
    auto ist = [&](int rr, int ll, char a) {
        return auf_brett(rr, ll) && farbe_von(p.feld[rr * 8 + ll], durch_weiss) && art(p.feld[rr * 8 + ll]) == a;
    };
    const int hinter = durch_weiss ? r - 1 : r + 1;
    if (ist(hinter, l - 1, 'P') || ist(hinter, l + 1, 'P')) return true;
    for (const auto& d : SPRUENGE)
        if (ist(r + d[0], l + d[1], 'N')) return true;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dl = -1; dl <= 1; ++dl)
            if ((dr != 0 || dl != 0) && ist(r + dr, l + dl, 'K')) return true;
    for (int schraeg = 0; schraeg < 2; ++schraeg)
        for (const auto& d : schraeg ? SCHRAEG : GERADE)
            for (int rr = r + d[0], ll = l + d[1]; auf_brett(rr, ll); rr += d[0], ll += d[1]) {
                if (p.feld[rr * 8 + ll] == '.') continue;
                if (ist(rr, ll, 'Q') || ist(rr, ll, schraeg ? 'B' : 'R')) return true;
                break;
            }
    return false;
}

bool im_schach(const Partie& p) {
    for (int s = 0; s < 64; ++s)
        if (p.feld[s] == (p.weiss ? 'K' : 'k')) return angegriffen(p, s, !p.weiss);
    return false;
}

// Plays a move given as "e2e4" or "e7e8q" (the promotion letter in either case).
void ausfuehren(Partie& p, const std::string& zug) {
    const int von = (zug[1] - '1') * 8 + (zug[0] - 'a');
    const int nach = (zug[3] - '1') * 8 + (zug[2] - 'a');
    const char figur = p.feld[von];
    if (art(figur) == 'P' && nach == p.ep && von % 8 != nach % 8) p.feld[nach + (p.weiss ? -8 : 8)] = '.';
    if (art(figur) == 'K' && std::abs(nach - von) == 2) {
        const int turm = nach > von ? von + 3 : von - 4;
        p.feld[(von + nach) / 2] = p.feld[turm];
        p.feld[turm] = '.';
    }
    p.feld[nach] = figur;
    p.feld[von] = '.';
    if (zug.size() > 4) {
        const char neu = static_cast<char>(toupper(static_cast<unsigned char>(zug[4])));
        p.feld[nach] = p.weiss ? neu : static_cast<char>(tolower(neu));
    }
    for (const int s : {von, nach}) {
        if (s == 4) p.recht[0] = p.recht[1] = false;
        if (s == 60) p.recht[2] = p.recht[3] = false;
        if (s == 7) p.recht[0] = false;
        if (s == 0) p.recht[1] = false;
        if (s == 63) p.recht[2] = false;
        if (s == 56) p.recht[3] = false;
    }
    p.ep = art(figur) == 'P' && std::abs(nach - von) == 16 ? (von + nach) / 2 : -1;
    p.weiss = !p.weiss;
}

std::vector<std::string> legale_zuege(const Partie& p) {
    std::vector<std::string> pseudo;
    auto zug = [&](int von, int nach) {
        const bool umwandlung = art(p.feld[von]) == 'P' && (nach / 8 == 0 || nach / 8 == 7);
        if (!umwandlung) pseudo.push_back(name(von) + name(nach));
        if (umwandlung)
            for (const char c : std::string("qrbn")) pseudo.push_back(name(von) + name(nach) + c);
    };
    auto ziel = [&](int r, int l) { return auf_brett(r, l) && !farbe_von(p.feld[r * 8 + l], p.weiss); };
    for (int s = 0; s < 64; ++s) {
        if (!farbe_von(p.feld[s], p.weiss)) continue;
        const int r = s / 8, l = s % 8;
        switch (art(p.feld[s])) {
            case 'P': {
                const int vor = p.weiss ? 1 : -1;
                if (auf_brett(r + vor, l) && p.feld[s + 8 * vor] == '.') {
                    zug(s, s + 8 * vor);
                    if (r == (p.weiss ? 1 : 6) && p.feld[s + 16 * vor] == '.') zug(s, s + 16 * vor);
                }
                for (const int dl : {-1, 1}) {
                    if (!auf_brett(r + vor, l + dl)) continue;
                    const int t = s + 8 * vor + dl;
                    if (farbe_von(p.feld[t], !p.weiss) || t == p.ep) zug(s, t);
                }
                break;
            }
            case 'N':
                for (const auto& d : SPRUENGE)
                    if (ziel(r + d[0], l + d[1])) zug(s, s + 8 * d[0] + d[1]);
                break;
            case 'K': {
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dl = -1; dl <= 1; ++dl)
                        if ((dr != 0 || dl != 0) && ziel(r + dr, l + dl)) zug(s, s + 8 * dr + dl);
                const int e = p.weiss ? 4 : 60;
                const char turm = p.weiss ? 'R' : 'r';
                const bool frei = s == e && !angegriffen(p, e, !p.weiss);
                auto sicher = [&](int a) { return p.feld[a] == '.' && !angegriffen(p, a, !p.weiss); };
                if (frei && p.recht[p.weiss ? 0 : 2] && p.feld[e + 3] == turm && sicher(e + 1) && sicher(e + 2))
                    zug(e, e + 2);
                if (frei && p.recht[p.weiss ? 1 : 3] && p.feld[e - 4] == turm && sicher(e - 1) && sicher(e - 2) &&
                    p.feld[e - 3] == '.')
                    zug(e, e - 2);
                break;
            }
            default: {
                const char a = art(p.feld[s]);
                for (int schraeg = 0; schraeg < 2; ++schraeg) {
                    if ((schraeg ? a == 'R' : a == 'B')) continue;
                    for (const auto& d : schraeg ? SCHRAEG : GERADE)
                        for (int rr = r + d[0], ll = l + d[1]; ziel(rr, ll); rr += d[0], ll += d[1]) {
                            zug(s, rr * 8 + ll);
                            if (p.feld[rr * 8 + ll] != '.') break;
                        }
                }
            }
        }
    }
    std::vector<std::string> legal;
    for (const std::string& z : pseudo) {
        Partie danach = p;
        ausfuehren(danach, z);
        danach.weiss = p.weiss;
        if (!im_schach(danach)) legal.push_back(z);
    }
    return legal;
}

bool ist_legal(const Partie& p, const std::string& zug) {
    std::string klein = zug;
    for (char& c : klein) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (const std::string& z : legale_zuege(p))
        if (z == klein) return true;
    return false;
}

TEST(Protokoll, SchiedsrichterKenntDieRegeln) {
    // The referee itself: well-known path counts and the special moves.
    auto pfade = [](auto&& selbst, const Partie& p, int tiefe) -> long {
        if (tiefe == 0) return 1;
        long n = 0;
        for (const std::string& z : legale_zuege(p)) {
            Partie q = p;
            ausfuehren(q, z);
            n += selbst(selbst, q, tiefe - 1);
        }
        return n;
    };
    EXPECT_EQ(pfade(pfade, Partie{}, 3), 8902);
    Partie p;
    for (const char* z : {"e2e4", "a7a6", "e4e5", "d7d5"}) ausfuehren(p, z);
    EXPECT_TRUE(ist_legal(p, "e5d6"));
    for (const char* z : {"g1f3", "a6a5", "f1e2", "a5a4"}) ausfuehren(p, z);
    EXPECT_FALSE(ist_legal(p, "e5d6"));  // the chance has gone
    EXPECT_TRUE(ist_legal(p, "e1g1"));
    ausfuehren(p, "e1g1");
    EXPECT_EQ(p.feld[5], 'R');
    EXPECT_EQ(p.feld[6], 'K');
}

// --- the program as a child process ---------------------------------------------

class Prozess {
public:
    Prozess() {
        signal(SIGPIPE, SIG_IGN);  // a dead child must fail the test, not kill it
        int ein[2], aus[2];
        if (pipe(ein) != 0 || pipe(aus) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(ein[0], 0);
            dup2(aus[1], 1);
            for (const int fd : {ein[0], ein[1], aus[0], aus[1]}) close(fd);
            execl(KELPIN_PROGRAMM, KELPIN_PROGRAMM, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ein[0]);
        close(aus[1]);
        schreiben_ = ein[1];
        lesen_ = aus[0];
        // An interface waits for the features before it says anything.
        std::string z;
        while (zeile(z) && z != "feature done=1") continue;
        EXPECT_EQ(z, "feature done=1");
    }
    ~Prozess() {
        if (pid_ > 0 && !beendet_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (schreiben_ >= 0) close(schreiben_);
        if (lesen_ >= 0) close(lesen_);
    }

    void sende(const std::string& zeile) {
        const std::string s = zeile + "\n";
        EXPECT_EQ(write(schreiben_, s.data(), s.size()), static_cast<ssize_t>(s.size())) << zeile;
    }

    // The next output line without its newline; false when the output ended
    // or nothing came for a minute (a hang).
    bool zeile(std::string& z) {
        for (;;) {
            if (const size_t nl = puffer_.find('\n'); nl != std::string::npos) {
                z = puffer_.substr(0, nl);
                puffer_.erase(0, nl + 1);
                return true;
            }
            pollfd p{lesen_, POLLIN, 0};
            if (poll(&p, 1, 60000) <= 0) return false;
            char b[4096];
            const ssize_t n = read(lesen_, b, sizeof b);
            if (n <= 0) return false;
            puffer_.append(b, static_cast<size_t>(n));
        }
    }

    // Sends `quit` and returns the exit status, -1 when the program did not end.
    int beende() {
        sende("quit");
        std::string rest;
        while (zeile(rest)) ADD_FAILURE() << "after quit: " << rest;
        for (int versuch = 0; versuch < 100; ++versuch) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                beendet_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(100000);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int schreiben_ = -1, lesen_ = -1;
    std::string puffer_;
    bool beendet_ = false;
};

const std::regex DENKZEILE(R"((\d+) (-?\d+) (\d+) (\d+) ((?:[a-h][1-8][a-h][1-8][qrbnQRBN]? )+))");
const std::regex ZUGZEILE(R"(move ([a-h][1-8][a-h][1-8][QRBN]?))");

// The result line an engine owes after its move, or "" when the game goes on.
std::string ergebnis_nach_zug(const Partie& p) {
    if (!legale_zuege(p).empty()) return "";
    if (!im_schach(p)) return "1/2-1/2 {Stalemate}";
    return p.weiss ? "0-1 {Black mates}" : "1-0 {White mates}";
}

// Reads the answer to a move or `go`: thinking lines, then the move, which
// the referee judges and plays on `p`, and the result line when the game has
// ended. Returns the move, or "" when the engine resigned or could not move.
std::string antwort(Prozess& kelpin, Partie& p, int max_tiefe = 255) {
    std::string z, letzte_linie;
    int tiefe = 0;
    const bool weiss = p.weiss;
    while (kelpin.zeile(z)) {
        std::smatch m;
        if (std::regex_match(z, m, DENKZEILE)) {
            const int ply = std::stoi(m[1]);
            EXPECT_TRUE(tiefe == 0 ? ply == 4 : ply >= tiefe) << z;
            EXPECT_LE(ply, max_tiefe) << z;
            tiefe = ply;
            letzte_linie = m[5];
            continue;
        }
        EXPECT_GT(tiefe, 0) << "an answer without thinking: " << z;
        if (std::regex_match(z, m, ZUGZEILE)) {
            const std::string zug = m[1];
            EXPECT_TRUE(ist_legal(p, zug)) << "illegal move " << zug;
            EXPECT_EQ(letzte_linie.substr(0, 4), zug.substr(0, 4)) << "the move is not the line's first";
            if (!ist_legal(p, zug)) return "";
            ausfuehren(p, zug);
            if (const std::string e = ergebnis_nach_zug(p); !e.empty()) {
                EXPECT_TRUE(kelpin.zeile(z));
                EXPECT_EQ(z, e);
            }
            return zug;
        }
        const bool matt_oder_patt = legale_zuege(p).empty();
        if (z == (weiss ? "0-1 {White resigns}" : "1-0 {Black resigns}"))
            EXPECT_TRUE(!matt_oder_patt || im_schach(p));
        else if (z == "1/2-1/2 {Stalemate}")
            EXPECT_TRUE(matt_oder_patt && !im_schach(p));
        else
            ADD_FAILURE() << "unexpected line: " << z;
        return "";
    }
    ADD_FAILURE() << "no answer";
    return "";
}

// The answer check after a move read: the result line when the engine is
// left without a legal move, else nothing (in force mode) or a reply.
std::string ergebnis_nach_eingabe(const Partie& p) {
    if (!legale_zuege(p).empty()) return "";
    if (!im_schach(p)) return "result 1/2-1/2 {Stalemate}";
    return p.weiss ? "result 0-1 {Black mates}" : "result 1-0 {White mates}";
}

TEST(Protokoll, PartieWieEineOberflaeche) {
    Prozess kelpin;
    Partie p;
    std::mt19937 zufall(2024);
    for (const char* z : {"xboard", "protover 2", "new", "level 40 1 0", "post", "hard"}) kelpin.sende(z);

    // The tester plays White with random legal moves against one second a
    // move; in its first four moves the engine searches six plies at most.
    int zeit = 6000;
    for (int zug = 1; zug <= 20; ++zug) {
        const std::vector<std::string> zuege = legale_zuege(p);
        const std::string meiner = zuege[zufall() % zuege.size()];
        ausfuehren(p, meiner);
        kelpin.sende("time " + std::to_string(zeit));
        kelpin.sende("otim " + std::to_string(zeit));
        kelpin.sende(meiner);
        zeit -= 100;
        if (const std::string e = ergebnis_nach_eingabe(p); !e.empty()) {
            std::string z;
            ASSERT_TRUE(kelpin.zeile(z));
            EXPECT_EQ(z, e);
            break;
        }
        if (antwort(kelpin, p, zug <= 4 ? 6 : 255).empty() || legale_zuege(p).empty()) break;
    }

    // Force mode: moves are played, not answered; `new` keeps it on. The
    // evaluation line is not flushed by itself but by the thinking of `go`
    // after it, and nothing may come before it.
    std::string z;
    kelpin.sende("force");
    kelpin.sende("new");
    p = Partie{};
    for (const char* zug : {"e2e4", "c7c5", "g1f3", "d7d6", "d2d4", "c5d4"}) {
        kelpin.sende(zug);
        ausfuehren(p, zug);
    }
    kelpin.sende("eval");
    kelpin.sende("time 4000");
    kelpin.sende("go");
    ASSERT_TRUE(kelpin.zeile(z));
    EXPECT_TRUE(std::regex_match(z, std::regex(R"(eval\(\) to current position: -?\d+)"))) << z;

    // `go` plays for the side to move and leaves force mode: the next move
    // read is answered.
    ASSERT_FALSE(antwort(kelpin, p).empty());
    const std::vector<std::string> zuege = legale_zuege(p);
    ausfuehren(p, zuege.front());
    kelpin.sende(zuege.front());
    EXPECT_FALSE(antwort(kelpin, p).empty());
    EXPECT_EQ(kelpin.beende(), 0);
}

// A whole input at once, for positions whose outcome is known in advance.
std::vector<std::string> zeilen_nach_start(const std::string& eingabe) {
    int status = -2;
    const std::string aus = test::nach_start(test::programm(eingabe, 60, &status));
    EXPECT_EQ(status, 0);
    std::vector<std::string> z;
    for (int i = 0; i < test::zeilen(aus); ++i) z.push_back(test::zeile(aus, i));
    return z;
}

TEST(Protokoll, MattPattUndAufgabeNachDemDenken) {
    // Mate in one: the move line, then the result. A negative allocation
    // ends the turn after its first iteration.
    auto z = zeilen_nach_start("new\nst -1\nsetboard k7/8/1K6/8/8/8/7Q/8\ngo\n");
    ASSERT_GE(z.size(), 3u);
    EXPECT_TRUE(std::regex_match(z[0], DENKZEILE)) << z[0];
    EXPECT_EQ(z[z.size() - 2], "move h2h8");
    EXPECT_EQ(z.back(), "1-0 {White mates}");

    // Mated or stalemated before moving: no move at all.
    z = zeilen_nach_start("new\nst -1\nsetboard 8/8/8/8/8/1k6/1q6/K7\ngo\n");
    ASSERT_FALSE(z.empty());
    EXPECT_EQ(z.back(), "0-1 {White resigns}");
    for (const std::string& zeile : z) EXPECT_NE(zeile.rfind("move", 0), 0u) << zeile;
    z = zeilen_nach_start("new\nst -1\nsetboard 8/8/8/8/8/1k6/2q5/K7\ngo\n");
    ASSERT_FALSE(z.empty());
    EXPECT_EQ(z.back(), "1/2-1/2 {Stalemate}");
    for (const std::string& zeile : z) EXPECT_NE(zeile.rfind("move", 0), 0u) << zeile;

    // Black to move, mated next whatever it plays: it resigns.
    z = zeilen_nach_start("new\nforce\nst -1\nsetboard 7k/8/6K1/8/8/8/Q7/8\na2a1\ngo\n");
    ASSERT_FALSE(z.empty());
    EXPECT_EQ(z.back(), "1-0 {Black resigns}");

    // In console mode the engine plays on and announces no result.
    int status = -2;
    const std::string aus = test::programm("output\nnew\nst -1\nsetboard k7/8/1K6/8/8/8/7Q/8\ngo\nquit\n", 60, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(aus.find("My move: h2h8"), std::string::npos);
    EXPECT_EQ(aus.find("mates}"), std::string::npos);
}

// Two engines against each other, the moves relayed as an interface would:
// White searches one iteration a move, Black one second.
TEST(Protokoll, SelbstpartieZweierProzesse) {
    Prozess weiss, schwarz;
    for (const char* z : {"xboard", "protover 2", "new", "st -1"}) weiss.sende(z);
    for (const char* z : {"xboard", "protover 2", "new", "time 4000"}) schwarz.sende(z);
    Partie p;
    weiss.sende("go");
    Prozess* am_zug = &weiss;
    for (int ply = 1; ply <= 150; ++ply) {
        const std::string zug = antwort(*am_zug, p);
        if (zug.empty() || testing::Test::HasFailure()) break;
        Prozess* anderer = am_zug == &weiss ? &schwarz : &weiss;
        std::string klein = zug;
        for (char& c : klein) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        anderer->sende(klein);
        if (legale_zuege(p).empty()) {
            // The other engine sees the end of the game in its answer check.
            std::string z;
            ASSERT_TRUE(anderer->zeile(z));
            EXPECT_EQ(z, ergebnis_nach_eingabe(p));
            break;
        }
        am_zug = anderer;
    }
    EXPECT_EQ(weiss.beende(), 0);
    EXPECT_EQ(schwarz.beende(), 0);
}

}  // namespace
}  // namespace kelpin
