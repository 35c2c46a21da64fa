// The two file loaders fed arbitrary bytes: the input is a control-store
// file, the separator and a memory file (fuzz_support.h). Both files go
// through start-up, and the result is compared with a plain model of the
// loading rules: either the window opens with exactly the listings the model
// builds, or start-up fails with a message, ends the program and shows nothing
// half-loaded. On the way, both readers (a file on disk and a text in memory)
// must split every line exactly as the model does.

#include <cerrno>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "machine_session.h"
#include "fuzz_support.h"
#include "loading/text_file.h"
#include "base/orvik_error.h"

namespace orvik::fuzz {
namespace {

struct ReadResult {
    std::vector<std::string> lines;
    bool tooLong = false;  // stopped at a line over the bound
};

ReadResult readAll(TextStream& stream) {
    ReadResult result;
    try {
        while (!stream.atEndOfStream())
            result.lines.push_back(stream.readLine());
    } catch (const OrvikError&) {
        result.tooLong = true;
    }
    return result;
}

ReadResult modelRead(std::string_view bytes) {
    ReadResult result;
    for (std::string& line : modelLines(bytes)) {
        if (line.size() > kMaxLineLength) {
            result.tooLong = true;
            break;
        }
        result.lines.push_back(std::move(line));
    }
    return result;
}

// The bytes as a regular file without a name on disk, opened by the path the
// kernel gives it, so the file reader runs exactly as at start-up.
std::unique_ptr<TextStream> openAsFile(const std::string& bytes) {
    return openTextFileForReading(asFile(bytes, 0));
}

void checkReaders(const std::string& bytes) {
    const ReadResult expected = modelRead(bytes);
    StringTextStream text(bytes);
    const ReadResult fromText = readAll(text);
    FUZZ_CHECK(fromText.lines == expected.lines && fromText.tooLong == expected.tooLong,
               "text reader differs from the line rules on " + printable(bytes));
    auto file = openAsFile(bytes);
    const ReadResult fromFile = readAll(*file);
    FUZZ_CHECK(fromFile.lines == expected.lines && fromFile.tooLong == expected.tooLong,
               "file reader differs from the line rules on " + printable(bytes));
}

std::string fieldZero(const std::string& line) { return line.substr(0, line.find('\t')); }

// The filler lines of both listings, composed once by the plain rules: the
// position in hexadecimal, then zero fields.
struct ModelFillers {
    std::vector<std::string> control;  // the 512 filler lines
    std::string memory;                // the 4096 filler lines, each followed by CR LF
    std::vector<size_t> memoryStarts;  // where each of them starts in `memory`, and its end

    ModelFillers() {
        for (int p = 0; p < 512; ++p)
            control.push_back(modelHex(static_cast<uint32_t>(p)) + "\t0\t0\t0\t0\t0\t0");
        for (int k = 0; k < 4096; ++k) {
            memoryStarts.push_back(memory.size());
            memory += modelHex(static_cast<uint32_t>(k)) + "\t0\r\n";
        }
        memoryStarts.push_back(memory.size());
    }
};

const ModelFillers& fillers() {
    static const ModelFillers model;
    return model;
}

// What start-up must make of the two files.
struct ExpectedStart {
    bool opens = true;
    std::string namedInMessage;  // a text the failure message must contain
    std::vector<std::string> control;
    int noLines = 0;
    int setAside = 0;
    std::vector<std::string> cells;  // the memory file's lines; filler lines follow them
};

ExpectedStart failsSaying(std::string text) {
    ExpectedStart e;
    e.opens = false;
    e.namedInMessage = std::move(text);
    return e;
}

ExpectedStart modelStart(const std::string& controlBytes, const std::string& memoryBytes) {
    ExpectedStart e;
    // Start-up reads one line per position while the file lasts, so only the
    // first 512 lines are read, and only those can be too long.
    std::vector<std::string> lines = modelLines(controlBytes);
    if (lines.size() > 512)
        lines.resize(512);
    for (const std::string& line : lines)
        if (line.size() > kMaxLineLength)
            return failsSaying("longer than");
    std::vector<std::string> aside;
    e.control = fillers().control;
    for (size_t p = 0; p < lines.size(); ++p) {
        const std::string& line = lines[p];
        if (line.empty())
            continue;
        if (modelHexValue(fieldZero(line)) == static_cast<int>(p)) {
            e.control[p] = line;
            ++e.noLines;
        } else {
            aside.push_back(line);
        }
    }
    e.setAside = static_cast<int>(aside.size());
    for (const std::string& line : aside) {
        const int address = modelHexValue(fieldZero(line));
        if (address > 511)
            return failsSaying(modelHex(static_cast<uint32_t>(address)));
        e.control[static_cast<size_t>(address)] = line;
        e.noLines = address;
    }
    if (splitAt(e.control[0], "\t").size() < 7)
        return failsSaying("fields");

    e.cells = modelLines(memoryBytes);
    if (e.cells.size() > 4096)
        e.cells.resize(4096);
    for (const std::string& cell : e.cells)
        if (cell.size() > kMaxLineLength)
            return failsSaying("longer than");
    const std::string& cellZero = e.cells.empty() ? std::string("0\t0") : e.cells[0];
    if (cellZero.find('\t') == std::string::npos)
        return failsSaying("value field");
    return e;
}

// The memory listing is the file's lines, then the filler lines of the cells after them.
bool memoryListingMatches(const std::string& pane, const std::vector<std::string>& cells) {
    static std::string head;
    head.clear();
    for (const std::string& cell : cells) {
        head += cell;
        head += "\r\n";
    }
    const ModelFillers& model = fillers();
    const size_t tail = model.memoryStarts[cells.size()];
    return pane.size() == head.size() + (model.memory.size() - tail) && pane.compare(0, head.size(), head) == 0 &&
           pane.compare(head.size(), std::string::npos, model.memory, tail) == 0;
}

} // namespace
} // namespace orvik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvik;
    using namespace orvik::fuzz;
    const TwoParts files = splitAtSeparator({reinterpret_cast<const char*>(data), size});
    const std::string& controlBytes = files.first;
    const std::string& memoryBytes = files.second;
    checkReaders(controlBytes);
    checkReaders(memoryBytes);

    const ExpectedStart expected = modelStart(controlBytes, memoryBytes);
    testing::Session s(controlBytes, memoryBytes);
    HeadlessWindow& w = s.window;
    auto detail = [&] { return "control file " + printable(controlBytes) + "\n  memory file " + printable(memoryBytes); };
    FUZZ_CHECK(s.shown == expected.opens, "start-up " + std::string(s.shown ? "opened" : "failed") +
                                              (s.shown ? "" : ": " + w.messages.back()) + "\n  " + detail());
    if (!s.shown) {
        FUZZ_CHECK(w.ended && w.messages.size() == 1, "a failed start-up shows one message and ends\n  " + detail());
        FUZZ_CHECK(isOneLine(w.messages[0]), "message \"" + printable(w.messages[0]) + "\" is not one line");
        FUZZ_CHECK(w.messages[0].find(expected.namedInMessage) != std::string::npos,
                   "message \"" + w.messages[0] + "\" does not say \"" + expected.namedInMessage + "\"");
        return 0;
    }
    FUZZ_CHECK(!w.ended && w.messages.empty(), "an opened window ended or showed a message\n  " + detail());
    FUZZ_CHECK(w.box(Box::txtContStore) == joinListing(expected.control),
               "control-store listing differs from the loading rules\n  " + detail());
    FUZZ_CHECK(s.form.mNoLines == expected.noLines && s.form.mintTlines == expected.setAside,
               "end-of-run bound " + std::to_string(s.form.mNoLines) + " / set aside " +
                   std::to_string(s.form.mintTlines) + ", expected " + std::to_string(expected.noLines) + " / " +
                   std::to_string(expected.setAside) + "\n  " + detail());
    FUZZ_CHECK(s.form.mstrLines.size() == 513, "control-store lines split into " +
                                                   std::to_string(s.form.mstrLines.size()) + " elements");
    FUZZ_CHECK(memoryListingMatches(w.box(Box::txtMainMem), expected.cells),
               "main-memory listing differs from the loading rules\n  " + detail());
    FUZZ_CHECK(s.form.mstrMLines.size() == 4097, "main-memory lines split into " +
                                                     std::to_string(s.form.mstrMLines.size()) + " elements");
    FUZZ_CHECK(s.form.mNoClks == 0 && s.form.mlngMBR >= 0 && s.form.mlngMBR <= 4095,
               "start-up left the step variables out of range\n  " + detail());
    return 0;
}
