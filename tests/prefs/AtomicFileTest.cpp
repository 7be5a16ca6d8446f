#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "platform/AtomicFile.h"
#include "tests/prefs/TempFolder.h"

namespace hm::platform {
namespace {

using hm::test::TempFolder;

TEST(AtomicFile, WritesReplaceWholeFileAndLeaveNoTemporaries) {
    TempFolder dir;
    const std::string path = dir.file("bank.hmb");
    ASSERT_TRUE(writeFileAtomically(path, std::string(10000, 'a')));
    ASSERT_TRUE(writeFileAtomically(path, "short"));
    EXPECT_EQ(hm::test::slurp(path), "short");
    EXPECT_EQ(hm::test::entryCount(dir.path()), 1);
}

// A write that dies half-way (here: the file size limit, as a full disk would)
// must leave the previous content intact and no temporary file behind.
TEST(AtomicFile, FailureMidwayKeepsOldFileIntact) {
    TempFolder dir;
    const std::string path = dir.file("Default Bank.hmp");
    const std::string old = "previous bank content";
    ASSERT_TRUE(writeFileAtomically(path, old));

    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &saved);
    rlimit savedLimit {};
    ::getrlimit(RLIMIT_FSIZE, &savedLimit);
    rlimit small = savedLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    const bool ok = writeFileAtomically(path, std::string(100000, 'x'));

    ::setrlimit(RLIMIT_FSIZE, &savedLimit);
    ::sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(hm::test::slurp(path), old);
    EXPECT_EQ(hm::test::entryCount(dir.path()), 1) << "temporary file left behind";
}

TEST(AtomicFile, FailsCleanlyWhenTheFolderIsMissingOrTargetIsAFolder) {
    TempFolder dir;
    EXPECT_FALSE(writeFileAtomically(dir.file("no/such/folder/x"), "data"));
    ASSERT_TRUE(createFolders(dir.file("sub")));
    EXPECT_FALSE(writeFileAtomically(dir.file("sub"), "data"));
    EXPECT_EQ(hm::test::entryCount(dir.path()), 1);
    EXPECT_FALSE(writeFileAtomically("", "data"));
}

TEST(AtomicFile, CreateFoldersMakesEveryMissingParent) {
    TempFolder dir;
    const std::string deep = dir.file("a/b/c/d");
    EXPECT_TRUE(createFolders(deep));
    EXPECT_TRUE(hm::test::exists(deep));
    EXPECT_TRUE(createFolders(deep));  // already there
    ASSERT_TRUE(writeFileAtomically(dir.file("a/file"), "x"));
    EXPECT_FALSE(createFolders(dir.file("a/file/sub")));  // a file is in the way
}

TEST(AtomicFile, ReadWholeFileReportsEachKindOfFailure) {
    TempFolder dir;
    const std::string path = dir.file("f");
    hm::test::spit(path, std::string(100, 'z'));
    struct Case {
        std::string path;
        std::size_t cap;
        ReadStatus status;
        std::size_t size;
    };
    const Case cases[] = {
        {path, 100, ReadStatus::Ok, 100},
        {path, 99, ReadStatus::TooLarge, 0},
        {dir.file("missing"), 100, ReadStatus::Missing, 0},
        {dir.file("missing/below"), 100, ReadStatus::Missing, 0},
        {dir.path(), 100, ReadStatus::Unreadable, 0},
    };
    for (const Case& c : cases) {
        const FileRead r = readWholeFile(c.path, c.cap);
        EXPECT_EQ(r.status, c.status) << c.path << " cap " << c.cap;
        EXPECT_EQ(r.bytes.size(), c.size) << c.path;
    }
}

TEST(AtomicFile, ParentFolder) {
    EXPECT_EQ(parentFolder("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(parentFolder("/c.txt"), "/");
    EXPECT_EQ(parentFolder("c.txt"), "");
}

}  // namespace
}  // namespace hm::platform
