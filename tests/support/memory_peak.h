// How much address space a piece of work takes at its peak, measured in a
// child process so that nothing the test process did before counts.
#pragma once

#include <cstdint>
#include <functional>

// Forks, runs work in the child and returns by how many kilobytes the
// child's peak virtual memory (VmPeak) grew while it ran. Whatever the work
// maps, touched or not, counts. -1 when the child could not be run or did
// not end normally.
int64_t PeakMemoryGrowthKb(const std::function<void()>& work);
