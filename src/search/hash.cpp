// The transposition table: one slot per position, always replaced, empty at
// the start of every search so it serves only the iterations of that search.
// Emptying writes nothing: a new round begins, and entries of earlier rounds
// no longer match (see tabellenrunde), so its cost does not grow with the
// table's size and never falls into a thinking turn's time.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "search/search.h"

namespace kelpin {

namespace {

alignas(64) HashEintrag standardtabelle[HASHEINTRAEGE];
HashEintrag* eigene;  // a table of another size, mapped for it
size_t eigene_bytes;
uint64_t runde;  // rounds begun so far

constexpr size_t SEITE = 4096;
// Left to the rest of the machine when a table is mapped.
constexpr uint64_t RESERVE_BYTES = uint64_t{256} << 20;

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// Every full-width node reads one slot at random: on 2 MB pages the table
// needs few address translations. Asked before the pages are first touched;
// a kernel that says no leaves ordinary pages, which work the same.
void grosse_seiten(const void* tabelle, size_t bytes) {
    const uintptr_t anfang = (reinterpret_cast<uintptr_t>(tabelle) + SEITE - 1) & ~(SEITE - 1);
    const uintptr_t ende = (reinterpret_cast<uintptr_t>(tabelle) + bytes) & ~(SEITE - 1);
    if (ende > anfang) madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_HUGEPAGE);
}
#else
void grosse_seiten(const void*, size_t) {}
#endif

// Brings every page of a table into memory now: a search that met a page
// for the first time would pay for it inside its budget (a 2 MB page costs
// a tenth of a millisecond to clear), and memory the kernel only promised
// could be refused later, when it is too late to keep the old table.
void seiten_anfassen(HashEintrag* tabelle, size_t bytes) {
    volatile char* p = reinterpret_cast<volatile char*>(tabelle);
    for (size_t b = 0; b < bytes; b += SEITE) p[b] = 0;
}

// What the machine can still give, in bytes (MemAvailable); the physical
// memory when that cannot be read.
uint64_t verfuegbarer_speicher() {
    if (FILE* f = fopen("/proc/meminfo", "r")) {
        char zeile[256];
        unsigned long long kb = 0;
        bool gefunden = false;
        while (!gefunden && fgets(zeile, sizeof zeile, f) != nullptr)
            gefunden = sscanf(zeile, "MemAvailable: %llu kB", &kb) == 1;
        fclose(f);
        if (gefunden) return static_cast<uint64_t>(kb) * 1024;
    }
    const long seiten = sysconf(_SC_PHYS_PAGES), groesse = sysconf(_SC_PAGESIZE);
    return seiten > 0 && groesse > 0 ? static_cast<uint64_t>(seiten) * static_cast<uint64_t>(groesse) : 0;
}

// A round's key: the rounds' numbers spread over 64 bits, so that an entry
// of one round and a position of another never agree by accident in both
// keys.
uint64_t rundenschluessel(uint64_t n) {
    uint64_t z = n * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

HashEintrag* hashtable = standardtabelle;
uint64_t hasheintraege = HASHEINTRAEGE;
uint64_t tabellenrunde;

bool hash_groesse(int64_t mb) {
    if (mb == HASH_MB_STANDARD) {
        if (eigene != nullptr) munmap(eigene, eigene_bytes), eigene = nullptr;
        hashtable = standardtabelle, hasheintraege = HASHEINTRAEGE;
        InitHash();
        return true;
    }
    if (mb < 1 || mb > HASH_MB_GROESST) return false;
    const size_t bytes = static_cast<size_t>(mb) << 20;
    if (bytes + RESERVE_BYTES > verfuegbarer_speicher()) return false;
    void* neu = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (neu == MAP_FAILED) return false;
    grosse_seiten(neu, bytes);
    seiten_anfassen(static_cast<HashEintrag*>(neu), bytes);
    if (eigene != nullptr) munmap(eigene, eigene_bytes);
    eigene = static_cast<HashEintrag*>(neu), eigene_bytes = bytes;
    hashtable = eigene, hasheintraege = bytes / sizeof(HashEintrag);
    InitHash();
    return true;
}

void ToHash(uint64_t slot, int tiefe, int wert, ZugEintrag zug, int flag) {
    ++statistik.hashstores;
    HashEintrag& h = hashtable[slot];
    h.kennung = hashkennung;
    h.kennung2 = hashkennung2 ^ tabellenrunde;
    h.tiefe = static_cast<uint16_t>(tiefe);
    h.wert = wert;
    h.bestzug = tabellenzug(zug);
    h.flag = static_cast<int16_t>(flag);
}

void InitHash() {
    // The static table's pages once, at the first clearing (start-up).
    static const bool vorbereitet = (grosse_seiten(standardtabelle, sizeof standardtabelle),
                                     seiten_anfassen(standardtabelle, sizeof standardtabelle), true);
    (void)vorbereitet;
    tabellenrunde = rundenschluessel(++runde);
}

bool tabellenzug_holen(ZugEintrag& m) {
    const HashEintrag& h = hashtable[hashplatz(hashindex)];
    if (!hash_passt(h) || h.bestzug.von == 0) return false;
    m = als_zug(h.bestzug);
    return true;
}

int hash_promille() {
    // The second key is hashindex ^ KENNUNG2_START ^ the round's key, and
    // the slot is hashindex modulo the size: an entry of this round sits in
    // the slot its key names; one of an earlier round almost never does.
    const uint64_t n = hasheintraege < 1000 ? hasheintraege : 1000;
    uint64_t belegt = 0;
    for (uint64_t i = 0; i < n; ++i) {
        const uint64_t index = hashtable[i].kennung2 ^ tabellenrunde ^ KENNUNG2_START;
        belegt += hashplatz(index) == i;
    }
    return static_cast<int>(belegt * 1000 / n);
}

}  // namespace kelpin
