#pragma once
// The three plug-ins of the bundle: the same instance with one, two or eight channels.

namespace hm::lv2 {

struct Variant {
    const char* uri;
    const char* name;
    int channels;
};

constexpr const char* kUriBase = "urn:corvanta:harmoniform";
constexpr Variant kVariants[] = {
    {"urn:corvanta:harmoniform:mono", "Harmoniform Mono", 1},
    {"urn:corvanta:harmoniform:stereo", "Harmoniform", 2},
    {"urn:corvanta:harmoniform:surround", "Harmoniform Surround", 8},
};
constexpr int kNumVariants = sizeof(kVariants) / sizeof(kVariants[0]);

// The state property holding the whole bank chunk (programs, A/B slots, names, editor state).
constexpr const char* kBankStateKey = "urn:corvanta:harmoniform#bank";
// The editor as an X11 UI, shared by the three plug-ins.
constexpr const char* kUiUri = "urn:corvanta:harmoniform:ui";
// The plug-in library inside the bundle; it holds the UI too.
constexpr const char* kBinaryName = "harmoniform-lv2.so";

}  // namespace hm::lv2
