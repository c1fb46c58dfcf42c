// The transposition table: one slot per position, always replaced, cleared
// before every search so it serves only the iterations of that search.
#include <sys/mman.h>

#include <cstring>

#include "search/search.h"

namespace kelpin {

namespace {

alignas(64) HashEintrag standardtabelle[HASHEINTRAEGE];
HashEintrag* eigene;  // a table of another size, mapped for it
size_t eigene_bytes;

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// Every full-width node reads one slot at random: on 2 MB pages the table
// needs few address translations. Asked before the first clearing touches
// the pages; a kernel that says no leaves ordinary pages, which work the same.
void grosse_seiten(const void* tabelle, size_t bytes) {
    constexpr uintptr_t seite = 4096;
    const uintptr_t anfang = (reinterpret_cast<uintptr_t>(tabelle) + seite - 1) & ~(seite - 1);
    const uintptr_t ende = (reinterpret_cast<uintptr_t>(tabelle) + bytes) & ~(seite - 1);
    if (ende > anfang) madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_HUGEPAGE);
}
#else
void grosse_seiten(const void*, size_t) {}
#endif

}  // namespace

HashEintrag* hashtable = standardtabelle;
uint64_t hasheintraege = HASHEINTRAEGE;

bool hash_groesse(int64_t mb) {
    if (mb == HASH_MB_STANDARD) {
        if (eigene != nullptr) munmap(eigene, eigene_bytes), eigene = nullptr;
        hashtable = standardtabelle, hasheintraege = HASHEINTRAEGE;
        InitHash();
        return true;
    }
    if (mb < 1 || mb > (int64_t{1} << 20)) return false;
    const size_t bytes = static_cast<size_t>(mb) << 20;
    void* neu = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (neu == MAP_FAILED) return false;
    grosse_seiten(neu, bytes);
    if (eigene != nullptr) munmap(eigene, eigene_bytes);
    eigene = static_cast<HashEintrag*>(neu), eigene_bytes = bytes;
    hashtable = eigene, hasheintraege = bytes / sizeof(HashEintrag);
    InitHash();
    return true;
}

void ToHash(uint64_t slot, int tiefe, int wert, ZugEintrag zug, int flag) {
    ++hashstores;
    HashEintrag& h = hashtable[slot];
    h.kennung = hashkennung;
    h.kennung2 = hashkennung2;
    h.tiefe = static_cast<uint16_t>(tiefe);
    h.wert = wert;
    h.bestzug = tabellenzug(zug);
    h.flag = static_cast<int16_t>(flag);
}

void InitHash() {
    static const bool gefragt = (grosse_seiten(standardtabelle, sizeof standardtabelle), true);
    (void)gefragt;
    memset(hashtable, 0, hasheintraege * sizeof(HashEintrag));
}

}  // namespace kelpin
