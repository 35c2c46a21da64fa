#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "loading/text_file.h"
#include "base/orvik_error.h"
#include "base/split_text.h"
#include "temp_folder.h"

namespace orvik {
namespace {

std::vector<std::string> readAll(TextStream& stream) {
    std::vector<std::string> lines;
    while (!stream.atEndOfStream())
        lines.push_back(stream.readLine());
    return lines;
}

using TempDir = testing::TempFolderTest;

// Both readers follow the same line rules: CR LF, LF and a bare CR end a
// line, a break after the last line adds no empty line, bytes stay as they are.
TEST_F(TempDir, LineBreaksAndBytesAreTheSameForFilesAndTexts) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb\n\nc", {"a", "", "b", "", "c"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\n", {""}},
        {std::string("\t\x01\xE9\xFF\x00z", 6), {std::string("\t\x01\xE9\xFF\x00z", 6)}},
    };
    for (const auto& [bytes, expected] : cases) {
        StringTextStream text(bytes);
        EXPECT_EQ(readAll(text), expected);
        auto file = openTextFileForReading(write("f.txt", bytes));
        EXPECT_EQ(readAll(*file), expected);
        EXPECT_EQ(splitLines(bytes), expected);
        EXPECT_EQ(readSourceLines(write("s.txt", bytes), {1024, 16}), expected);
    }
}

std::string sourceFailure(const std::string& name, const SourceBounds& bounds) {
    try {
        readSourceLines(name, bounds);
    } catch (const OrvikError& e) {
        return e.what();
    }
    return "";
}

// A source passes over a UTF-8 byte-order mark at its start only; a file
// over its byte bound is refused from its size, one over its line bound at
// the first line too many; a FIFO or a folder is refused as the loaders refuse it.
TEST_F(TempDir, SourcesKeepTheirBoundsAndSkipAByteOrderMark) {
    EXPECT_EQ(readSourceLines(write("bom.oasm", "\xEF\xBB\xBFgoto 0\n\xEF\xBB\xBF"), {64, 4}),
              (std::vector<std::string>{"goto 0", "\xEF\xBB\xBF"}));
    EXPECT_NE(sourceFailure(write("big.oasm", std::string(65, 'x')), {64, 4}).find("holds 65 bytes"),
              std::string::npos);
    EXPECT_EQ(readSourceLines(write("fits.oasm", std::string(64, 'x')), {64, 4}).size(), 1U);
    EXPECT_NE(sourceFailure(write("lines.oasm", "1\n2\n3\n4\n5\n"), {64, 4}).find("more than 4 lines"),
              std::string::npos);
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(sourceFailure(fifo, {64, 4}).find("not a regular file"), std::string::npos);
    EXPECT_NE(sourceFailure(dir, {64, 4}).find("it is a directory"), std::string::npos);
}

std::string openFailure(const std::string& name) {
    try {
        openTextFileForReading(name);
    } catch (const OrvikError& e) {
        return e.what();
    }
    return "";
}

TEST_F(TempDir, AnythingButARegularFileFailsToOpenWithoutWaiting) {
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(openFailure(fifo).find("not a regular file"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_NE(openFailure(dir).find("directory"), std::string::npos);
    EXPECT_NE(openFailure("/dev/zero").find("not a regular file"), std::string::npos);
    EXPECT_NE(openFailure(dir + "/missing.ctl").find("missing.ctl"), std::string::npos);
    EXPECT_FALSE(openFailure("").empty());
}

TEST_F(TempDir, UnreadableFileFailsUnlessRoot) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string path = write("secret.mem", "0\t0\n");
    chmod(path.c_str(), 0);
    EXPECT_NE(openFailure(path).find("Permission denied"), std::string::npos);
}

TEST_F(TempDir, OpeningNeverCreatesTheFile) {
    openFailure(dir + "/new.ctl");
    EXPECT_NE(access((dir + "/new.ctl").c_str(), F_OK), 0);
}

TEST_F(TempDir, ALineLongerThanTheLimitFailsWithItsNumber) {
    const std::string longLine(kMaxLineLength + 1, 'A');
    auto file = openTextFileForReading(write("long.ctl", "0\t0\n" + longLine + "\nnext\n"));
    EXPECT_EQ(file->readLine(), "0\t0");
    try {
        file->readLine();
        FAIL() << "an over-long line was read";
    } catch (const OrvikError& e) {
        EXPECT_NE(std::string(e.what()).find("Line 2"), std::string::npos) << e.what();
    }
    StringTextStream text(std::string(kMaxLineLength, 'B') + "\n" + longLine);
    EXPECT_EQ(text.readLine().size(), kMaxLineLength);
    EXPECT_THROW(text.readLine(), OrvikError);
}

// Lines up to the line bound fill a file up to the text bound; the line that
// goes past it fails with its number, and nothing after it is read.
TEST_F(TempDir, AFileGoingPastTheTextBoundFailsAtThatLine) {
    const std::string fullLine(kMaxLineLength, 'C');
    std::string full;
    for (size_t read = 0; read < kMaxTextLength; read += kMaxLineLength)
        full += fullLine + "\n";
    const long lines = static_cast<long>(kMaxTextLength / kMaxLineLength);
    StringTextStream text(full + "D\n");
    auto file = openTextFileForReading(write("full.mem", full + "D\n"));
    for (TextStream* stream : {static_cast<TextStream*>(&text), file.get()}) {
        for (long line = 1; line <= lines; ++line)
            ASSERT_EQ(stream->readLine().size(), kMaxLineLength) << "line " << line;
        try {
            stream->readLine();
            FAIL() << "a line past the text bound was read";
        } catch (const OrvikError& e) {
            EXPECT_NE(std::string(e.what()).find("Line " + std::to_string(lines + 1) + " of"), std::string::npos)
                << e.what();
        }
    }
}

} // namespace
} // namespace orvik
