// A host saves an instance's state, destroys it and restores it into a new one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/host/HostFixture.h"

namespace hm::test {
namespace {

std::vector<unsigned char> saveChunk(host::PluginInstance& plug, bool preset) {
    void* data = nullptr;
    const auto size = plug.dispatch(vst::effGetChunk, preset ? 1 : 0, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

void restoreChunk(host::PluginInstance& plug, std::vector<unsigned char> bytes, bool preset) {
    plug.dispatch(vst::effSetChunk, preset ? 1 : 0, static_cast<std::intptr_t>(bytes.size()), bytes.data());
}

std::string programName(host::PluginInstance& plug, int index) {
    char name[64] = {};
    plug.dispatch(vst::effGetProgramNameIndexed, index, 0, name);
    return name;
}

TEST(HostState, ProjectRestoresParametersProgramsAndNames) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> live(366);
    std::vector<unsigned char> saved;
    std::vector<std::string> names(20);
    {
        auto plug = makeInstance();
        ASSERT_TRUE(plug);
        for (int program : {4, 11}) {
            plug->dispatch(vst::effSetProgram, 0, program);
            for (int i = 0; i < 366; ++i)
                if (i != 6) plug->setParameter(i, unit(rng));
            char name[32];
            std::snprintf(name, sizeof(name), "Take %d", program);
            plug->dispatch(vst::effSetProgramName, 0, 0, name);
        }
        for (int i = 0; i < 366; ++i) live[i] = plug->getParameter(i);
        for (int p = 0; p < 20; ++p) names[p] = programName(*plug, p);
        saved = saveChunk(*plug, false);
        ASSERT_GT(saved.size(), 4u);
        EXPECT_EQ(std::memcmp(saved.data(), "ZIP ", 4), 0);
    }
    auto restored = makeInstance();
    ASSERT_TRUE(restored);
    restoreChunk(*restored, saved, false);
    EXPECT_EQ(restored->dispatch(vst::effGetProgram), 11);
    for (int i = 0; i < 366; ++i) ASSERT_EQ(restored->getParameter(i), live[i]) << i;
    for (int p = 0; p < 20; ++p) EXPECT_EQ(programName(*restored, p), names[p]);
    EXPECT_EQ(saveChunk(*restored, false), saved);
}

TEST(HostState, PresetChunkMovesTheCurrentProgram) {
    auto a = makeInstance();
    ASSERT_TRUE(a);
    a->setParameter(51, 0.33f);
    char name[] = "Air";
    a->dispatch(vst::effSetProgramName, 0, 0, name);
    const auto preset = saveChunk(*a, true);
    auto b = makeInstance();
    ASSERT_TRUE(b);
    b->dispatch(vst::effSetProgram, 0, 3);
    restoreChunk(*b, preset, true);
    EXPECT_EQ(b->getParameter(51), 0.33f);
    EXPECT_EQ(programName(*b, 3), "Air");
    EXPECT_EQ(programName(*b, 0), "-");
}

TEST(HostState, NewInstancesStartFromTheDefaultBank) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("hm-bank-test-" + std::to_string(::getpid()));
    fs::remove_all(home);
    const std::string oldData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path folder = home / "Corvanta" / "Harmoniform";

    // No bank yet: defaults, and the folder is created for one.
    {
        auto plug = makeInstance();
        ASSERT_TRUE(plug);
        EXPECT_EQ(plug->getParameter(1), 0.5f);
        EXPECT_TRUE(fs::is_directory(folder));
    }
    // A factory bank is used while the user has no default bank of their own.
    std::vector<unsigned char> bank;
    {
        auto plug = makeInstance();
        plug->setParameter(1, 0.625f);
        bank = saveChunk(*plug, false);
    }
    std::ofstream(folder / "Factory Bank.hmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bank.data()), static_cast<std::streamsize>(bank.size()));
    {
        auto plug = makeInstance();
        EXPECT_EQ(plug->getParameter(1), 0.625f);
    }
    // The user's default bank wins over the factory bank.
    {
        auto plug = makeInstance();
        plug->setParameter(1, 0.25f);
        bank = saveChunk(*plug, false);
    }
    std::ofstream(folder / "Default Bank.hmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bank.data()), static_cast<std::streamsize>(bank.size()));
    {
        auto plug = makeInstance();
        EXPECT_EQ(plug->getParameter(1), 0.25f);
    }
    // A damaged default bank leaves the instance on its defaults rather than half-loaded.
    std::ofstream(folder / "Default Bank.hmp", std::ios::binary | std::ios::trunc) << "ZIP garbage";
    {
        auto plug = makeInstance();
        EXPECT_EQ(plug->getParameter(1), 0.5f);
    }
    if (oldData.empty()) ::unsetenv("XDG_DATA_HOME");
    else ::setenv("XDG_DATA_HOME", oldData.c_str(), 1);
    fs::remove_all(home);
}

}  // namespace
}  // namespace hm::test

namespace hm::test {
namespace {

TEST(HostState, InstalledFactoryBankIsFoundThroughTheSystemDataFolders) {
    namespace fs = std::filesystem;
    const char* source = std::getenv("HARMONIFORM_SOURCE");
    ASSERT_NE(source, nullptr);
    const fs::path system = fs::temp_directory_path() / ("hm-system-" + std::to_string(::getpid()));
    fs::create_directories(system / "Corvanta" / "Harmoniform");
    fs::copy_file(fs::path(source) / "presets" / "Factory Bank.hmp",
                  system / "Corvanta" / "Harmoniform" / "Factory Bank.hmp", fs::copy_options::overwrite_existing);
    const std::string old = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "";
    ::setenv("XDG_DATA_DIRS", ("/nonexistent:" + system.string()).c_str(), 1);
    {
        auto plug = makeInstance();
        ASSERT_TRUE(plug);
        EXPECT_EQ(programName(*plug, 0), "Flat");
        EXPECT_EQ(programName(*plug, 1), "Low Cut 80 Hz");
        plug->dispatch(vst::effSetProgram, 0, 1);
        EXPECT_EQ(plug->parameterDisplay(46), "On");  // band 1 on
        EXPECT_EQ(plug->parameterDisplay(48), "High-pass");  // high-pass
        EXPECT_EQ(plug->parameterDisplay(51), "80");
    }
    ::setenv("XDG_DATA_DIRS", old.c_str(), 1);
    fs::remove_all(system);
}

}  // namespace
}  // namespace hm::test
