// Keyboard navigation between the Today item's hit areas: the arrow keys
// move the selection over the grid positions of the areas (the profile
// area's and the add-ons'). Pure: it reads only the positions it is given.
#pragma once

#include "today/today_layout.h"

namespace today {

// The area the key moves the selection to from `from`, or kNoHit when the
// selection leaves the item. Keys other than the four arrows keep `from`.
int NavigateFrom(const HitArea (&hits)[kHitCount], int from, uint32_t key);

}  // namespace today
