#pragma once
// An instance with an editor stand-in for the setup views: the stand-in is the
// views' listener (an editor of that instance, as the real one is) and records
// every report. Each rig has its own user folders, so default banks and the
// global settings file start empty.
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Plug.h"
#include "core/vst/AEffEditor.h"
#include "gui/framework/CControl.h"
#include "prefs/GlobalPreferences.h"
#include "tests/core/FakeHost.h"
#include "tests/gui/view_Harness.h"

namespace hm::gui::test {

struct EditorStandIn : vst::AEffEditor, CControlListener {
    struct Report {
        int tag;
        float value;
    };
    explicit EditorStandIn(Plug* plug) : vst::AEffEditor(plug) {}
    void valueChanged(CControl* c) override { reports.push_back({c->getTag(), c->getValue()}); }
    int count(int tag) const {
        int n = 0;
        for (const Report& r : reports) n += r.tag == tag;
        return n;
    }
    std::vector<Report> reports;
};

class UserFolders {
public:
    UserFolders() {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const char* v = std::getenv(name);
            saved_.emplace_back(name, v ? v : "");
        }
        static std::atomic<int> serial{0};
        root_ = std::filesystem::temp_directory_path() /
                ("hm-setup-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        prefs::resetGlobalSettingsForTesting(settingsFile());
    }
    ~UserFolders() {
        prefs::resetGlobalSettingsForTesting((root_ / "gone" / "settings.json").string());
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
    }
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;

    std::string settingsFile() const { return (root_ / "config" / "settings.json").string(); }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Folders, an instance of `channels` channels and its editor stand-in, and a
// headless frame to put views in.
struct InstanceRig {
    explicit InstanceRig(int channels = 2, int width = 700, int height = 480)
        : plug(std::make_unique<Plug>(&hm::test::fakeHost, channels)), editor(plug.get()), h(width, height) {}
    UserFolders folders;  // first: the instance reads the folders when it is made
    std::unique_ptr<Plug> plug;
    EditorStandIn editor;
    HeadlessFrame h;
};

}  // namespace hm::gui::test
