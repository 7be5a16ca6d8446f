#pragma once
// The presets of a bank file as the editor offers them: by name, empty slots
// ("-") left out, in preset-menu order.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hm::state {

struct BankPreset {
    std::string name;
    std::string document;  // the entry as a preset document (JSON text)
};

// Preset-menu order: by the number a name starts with (none counts as 0), then
// by the bytes of the name.
bool presetNameLess(std::string_view a, std::string_view b);

// The presets of bank chunk bytes (compressed or plain); empty when the bytes
// are no bank document.
std::vector<BankPreset> readBankPresets(const void* data, std::size_t size);

}  // namespace hm::state
