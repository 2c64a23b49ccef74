// A temporary device made as `tlwsim init` makes one, in this process: the
// chosen device model's registry and hardware, and the ring tones and
// sounds with the sound panel's registry.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/storage/journal.h"
#include "platform/storage/registry.h"
#include "sim/install_model.h"
#include "sim/install_sounds.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

class ModelDevice : public ::testing::Test {
protected:
    // Installs the model and the sounds; fails the test when either fails.
    void UseModel(const std::string& model) {
        std::string error;
        ASSERT_TRUE(sim::InstallDeviceModel(model, &error)) << error;
        ASSERT_TRUE(sim::InstallSounds(&error)) << error;
        journalStart_ = JournalEffects().size();
    }
    // The journal's effects since UseModel (or the last call of this).
    std::vector<std::string> NewEffects() {
        std::vector<std::string> all = JournalEffects();
        std::vector<std::string> fresh(all.begin() + std::min(journalStart_, all.size()), all.end());
        journalStart_ = all.size();
        return fresh;
    }
    uint32_t Dword(plat::HKey root, std::u16string_view key, std::u16string_view name, uint32_t missing = 0xDEADBEEF) {
        uint32_t v = missing;
        plat::RegReadDword(root, key, name, &v);
        return v;
    }
    uint32_t UserDword(std::u16string_view key, std::u16string_view name) {
        return Dword(plat::kHkeyCurrentUser, key, name);
    }
    std::u16string UserString(std::u16string_view key, std::u16string_view name) {
        std::u16string v = u"(missing)";
        plat::RegReadString(plat::kHkeyCurrentUser, key, name, &v);
        return v;
    }

    TempDevice device_;
    size_t journalStart_ = 0;
};
