#pragma once
// Open and save dialogs without blocking the host: the desktop's own chooser
// (zenity or kdialog, whichever is installed) runs as a child process and the
// editor collects its answer in a later idle pass. Without either program the
// caller offers its own path entry.
//
// UI thread only. One chooser runs at a time per object; destroying the
// object ends a chooser that is still open.
#include <string>
#include <vector>
#include <sys/types.h>

namespace hm::platform {

enum class ChooserMode { Open, Save };

struct ChooserRequest {
    ChooserMode mode = ChooserMode::Open;
    std::string title;
    std::string start;      // folder to start in, or the proposed file for a save
    std::string extension;  // without the dot: "hmb", "hmp"
    std::vector<std::string> moreExtensions;  // also shown when opening ("txt")
};

enum class ChooserState {
    Idle,       // nothing asked
    Running,    // the dialog is open
    Chosen,     // path() holds the answer
    Cancelled,  // the user closed the dialog without a choice
    Failed,     // the program could not be run
};

class FileChooser {
public:
    FileChooser() = default;
    ~FileChooser();
    FileChooser(const FileChooser&) = delete;
    FileChooser& operator=(const FileChooser&) = delete;

    // The chooser program found on PATH ("zenity", "kdialog"), "" when none.
    static std::string findProgram();

    // Starts the dialog; false (state Failed) when no chooser program exists or
    // it cannot be started. A chooser still open is ended first.
    bool start(const ChooserRequest& request);
    // Looks for the answer without waiting.
    ChooserState poll();
    ChooserState state() const { return state_; }
    // The chosen path (with the extension added to a save name that lacks one).
    const std::string& path() const { return path_; }
    // Ends a running dialog; the state returns to Idle.
    void reset();

private:
    void finish(int status);

    ChooserRequest request_;
    ChooserState state_ = ChooserState::Idle;
    pid_t child_ = -1;
    int pipe_ = -1;
    std::string output_;
    std::string path_;
};

// "~/Desktop": the user's desktop folder from the XDG user directories
// ($XDG_DESKTOP_DIR, else XDG_DESKTOP_DIR in $XDG_CONFIG_HOME/user-dirs.dirs)
// when it exists, else the home folder.
std::string desktopFolder();

}  // namespace hm::platform
