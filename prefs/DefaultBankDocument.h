#pragma once
// Access to the user's default bank ("Default Bank.hmp") as a JSON document,
// for the editor's "save/restore as default" commands. The instance provides
// one; tests provide a fake.
#include <functional>
#include <string>
#include <vector>

#include "prefs/Json.h"

namespace hm::prefs {

class DefaultBankDocument {
public:
    virtual ~DefaultBankDocument() = default;
    // The parsed document, creating the file from the current bank state first
    // when it does not exist; null when it cannot be created, read or parsed.
    virtual JsonPtr load() = 0;
    // Replaces the file with the document as formatted JSON text (uncompressed).
    virtual bool write(const cJSON& document) = 0;
};

// The real default bank file. `currentBankChunk` yields the instance's current
// bank state in chunk form (compressed or plain), used to create a missing file
// and by saveCurrentState().
class DefaultBankFile : public DefaultBankDocument {
public:
    // Largest default bank file that is read (the inflated text has its own cap).
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    DefaultBankFile(std::string bankPath, std::function<std::vector<unsigned char>()> currentBankChunk);

    JsonPtr load() override;
    bool write(const cJSON& document) override;

    // Creates the folder and writes the current bank state when nothing exists
    // at the path (an existing but unreadable file is never replaced). True
    // when something exists there afterwards.
    bool ensureExists();

    // "Save current state as default": writes the current bank state, replacing the file.
    bool saveCurrentState();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::function<std::vector<unsigned char>()> currentBankChunk_;
};

}  // namespace hm::prefs
