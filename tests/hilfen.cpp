#include "hilfen.h"

#include <sys/wait.h>

#include <cstdio>
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
    THINKTIME = 10;
    faktor = 1000;
    historywrites = 1;
    nullstatus = schachext = onerep_extended = extended = reduction = 0;
    for (auto& ebene : history_heuristic)
        for (auto& zeile : ebene)
            for (auto& wert : zeile) wert = 0;
    for (auto& ebene : killer)
        for (auto& k : ebene) k = ZugEintrag{};
    for (auto& z : oldhvar) z = ZugEintrag{};
    partie_neu();
}

void stellung(const char* placement, int am_zug) {
    neustart();
    epd(placement);
    teststellung_an = 0;
    werdran = static_cast<int16_t>(am_zug);
}

std::string programm(const std::string& eingabe, int sekunden, int* status) {
    char ein[] = "/tmp/kelpin_einXXXXXX";
    char aus[] = "/tmp/kelpin_ausXXXXXX";
    const int fe = mkstemp(ein);
    const int fa = mkstemp(aus);
    close(fa);
    if (write(fe, eingabe.data(), eingabe.size()) != static_cast<ssize_t>(eingabe.size())) return "";
    close(fe);
    const std::string befehl = "timeout -s KILL " + std::to_string(sekunden) + " " KELPIN_PROGRAMM " < " + ein +
                               " > " + aus;
    const int rc = std::system(befehl.c_str());
    if (status != nullptr) *status = WIFEXITED(rc) && WEXITSTATUS(rc) != 137 ? WEXITSTATUS(rc) : -1;
    std::ifstream datei(aus, std::ios::binary);
    std::stringstream inhalt;
    inhalt << datei.rdbuf();
    unlink(ein);
    unlink(aus);
    return inhalt.str();
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

}  // namespace kelpin::test
