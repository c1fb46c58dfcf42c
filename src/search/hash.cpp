// The transposition table: one slot per position, always replaced, cleared
// before every search so it serves only the iterations of that search.
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "search/search.h"

namespace kelpin {

alignas(64) HashEintrag hashtable[HASHEINTRAEGE];

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
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Every full-width node reads one slot at random: on 2 MB pages the table
    // needs few address translations. Asked once, before the first clearing
    // touches the pages; a kernel that says no leaves ordinary pages, which
    // work the same.
    static const bool gefragt = [] {
        constexpr uintptr_t seite = 4096;
        const uintptr_t anfang = (reinterpret_cast<uintptr_t>(hashtable) + seite - 1) & ~(seite - 1);
        const uintptr_t ende = reinterpret_cast<uintptr_t>(hashtable + HASHEINTRAEGE) & ~(seite - 1);
        return madvise(reinterpret_cast<void*>(anfang), ende - anfang, MADV_HUGEPAGE) == 0;
    }();
    (void)gefragt;
#endif
    memset(hashtable, 0, sizeof hashtable);
}

}  // namespace kelpin
