// The transposition table: one slot per position, always replaced, cleared
// before every search so it serves only the iterations of that search.
#include <cstring>

#include "search/search.h"

namespace kelpin {

HashEintrag hashtable[HASHEINTRAEGE];

void ToHash(uint64_t slot, int tiefe, int wert, ZugEintrag zug, int flag) {
    ++hashstores;
    HashEintrag& h = hashtable[slot];
    h.kennung = hashkennung;
    h.kennung2 = hashkennung2;
    h.tiefe = static_cast<uint16_t>(tiefe);
    h.wert = wert;
    h.bestzug = zug;
    h.flag = static_cast<int16_t>(flag);
}

void InitHash() { memset(hashtable, 0, sizeof hashtable); }

}  // namespace kelpin
