// Plug: the channel groups as the routing editor changes them.
#include "core/Plug.h"

#include <algorithm>

namespace hm {

namespace {
constexpr std::size_t kMaxGroupName = 31;
}

void Plug::setChannelGroupMask(int group, unsigned char mask) {
    if (group < 0 || group >= kMaxChannels) return;
    {
        std::lock_guard lock(updateMutex_);
        if (channelGroups_[group] == mask) return;
        channelGroups_[group] = mask;
    }
    // The bands of the group follow at once (the update takes the lock itself).
    updateProcessing(true);
}

void Plug::setGroupName(int group, const std::string& name) {
    if (group < 0 || group >= kMaxChannels) return;
    {
        std::lock_guard lock(updateMutex_);
        if (group >= channels_.load()) return;
        // Cut at a character boundary: the menus draw it as UTF-8.
        std::size_t n = std::min(name.size(), kMaxGroupName);
        while (n > 0 && n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
        std::string cut = name.substr(0, n);
        if (groupNames_[group] == cut) return;
        groupNames_[group] = std::move(cut);
    }
    forwardToEditor(kGUIGroupNamesChanged, 0.0f);
}

}  // namespace hm
