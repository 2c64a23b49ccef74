#include "today/today_navigation.h"

#include "platform/message/messages.h"

namespace today {
namespace {

bool Navigable(const NavPos& p) { return p.row != kNoHit && p.column != kNoHit; }

int LastRowWithEntries(const HitArea (&hits)[kHitCount]) {
    int last = -1;
    for (const HitArea& h : hits)
        if (Navigable(h.nav) && h.nav.row > last) last = h.nav.row;
    return last;
}

// The first entry, in index order, of the given row; kNoHit when it has none.
int FirstOfRow(const HitArea (&hits)[kHitCount], int row) {
    for (int i = 0; i < kHitCount; ++i)
        if (Navigable(hits[i].nav) && hits[i].nav.row == row) return i;
    return kNoHit;
}

// The last entry, in index order, of the given row; kNoHit when it has none.
int LastOfRow(const HitArea (&hits)[kHitCount], int row) {
    int found = kNoHit;
    for (int i = 0; i < kHitCount; ++i)
        if (Navigable(hits[i].nav) && hits[i].nav.row == row) found = i;
    return found;
}

int Up(const HitArea (&hits)[kHitCount], NavPos at) {
    if (at.row <= 0) return kNoHit;
    int found = kNoHit;
    for (int i = 0; i < kHitCount; ++i) {
        const NavPos& p = hits[i].nav;
        if (!Navigable(p) || p.row > at.row - 1 || p.column > at.column) continue;
        if (found == kNoHit || p.column >= hits[found].nav.column) found = i;
    }
    return found;
}

int Right(const HitArea (&hits)[kHitCount], NavPos at) {
    for (int i = 0; i < kHitCount; ++i) {
        const NavPos& p = hits[i].nav;
        if (Navigable(p) && p.row == at.row && p.column > at.column) return i;
    }
    int last = LastRowWithEntries(hits);
    for (int row = at.row + 1; row <= last; ++row) {
        int first = FirstOfRow(hits, row);
        if (first != kNoHit) return first;
    }
    return FirstOfRow(hits, 0);
}

int Down(const HitArea (&hits)[kHitCount], NavPos at) {
    for (int i = 0; i < kHitCount; ++i) {
        const NavPos& p = hits[i].nav;
        if (Navigable(p) && p.row >= at.row + 1 && p.column >= at.column - 1) return i;
    }
    return kNoHit;
}

int Left(const HitArea (&hits)[kHitCount], NavPos at) {
    int found = kNoHit;
    for (int i = 0; i < kHitCount; ++i) {
        const NavPos& p = hits[i].nav;
        if (!Navigable(p) || p.row != at.row || p.column >= at.column) continue;
        if (found == kNoHit || p.column > hits[found].nav.column) found = i;
    }
    if (found != kNoHit) return found;
    for (int row = at.row - 1; row >= 0; --row) {
        int last = LastOfRow(hits, row);
        if (last != kNoHit) return last;
    }
    return LastOfRow(hits, LastRowWithEntries(hits));
}

}  // namespace

int NavigateFrom(const HitArea (&hits)[kHitCount], int from, uint32_t key) {
    if (key != plat::VK_LEFT && key != plat::VK_UP && key != plat::VK_RIGHT && key != plat::VK_DOWN) return from;
    // Without a selection the first key selects the profile name.
    if (from < 0 || from >= kHitCount || !Navigable(hits[from].nav)) return kHitProfileName;
    NavPos at = hits[from].nav;
    switch (key) {
    case plat::VK_UP: return Up(hits, at);
    case plat::VK_RIGHT: return Right(hits, at);
    case plat::VK_DOWN: return Down(hits, at);
    default: return Left(hits, at);
    }
}

}  // namespace today
