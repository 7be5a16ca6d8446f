#pragma once
// The editor preference tree of one instance: a JSON object of pages, each page
// an object of preferences {"value": index, "values": [labels]}, plus the view's
// own member "open" (page expanded) on each page. Defaults come from the
// library's resource "uisettings"; the tree travels in the instance state as
// `uiprefs`, and a user default copy lives in the default bank under the same key.
//
// UI thread only (editor and instance construction); not shared between instances.
#include <string>
#include <string_view>
#include <vector>

#include "prefs/DefaultBankDocument.h"
#include "prefs/Json.h"

namespace hm::prefs {

// Copies values from a stored tree into the current one, page by page and
// member by member. A page or member is found first at the same position when
// its name is exactly equal, else by a case-insensitive search; things only one
// side knows are skipped, "open" is never copied, labels are never replaced.
// A source value is copied only when it is a whole number that indexes the
// destination's labels, so a damaged or foreign tree cannot plant an index the
// views would read past their label lists.
void mergePreferences(cJSON* destination, const cJSON* source);

// The member step of mergePreferences for one page.
void mergePreferencePage(cJSON* destinationPage, const cJSON* sourcePage);

class EditorPreferences {
public:
    // An empty tree: every query answers 0.
    EditorPreferences() = default;
    explicit EditorPreferences(JsonPtr tree) : tree_(std::move(tree)) {}

    // The defaults from the resource "uisettings" (empty when it is missing).
    static EditorPreferences fromResources();
    // The defaults from schema text; false (tree unchanged) when it is not a JSON object.
    bool loadSchema(std::string_view text);

    cJSON* tree() { return tree_.get(); }
    const cJSON* tree() const { return tree_.get(); }

    // "value" of the member; 0 when the tree, page, member or value is missing.
    int getUIPreference(std::string_view page, std::string_view name) const;
    // Writes "value" of an existing member; false (nothing changed) when the
    // page or member is missing.
    bool setUIPreference(std::string_view page, std::string_view name, int value);

    // Gives every page that lacks it the member "open" (0, collapsed).
    void addOpenMembers();
    // The preference page's own flag: the page is shown expanded.
    bool isPageOpen(std::string_view page) const;
    void setPageOpen(std::string_view page, bool open);

    // The pages in tree order, a page's preferences in order ("open" left
    // out), and a preference's value labels (empty when any is missing).
    std::vector<std::string> pageNames() const;
    std::vector<std::string> preferenceNames(std::string_view page) const;
    std::vector<std::string> valueLabels(std::string_view page, std::string_view name) const;

    // Merges a stored tree (a loaded state's `uiprefs`) into this one.
    void merge(const cJSON* stored) { mergePreferences(tree_.get(), stored); }

    // The default commands. Each returns true when it changed something (the
    // file for the saves, this tree for the restores; the editor then reports
    // the change and redraws), false when the default bank could not be loaded
    // or lacks what is needed.
    bool saveAllAsDefault(DefaultBankDocument& bank) const;
    bool savePageAsDefault(DefaultBankDocument& bank, std::string_view page) const;
    bool restoreAllDefaults(DefaultBankDocument& bank);
    bool restorePageDefault(DefaultBankDocument& bank, std::string_view page);

private:
    JsonPtr tree_;
};

}  // namespace hm::prefs
