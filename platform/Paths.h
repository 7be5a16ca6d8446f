#pragma once
// Where the product keeps its files for the current user on Linux.
//
//   settings      $XDG_CONFIG_HOME/Harmoniform/settings.json   (default ~/.config)
//                 named text values: "Path" (bank folder) and "globals"
//                 (global preferences); see platform/SettingsStore.h
//   bank folder   the settings value "Path" when it holds at least 2 bytes,
//                 otherwise $XDG_DATA_HOME/<vendor>/<product> (default
//                 ~/.local/share/Corvanta/Harmoniform)
//                 with "Default Bank.hmp" (else "Factory Bank.hmp") and the
//                 "Presets" folder inside
//
// XDG variables that are unset, empty or relative are ignored, as the base
// directory convention asks.
#include <string>
#include <string_view>
#include <vector>

namespace hm::platform {

class SettingsStore;

inline constexpr std::string_view kVendorName = "Corvanta";
inline constexpr std::string_view kProductName = "Harmoniform";
inline constexpr std::string_view kDefaultBankFileName = "Default Bank.hmp";
inline constexpr std::string_view kFactoryBankFileName = "Factory Bank.hmp";
inline constexpr std::string_view kPresetsFolderName = "Presets";

// $HOME, else the password database entry; "" when neither is known.
std::string homeFolder();

// $XDG_CONFIG_HOME or ~/.config; $XDG_DATA_HOME or ~/.local/share.
std::string configHome();
std::string dataHome();

// "a/b" without doubled slashes; b alone when a is empty.
std::string joinPath(std::string_view a, std::string_view b);

// The bank folder used when the settings hold no "Path".
std::string defaultBankFolder(std::string_view vendor = kVendorName, std::string_view product = kProductName);

// The bank folder: the settings value "Path" (at least 2 bytes), else the default.
std::string bankFolder(const SettingsStore& settings);

std::string presetsFolder(std::string_view bankFolder);
// The system-wide product folders where an installed factory bank may live:
// <dir>/<vendor>/<product> for every absolute dir of $XDG_DATA_DIRS (default
// /usr/local/share:/usr/share), in order of preference.
std::vector<std::string> systemBankFolders(std::string_view vendor = kVendorName,
                                           std::string_view product = kProductName);

// The bank files a new instance tries at start-up, in order: "Default Bank.hmp"
// in the bank folder (always first: the instance's bank path), then
// "Factory Bank.hmp" in the bank folder and in every system bank folder.
std::vector<std::string> startupBankFiles(const SettingsStore& settings);

}  // namespace hm::platform
