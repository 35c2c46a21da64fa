#pragma once
// A test fixture with a fresh folder under /tmp, removed after each test, and
// a way to write a file of exact bytes into it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace orvik::testing {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvik-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        chmod(dir.c_str(), 0700);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string dir;
};

} // namespace orvik::testing
