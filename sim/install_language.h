// Installing the shipped language file (assets/Language.ini) on a fresh
// simulated phone, where every deliverable reads it:
// "\Application Data\Korvel\Tallowin\Language.ini".
#pragma once

#include <string>

namespace sim {

// Copies the language file into the device's application-data folder
// (creating the folders), converted from the file's Windows-1252 text to the
// device's ANSI code page when the model uses another. False with a message
// when the asset cannot be read or the file cannot be written.
bool InstallLanguageFile(std::string* error);

}  // namespace sim
