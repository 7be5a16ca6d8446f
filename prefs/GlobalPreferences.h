#pragma once
// prefs/: the preference stores.
//
// Global preferences are one set per user, shared by every instance in every
// process: the schema (names, defaults, pages and labels) is the library's
// resource "defaults" of type "json"; the user's values are one compact JSON
// object, name -> label index, kept as the text value "globals" of the per-user
// settings store (platform/SettingsStore.h). Every change is stored at once.
//
// The process-wide settings object is created on first use and lives until
// process exit. All functions here may be called from any thread except the
// audio thread: they share one mutex and may touch the disk.
#include <cstddef>
#include <string>
#include <string_view>

namespace hm::prefs {

// Answers of getGlobalPreference that are not values.
inline constexpr int kNoGlobalValues = -1;       // the store held nothing and no schema created defaults
inline constexpr int kUnknownGlobalPreference = -2;
inline constexpr int kGlobalPreferenceWithoutDefault = -3;

// The longest "globals" text that is read; a longer one counts as absent.
inline constexpr std::size_t kMaxGlobalsTextBytes = 8192;

class GlobalSettings;

// Creates the settings object on first call, reading the stored values.
GlobalSettings& globalSettings();

// Installs the schema from its resource text when none is installed yet (the
// first caller wins), then, when the store held no values, creates them from
// the schema defaults in schema order and stores them.
void loadGlobalSchema(GlobalSettings& settings, std::string_view schemaText);

// loadGlobalSchema with the library's resource "defaults"; false when the
// resource is missing.
bool loadGlobalSchemaFromResources();

// The stored value (names compare case-insensitively); else the schema default;
// 0 without a schema; kNoGlobalValues, kUnknownGlobalPreference or
// kGlobalPreferenceWithoutDefault as named.
int getGlobalPreference(std::string_view name);

// Updates or adds the value and stores all values. Does nothing while there is
// no values object; false when nothing was stored.
bool setGlobalPreference(std::string_view name, int value);

// The schema, in resource order (0 members, "" and -1 while none is installed
// or the index is out of range).
int globalPreferenceCount();
std::string globalPreferenceName(int index);
int globalPreferencePage(int index);
int globalPreferenceValueCount(int index);
// The label of one value of the i-th member ("" when either index is out of range).
std::string globalPreferenceValueLabel(int index, int value);

// Tests only: forgets the settings object (values and schema) and makes the
// next globalSettings() read from the given settings file instead of the
// user's own.
void resetGlobalSettingsForTesting(const std::string& settingsFilePath);

}  // namespace hm::prefs
