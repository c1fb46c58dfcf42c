// Standard input, read so that it can be looked at while the engine thinks:
// what arrives is kept as it came, and the command loop takes it line by
// line. A line is cut after `zeilengrenze` characters (255, as a line buffer
// of 256 would cut it; longer for UCI, whose position lines carry whole
// games): the rest follows as a line of its own.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "driver/driver.h"

namespace kelpin {

namespace {

char roh[1 << 17];  // read and not yet taken, in the order it came
int roh_anzahl;
int gesehen;  // bytes of complete lines the thinking driver has looked at
bool ende;    // standard input is closed (or broken)
int zeilengrenze = 255;

char neue_zeile[ZEILE_MAX + 1];  // the line last handed out while thinking
int neue_anfang, neue_laenge;

// The length of the line that starts at `ab`, its newline included; 0 when
// it is not complete yet (more may come).
int zeilenlaenge(int ab) {
    int n = 0;
    while (ab + n < roh_anzahl && n < zeilengrenze && roh[ab + n] != '\n') ++n;
    if (ab + n < roh_anzahl && n < zeilengrenze) return n + 1;  // with its newline
    if (n == zeilengrenze || (ende && n > 0)) return n;         // a full piece, or the rest at the end
    return 0;
}

// One read(2): blocks only when `warten` is set; else only when poll says
// that something is there.
void lesen(bool warten) {
    if (ende || roh_anzahl == static_cast<int>(sizeof roh)) return;
    if (!warten) {
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) return;
    }
    ssize_t n;
    do n = read(0, roh + roh_anzahl, sizeof roh - roh_anzahl);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        ende = true;
    else
        roh_anzahl += static_cast<int>(n);
}

void wegnehmen(int ab, int n) {
    memmove(roh + ab, roh + ab + n, roh_anzahl - ab - n);
    roh_anzahl -= n;
}

}  // namespace

void zeilengrenze_setzen(int zeichen) { zeilengrenze = zeichen < ZEILE_MAX ? zeichen : ZEILE_MAX; }

bool zeile_holen(char* zeile, size_t groesse) {
    int n;
    while ((n = zeilenlaenge(0)) == 0) {
        if (ende) return false;
        lesen(true);
    }
    const size_t k = static_cast<size_t>(n) < groesse - 1 ? static_cast<size_t>(n) : groesse - 1;
    memcpy(zeile, roh, k);
    zeile[k] = '\0';
    wegnehmen(0, n);
    gesehen = gesehen > n ? gesehen - n : 0;
    return true;
}

bool eingabe_pruefen() {
    lesen(false);
    return zeilenlaenge(gesehen) > 0;
}

const char* naechste_neue_zeile() {
    const int n = zeilenlaenge(gesehen);
    if (n == 0) return nullptr;
    memcpy(neue_zeile, roh + gesehen, n);
    neue_zeile[n] = '\0';
    neue_anfang = gesehen, neue_laenge = n;
    gesehen += n;
    return neue_zeile;
}

void neue_zeile_verwerfen() {
    wegnehmen(neue_anfang, neue_laenge);
    gesehen -= neue_laenge;
    neue_laenge = 0;
}

bool eingabe_wartet() {
    lesen(false);
    return zeilenlaenge(0) > 0;
}

bool eingabe_zu() { return ende && roh_anzahl == 0; }

bool eingabe_beendet() { return ende; }

void auf_eingabe_warten() {
    while (zeilenlaenge(gesehen) == 0 && !ende) lesen(true);
}

}  // namespace kelpin
