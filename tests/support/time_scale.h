// How long process tests wait for a program: their deadlines are written for
// the plain build, and a build checked by a sanitizer runs several times
// slower, so every deadline is multiplied by TLW_TIME_SCALE (a number >= 1
// in the environment; 1 without it). Only deadlines scale: a test still
// moves on the moment what it waits for has happened.
#pragma once

// The factor from TLW_TIME_SCALE, read once; 1 when unset or not a number >= 1.
double TimeScale();

// milliseconds scaled by TimeScale(), at most INT_MAX.
int ScaledMs(int milliseconds);
