// Start-up on files a student might give by mistake, read from disk through
// the real file reader: names that are not readable regular files, binary
// bytes, huge lines, huge files. Each must either load exactly as the file
// rules say or fail with one clear message that ends the program, quickly and
// without holding much more memory than the listings themselves.
//
// Times are guarded at ten times the two seconds allowed, so that a loaded
// machine does not fail the suite; the measured figures are printed. Peak
// memory is checked in the plain build only: AddressSanitizer keeps freed
// blocks in quarantine, so its resident size says little about live data.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "machine_session.h"
#include "temp_folder.h"
#include "loading/listing_text.h"
#include "loading/text_file.h"

namespace orvik::testing {
namespace {

constexpr auto kTimeGuard = std::chrono::seconds(20);
constexpr long long kMiB = 1024 * 1024;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMeasuresMemory = false;
#else
constexpr bool kMeasuresMemory = true;
#endif

long long statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::string(field).size()));
    return -1;
}

// How far the resident size rose above its level at the start while `run`
// ran, in bytes; -1 where the kernel cannot reset the peak.
long long peakGrowth(const std::function<void()>& run) {
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";  // the peak resident size starts again from the current one
        if (!reset.flush())
            return -1;
    }
    const long long start = statusKiB("VmRSS:");
    run();
    const long long peak = statusKiB("VmHWM:");
    return start < 0 || peak < 0 ? -1 : (peak - start) * 1024;
}

// A text with NUL bytes, written as a string literal.
template <size_t N>
std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

bool isOneLine(const std::string& message) {
    if (message.empty())
        return false;
    for (char c : message)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
            return false;
    return true;
}

class HostileFiles : public testing::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        okControl = write("ok.ctl", "0\t0\t0\t0\t0\t0\t0\n");
        okMemory = write("ok.mem", "0\t0\n");
    }
    // A file made of `repeat` copies of `piece`, written in large blocks.
    std::string writeRepeated(const std::string& name, const std::string& head, const std::string& piece,
                              long long repeat, const std::string& tail = "") {
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        out << head;
        std::string block;
        const long long perBlock = std::max(1LL, (1 << 20) / static_cast<long long>(piece.size()));
        for (long long i = 0; i < perBlock; ++i)
            block += piece;
        long long left = repeat;
        for (; left >= perBlock; left -= perBlock)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        for (; left > 0; --left)
            out << piece;
        out << tail;
        return path;
    }
    // Makes the file `megabytes` MiB longer with NUL bytes that take no disk space.
    static void extendSparse(const std::string& path, long long megabytes) {
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        ASSERT_EQ(::truncate(path.c_str(), info.st_size + megabytes * kMiB), 0);
    }

    struct Start {
        HeadlessWindow window;
        frmOrvik form{window};
        bool shown = false;
        std::chrono::duration<double> took{};
        long long peak = -1;

        std::string message() const { return window.messages.empty() ? "" : window.messages.back(); }
    };

    // Start-up with the two names typed in the input box; the files come from disk.
    std::unique_ptr<Start> start(const std::string& control, const std::string& memory) {
        auto s = std::make_unique<Start>();
        s->window.answers = {control, memory};
        const auto begin = std::chrono::steady_clock::now();
        s->peak = peakGrowth([&] { s->shown = s->form.Form_Load(); });
        s->took = std::chrono::steady_clock::now() - begin;
        std::printf("    %-28s %7.3f s, peak +%lld KiB\n", ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                    s->took.count(), s->peak / 1024);
        EXPECT_LT(s->took, kTimeGuard);
        return s;
    }

    // A failed start-up: one clear message holding `named`, the program ended,
    // and nothing was shown.
    void expectFailure(const Start& s, const std::string& named, const std::string& what) {
        EXPECT_FALSE(s.shown) << what;
        EXPECT_TRUE(s.window.ended) << what;
        ASSERT_EQ(s.window.messages.size(), 1u) << what;
        EXPECT_TRUE(isOneLine(s.message())) << what << ": " << s.message();
        EXPECT_NE(s.message().find(named), std::string::npos) << what << ": " << s.message();
        if (kMeasuresMemory && s.peak >= 0) {
            EXPECT_LT(s.peak, 8 * kMiB) << what;
        }
    }

    std::string okControl, okMemory;
};

// Names that do not lead to a readable regular file fail to open in either
// role, without reading or waiting, before anything is shown.
TEST_F(HostileFiles, NamesThatAreNotReadableRegularFilesFailToOpen) {
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string unreadable = write("secret.ctl", "0\t0\t0\t0\t0\t0\t0\n");
    chmod(unreadable.c_str(), 0);
    struct Case {
        std::string name;
        std::string named;  // what the message must say
    };
    std::vector<Case> cases = {
        {dir, "directory"},
        {fifo, "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir + "/missing.ctl", "missing.ctl"},
        {okControl + bytes("\0.bak"), "NUL"},  // the system would open ok.ctl
    };
    if (geteuid() != 0)
        cases.push_back({unreadable, "Permission denied"});
    for (const Case& c : cases) {
        auto asControl = start(c.name, okMemory);
        expectFailure(*asControl, c.named, "control file " + c.name);
        EXPECT_EQ(asControl->window.prompts.size(), 1u) << "the memory file is never asked for";
        EXPECT_EQ(asControl->window.setCount, 0);

        auto asMemory = start(okControl, c.name);
        expectFailure(*asMemory, c.named, "memory file " + c.name);
        EXPECT_EQ(asMemory->window.setCount, 0);
    }
}

// NUL bytes are ordinary single-byte characters: a short file of them is one
// line of one field, which fails only where a field is needed; a long one is
// a line over the bound. A sparse file reads as NULs without using the disk.
TEST_F(HostileFiles, FilesOfNulBytes) {
    const std::string shortNuls = write("nul.bin", std::string(100, '\0'));
    const std::string hugeNuls = write("nul-huge.bin", "");
    extendSparse(hugeNuls, 100);
    expectFailure(*start(shortNuls, okMemory), "fields", "short control file of NULs");
    expectFailure(*start(okControl, shortNuls), "value field", "short memory file of NULs");
    expectFailure(*start(hugeNuls, okMemory), "longer than", "100 MB control file of NULs");
    expectFailure(*start(okControl, hugeNuls), "longer than", "100 MB memory file of NULs");

    // The NULs of a line are kept exactly where they are not the line's only content.
    auto s = start(write("nul-fields.ctl", bytes("0\t\0\t\0\0\t0\t0\t0\t0\n")),
                   write("nul-fields.mem", bytes("0\t\0\n\0\n")));
    ASSERT_TRUE(s->shown) << s->message();
    EXPECT_EQ(s->window.box(Box::txtMIR), bytes("\0 \0\0 0 0 0 0 "));
    EXPECT_EQ(splitText(s->window.box(Box::txtMainMem), kCrLf)[1], bytes("\0"));
}

// A single line of 100 MB fails at the line, having read only a few blocks
// of the file; the same line after the last line start-up reads is never
// looked at.
TEST_F(HostileFiles, AHundredMegabyteLine) {
    const std::string hugeLine =
        writeRepeated("huge-line.ctl", "0\t0\t0\t0\t0\t0\t0\t", "comment ", 100 * kMiB / 8, "\n");
    auto control = start(hugeLine, okMemory);
    expectFailure(*control, "Line 1", "control file with a 100 MB line");
    EXPECT_NE(control->message().find("huge-line.ctl"), std::string::npos) << control->message();
    expectFailure(*start(okControl, hugeLine), "longer than", "memory file with a 100 MB line");

    // Past the 512th control-store line and the 4096th memory line nothing is read.
    std::string controlHead, memoryHead;
    for (int p = 0; p < 512; ++p)
        controlHead += hexText(p) + "\t0\t0\t0\t0\t0\t0\n";
    for (int k = 0; k < 4096; ++k)
        memoryHead += hexText(k) + "\t" + hexText(k % 16) + "\n";
    const std::string controlFile = write("tail.ctl", controlHead);
    const std::string memoryFile = write("tail.mem", memoryHead);
    extendSparse(controlFile, 100);
    extendSparse(memoryFile, 100);
    auto s = start(controlFile, memoryFile);
    ASSERT_TRUE(s->shown) << s->message();
    EXPECT_EQ(s->window.box(Box::txtContStore), [&] {
        std::string listing;
        for (const std::string& l : splitText(controlHead, "\n"))
            if (!l.empty())
                listing += l + "\r\n";
        return listing;
    }());
    EXPECT_EQ(splitText(s->window.box(Box::txtMainMem), kCrLf).size(), 4097u);
    if (kMeasuresMemory && s->peak >= 0) {
        EXPECT_LT(s->peak, 8 * kMiB);
    }
}

// A million short lines: only the lines start-up asks for are read, and
// they load exactly.
TEST_F(HostileFiles, AMillionShortLines) {
    // The whole control store over and over, and the whole memory image.
    std::string control, memory;
    for (int p = 0; p < 512; ++p)
        control += hexText(p) + "\t" + hexText((p + 1) % 512) + "\t0\t0\t0\t0\t0\n";
    for (int k = 0; k < 4096; ++k)
        memory += hexText(k) + "\t" + hexText(k % 4095) + "\n";
    auto s = start(writeRepeated("million.ctl", "", control, 1000000 / 512 + 1),
                   writeRepeated("million.mem", "", memory, 1000000 / 4096 + 1));
    ASSERT_TRUE(s->shown) << s->message();
    const auto listing = splitText(s->window.box(Box::txtContStore), kCrLf);
    ASSERT_EQ(listing.size(), 513u);
    EXPECT_EQ(listing[511], "1FF\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ(s->form.mNoLines, 512);
    EXPECT_EQ(s->form.mintTlines, 0);
    const auto cells = splitText(s->window.box(Box::txtMainMem), kCrLf);
    ASSERT_EQ(cells.size(), 4097u);
    EXPECT_EQ(cells[4095], "FFF\t0");  // 4095 % 4095
    if (kMeasuresMemory && s->peak >= 0) {
        EXPECT_LT(s->peak, 8 * kMiB);
    }
}

// The slowest control-store file to load: 512 lines as long as the bounds
// let them be, in descending order. No line meets its position, so every one
// is set aside and placed over the whole 4 MiB listing in turn; one more
// character and the file is refused.
TEST_F(HostileFiles, EveryControlStoreLineAtTheBoundAndSetAside) {
    std::vector<std::string> lines(512);
    std::string file;
    for (int a = 511; a >= 0; --a) {
        std::string line = hexText(a) + "\t0\t0\t0\t0\t0\t0\t";
        line.resize(kMaxControlStoreText / 512, static_cast<char>('a' + a % 26));
        lines[static_cast<size_t>(a)] = line;
        file += line + "\n";
    }
    auto s = start(write("descending.ctl", file), okMemory);
    ASSERT_TRUE(s->shown) << s->message();
    EXPECT_EQ(s->form.mintTlines, 512);
    EXPECT_EQ(s->form.mNoLines, 0);
    std::string listing;
    for (const std::string& line : lines)
        listing += line + "\r\n";
    EXPECT_EQ(s->window.box(Box::txtContStore), listing);
    auto tooLong = start(write("too-long.ctl", "z" + file), okMemory);
    EXPECT_FALSE(tooLong->shown);
    EXPECT_NE(tooLong->message().find("Line 512 of the control-store file takes it past 4194304"), std::string::npos)
        << tooLong->message();
}

// Latin-1 letters and control bytes in every field load exactly, show
// exactly in the boxes that show fields, count as no code and as zero
// digits, and a Trace over them runs or stops with a clear message.
TEST_F(HostileFiles, Latin1AndControlBytesInEveryField) {
    const std::string odd = bytes("\x01\xE9\0\x7F\xFF\x1B");
    // Fields 1 to 6 end in a lower-case letter, so none of them is a code.
    std::string line0 = "0", mir;
    for (int f = 1; f <= 6; ++f) {
        const std::string text = odd + static_cast<char>('a' + f);
        line0 += "\t" + text;
        mir += text + " ";
    }
    // Unrecognised characters are zero digits: this address reads as 1.
    const std::string line1 = "\xE9\x7F" "1\t" + odd + "\t" + odd + "\t" + odd + "\t" + odd + "\t" + odd + "\t" + odd;
    auto s = start(write("odd.ctl", line0 + "\r\n" + line1 + "\r\n"),
                   write("odd.mem", "0\t" + odd + "\n" + odd + "\t\xA0\xB0\n"));
    ASSERT_TRUE(s->shown) << s->message();
    const auto listing = splitText(s->window.box(Box::txtContStore), kCrLf);
    EXPECT_EQ(listing[0], line0);
    EXPECT_EQ(listing[1], line1);
    EXPECT_EQ(s->form.mNoLines, 2);
    const auto cells = splitText(s->window.box(Box::txtMainMem), kCrLf);
    EXPECT_EQ(cells[0], "0\t" + odd);
    EXPECT_EQ(cells[1], odd + "\t\xA0\xB0");
    EXPECT_EQ(s->window.box(Box::txtMIR), mir);
    EXPECT_EQ(s->window.box(Box::txtALU), odd + "d");
    EXPECT_EQ(s->window.box(Box::txtInst), ";;goto 0");
    EXPECT_EQ(s->form.mintPos, 0);

    // A Trace executes the odd line (nothing is recognised), reads the memory
    // line at PC = -1 and stops there with a message; the window keeps going.
    s->form.handleClick(0);
    ASSERT_EQ(s->window.messages.size(), 1u);
    EXPECT_TRUE(isOneLine(s->message())) << s->message();
    EXPECT_NE(s->message().find("PC"), std::string::npos) << s->message();
    EXPECT_FALSE(s->window.ended);
    EXPECT_EQ(s->window.box(Box::txtMIR), mir);

    // A memory line at PC that quotes control bytes and line breaks in its
    // message still gives one whole line.
    s->window.box(Box::txtContStore) = "0\t0\t0\t11\t4\t1\t0\r\n";
    s->window.box(Box::txtMainMem) = bytes("0\t0\r\n\x01\0\n\x7F|\r\n");
    s->form.handleClick(0);
    ASSERT_EQ(s->window.messages.size(), 2u);
    EXPECT_TRUE(isOneLine(s->message())) << s->message();
    EXPECT_NE(s->message().find("\\x00\\x0A\\x7F|"), std::string::npos) << s->message();
}

// The largest listing the bounds allow: 4096 memory lines that together
// reach the file bound. It loads exactly, and a Trace that
// writes into it rebuilds it exactly; memory stays within a small multiple
// of the listing's size.
TEST_F(HostileFiles, LinesAtTheBoundFillTheListing) {
    constexpr size_t kCellLength = kMaxTextLength / 4096;
    const std::string padding(kCellLength - 8, 'p');
    std::string memory;
    for (int k = 0; k < 4096; ++k) {
        std::string cell = hexText(k) + "\t" + hexText(k % 7) + "\t" + padding;
        cell.resize(kCellLength, 'q');
        memory += cell + "\n";
    }
    // Line 0 writes MBR (0) into cell 4 * SP (1FF * 4 = 7FC) and goes to itself;
    // line 1 is never reached.
    auto s = start(write("wide.ctl", "0\t0\t0\t0\t0\t4\t0\n"), write("wide.mem", memory));
    ASSERT_TRUE(s->shown) << s->message();
    const std::string listing = s->window.box(Box::txtMainMem);
    EXPECT_EQ(listing.size(), 4096u * (kCellLength + 2));
    if (kMeasuresMemory && s->peak >= 0) {
        EXPECT_LT(s->peak, 8 * static_cast<long long>(listing.size()));
    }

    const auto begin = std::chrono::steady_clock::now();
    const long long tracePeak = peakGrowth([&] { s->form.handleClick(0); s->form.handleClick(0); });
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    std::printf("    two Traces over a %zu-byte listing: %.3f s, peak +%lld KiB\n", listing.size(), took.count(),
                tracePeak / 1024);
    EXPECT_LT(took, kTimeGuard);
    // The first Trace makes the pending write and stops at the memory line at
    // PC = -1, after line 0 named itself as its next address; the second
    // makes the write again and ends the run.
    ASSERT_EQ(s->window.messages.size(), 1u);
    EXPECT_NE(s->window.messages[0].find("PC is FFFFFFFF"), std::string::npos) << s->window.messages[0];
    EXPECT_EQ(s->window.box(Box::txtStdOut), "End of run.");
    const auto cells = splitText(s->window.box(Box::txtMainMem), kCrLf);
    ASSERT_EQ(cells.size(), 4097u);
    EXPECT_EQ(cells[0x7FC], "7FC\t0");
    EXPECT_EQ(cells[0x7FB], splitText(listing, kCrLf)[0x7FB]);
}

} // namespace
} // namespace orvik::testing
