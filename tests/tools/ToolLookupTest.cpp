// How the built tool finds the plug-in and the bank it takes programs from, and
// what it says when it cannot: a named file is a file (never a library search),
// something else is called what it is, and "not found" names every place tried.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/tools/ToolTestSupport.h"

namespace hm::test {
namespace {

const std::string kFactoryBank = std::string(HM_SOURCE_DIR) + "/presets/Factory Bank.hmp";

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Each place on a line of its own in the message, in this order.
void expectListedInOrder(const std::string& message, const std::vector<std::string>& places) {
    std::size_t previous = 0;
    for (const std::string& place : places) {
        const std::size_t at = message.find("\n  " + place + "\n");
        ASSERT_NE(at, std::string::npos) << place << "\n" << message;
        EXPECT_GT(at, previous) << place << " is out of order\n" << message;
        previous = at;
    }
}

TEST(ToolLookup, ANamedPluginIsAFileAndOtherFilesAreCalledWhatTheyAre) {
    ScratchFolder scratch;
    writeAudio(scratch.file("notaudio.wav"), floatNoise(100, 1, 1), 1, 8000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeAudio(scratch.file("in.wav"), floatNoise(100, 2, 2), 2, 8000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    writeBytes(scratch.file("text.so"), "not a library");
    ::mkdir(scratch.file("folder.so").c_str(), 0755);
    const std::string pluginFolder = folderOf(HM_TEST_PLUGIN);
    const std::string plugin = std::filesystem::path(HM_TEST_PLUGIN).filename();
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string cwd;
        int exitCode;
        std::string mentions;
    };
    const Case cases[] = {
        {"info from the plug-in's folder", {"info", plugin}, pluginFolder, 0, "library:           ./" + plugin},
        {"--plugin from the plug-in's folder",
         {"render", scratch.file("in.wav"), scratch.file("out.wav"), "--plugin", plugin}, pluginFolder, 0, "latency"},
        {"info on audio", {"info", "notaudio.wav"}, scratch.file(""), 1, "notaudio.wav is not a plug-in"},
        {"info on text", {"info", "text.so"}, scratch.file(""), 1, "text.so is not a plug-in"},
        {"info on a folder", {"info", "folder.so"}, scratch.file(""), 1, "folder.so is a folder"},
        {"info on nothing", {"info", "missing.so"}, scratch.file(""), 1, "missing.so: no such file"},
        {"--plugin on audio", {"response", "--plugin", "notaudio.wav"}, scratch.file(""), 1, "is not a plug-in"},
        {"preset show --plugin on audio", {"preset", "show", kFactoryBank, "--plugin", "notaudio.wav"},
         scratch.file(""), 1, "is not a plug-in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunOptions options;
        options.cwd = c.cwd;
        options.env = {"LD_LIBRARY_PATH="};  // nothing for dlopen to find a bare name on
        const RunResult r = runTool(c.args, options);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE((r.out + r.err).find(c.mentions), std::string::npos) << r.out << r.err;
    }
}

TEST(ToolLookup, NotFoundListsEveryFolderSearchedInOrder) {
    // A copy of the tool away from the build tree, with a home and VST_PATH of its own.
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.file("tool/bin"));
    std::filesystem::copy_file(HM_TOOL_EXE, scratch.file("tool/bin/harmoniform"));
    for (const char* f : {"home", "a", "b"}) std::filesystem::create_directories(scratch.file(f));
    RunOptions options;
    options.exe = scratch.file("tool/bin/harmoniform");
    options.env = {"HARMONIFORM_PLUGIN=", "HOME=" + scratch.file("home"), "VST_PATH=" + scratch.file("a") + ":" + scratch.file("b")};
    const std::vector<std::string> searched = {"$HARMONIFORM_PLUGIN (not set)", scratch.file("tool/bin"), scratch.file("tool"),
                                               scratch.file("tool/lib/vst"), scratch.file("home/.vst"),
                                               scratch.file("a"), scratch.file("b"), "/usr/local/lib/vst", "/usr/lib/vst"};
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info"}, {"response", "--csv", scratch.file("r.csv")},
                                                 {"preset", "show", kFactoryBank}}) {
        SCOPED_TRACE(args[0]);
        const RunResult r = runTool(args, options);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("no Harmoniform.so found"), std::string::npos) << r.err;
        expectListedInOrder(r.err, searched);
    }
    // Found in the last folder of VST_PATH.
    std::filesystem::create_symlink(HM_TEST_PLUGIN, scratch.file("b/Harmoniform.so"));
    const RunResult found = runTool({"info"}, options);
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_NE(found.out.find("library:           " + scratch.file("b/Harmoniform.so")), std::string::npos) << found.out;
    // A HARMONIFORM_PLUGIN naming nothing is an error, not a reason to search.
    options.env[0] = "HARMONIFORM_PLUGIN=" + scratch.file("none.so");
    const RunResult named = runTool({"info"}, options);
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_NE(named.err.find("HARMONIFORM_PLUGIN names " + scratch.file("none.so")), std::string::npos) << named.err;
}

TEST(ToolLookup, APluginBesideTheToolIsFound) {
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.file("one"));
    std::filesystem::copy_file(HM_TOOL_EXE, scratch.file("one/harmoniform"));
    std::filesystem::copy_file(HM_TEST_PLUGIN, scratch.file("one") + "/" + std::filesystem::path(HM_TEST_PLUGIN).filename().string());
    RunOptions options;
    options.exe = scratch.file("one/harmoniform");
    options.env = {"HARMONIFORM_PLUGIN=", "HOME=" + scratch.file(""), "VST_PATH="};
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info"}, {"preset", "show", kFactoryBank}}) {
        SCOPED_TRACE(args[0]);
        const RunResult r = runTool(args, options);
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
}

TEST(ToolLookup, ProgramWithoutABankNamesWhereItLooked) {
    ScratchFolder data, config, system, out;
    RunOptions options;
    options.env = {"XDG_DATA_HOME=" + data.file(""), "XDG_CONFIG_HOME=" + config.file(""), "XDG_DATA_DIRS=" + system.file("")};
    const std::vector<std::string> lookedAt = {data.file("Corvanta/Harmoniform/Default Bank.hmp"),
                                               data.file("Corvanta/Harmoniform/Factory Bank.hmp"),
                                               system.file("Corvanta/Harmoniform/Factory Bank.hmp")};
    ScratchFolder input;
    writeAudio(input.file("in.wav"), floatNoise(100, 2, 3), 2, 8000, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::vector<std::vector<std::string>> commands = {
        {"response", "--program", "3", "--csv", out.file("r.csv")},
        {"render", input.file("in.wav"), out.file("x.wav"), "--program", "3"},
        {"preset", "make", out.file("p.hmp"), "--program", "3"},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0]);
        const RunResult r = runTool(args, options);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("--program 3: no bank"), std::string::npos) << r.err;
        expectListedInOrder(r.err, lookedAt);
        EXPECT_TRUE(folderEntries(out.file("")).empty());
    }
    // With the factory bank installed system-wide, the program is the bank's.
    std::filesystem::create_directories(system.file("Corvanta/Harmoniform"));
    std::filesystem::copy_file(kFactoryBank, system.file("Corvanta/Harmoniform/Factory Bank.hmp"));
    const RunResult r = runTool(commands[0], options);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("program:        Vocal Presence\n"), std::string::npos) << r.out;
    // An empty slot is used as asked, with a word about it.
    const RunResult empty = runTool({"response", "--program", "12", "--csv", out.file("r.csv")}, options);
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_NE(empty.err.find("warning: program 12 of " + system.file("Corvanta/Harmoniform/Factory Bank.hmp") +
                             " is an empty slot"),
              std::string::npos)
        << empty.err;
    EXPECT_NE(empty.out.find("program:        (empty)\n"), std::string::npos) << empty.out;
}

}  // namespace
}  // namespace hm::test
