#include "prefs/EditorPreferences.h"

#include "platform/Resources.h"

namespace hm::prefs {
namespace {

constexpr std::string_view kOpen = "open";
constexpr std::string_view kUiPrefs = "uiprefs";

// The source member matching `dest`: the one at the same position when its
// name is exactly equal, else the first case-insensitive match.
const cJSON* counterpart(const cJSON* sourceAtSamePosition, const cJSON* source, const cJSON* dest) {
    if (sourceAtSamePosition != nullptr && sourceAtSamePosition->string != nullptr &&
        std::string_view(sourceAtSamePosition->string) == dest->string) {
        return sourceAtSamePosition;
    }
    return member(source, dest->string);
}

// True when v is a whole number in 0..labels-1 (any whole number >= 0 when the
// destination has no label list).
bool acceptableIndex(const cJSON* v, const cJSON* destPreference, int& index) {
    if (!cJSON_IsNumber(v)) return false;
    const double d = v->valuedouble;
    if (!(d >= 0.0) || d > 1e9 || d != static_cast<double>(static_cast<int>(d))) return false;
    index = static_cast<int>(d);
    const cJSON* labels = member(destPreference, "values");
    return !cJSON_IsArray(labels) || index < cJSON_GetArraySize(labels);
}

// Copies a number "value" into a preference, replacing a non-number one.
void writeValue(cJSON* preference, cJSON* value, int index) {
    if (cJSON_IsNumber(value)) {
        setNumber(value, index);
    } else {
        putMember(preference, "value", cJSON_CreateNumber(index));
    }
}

}  // namespace

void mergePreferencePage(cJSON* destinationPage, const cJSON* sourcePage) {
    if (!cJSON_IsObject(destinationPage) || !cJSON_IsObject(sourcePage)) return;
    const cJSON* sameSpot = sourcePage->child;
    for (cJSON* d = destinationPage->child; d != nullptr;
         d = d->next, sameSpot = sameSpot ? sameSpot->next : nullptr) {
        if (d->string == nullptr || equalsIgnoreCase(d->string, kOpen)) continue;
        const cJSON* s = counterpart(sameSpot, sourcePage, d);
        cJSON* dv = member(d, "value");
        const cJSON* sv = member(s, "value");
        int index = 0;
        if (dv != nullptr && sv != nullptr && acceptableIndex(sv, d, index)) writeValue(d, dv, index);
    }
}

void mergePreferences(cJSON* destination, const cJSON* source) {
    if (!cJSON_IsObject(destination) || !cJSON_IsObject(source)) return;
    const cJSON* sameSpot = source->child;
    for (cJSON* d = destination->child; d != nullptr; d = d->next, sameSpot = sameSpot ? sameSpot->next : nullptr) {
        if (d->string == nullptr) continue;
        mergePreferencePage(d, counterpart(sameSpot, source, d));
    }
}

EditorPreferences EditorPreferences::fromResources() {
    EditorPreferences prefs;
    const platform::ResourceView res = platform::findResource("uisettings", "json");
    if (res.valid()) prefs.loadSchema(res.text());
    return prefs;
}

bool EditorPreferences::loadSchema(std::string_view text) {
    JsonPtr tree = parseJson(text);
    if (!cJSON_IsObject(tree.get())) return false;
    tree_ = std::move(tree);
    return true;
}

int EditorPreferences::getUIPreference(std::string_view page, std::string_view name) const {
    const cJSON* v = member(member(member(tree_.get(), page), name), "value");
    return cJSON_IsNumber(v) ? v->valueint : 0;
}

bool EditorPreferences::setUIPreference(std::string_view page, std::string_view name, int value) {
    cJSON* preference = member(member(tree_.get(), page), name);
    if (!cJSON_IsObject(preference)) return false;
    writeValue(preference, member(preference, "value"), value);
    return true;
}

void EditorPreferences::addOpenMembers() {
    if (!cJSON_IsObject(tree_.get())) return;
    for (cJSON* page = tree_->child; page != nullptr; page = page->next) {
        if (cJSON_IsObject(page) && member(page, kOpen) == nullptr) {
            cJSON_AddItemToObject(page, "open", cJSON_CreateNumber(0));
        }
    }
}

bool EditorPreferences::isPageOpen(std::string_view page) const {
    const cJSON* open = member(member(tree_.get(), page), kOpen);
    return cJSON_IsNumber(open) && open->valuedouble != 0.0;
}

void EditorPreferences::setPageOpen(std::string_view page, bool open) {
    cJSON* p = member(tree_.get(), page);
    if (!cJSON_IsObject(p)) return;
    if (cJSON* flag = member(p, kOpen); cJSON_IsNumber(flag)) {
        setNumber(flag, open ? 1 : 0);
    } else {
        putMember(p, kOpen, cJSON_CreateNumber(open ? 1 : 0));
    }
}

std::vector<std::string> EditorPreferences::pageNames() const {
    std::vector<std::string> names;
    if (!cJSON_IsObject(tree_.get())) return names;
    for (const cJSON* page = tree_->child; page != nullptr; page = page->next)
        if (cJSON_IsObject(page) && page->string != nullptr) names.emplace_back(page->string);
    return names;
}

std::vector<std::string> EditorPreferences::preferenceNames(std::string_view page) const {
    std::vector<std::string> names;
    const cJSON* p = member(tree_.get(), page);
    if (!cJSON_IsObject(p)) return names;
    for (const cJSON* m = p->child; m != nullptr; m = m->next)
        if (cJSON_IsObject(m) && m->string != nullptr && !equalsIgnoreCase(m->string, kOpen))
            names.emplace_back(m->string);
    return names;
}

std::vector<std::string> EditorPreferences::valueLabels(std::string_view page, std::string_view name) const {
    std::vector<std::string> labels;
    const cJSON* values = member(member(member(tree_.get(), page), name), "values");
    if (!cJSON_IsArray(values)) return labels;
    for (const cJSON* v = values->child; v != nullptr; v = v->next)
        labels.emplace_back(cJSON_IsString(v) ? v->valuestring : "");
    return labels;
}

bool EditorPreferences::saveAllAsDefault(DefaultBankDocument& bank) const {
    if (!cJSON_IsObject(tree_.get())) return false;
    JsonPtr doc = bank.load();
    // Only a bank document (an object) has a place for the preferences; anything
    // else is left alone rather than replaced.
    if (!cJSON_IsObject(doc.get())) return false;
    putMember(doc.get(), kUiPrefs, cJSON_Duplicate(tree_.get(), true));
    return bank.write(*doc);
}

bool EditorPreferences::savePageAsDefault(DefaultBankDocument& bank, std::string_view page) const {
    const cJSON* current = member(tree_.get(), page);
    if (!cJSON_IsObject(current)) return false;
    JsonPtr doc = bank.load();
    cJSON* stored = member(doc.get(), kUiPrefs);
    if (!cJSON_IsObject(stored)) return false;
    putMember(stored, current->string, cJSON_Duplicate(current, true));
    return bank.write(*doc);
}

bool EditorPreferences::restoreAllDefaults(DefaultBankDocument& bank) {
    JsonPtr doc = bank.load();
    const cJSON* stored = member(doc.get(), kUiPrefs);
    if (!cJSON_IsObject(stored) || !tree_) return false;
    mergePreferences(tree_.get(), stored);
    return true;
}

bool EditorPreferences::restorePageDefault(DefaultBankDocument& bank, std::string_view page) {
    cJSON* current = member(tree_.get(), page);
    if (!cJSON_IsObject(current)) return false;
    JsonPtr doc = bank.load();
    const cJSON* stored = member(member(doc.get(), kUiPrefs), page);
    if (!cJSON_IsObject(stored)) return false;
    mergePreferencePage(current, stored);
    return true;
}

}  // namespace hm::prefs
