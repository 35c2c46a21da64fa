#include "assembler/microprogram.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "assembler/nearest.h"
#include "assembler/statement.h"
#include "assembler/tokens.h"
#include "base/dimensions.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "loading/listing_text.h"

namespace orvik::assembler {

namespace {

constexpr int kLastPosition = kControlStoreLines - 1;
constexpr int kFree = -1;
constexpr int kEndLine = -2;  // the self-jump the assembler adds when no halt can be it

struct Label {
    std::string name;
    int column = 0;
    int line = 0;
    std::string lineText;
};

struct Entry {
    int line = 0;
    std::string lineText;
    std::vector<Label> labels;
    std::optional<int> pin;
    int pinColumn = 0;
    int pinWidth = 0;
    int pinLine = 0;
    std::string pinLineText;
    std::optional<Microinstruction> mi;  // none when the statement has errors
    int address = kFree;
    // Branch pairs: the union-find parent and the offset from it (0 or a multiple of 100).
    int parent = 0;
    int offset = 0;
};

bool isReservedWord(std::string_view word) {
    static constexpr std::string_view kReserved[] = {"goto", "if", "else", "halt", "raw", "OR", "AND", "N",
                                                     "Z",    "B",  "MBRU"};
    return std::find(std::begin(kReserved), std::end(kReserved), word) != std::end(kReserved) ||
           registerNamed(word).has_value();
}

std::string hexAddress(int address) { return hexText(address); }

class Assembler {
public:
    explicit Assembler(std::string_view source) : source_(source) {}

    Assembly run() {
        readLines();
        if (entries_.empty() && !hasErrors(result_.diagnostics)) {
            result_.diagnostics.push_back({Severity::Error, 0, 0, 1, "the file holds no statement: nothing to assemble", ""});
            return std::move(result_);
        }
        defineLabels();
        const bool resolved = resolveTargets();
        if (!hasErrors(result_.diagnostics) && resolved && joinBranchPairs() && place())
            emit();
        std::stable_sort(result_.diagnostics.begin(), result_.diagnostics.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
        if (hasErrors(result_.diagnostics)) {
            result_.controlStore.clear();
            result_.placed.clear();
            result_.endOfRun = -1;
        }
        return std::move(result_);
    }

private:
    // ---- Reading -------------------------------------------------------------------------------
    void error(int line, const std::string& lineText, int column, int width, std::string message) {
        result_.diagnostics.push_back({Severity::Error, line, column, std::max(width, 1), std::move(message), lineText});
    }
    // A warning leaves the file written; the caret marks MDR among the destinations.
    void warnAtMdr(int line, const std::string& lineText, int column, std::string_view statement,
                   std::string message) {
        const size_t mdr = statement.find("MDR");
        const int at = mdr == std::string_view::npos ? column : column + static_cast<int>(mdr);
        result_.diagnostics.push_back({Severity::Warning, line, at, 3, std::move(message), lineText});
    }
    void error(const Entry& e, int column, int width, std::string message) {
        error(e.line, e.lineText, column, width, std::move(message));
    }

    void readLines() {
        const std::vector<std::string> lines = splitLines(source_);
        Entry pending;
        bool hasPending = false;
        for (size_t i = 0; i < lines.size(); ++i)
            readLine(static_cast<int>(i) + 1, lines[i], pending, hasPending);
        if (hasPending) {
            const std::string what = pending.labels.empty() ? "the placement @" + hexAddress(*pending.pin)
                                                            : "the label '" + pending.labels.front().name + "'";
            if (pending.labels.empty())
                error(pending.pinLine, pending.pinLineText, pending.pinColumn, pending.pinWidth,
                      what + " stands before no statement");
            else
                error(pending.labels.front().line, pending.labels.front().lineText, pending.labels.front().column,
                      static_cast<int>(pending.labels.front().name.size()), what + " stands before no statement");
        }
    }

    void readLine(int number, const std::string& text, Entry& pending, bool& hasPending) {
        const size_t hash = text.find('#');
        const std::string_view code = std::string_view(text).substr(0, hash);
        const std::vector<Token> tokens = tokenize(code);
        if (!hasPending) {
            pending = Entry{};
            pending.line = number;
            pending.lineText = text;
        }
        size_t i = 0;
        if (i < tokens.size() && tokens[i].is("@")) {
            const Token* address = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
            if (address == nullptr || !isHexWord(address->text) || address->text.size() > 3 ||
                std::stoi(address->text, nullptr, 16) > kLastPosition) {
                error(number, text, tokens[i].column, address ? address->column + address->width() - tokens[i].column : 1,
                      "a placement is @ and an address from 0 to 1FF, as in @100");
                hasPending = false;
                return;
            }
            if (pending.pin) {
                error(number, text, tokens[i].column, 1, "a statement can have one placement only");
            } else {
                pending.pin = std::stoi(address->text, nullptr, 16);
                pending.pinColumn = tokens[i].column;
                pending.pinWidth = address->column + address->width() - tokens[i].column;
                pending.pinLine = number;
                pending.pinLineText = text;
            }
            i += 2;
        }
        while (i + 1 < tokens.size() && tokens[i].kind == Token::Kind::Word && tokens[i + 1].is(":")) {
            pending.labels.push_back({tokens[i].text, tokens[i].column, number, text});
            if (!checkLabelName(number, text, tokens[i]))
                pending.labels.pop_back();
            i += 2;
        }
        if (i >= tokens.size()) {
            hasPending = hasPending || pending.pin.has_value() || !pending.labels.empty();
            return;
        }
        // The statement is the rest of the line, as written.
        const int column = tokens[i].column;
        std::string_view statement = code.substr(static_cast<size_t>(column - 1));
        while (!statement.empty() && (statement.back() == ' ' || statement.back() == '\t'))
            statement.remove_suffix(1);
        pending.line = number;
        pending.lineText = text;
        pending.mi = parseStatement({statement, column, number, text}, result_.diagnostics);
        if (pending.mi && pending.mi->kind == Microinstruction::Kind::Instruction)
            if (const auto lost = lostMdrValue(pending.mi->c, pending.mi->memory))
                warnAtMdr(number, text, column, statement, *lost);
        entries_.push_back(std::move(pending));
        hasPending = false;
    }

    bool checkLabelName(int number, const std::string& text, const Token& t) {
        if (isHexWord(t.text)) {
            std::string upper = t.text;
            std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
            error(number, text, t.column, t.width(),
                  "'" + t.text + "' cannot be a label: a word made only of hexadecimal digits is always the address " +
                      upper + "; give the label a letter outside A to F or an underscore, as in " + t.text + "_");
            return false;
        }
        if (!isLabelName(t.text) || isReservedWord(t.text)) {
            error(number, text, t.column, t.width(),
                  "'" + t.text + "' cannot be a label: " +
                      (isReservedWord(t.text) ? "it is a word of the language" : "a label starts with a letter or '_'"));
            return false;
        }
        return true;
    }

    // ---- Labels and targets --------------------------------------------------------------------
    void defineLabels() {
        for (size_t i = 0; i < entries_.size(); ++i)
            for (const Label& label : entries_[i].labels) {
                const auto [it, added] = labels_.emplace(label.name, i);
                if (!added)
                    error(label.line, label.lineText, label.column, static_cast<int>(label.name.size()),
                          "the label '" + label.name + "' is defined twice; first on line " +
                              std::to_string(entries_[it->second].line));
            }
    }

    std::vector<std::string_view> labelNames() const {
        std::vector<std::string_view> names;
        for (const auto& [name, index] : labels_)
            names.push_back(name);
        return names;
    }

    // The entry a target names, or -1 for an address; false on an undefined label.
    bool resolve(size_t from, const Target& target, int& entry) {
        entry = -1;
        if (target.kind == Target::Kind::NextStatement) {
            if (from + 1 >= entries_.size()) {
                error(entries_[from], 0, 1, "the last statement has no jump: end it with goto, or end the program with halt");
                return false;
            }
            entry = static_cast<int>(from + 1);
        } else if (target.kind == Target::Kind::Label) {
            const auto it = labels_.find(target.label);
            if (it == labels_.end()) {
                const std::string nearest =
                    ++labelSuggestions_ <= kMostLabelSuggestions ? nearestName(target.label, labelNames()) : "";
                error(entries_[from], target.column, target.width,
                      "the label '" + target.label + "' is used but never defined" +
                          (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
                return false;
            }
            entry = static_cast<int>(it->second);
        }
        return true;
    }

    bool resolveTargets() {
        bool ok = true;
        nextEntry_.assign(entries_.size(), -1);
        thenEntry_.assign(entries_.size(), -1);
        for (size_t i = 0; i < entries_.size(); ++i) {
            const auto& mi = entries_[i].mi;
            if (!mi || mi->kind != Microinstruction::Kind::Instruction)
                continue;
            ok = resolve(i, mi->next, nextEntry_[i]) && ok;
            if (mi->jump == JumpKind::NBranch || mi->jump == JumpKind::ZBranch)
                ok = resolve(i, mi->thenTarget, thenEntry_[i]) && ok;
        }
        return ok;
    }

    // ---- Branch pairs --------------------------------------------------------------------------
    int find(int e) {
        if (entries_[e].parent == e)
            return e;
        const int root = find(entries_[e].parent);
        entries_[e].offset += entries_[entries_[e].parent].offset;
        entries_[e].parent = root;
        return root;
    }

    std::string describe(int e) const {
        const Entry& entry = entries_[e];
        return entry.labels.empty() ? "the statement on line " + std::to_string(entry.line)
                                    : "'" + entry.labels.front().name + "'";
    }

    // The address of `later` must be the address of `earlier` + distance.
    bool require(int earlier, int later, int distance, const Entry& because) {
        const int a = find(earlier);
        const int b = find(later);
        if (a == b) {
            if (entries_[later].offset - entries_[earlier].offset == distance)
                return true;
            error(because, 0, 1,
                  "this branch cannot be placed: " + describe(later) + " would have to lie at " + describe(earlier) +
                      " + 100, but other branches place them otherwise");
            return false;
        }
        entries_[b].parent = a;
        entries_[b].offset = entries_[earlier].offset + distance - entries_[later].offset;
        return true;
    }

    bool pinEntry(int e, int address, const Entry& because, int column, int width) {
        if (address < 0 || address > kLastPosition) {
            error(because, column, width, describe(e) + " would have to lie at " + hexAddress(address) +
                                              ", outside the control store (0 to 1FF)");
            return false;
        }
        pins_.push_back({e, address, because.line, because.lineText, column, width});
        return true;
    }

    bool joinBranchPairs() {
        for (size_t i = 0; i < entries_.size(); ++i) {
            entries_[i].parent = static_cast<int>(i);
            entries_[i].offset = 0;
        }
        bool ok = true;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& e = entries_[i];
            if (e.pin)
                pins_.push_back({static_cast<int>(i), *e.pin, e.pinLine, e.pinLineText, e.pinColumn, e.pinWidth});
            // A raw line goes where its own address field puts it.
            if (e.mi && e.mi->kind == Microinstruction::Kind::Raw)
                pins_.push_back({static_cast<int>(i), ConvHextoInt(e.mi->raw.front()), e.line, e.lineText, 0, 1});
            if (!e.mi || (e.mi->jump != JumpKind::NBranch && e.mi->jump != JumpKind::ZBranch))
                continue;
            const int otherwise = nextEntry_[i];
            const int taken = thenEntry_[i];
            const Target& t = e.mi->thenTarget;
            const Target& o = e.mi->next;
            if (otherwise >= 0 && taken >= 0)
                ok = require(otherwise, taken, kBranchOffset, e) && ok;
            else if (otherwise >= 0)
                ok = pinEntry(otherwise, t.address - kBranchOffset, e, t.column, t.width) && ok;
            else if (taken >= 0)
                ok = pinEntry(taken, o.address + kBranchOffset, e, o.column, o.width) && ok;
        }
        return ok && checkGroups();
    }

    // The branch whose then target lies at `offset` in the group of `root`.
    int branchTaking(int root, int offset) {
        for (size_t i = 0; i < entries_.size(); ++i) {
            const int taken = thenEntry_[i];
            if (taken >= 0 && find(taken) == root && entries_[taken].offset == offset)
                return static_cast<int>(i);
        }
        return root;
    }

    struct Group {
        std::vector<int> members;  // in file order
        int minOffset = 0;
        std::optional<int> base;   // address of offset 0, once known
    };

    bool checkGroups() {
        bool ok = true;
        for (size_t i = 0; i < entries_.size(); ++i)
            groups_[find(static_cast<int>(i))].members.push_back(static_cast<int>(i));
        for (auto& [root, group] : groups_) {
            std::map<int, int> byOffset;
            group.minOffset = entries_[group.members.front()].offset;
            int maxOffset = group.minOffset;
            for (const int m : group.members) {
                const int offset = entries_[m].offset;
                group.minOffset = std::min(group.minOffset, offset);
                maxOffset = std::max(maxOffset, offset);
                const auto [it, added] = byOffset.emplace(offset, m);
                if (!added) {
                    error(entries_[m], 0, 1,
                          describe(m) + " and " + describe(it->second) +
                              " would have to share one position, as branch targets 100 apart");
                    ok = false;
                }
            }
            if (maxOffset - group.minOffset > kBranchOffset) {
                error(entries_[branchTaking(root, maxOffset)], 0, 1,
                      "these branch targets cannot be placed: a label that is the then target of one branch and "
                      "the else target of another needs three positions 100 apart, and the control store has "
                      "only 0 to 1FF");
                ok = false;
            }
        }
        for (const Pin& pin : pins_) {
            Group& group = groups_[find(pin.entry)];
            const int base = pin.address - entries_[pin.entry].offset;
            if (group.base && *group.base != base) {
                error(pin.line, pin.lineText, pin.column, pin.width,
                      "this places " + describe(pin.entry) + " at " + hexAddress(pin.address) +
                          ", which another placement or branch contradicts");
                ok = false;
            }
            group.base = base;
        }
        return ok;
    }

    // ---- Placement -----------------------------------------------------------------------------
    bool isFreeHalt(int e) const {
        const Entry& entry = entries_[e];
        return entry.mi && entry.mi->kind == Microinstruction::Kind::Halt && !entry.pin && e != 0 &&
               groups_.at(entries_[e].parent).members.size() == 1;
    }

    bool fits(const Group& group, int base) const {
        for (const int m : group.members) {
            const int address = base + entries_[m].offset;
            if (address < 0 || address > kLastPosition || owner_[static_cast<size_t>(address)] != kFree)
                return false;
        }
        return true;
    }

    bool put(const Group& group, int base) {
        bool ok = true;
        for (const int m : group.members) {
            const int address = base + entries_[m].offset;
            if (address < 0 || address > kLastPosition) {
                error(entries_[m], 0, 1, describe(m) + " would lie at " + hexAddress(address) +
                                             ", outside the control store (0 to 1FF)");
                ok = false;
                continue;
            }
            const int holder = owner_[static_cast<size_t>(address)];
            if (holder != kFree) {
                error(entries_[m], entries_[m].pinColumn, std::max(entries_[m].pinWidth, 1),
                      "two statements for position " + hexAddress(address) + ": this one and the one on line " +
                          std::to_string(entries_[holder].line));
                ok = false;
                continue;
            }
            owner_[static_cast<size_t>(address)] = m;
            entries_[m].address = address;
        }
        return ok;
    }

    bool place() {
        for (size_t i = 0; i < entries_.size(); ++i)
            find(static_cast<int>(i));
        const size_t needed = static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
            return !isFreeHalt(static_cast<int>(&e - entries_.data()));
        }));
        if (needed > static_cast<size_t>(kControlStoreLines)) {
            error(entries_[kControlStoreLines], 0, 1,
                  "the program has " + std::to_string(needed) + " statements, more than the " +
                      std::to_string(kControlStoreLines) + " positions of the control store (0 to 1FF)");
            return false;
        }
        // In file order the listing reads like the source. That can leave a
        // late branch pair no x below 100 with x + 100 free; then the pairs
        // go first, and only that attempt's errors are reported.
        const std::vector<Diagnostic> before = result_.diagnostics;
        if (placeAll(false))
            return true;
        result_.diagnostics = before;
        return placeAll(true);
    }

    // Statements go in file order, each at the first free position after the
    // one before it, as a location counter would put them: @ADDRESS moves it.
    bool placeAll(bool branchPairsFirst) {
        owner_.fill(kFree);
        for (Entry& e : entries_)
            e.address = kFree;
        result_.endOfRun = -1;
        bool ok = true;
        for (auto& [root, group] : groups_)
            if (group.base)
                ok = put(group, *group.base) && ok;
        if (!ok || !placeFirstStatement())
            return false;
        if (branchPairsFirst)
            for (const auto& [first, group] : groupsInFileOrder())
                if (entries_[first].address == kFree && group->members.size() > 1)
                    ok = placeGroup(*group, first, 0) && ok;
        int counter = 0;
        for (size_t i = 0; i < entries_.size() && ok; ++i) {
            const int e = static_cast<int>(i);
            if (isFreeHalt(e))
                continue;
            if (entries_[i].address == kFree)
                ok = placeGroup(groups_[find(e)], e, counter);
            counter = entries_[i].address + 1;
        }
        return ok && placeEnd() && checkStart();
    }

    std::vector<std::pair<int, Group*>> groupsInFileOrder() {
        std::vector<std::pair<int, Group*>> ordered;
        for (auto& [root, group] : groups_)
            ordered.emplace_back(group.members.front(), &group);
        std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return ordered;
    }

    bool placeFirstStatement() {
        if (entries_.empty() || owner_[0] != kFree || entries_[0].address != kFree)
            return true;
        Group& group = groups_[find(0)];
        if (entries_[0].offset != group.minOffset) {
            error(entries_[0], 0, 1,
                  "every run starts at position 0, and the first statement cannot lie there: it is the then "
                  "target of a branch (at its else target + 100); begin with another statement or place one with @0");
            return false;
        }
        if (!fits(group, -entries_[0].offset))
            return true;  // another statement will be found at 0, or the start is reported missing
        return put(group, -entries_[0].offset);
    }

    // Puts the group so that `entry` lies at `from` or after it, or failing
    // that anywhere it fits.
    bool placeGroup(Group& group, int entry, int from) {
        const int offset = entries_[entry].offset;
        for (int base = std::max(from - offset, -group.minOffset); base + offset <= kLastPosition; ++base)
            if (fits(group, base))
                return put(group, base);
        for (int base = -group.minOffset; base + offset < from; ++base)
            if (fits(group, base))
                return put(group, base);
        if (group.members.size() > 1)
            error(entries_[entry], 0, 1, "no room is left for the branch targets " + describe(entry) +
                                             ": they need two free positions x and x + 100");
        else
            error(entries_[entry], 0, 1, "no free position is left in the control store (0 to 1FF) for this statement");
        return false;
    }

    bool placeEnd() {
        int highest = -1;
        for (int p = kLastPosition; p >= 0 && highest < 0; --p)
            if (owner_[static_cast<size_t>(p)] != kFree)
                highest = p;
        int highestHalt = -1;
        bool freeHalt = false;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const bool halt = entries_[i].mi && entries_[i].mi->kind == Microinstruction::Kind::Halt;
            if (halt && isFreeHalt(static_cast<int>(i)))
                freeHalt = true;
            else if (halt)
                highestHalt = std::max(highestHalt, entries_[i].address);
        }
        if (!freeHalt && highestHalt < 0)
            return true;
        const bool haltIsLast = !freeHalt && highestHalt == highest;
        const int end = haltIsLast ? highest : highest + 1;
        if (end > kLastPosition) {
            const auto last = std::find_if(entries_.rbegin(), entries_.rend(), [](const Entry& e) {
                return e.mi && e.mi->kind == Microinstruction::Kind::Halt;
            });
            error(*last, 0, 1, "no room for the end of the run: the halt needs a position after the last one used, "
                               "and position 1FF is taken");
            return false;
        }
        result_.endOfRun = end;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (isFreeHalt(static_cast<int>(i)))
                entries_[i].address = end;
        if (!haltIsLast) {
            const auto firstFree = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
                return isFreeHalt(static_cast<int>(&e - entries_.data()));
            });
            owner_[static_cast<size_t>(end)] =
                firstFree == entries_.end() ? kEndLine : static_cast<int>(firstFree - entries_.begin());
        }
        return true;
    }

    bool checkStart() {
        if (entries_.empty() || owner_[0] != kFree)
            return true;
        error(entries_[0], 0, 1, "no statement lies at position 0, where every run starts; place one there with @0");
        return false;
    }

    // ---- Output --------------------------------------------------------------------------------
    int addressOf(int entry, const Target& target) const {
        return entry >= 0 ? entries_[entry].address : target.address;
    }

    void emit() {
        int last = -1;
        for (int p = 0; p <= kLastPosition; ++p)
            if (owner_[static_cast<size_t>(p)] != kFree)
                last = p;
        std::string text;
        for (int p = 0; p <= last; ++p) {
            const int holder = owner_[static_cast<size_t>(p)];
            if (holder == kFree) {
                text += controlStoreFillerLine(p);
            } else if (holder == kEndLine) {
                text += hexAddress(p) + "\t" + hexAddress(p) + "\t0\t0\t0\t0\t0";
            } else {
                const Entry& e = entries_[static_cast<size_t>(holder)];
                // Every halt jumps to the end line; the one that is the end line jumps to itself.
                const std::vector<std::string> fields = e.mi->kind == Microinstruction::Kind::Halt
                             ? std::vector<std::string>{hexAddress(p), hexAddress(result_.endOfRun), "0", "0", "0", "0", "0"}
                             : lineFields(*e.mi, p, addressOf(nextEntry_[static_cast<size_t>(holder)], e.mi->next));
                text += joinText(fields, "\t");
                result_.placed.push_back({e.line, p, fields});
            }
            text += '\n';
        }
        result_.controlStore = std::move(text);
    }

    struct Pin {
        int entry;
        int address;
        int line;
        std::string lineText;
        int column;
        int width;
    };

    std::string_view source_;
    int labelSuggestions_ = 0;
    Assembly result_;
    std::vector<Entry> entries_;
    std::map<std::string, size_t> labels_;
    std::vector<int> nextEntry_;
    std::vector<int> thenEntry_;
    std::vector<Pin> pins_;
    std::map<int, Group> groups_;
    std::array<int, kControlStoreLines> owner_{};
};

} // namespace

namespace {

// The first line that is not blank, when it is a control-store line: seven
// or more tab-separated fields, the first six made of hexadecimal digits.
// No statement of the language has that form.
std::optional<std::pair<int, std::string>> controlStoreLineAtTop(std::string_view source) {
    const std::vector<std::string> lines = splitText(source, "\n");
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string text = lines[i];
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.find_first_not_of(" \t") == std::string::npos)
            continue;
        const std::vector<std::string> fields = splitText(text, "\t");
        const bool isControlStoreLine =
            fields.size() >= 7 && std::all_of(fields.begin(), fields.begin() + 6, [](const std::string& f) {
                return !f.empty() && isHexWord(f);
            });
        if (!isControlStoreLine)
            return std::nullopt;
        return std::pair(static_cast<int>(i) + 1, text);
    }
    return std::nullopt;
}

} // namespace

Assembly assembleMicroprogram(std::string_view source) {
    // One error for the whole file, not one for each of its lines.
    if (const auto line = controlStoreLineAtTop(source)) {
        Assembly assembly;
        assembly.diagnostics.push_back(
            {Severity::Error, line->first, 1, static_cast<int>(line->second.find('\t')),
             "this is a control-store file (a microinstruction a line, seven tab-separated fields), not a "
             "microprogram source; orvik-asm --list FILE shows what it does, and orvik-asm --source FILE turns it "
             "into source that orvik-asm assembles",
             line->second});
        return assembly;
    }
    return Assembler(source).run();
}

} // namespace orvik::assembler
