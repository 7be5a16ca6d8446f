#pragma once
// A fresh folder under /tmp per test, removed afterwards, and a process-wide
// guard that points HOME and the XDG folders into /tmp so no test can touch
// the real user's settings or banks.
#include <string>

namespace hm::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Whole file as bytes ("" when missing).
std::string slurp(const std::string& path);
void spit(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
// Names in a folder (without "." and "..").
int entryCount(const std::string& folder);

}  // namespace hm::test
