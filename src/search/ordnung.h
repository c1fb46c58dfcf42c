// What move generation reads of the search: the ordering tables that give a
// generated move its score, and the horizon level below which castling is
// not generated. The ordering is part of generation, so movegen.cpp reads
// these few globals through this header and nothing else of the search;
// they are defined in the search's .cpp files and search.h includes this.
#pragma once
#include <cstdint>

#include "board/board.h"

namespace kelpin {

inline constexpr int EBENEN = 256;  // levels 0 ... 255

// Slots 1 ... 3 of a level are a node's hints (the previous line's move, the
// two killers); each adds its bonus to a generated move on the same squares.
extern ZugEintrag killer[EBENEN][4];
// History scores by level and squares, weighed as faktor / historywrites.
extern int32_t history_heuristic[EBENEN][65][65];
extern int16_t faktor;
extern int32_t historywrites;

// The horizon level: extensions lower it, reductions raise it.
extern int16_t QSUCHE;

}  // namespace kelpin
