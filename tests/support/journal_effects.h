// The device journal's lines without their first two words (the time and the
// program that wrote them), for tests that check what happened in order.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> JournalEffects();
