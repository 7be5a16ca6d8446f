#include "platform/FileChooser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

extern char** environ;

namespace hm::platform {
namespace {

bool isExecutable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string onPath(const char* program) {
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string dir = path.substr(start, end - start);
        if (!dir.empty()) {
            const std::string candidate = joinPath(dir, program);
            if (isExecutable(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "$HOME/Desktop" and "/abs/path" forms of user-dirs.dirs (quoted).
std::string expandUserDir(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    return value;
}

std::vector<std::string> chooserArguments(const std::string& program, const ChooserRequest& r) {
    std::string filter = "*." + r.extension;
    for (const std::string& more : r.moreExtensions) filter += " *." + more;
    if (program == "kdialog") {
        return {program, "--title", r.title,
                r.mode == ChooserMode::Save ? "--getsavefilename" : "--getopenfilename", r.start, filter};
    }
    std::vector<std::string> args{program, "--file-selection", "--title=" + r.title};
    if (r.mode == ChooserMode::Save) args.push_back("--save");
    // A folder given to --filename must end in a slash to be opened rather than proposed.
    std::string start = r.start;
    if (r.mode == ChooserMode::Open && !start.empty() && start.back() != '/') start.push_back('/');
    args.push_back("--filename=" + start);
    args.push_back("--file-filter=" + filter);
    return args;
}

}  // namespace

std::string FileChooser::findProgram() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const bool kde = desktop && std::strstr(desktop, "KDE");
    const char* order[2] = {kde ? "kdialog" : "zenity", kde ? "zenity" : "kdialog"};
    for (const char* program : order)
        if (!onPath(program).empty()) return program;
    return {};
}

FileChooser::~FileChooser() { reset(); }

void FileChooser::reset() {
    if (child_ > 0) {
        // Politely first; a dialog that does not go within a moment is ended.
        ::kill(child_, SIGTERM);
        int status = 0;
        pid_t done = 0;
        for (int wait = 0; wait < 40 && (done = ::waitpid(child_, &status, WNOHANG)) == 0; ++wait) ::usleep(5000);
        if (done == 0) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, &status, 0);
        }
    }
    if (pipe_ >= 0) ::close(pipe_);
    child_ = -1;
    pipe_ = -1;
    output_.clear();
    state_ = ChooserState::Idle;
}

bool FileChooser::start(const ChooserRequest& request) {
    reset();
    request_ = request;
    path_.clear();
    state_ = ChooserState::Failed;
    const std::string program = findProgram();
    if (program.empty()) return false;
    const std::string executable = onPath(program.c_str());
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const std::vector<std::string> args = chooserArguments(program, request);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return false;
    }
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    child_ = pid;
    pipe_ = fds[0];
    state_ = ChooserState::Running;
    return true;
}

ChooserState FileChooser::poll() {
    if (state_ != ChooserState::Running) return state_;
    // The dialog is over when its output ends (the end of the pipe), which also
    // works in a host that lets the system reap its children.
    char buffer[1024];
    bool ended = false;
    for (;;) {
        const ssize_t n = ::read(pipe_, buffer, sizeof buffer);
        if (n > 0) {
            if (output_.size() < 65536) output_.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        ended = n == 0;
        break;
    }
    if (!ended) return state_;
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(child_, &status, 0);
    } while (done < 0 && errno == EINTR);
    child_ = -1;
    // Reaped elsewhere: an answer on the output counts as a choice.
    if (done < 0) status = output_.empty() ? (1 << 8) : 0;
    finish(status);
    return state_;
}

void FileChooser::finish(int status) {
    if (pipe_ >= 0) ::close(pipe_);
    pipe_ = -1;
    std::string answer = output_.substr(0, output_.find('\n'));
    output_.clear();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || answer.empty()) {
        // Both programs end with status 1 when the user cancels.
        state_ = WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? ChooserState::Cancelled : ChooserState::Failed;
        return;
    }
    const std::string dotted = "." + request_.extension;
    if (request_.mode == ChooserMode::Save && !request_.extension.empty() &&
        (answer.size() < dotted.size() || answer.compare(answer.size() - dotted.size(), dotted.size(), dotted) != 0))
        answer += dotted;
    path_ = answer;
    state_ = ChooserState::Chosen;
}

std::string desktopFolder() {
    std::string candidate;
    if (const char* env = std::getenv("XDG_DESKTOP_DIR"); env && env[0]) candidate = expandUserDir(env);
    if (candidate.empty()) {
        const FileRead dirs = readWholeFile(joinPath(configHome(), "user-dirs.dirs"), 65536);
        if (dirs.status == ReadStatus::Ok) {
            std::size_t start = 0;
            while (start < dirs.bytes.size()) {
                std::size_t end = dirs.bytes.find('\n', start);
                if (end == std::string::npos) end = dirs.bytes.size();
                const std::string line = dirs.bytes.substr(start, end - start);
                if (line.rfind("XDG_DESKTOP_DIR=", 0) == 0) candidate = expandUserDir(line.substr(16));
                start = end + 1;
            }
        }
    }
    if (candidate.empty()) candidate = joinPath(homeFolder(), "Desktop");
    return isFolder(candidate) ? candidate : homeFolder();
}

}  // namespace hm::platform
