// Writing a companion's output: whole, with the umask's permissions, through
// a link to its target, and never over an input or onto anything but a
// regular file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/output_file.h"
#include "temp_folder.h"

namespace orvik::cli {
namespace {

using OutputFile = testing::TempFolderTest;

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(OutputFile, ANewFileTakesTheModeTheUmaskLeaves) {
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        const mode_t before = ::umask(mask);
        const std::string path = dir + "/out" + std::to_string(mask) + ".ctl";
        EXPECT_EQ(writeWholeFile(path, "0\t0\n"), "");
        ::umask(before);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask) << "umask " << mask;
        EXPECT_EQ(contents(path), "0\t0\n");
    }
}

TEST_F(OutputFile, ALinkHasItsTargetReplacedWhole) {
    const std::string target = write("real.ctl", "old text that is longer\n");
    ASSERT_EQ(::symlink("real.ctl", (dir + "/link.ctl").c_str()), 0);
    EXPECT_EQ(writeWholeFile(dir + "/link.ctl", "new\n"), "");
    struct stat info {};
    ASSERT_EQ(::lstat((dir + "/link.ctl").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(contents(target), "new\n");
}

TEST_F(OutputFile, AnInputIsNeverWrittenUnderAnyName) {
    const std::string input = write("prog.oasm", "goto 0\n");
    ASSERT_EQ(::link(input.c_str(), (dir + "/hard.ctl").c_str()), 0);
    ASSERT_EQ(::symlink("prog.oasm", (dir + "/soft.ctl").c_str()), 0);
    for (const std::string name : {"/hard.ctl", "/soft.ctl", "/./prog.oasm"})
        EXPECT_NE(writeWholeFile(dir + name, "0\t0\n", {input}).find("it is the input"), std::string::npos) << name;
    EXPECT_EQ(contents(input), "goto 0\n");
}

TEST_F(OutputFile, OnlyARegularFileIsWritten) {
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(writeWholeFile(fifo, "x\n").find("it is a FIFO"), std::string::npos);
    EXPECT_NE(writeWholeFile(dir, "x\n").find("it is a directory"), std::string::npos);
    ASSERT_EQ(::symlink("nowhere/x.ctl", (dir + "/dangling.ctl").c_str()), 0);
    EXPECT_NE(writeWholeFile(dir + "/dangling.ctl", "x\n"), "");
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

} // namespace
} // namespace orvik::cli
