// Installing the default skins and the icon store (assets/skins/...,
// assets/icon_store/...) on a fresh simulated phone:
// "\Application Data\Korvel\Tallowin\Skins\Default_QVGA\", "...\Default_VGA\"
// and "\Application Data\Korvel\Tallowin\Icon_store\QVGA\", "...\VGA\".
#pragma once

#include <string>

namespace sim {

// Copies every file of the asset folders' subfolders into the device's Skins
// and Icon_store folders (creating the folders; existing files are
// replaced). False with a message when an asset folder is missing or empty,
// or a file cannot be read or written.
bool InstallGraphicsAssets(std::string* error);

}  // namespace sim
