#include "assembler/memory_image.h"

#include <map>
#include <optional>

#include "assembler/nearest.h"
#include "assembler/statement.h"
#include "assembler/tokens.h"
#include "base/dimensions.h"
#include "base/hex_text.h"
#include "base/split_text.h"

namespace orvik::assembler {

namespace {

constexpr int kLastCell = kMainMemoryLines - 1;
constexpr int kLargestValue = 0xFFF;  // a value field reads at most three hexadecimal digits
constexpr int kTooLarge = 0x10000;
// A line of thousands of slips reports the first few: each error quotes the line.
constexpr int kMaxErrorsPerLine = 4;

struct Value {
    int cell;
    std::string text;  // a hexadecimal value, or a label
    int line;
    int column;
    int width;
};

class ImageAssembler {
public:
    explicit ImageAssembler(std::string_view source) : source_(source) {}

    MemoryImage run() {
        const std::vector<std::string> lines = splitLines(source_);
        for (size_t i = 0; i < lines.size(); ++i) {
            lines_.push_back(lines[i]);
            readLine(static_cast<int>(i) + 1);
        }
        if (values_.empty() && !hasErrors(image_.diagnostics))
            image_.diagnostics.push_back(
                {Severity::Error, 0, 0, 1, "the file holds no value: nothing to assemble", ""});
        std::map<int, std::string> cells = resolveValues();
        if (!hasErrors(image_.diagnostics))
            write(cells);
        return std::move(image_);
    }

private:
    void error(int line, int column, int width, std::string message) {
        if (++errorsOnLine_[line] > kMaxErrorsPerLine)
            return;
        image_.diagnostics.push_back(
            {Severity::Error, line, column, std::max(width, 1), std::move(message), lines_[static_cast<size_t>(line - 1)]});
    }

    // A hexadecimal word's value; any word of more than four significant
    // digits reads as kTooLarge, past every cell and every value, so that no
    // length of digits can wrap round to a small or negative number. Values
    // are 0 to FFF: a negative value, should the language gain one, is read
    // here and checked against the cell where kLargestValue is.
    static std::optional<int> hexValue(const std::string& word) {
        if (!isHexWord(word))
            return std::nullopt;
        const size_t first = word.find_first_not_of('0');
        if (first == std::string::npos)
            return 0;
        if (word.size() - first > 4)
            return kTooLarge;
        return std::stoi(word.substr(first), nullptr, 16);
    }

    void readLine(int number) {
        const std::string& text = lines_.back();
        const std::vector<Token> tokens = tokenize(std::string_view(text).substr(0, text.find('#')));
        size_t i = 0;
        if (i < tokens.size() && tokens[i].is("@")) {
            const std::optional<int> cell = i + 1 < tokens.size() ? hexValue(tokens[i + 1].text) : std::nullopt;
            if (!cell || *cell > kLastCell) {
                error(number, tokens[i].column, 1, "a placement is @ and a cell from 0 to FFF, as in @800");
                return;
            }
            next_ = *cell;
            i += 2;
        }
        while (i + 1 < tokens.size() && tokens[i].kind == Token::Kind::Word && tokens[i + 1].is(":")) {
            defineLabel(number, tokens[i]);
            i += 2;
        }
        for (; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            if (t.kind != Token::Kind::Word) {
                error(number, t.column, t.width(), "expected a hexadecimal value or a label, not '" + t.text + "'");
                continue;
            }
            if (next_ > kLastCell) {
                pastTheEnd(number, tokens, i);
                return;
            }
            values_.push_back({next_++, t.text, number, t.column, t.width()});
        }
    }

    // One error for the run of values from tokens[first] that have no cell.
    void pastTheEnd(int number, const std::vector<Token>& tokens, size_t first) {
        const Token& last = tokens.back();
        const size_t count = tokens.size() - first;
        error(number, tokens[first].column, last.column + last.width() - tokens[first].column,
              "main memory ends at cell FFF; " +
                  (count == 1 ? std::string("this value has no cell") : std::to_string(count) + " values here have no cell"));
    }

    void defineLabel(int number, const Token& t) {
        if (!isLabelName(t.text)) {
            error(number, t.column, t.width(),
                  "'" + t.text + "' cannot be a label: " +
                      (isHexWord(t.text) ? "a word made only of hexadecimal digits is always a value"
                                         : "a label starts with a letter or '_'"));
            return;
        }
        if (!labels_.emplace(t.text, next_).second)
            error(number, t.column, t.width(), "the label '" + t.text + "' is defined twice");
    }

    std::map<int, std::string> resolveValues() {
        std::vector<std::string_view> names;
        for (const auto& [name, cell] : labels_)
            names.push_back(name);
        std::map<int, std::string> cells;
        std::map<int, int> lineOfCell;
        for (const Value& v : values_) {
            std::optional<int> value = hexValue(v.text);
            if (!value && isLabelName(v.text)) {
                const auto it = labels_.find(v.text);
                if (it == labels_.end()) {
                    const std::string nearest =
                        ++labelSuggestions_ <= kMostLabelSuggestions ? nearestName(v.text, names) : "";
                    error(v.line, v.column, v.width,
                          "the label '" + v.text + "' is used but never defined" +
                              (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
                    continue;
                }
                value = it->second;
            }
            if (!value) {
                error(v.line, v.column, v.width, "'" + v.text + "' is neither a hexadecimal value nor a label");
                continue;
            }
            if (*value > kLargestValue) {
                error(v.line, v.column, v.width,
                      "the value " + v.text + " is too large: a memory value reads at most three hexadecimal digits "
                      "(0 to FFF), and a longer one reads as 0");
                continue;
            }
            const auto [it, added] = lineOfCell.emplace(v.cell, v.line);
            if (!added) {
                error(v.line, v.column, v.width,
                      "cell " + hexText(v.cell) + " is given twice; first on line " + std::to_string(it->second));
                continue;
            }
            cells[v.cell] = hexText(*value);
        }
        return cells;
    }

    void write(const std::map<int, std::string>& cells) {
        if (cells.empty())
            return;
        const int last = cells.rbegin()->first;
        std::string text;
        for (int k = 0; k <= last; ++k) {
            const auto it = cells.find(k);
            text += hexText(k) + "\t" + (it == cells.end() ? "0" : it->second) + "\n";
        }
        image_.memoryFile = std::move(text);
    }

    std::string_view source_;
    std::vector<std::string> lines_;
    std::vector<Value> values_;
    std::map<std::string, int> labels_;
    int next_ = 0;
    std::map<int, int> errorsOnLine_;
    int labelSuggestions_ = 0;
    MemoryImage image_;
};

} // namespace

MemoryImage assembleMemoryImage(std::string_view source) { return ImageAssembler(source).run(); }

} // namespace orvik::assembler
