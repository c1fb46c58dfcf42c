// The engine's options in one table: the UCI `option` lines and the XBoard
// `feature option` lines are printed from it, and `setoption` (UCI) and
// `option NAME=VALUE` (XBoard) are applied through it, so that an option is
// added in one place.
#include <unistd.h>

#include <cstdarg>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "driver/driver.h"

namespace kelpin {

int64_t opt_hash = HASH_MB_STANDARD;
int64_t opt_eigenes_buch;
char opt_buchdatei[OPTION_TEXT];
int64_t opt_buchtiefe = 20;
int64_t opt_ponder;
int64_t opt_mehrfach = 1;
int64_t opt_aufschlag = ZEIT_UEBERTRAGUNG_MS;
int64_t opt_staerke;
int64_t opt_elo = ELO_STANDARD;

namespace {

enum class Art : int8_t { ZAHL, SCHALTER, TEXT, DATEI, KNOPF };

struct Option {
    const char* name;
    Art art;
    int64_t* zahl;     // ZAHL and SCHALTER (0 or 1)
    int64_t min, max;  // ZAHL
    char* text;        // TEXT and DATEI, OPTION_TEXT bytes
    // Carries the new value out; false: refused (the hook has said why, and
    // the value is set back).
    bool (*gesetzt)();
};

// The word UCI shows for an empty text.
constexpr const char* LEER_TEXT = "<empty>";

bool hash_gesetzt() {
    if (hash_groesse(opt_hash)) return true;
    mitteilung("no memory for a table of %lld MiB, the table stays as it was", static_cast<long long>(opt_hash));
    return false;
}

bool tabelle_leeren() {
    InitHash();
    return true;
}

bool buch_gesetzt() {
    buch_vergessen();
    return true;
}

bool nichts_zu_tun() { return true; }

Option optionen[] = {
    {"Hash", Art::ZAHL, &opt_hash, 1, HASH_MB_GROESST, nullptr, hash_gesetzt},
    {"Clear Hash", Art::KNOPF, nullptr, 0, 0, nullptr, tabelle_leeren},
    {"Ponder", Art::SCHALTER, &opt_ponder, 0, 1, nullptr, nichts_zu_tun},
    {"OwnBook", Art::SCHALTER, &opt_eigenes_buch, 0, 1, nullptr, buch_gesetzt},
    {"BookFile", Art::DATEI, nullptr, 0, 0, opt_buchdatei, buch_gesetzt},
    {"BookDepth", Art::ZAHL, &opt_buchtiefe, 0, 1000, nullptr, nichts_zu_tun},
    {"MultiPV", Art::ZAHL, &opt_mehrfach, 1, MEHRFACH_GROESST, nullptr, nichts_zu_tun},
    {"Move Overhead", Art::ZAHL, &opt_aufschlag, 0, 5000, nullptr, nichts_zu_tun},
    {"UCI_LimitStrength", Art::SCHALTER, &opt_staerke, 0, 1, nullptr, nichts_zu_tun},
    {"UCI_Elo", Art::ZAHL, &opt_elo, ELO_MIN, ELO_MAX, nullptr, nichts_zu_tun},
};

// The values at start-up, which the option lines give as defaults: those
// of the table, the book's from the machine (optionen_anfang).
struct Standard {
    int64_t zahl[std::size(optionen)];
    char text[std::size(optionen)][OPTION_TEXT];
    Standard() {
        for (size_t i = 0; i < std::size(optionen); ++i) {
            zahl[i] = optionen[i].zahl != nullptr ? *optionen[i].zahl : 0;
            text[i][0] = '\0';
        }
    }
};
Standard standard;

Option* finden(const char* name, size_t laenge) {
    for (Option& o : optionen)
        if (strlen(o.name) == laenge && strncasecmp(o.name, name, laenge) == 0) return &o;
    return nullptr;
}

const char* gezeigt(const char* text) { return text[0] != '\0' ? text : LEER_TEXT; }

// Sets an option from the text an interface sent; false (and the option as
// it was) when the text is no value of it.
bool setzen(Option& o, const char* wert) {
    if (o.art == Art::KNOPF) return o.gesetzt();
    if (o.art == Art::TEXT || o.art == Art::DATEI) {
        char vorher[OPTION_TEXT];
        memcpy(vorher, o.text, OPTION_TEXT);
        const char* neu = wert == nullptr || strcmp(wert, LEER_TEXT) == 0 ? "" : wert;
        if (strlen(neu) >= OPTION_TEXT) {
            mitteilung("%s takes at most %d characters", o.name, OPTION_TEXT - 1);
            return false;
        }
        strcpy(o.text, neu);
        if (o.gesetzt()) return true;
        memcpy(o.text, vorher, OPTION_TEXT);
        return false;
    }
    int64_t n = 0;
    bool gut = wert != nullptr;
    if (gut && o.art == Art::SCHALTER) {
        if (strcasecmp(wert, "true") == 0 || strcmp(wert, "1") == 0)
            n = 1;
        else if (strcasecmp(wert, "false") == 0 || strcmp(wert, "0") == 0)
            n = 0;
        else
            gut = false;
    } else if (gut) {
        gut = ganze_zahl(wert, n) && n >= o.min && n <= o.max;
    }
    if (!gut) {
        if (o.art == Art::SCHALTER)
            mitteilung("%s takes true or false", o.name);
        else
            mitteilung("%s takes a number from %lld to %lld", o.name, static_cast<long long>(o.min),
                       static_cast<long long>(o.max));
        return false;
    }
    const int64_t vorher = *o.zahl;
    *o.zahl = n;
    if (o.gesetzt()) return true;
    *o.zahl = vorher;
    return false;
}

}  // namespace

void mitteilung(const char* format, ...) {
    va_list args;
    va_start(args, format);
    printf(uci_modus ? "info string " : (ausgabe == 0 ? "telluser " : ""));
    vprintf(format, args);
    va_end(args);
    printf("\n");
    fflush(stdout);
}

void optionen_anfang() {
    // A book where Debian's gnuchess-book puts it is used by default.
    const bool buch_da = access(BUCH_STANDARD, R_OK) == 0;
    strcpy(opt_buchdatei, buch_da ? BUCH_STANDARD : "");
    opt_eigenes_buch = buch_da;
    for (size_t i = 0; i < std::size(optionen); ++i) {
        if (optionen[i].zahl != nullptr) standard.zahl[i] = *optionen[i].zahl;
        if (optionen[i].text != nullptr) memcpy(standard.text[i], optionen[i].text, OPTION_TEXT);
    }
    buch_vorbereiten();
}

void optionen_uci() {
    for (size_t i = 0; i < std::size(optionen); ++i) {
        const Option& o = optionen[i];
        printf("option name %s type ", o.name);
        switch (o.art) {
            case Art::ZAHL:
                printf("spin default %lld min %lld max %lld\n", static_cast<long long>(standard.zahl[i]),
                       static_cast<long long>(o.min), static_cast<long long>(o.max));
                break;
            case Art::SCHALTER: printf("check default %s\n", standard.zahl[i] != 0 ? "true" : "false"); break;
            case Art::TEXT:
            case Art::DATEI: printf("string default %s\n", gezeigt(standard.text[i])); break;
            case Art::KNOPF: printf("button\n"); break;
        }
    }
    fflush(stdout);
}

void optionen_xboard() {
    for (size_t i = 0; i < std::size(optionen); ++i) {
        const Option& o = optionen[i];
        // Pondering is `hard` and `easy` there.
        if (o.zahl == &opt_ponder) continue;
        printf("feature option=\"%s ", o.name);
        switch (o.art) {
            case Art::ZAHL:
                printf("-spin %lld %lld %lld", static_cast<long long>(*o.zahl), static_cast<long long>(o.min),
                       static_cast<long long>(o.max));
                break;
            case Art::SCHALTER: printf("-check %d", *o.zahl != 0 ? 1 : 0); break;
            case Art::TEXT: printf("-string %s", o.text); break;
            case Art::DATEI: printf("-file %s", o.text); break;
            case Art::KNOPF: printf("-button"); break;
        }
        printf("\"\n");
    }
    fflush(stdout);
}

bool option_uci(const char* zeile) {
    // setoption name <id> [value <x>]: the id may hold blanks, the value too.
    const char* name = strstr(zeile, "name");
    if (name == nullptr) {
        mitteilung("setoption needs a name");
        return false;
    }
    name += 4;
    name += strspn(name, " \t");
    const char* wert = nullptr;
    const char* name_ende = name + strlen(name);
    for (const char* p = name; (p = strstr(p, "value")) != nullptr; p += 5)
        if (p > name && (p[-1] == ' ' || p[-1] == '\t') && (p[5] == '\0' || p[5] == ' ' || p[5] == '\t')) {
            name_ende = p;
            wert = p + 5;
            wert += strspn(wert, " \t");
            break;
        }
    while (name_ende > name && (name_ende[-1] == ' ' || name_ende[-1] == '\t' || name_ende[-1] == '\r' ||
                                name_ende[-1] == '\n'))
        --name_ende;
    Option* o = finden(name, static_cast<size_t>(name_ende - name));
    if (o == nullptr) {
        mitteilung("no such option: %.*s", static_cast<int>(name_ende - name), name);
        return false;
    }
    char text[OPTION_TEXT + 1] = "";
    if (wert != nullptr) {
        size_t n = strcspn(wert, "\r\n");
        while (n > 0 && (wert[n - 1] == ' ' || wert[n - 1] == '\t')) --n;
        if (n > OPTION_TEXT) n = OPTION_TEXT;
        memcpy(text, wert, n);
        text[n] = '\0';
    }
    return setzen(*o, wert != nullptr ? text : nullptr);
}

bool option_xboard(const char* zeile) {
    // option NAME=VALUE, or option NAME for a button.
    const char* p = zeile + strlen("option");
    p += strspn(p, " \t");
    const char* gleich = strchr(p, '=');
    size_t n = gleich != nullptr ? static_cast<size_t>(gleich - p) : strcspn(p, "\r\n");
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
    Option* o = finden(p, n);
    if (o == nullptr) {
        mitteilung("no such option: %.*s", static_cast<int>(n), p);
        return false;
    }
    char text[OPTION_TEXT + 1] = "";
    if (gleich != nullptr) {
        size_t k = strcspn(gleich + 1, "\r\n");
        if (k > OPTION_TEXT) k = OPTION_TEXT;
        memcpy(text, gleich + 1, k);
        text[k] = '\0';
    }
    return setzen(*o, gleich != nullptr ? text : nullptr);
}

}  // namespace kelpin
