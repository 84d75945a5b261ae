#include "mapping/ContourResult.h"

#include <algorithm>

void CCMAP_Polyline::Widen(KW_FPOINT p)
{
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

void CCMAP_Polyline::Start(KW_FPOINT a, KW_FPOINT b)
{
    clear();
    push_back(a);
    push_back(b);
    minX = maxX = a.x;
    minY = maxY = a.y;
    Widen(b);
    closed = (a == b) ? 1 : 0;
}

void CCMAP_Polyline::InsertFront(KW_FPOINT p)
{
    insert(begin(), p);
    Widen(p);
    closed = (p == back()) ? 1 : 0;
}

void CCMAP_Polyline::InsertBack(KW_FPOINT p)
{
    push_back(p);
    Widen(p);
    closed = (p == front()) ? 1 : 0;
}
