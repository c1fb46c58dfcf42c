#include "hilfen.h"
#include "stellungstext.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kelpin::test {

void neustart() {
    static bool zufall_gefuellt = false;
    if (!zufall_gefuellt) {
        InitZobrist();
        zufall_gefuellt = true;
    }
    InitHash();
    brettinit();
    InitStellung();
    teststellung_an = 0;
    QSUCHE = QSUCHE_START;
    debugmode = 0;
    ausgabe = 0;
    forcemode = 0;
    computerfarbe = SCHWARZ;
    uhr_anfang();
    // The searches of the tests are the engine's own: no book moves.
    opt_eigenes_buch = 0;
    buch_neue_partie();
    opt_mehrfach = 1, opt_aufschlag = ZEIT_UEBERTRAGUNG_MS, opt_staerke = 0, opt_elo = ELO_STANDARD;
    ausschluss_vergessen();
    wurzel_auswahl_anzahl = wurzel_ausschluss_anzahl = 0;
    faktor = 1000;
    historywrites = 1;
    nullstatus = schachext = onerep_extended = extended = reduction = 0;
    for (auto& ebene : history_heuristic)
        for (auto& zeile : ebene)
            for (auto& wert : zeile) wert = 0;
    hinweise_vergessen();
    aufzeichnung_neu(1);
    partie_neu();
    uci_modus = false;
    analyse = false;
    denkausgabe = true;
}

void stellung(const char* placement, int am_zug) {
    neustart();
    if (epd(placement)) InitHash();
    teststellung_an = 0;
    werdran = static_cast<int16_t>(am_zug);
}

std::string programm(const std::string& eingabe, int sekunden, int* status, const std::string& argumente) {
    char ein[] = "/tmp/kelpin_einXXXXXX";
    char aus[] = "/tmp/kelpin_ausXXXXXX";
    const int fe = mkstemp(ein);
    const int fa = mkstemp(aus);
    close(fa);
    if (write(fe, eingabe.data(), eingabe.size()) != static_cast<ssize_t>(eingabe.size())) return "";
    close(fe);
    const std::string befehl =
        "timeout -s KILL " + std::to_string(sekunden) + " " KELPIN_PROGRAMM " " + argumente + " < " + ein + " > " + aus;
    const int rc = std::system(befehl.c_str());
    if (status != nullptr) *status = WIFEXITED(rc) && WEXITSTATUS(rc) != 137 ? WEXITSTATUS(rc) : -1;
    std::ifstream datei(aus, std::ios::binary);
    std::stringstream inhalt;
    inhalt << datei.rdbuf();
    unlink(ein);
    unlink(aus);
    return inhalt.str();
}

std::string spielstand() {
    std::ostringstream s;
    s << platzierung() << ' ' << werdran << ' ' << hashindex << ' ' << hashkennung << ' ' << hashkennung2 << ' '
      << a1_bewegt << h1_bewegt << e1_bewegt << a8_bewegt << h8_bewegt << e8_bewegt << ' ' << SpielZugNummer;
    for (int i = 1; i < PARTIE_ZUEGE && i <= SpielZugNummer + 2; ++i)
        s << '|' << gamehistory[i].zugtext << gamehistory[i].schluessel;
    // The pending double step and the positions a repetition is looked for in.
    partie_vorgeschichte();
    s << " ep " << en_passant_feld() << " rechte " << wurzel_rechte;
    for (int i = 0; i < vorgeschichte_anzahl; ++i) s << ',' << vorgeschichte[i];
    return s.str();
}

std::string befehle(const std::string& zeilen) {
    std::istringstream s(zeilen);
    testing::internal::CaptureStdout();
    for (std::string z; std::getline(s, z);) befehl((z + "\n").c_str());
    return testing::internal::GetCapturedStdout();
}

std::vector<std::string> legale_woerter() {
    std::vector<std::string> w;
    movegen(QSUCHE, werdran);
    for (int i = 1; i <= index[QSUCHE]; ++i) {
        const ZugEintrag m = zug[QSUCHE][i];
        zugausf(QSUCHE, i);
        const bool legal = !koenig_bedroht(werdran);
        zugzur(QSUCHE, i);
        if (!legal) continue;
        std::string t = std::string(feld[m.von]) + feld[m.nach];
        if (m.umwandlung == 1) t += umwandlungsbuchstabe(m.neue_figur);
        w.push_back(t);
    }
    // En passant, which the generator leaves to the game level: right after the double step.
    const int ep = en_passant_feld(), vz = werdran == WEISS ? 1 : -1, opfer = ep - 8 * vz;
    for (const int von : {opfer - 1, opfer + 1}) {
        if (ep == 0 || von < 1 || von > 64 || i_reihe[von] != i_reihe[opfer] || brett[von] != vz * wbauer) continue;
        const int16_t geschlagen = brett[opfer];
        brett[ep] = brett[von], brett[von] = leer, brett[opfer] = leer;
        const bool legal = !koenig_bedroht(werdran);
        brett[von] = brett[ep], brett[ep] = leer, brett[opfer] = geschlagen;
        if (legal && geschlagen == -vz * wbauer) w.push_back(std::string(feld[von]) + feld[ep]);
    }
    return w;
}

std::string nach_start(const std::string& aus) {
    const std::string ende = "feature done=1\n";
    const size_t p = aus.find(ende);
    return p == std::string::npos ? aus : aus.substr(p + ende.size());
}

std::string zeile(const std::string& text, int n) {
    std::istringstream s(text);
    std::string z;
    for (int i = 0; i <= n; ++i)
        if (!std::getline(s, z)) return "";
    return z;
}

int zeilen(const std::string& text) {
    int n = 0;
    for (const char c : text) n += c == '\n';
    return n;
}

Prozess::Prozess() {
    signal(SIGPIPE, SIG_IGN);  // a dead child must fail the test, not kill it
    int ein[2], aus[2];
    if (pipe(ein) != 0 || pipe(aus) != 0) return;
    if ((pid_ = fork()) == 0) {
        dup2(ein[0], 0), dup2(aus[1], 1);
        for (const int fd : {ein[0], ein[1], aus[0], aus[1]}) close(fd);
        execl(KELPIN_PROGRAMM, KELPIN_PROGRAMM, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ein[0]), close(aus[1]);
    schreiben_ = ein[1], lesen_ = aus[0];
    std::string z;  // an interface waits for the features before it says anything
    while (zeile(z) && z != "feature done=1") continue;
    EXPECT_EQ(z, "feature done=1");
}

Prozess::~Prozess() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    close(schreiben_), close(lesen_);
}

void Prozess::sende(const std::string& z) {
    EXPECT_GT(write(schreiben_, (z + "\n").data(), z.size() + 1), 0) << z;
}

bool Prozess::zeile(std::string& z) {
    while (puffer_.find('\n') == std::string::npos) {
        pollfd p{lesen_, POLLIN, 0};
        char b[4096];
        const ssize_t n = poll(&p, 1, 60000) > 0 ? read(lesen_, b, sizeof b) : 0;
        if (n <= 0) return false;
        puffer_.append(b, static_cast<size_t>(n));
    }
    z = puffer_.substr(0, puffer_.find('\n'));
    puffer_.erase(0, z.size() + 1);
    return true;
}

void Prozess::beende() {
    sende("quit");
    for (std::string rest; zeile(rest);) continue;  // what it wrote before it read `quit`
    int status = -1;
    kill(pid_, SIGKILL);  // a program that has ended keeps its status, one that hangs is killed
    waitpid(pid_, &status, 0);
    pid_ = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

bool bis(Prozess& p, const std::string& anfang, std::vector<std::string>* davor) {
    for (std::string z; p.zeile(z);) {
        if (z.rfind(anfang, 0) == 0) return true;
        if (davor != nullptr) davor->push_back(z);
    }
    return false;
}

}  // namespace kelpin::test
