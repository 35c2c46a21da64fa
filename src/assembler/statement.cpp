#include "assembler/statement.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "assembler/nearest.h"
#include "base/hex_text.h"
#include "base/split_text.h"
#include "microcode/notation.h"

namespace orvik::assembler {

namespace {

constexpr int kLastPosition = 0x1FF;

// ---- The ALU texts the machine has ------------------------------------------------------------

struct AluCandidate {
    const AluCode* code;
    const BSource* b;  // none when the code does not use B
    std::vector<std::string> tokens;
    std::string text;
};

std::vector<std::string> tokenTexts(const std::vector<Token>& tokens) {
    std::vector<std::string> texts;
    for (const Token& t : tokens)
        texts.push_back(t.text);
    return texts;
}

// Every ALU text there is: each code with A = H and, for a code that uses B,
// each of the nine B names.
const std::vector<AluCandidate>& aluCandidates() {
    static const std::vector<AluCandidate> candidates = [] {
        std::vector<AluCandidate> all;
        for (const AluCode& code : kAluCodes) {
            const auto add = [&](const BSource* b) {
                const std::string text = aluText(code, "H", b == nullptr ? "" : b->name);
                all.push_back({&code, b, tokenTexts(tokenize(text)), text});
            };
            if (code.usesB)
                for (const BSource& b : kBSources)
                    add(&b);
            else
                add(nullptr);
        }
        return all;
    }();
    return candidates;
}

// The forms, with B standing for any B source, as the error messages list them.
std::string aluFormList() {
    std::string list;
    for (const AluCode& code : kAluCodes) {
        if (!list.empty())
            list += ", ";
        list += aluText(code, "H", "B");
    }
    return list + " (B is MDR, PC, MBR, MBRU, SP, LV, CPP, TOS or OPC)";
}

// A token's role in an ALU text: "A" for H, "B" for a B source, else itself.
std::string role(const std::string& token) {
    if (token == "H")
        return "A";
    if (bSourceNamed(token) != nullptr)
        return "B";
    return token;
}

std::vector<std::string> roles(const std::vector<std::string>& tokens) {
    std::vector<std::string> result;
    for (const std::string& t : tokens)
        result.push_back(role(t));
    return result;
}

bool isRegisterWord(const std::string& token) { return token == "H" || bSourceNamed(token) != nullptr; }

// ---- Names for "did you mean" ---------------------------------------------------------------

const std::vector<std::string_view>& destinationNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const Register reg : kDestinationsByBit)
            all.push_back(registerName(reg));
        return all;
    }();
    return names;
}

const std::vector<std::string_view>& aluWords() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> all = {"H", "AND", "OR"};
        for (const BSource& b : kBSources)
            all.push_back(b.name);
        return all;
    }();
    return words;
}

const std::vector<std::string_view>& memoryWords() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> all;
        for (const MemoryOperation& op : kMemoryOperations)
            if (!op.word.empty())
                all.push_back(op.word);
        return all;
    }();
    return words;
}

std::string didYouMean(const std::string& nearest) { return nearest.empty() ? "" : "; did you mean " + nearest + "?"; }

// ---- The parser ---------------------------------------------------------------------------------

class StatementParser {
public:
    StatementParser(const StatementText& statement, std::vector<Diagnostic>& diagnostics)
        : s_(statement), diagnostics_(diagnostics), tokens_(tokenize(statement.text, statement.column)) {}

    std::optional<Microinstruction> parse() {
        Microinstruction mi;
        if (isRawStatement())
            return raw(mi) ? std::optional(mi) : std::nullopt;
        const BSource* chosenB = nullptr;
        if (!bSuffix(chosenB))
            return std::nullopt;
        if (tokens_.empty())
            return fail(s_.column, 1, "the statement is missing");
        if (tokens_.size() == 1 && tokens_[0].is("halt")) {
            mi.kind = Microinstruction::Kind::Halt;
            return chosenB == nullptr ? std::optional(mi) : fail(suffixColumn_, 1, "halt takes no [B=...]");
        }
        const bool ok = peekIs("goto") || peekIs("if") ? jumpAlone(mi) : instruction(mi, chosenB);
        if (!ok)
            return std::nullopt;
        if (chosenB != nullptr)
            mi.b = chosenB->code;
        return mi;
    }

private:
    // ---- Tokens ----
    const Token* peek(size_t ahead = 0) const { return at_ + ahead < tokens_.size() ? &tokens_[at_ + ahead] : nullptr; }
    bool peekIs(std::string_view text, size_t ahead = 0) const {
        const Token* t = peek(ahead);
        return t != nullptr && t->is(text);
    }
    bool atEnd() const { return at_ >= tokens_.size(); }
    int endColumn() const { return s_.column + static_cast<int>(s_.text.size()); }

    std::nullopt_t fail(int column, int width, std::string message) {
        diagnostics_.push_back({Severity::Error, s_.line, column, std::max(width, 1), std::move(message),
                                std::string(s_.lineText)});
        return std::nullopt;
    }
    bool failed(int column, int width, std::string message) {
        fail(column, width, std::move(message));
        return false;
    }
    bool failAt(const Token* t, std::string message) {
        return t == nullptr ? failed(endColumn(), 1, std::move(message)) : failed(t->column, t->width(), std::move(message));
    }
    bool expect(std::string_view text, std::string_view context) {
        if (peekIs(text)) {
            ++at_;
            return true;
        }
        const Token* t = peek();
        return failAt(t, "expected '" + std::string(text) + "' " + std::string(context) +
                             (t == nullptr ? ", but the statement ends" : ", not '" + t->text + "'"));
    }

    // ---- raw ----
    bool isRawStatement() const {
        return s_.text.substr(0, 3) == "raw" && (s_.text.size() == 3 || s_.text[3] == ' ' || s_.text[3] == '\t');
    }
    bool raw(Microinstruction& mi) {
        mi.kind = Microinstruction::Kind::Raw;
        std::string_view rest = s_.text.substr(3);
        size_t i = 0;
        while (i < rest.size()) {
            while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t'))
                ++i;
            const size_t start = i;
            while (i < rest.size() && rest[i] != ' ' && rest[i] != '\t')
                ++i;
            if (i > start)
                mi.raw.emplace_back(rest.substr(start, i - start));
        }
        if (mi.raw.empty())
            return failed(s_.column, 3, "raw needs the fields of the line, the address first");
        const int address = ConvHextoInt(mi.raw.front());
        if (address > kLastPosition)
            return failed(s_.column + 4, static_cast<int>(mi.raw.front().size()),
                          "the address field '" + mi.raw.front() + "' reads as " + hexText(address) +
                              ", outside the control store (0 to 1FF)");
        return true;
    }

    // ---- [B=NAME] ----
    bool bSuffix(const BSource*& chosen) {
        const size_t n = tokens_.size();
        if (n == 0 || !tokens_.back().is("]"))
            return true;
        if (n < 5 || !tokens_[n - 5].is("[") || !tokens_[n - 4].is("B") || !tokens_[n - 3].is("="))
            return failed(tokens_.back().column, 1, "a statement may end with [B=NAME] only");
        const Token& name = tokens_[n - 2];
        chosen = bSourceNamed(name.text);
        if (chosen == nullptr)
            return failed(name.column, name.width(),
                          "'" + name.text + "' is not a B source" +
                              didYouMean(nearestName(name.text, std::vector<std::string_view>(aluWords().begin() + 3, aluWords().end()))));
        suffixColumn_ = tokens_[n - 5].column;
        tokens_.resize(n - 5);
        return true;
    }

    // ---- Targets and jumps ----
    std::optional<Target> target() {
        const Token* t = peek();
        if (t == nullptr || t->kind != Token::Kind::Word) {
            failAt(t, "expected a label or an address");
            return std::nullopt;
        }
        ++at_;
        Target target;
        target.column = t->column;
        target.width = t->width();
        if (isHexWord(t->text)) {
            const unsigned long value = t->text.size() > 4 ? 0x10000 : std::stoul(t->text, nullptr, 16);
            if (value > kLastPosition) {
                const bool digitsOnly = std::all_of(t->text.begin(), t->text.end(), [](char c) { return c >= '0' && c <= '9'; });
                failAt(t, (digitsOnly ? "" : "'" + t->text + "' is made only of hexadecimal digits, so it is an address, not a label; ") +
                              "position " + t->text + " does not exist: the control store has the positions 0 to 1FF");
                return std::nullopt;
            }
            target.kind = Target::Kind::Address;
            target.address = static_cast<int>(value);
        } else if (isLabelName(t->text)) {
            target.kind = Target::Kind::Label;
            target.label = t->text;
        } else {
            failAt(t, "'" + t->text + "' is neither a label nor a hexadecimal address");
            return std::nullopt;
        }
        return target;
    }

    bool jump(Microinstruction& mi) {
        if (peekIs("if"))
            return branch(mi);
        if (!expect("goto", "to start the jump"))
            return false;
        if (peekIs("(")) {
            ++at_;
            if (!expect("MBR", "in goto (MBR OR x)") || !expect("OR", "in goto (MBR OR x)"))
                return false;
            const std::optional<Target> x = target();
            if (!x || !expect(")", "to close goto (MBR OR x)"))
                return false;
            mi.jump = JumpKind::MbrJump;
            mi.next = *x;
            return true;
        }
        const std::optional<Target> to = target();
        if (!to)
            return false;
        mi.jump = JumpKind::Plain;
        mi.next = *to;
        return true;
    }

    bool branch(Microinstruction& mi) {
        ++at_;  // if
        if (!expect("(", "after if"))
            return false;
        const Token* flag = peek();
        if (flag == nullptr || !(flag->is("N") || flag->is("Z")))
            return failAt(flag, "a branch tests N or Z: if (N) or if (Z)");
        ++at_;
        mi.jump = flag->is("N") ? JumpKind::NBranch : JumpKind::ZBranch;
        if (!expect(")", "after the flag") || !expect("goto", "after if (" + flag->text + ")"))
            return false;
        const std::optional<Target> taken = target();
        if (!taken || !expect(";", "before else") || !expect("else", "in the branch") ||
            !expect("goto", "after else"))
            return false;
        const std::optional<Target> otherwise = target();
        if (!otherwise)
            return false;
        mi.thenTarget = *taken;
        mi.next = *otherwise;
        if (otherwise->kind == Target::Kind::Address && otherwise->address + kBranchOffsetHex > kLastPosition)
            return failed(otherwise->column, otherwise->width,
                          "a taken branch goes to its else target + 100, and " + hexText(otherwise->address) +
                              " + 100 lies beyond 1FF");
        if (taken->kind == Target::Kind::Address && otherwise->kind == Target::Kind::Address &&
            taken->address != otherwise->address + kBranchOffsetHex)
            return failed(taken->column, taken->width,
                          "the then target is always the else target + 100: with else goto " +
                              hexText(otherwise->address) + " it is " +
                              hexText(otherwise->address + kBranchOffsetHex));
        if (taken->kind == Target::Kind::Address && taken->address < kBranchOffsetHex)
            return failed(taken->column, taken->width,
                          "the then target is always the else target + 100, so it lies at 100 or above, not at " +
                              hexText(taken->address));
        return true;
    }

    bool jumpAlone(Microinstruction& mi) {
        // A jump with nothing before it is the form of ALU field 0.
        if (!jump(mi))
            return false;
        return atEnd() || failAt(peek(), "unexpected '" + peek()->text + "' after the jump");
    }

    // ---- Destinations, ALU, memory ----
    bool instruction(Microinstruction& mi, const BSource* chosenB) {
        std::vector<const Token*> destinations;
        while (peek() != nullptr && peek()->kind == Token::Kind::Word && peekIs("=", 1)) {
            destinations.push_back(peek());
            at_ += 2;
        }
        std::optional<JumpKind> branchForm;
        if (!destinations.empty() && (destinations[0]->is("N") || destinations[0]->is("Z"))) {
            branchForm = destinations[0]->is("N") ? JumpKind::NBranch : JumpKind::ZBranch;
            if (destinations.size() > 1)
                return failed(destinations[1]->column, destinations[1]->width(),
                              "the form '" + destinations[0]->text +
                                  " = ...' shows a branch and takes no destinations; write them in the plain "
                                  "form, as in TOS=TOS-1;;if (Z) goto x; else goto y");
        } else if (!destinationBits(destinations, mi)) {
            return false;
        }
        const size_t aluStart = at_;
        while (peek() != nullptr && !peekIs(";"))
            ++at_;
        if (!alu(aluStart, at_, mi, chosenB))
            return false;
        bool hasMemoryWord = false;
        if (peekIs(";")) {
            ++at_;
            if (!peekIs("goto") && !peekIs("if") && !peekIs(";") && !atEnd()) {
                if (!memoryWord(mi))
                    return false;
                hasMemoryWord = true;
            }
            if (peekIs(";"))
                ++at_;
        }
        if (atEnd()) {
            mi.next.kind = Target::Kind::NextStatement;
        } else if (!jump(mi)) {
            return false;
        } else if (!atEnd()) {
            return failAt(peek(), "unexpected '" + peek()->text + "' after the jump");
        }
        return branchForm ? checkBranchForm(*branchForm, *destinations[0], hasMemoryWord, mi) : true;
    }

    bool checkBranchForm(JumpKind form, const Token& flag, bool hasMemoryWord, const Microinstruction& mi) {
        if (mi.jump != form)
            return failed(flag.column, flag.width(),
                          "'" + flag.text + " = ...' is the form of " + (form == JumpKind::NBranch ? "an N" : "a Z") +
                              " branch: its jump must be if (" + flag.text + ") goto x; else goto y");
        if (hasMemoryWord)
            return failed(flag.column, flag.width(),
                          "the form '" + flag.text +
                              " = ...' shows no memory word; write the plain form, as in TOS;Read;if (" + flag.text +
                              ") goto x; else goto y");
        return true;
    }

    bool destinationBits(const std::vector<const Token*>& destinations, Microinstruction& mi) {
        uint16_t bits = 0;
        for (const Token* t : destinations) {
            const std::optional<Register> reg = registerNamed(t->text);
            if (reg && *reg == Register::MBR)
                return failAt(t, "MBR is not a C-bus destination: only a fetch writes it");
            if (!reg)
                return failAt(t, "'" + t->text + "' is not a C-bus destination" +
                                     didYouMean(nearestName(t->text, destinationNames())) +
                                     " (the destinations are H, OPC, TOS, CPP, LV, SP, PC, MDR and MAR)");
            const uint16_t bit = static_cast<uint16_t>(1u << kRegisters[boxIndexOf(*reg)].cBit);
            if (bits & bit)
                return failAt(t, t->text + " is written twice");
            bits |= bit;
        }
        mi.c = cFieldFor(bits);
        return true;
    }

    bool memoryWord(Microinstruction& mi) {
        const Token* t = peek();
        if (t->is(kKeptWord)) {
            // Memory field 6 starts nothing and keeps the word of before.
            mi.memory = "6";
            ++at_;
            return true;
        }
        const MemoryOperation* op = memoryOperationNamed(t->text);
        if (op == nullptr || op->word.empty())
            return failAt(t, "'" + t->text + "' is not a memory word" + didYouMean(nearestName(t->text, memoryWords())) +
                                 " (the words are Fetch, Read, RdFetch, Write and WrFetch, nothing, or ... to keep the word of before)");
        mi.memory = op->code;
        ++at_;
        return true;
    }

    bool alu(size_t from, size_t to, Microinstruction& mi, const BSource* chosenB) {
        const std::vector<Token> part(tokens_.begin() + static_cast<long>(from), tokens_.begin() + static_cast<long>(to));
        if (part.empty())
            return failAt(peek(), "the ALU text is missing");
        const std::vector<std::string> texts = tokenTexts(part);
        for (const AluCandidate& candidate : aluCandidates()) {
            if (candidate.tokens != texts)
                continue;
            mi.alu = candidate.code->code;
            if (candidate.b != nullptr) {
                if (chosenB != nullptr && chosenB != candidate.b)
                    return failed(suffixColumn_, 1,
                                  "[B=" + std::string(chosenB->name) + "] differs from the B source " +
                                      std::string(candidate.b->name) + " that the ALU text names");
                mi.b = candidate.b->code;
            }
            return true;
        }
        const int width = part.back().column + part.back().width() - part.front().column;
        const std::string written(s_.text.substr(static_cast<size_t>(part.front().column - s_.column),
                                                 static_cast<size_t>(width)));
        return failed(part.front().column, width, aluFault(part, written));
    }

    // Why an ALU text is none the machine has, and what would be right.
    static std::string aluFault(const std::vector<Token>& part, const std::string& written) {
        for (const Token& t : part) {
            if (t.kind == Token::Kind::Bad)
                return "unexpected character '" + t.text + "' in the ALU text";
            const bool number = t.is("0") || t.is("1") || t.is("8");
            if (t.kind == Token::Kind::Word && !number && !isRegisterWord(t.text) && !t.is("AND") && !t.is("OR")) {
                const std::string nearest = nearestName(t.text, aluWords());
                if (registerNamed(t.text))
                    return t.text + " is not a B source and not H, so it cannot stand in an ALU text" +
                           std::string(t.is("MAR") ? " (MAR is only ever written)" : "");
                return "unknown register '" + t.text + "' in the ALU text" + didYouMean(nearest);
            }
        }
        const std::vector<std::string> shape = roles(tokenTexts(part));
        std::vector<std::string> swapped = shape;
        for (std::string& r : swapped)
            r = r == "A" ? "B" : r == "B" ? "A" : r;
        for (const AluCandidate& candidate : aluCandidates()) {
            if (roles(candidate.tokens) == swapped) {
                const std::string b = candidate.b == nullptr ? "" : std::string(candidate.b->name);
                const auto bToken = std::find_if(part.begin(), part.end(), [](const Token& t) { return role(t.text) == "B"; });
                if (candidate.b != nullptr && bToken != part.end() && bToken->text != b)
                    continue;
                return "the machine has no ALU text " + written + ": it has " + candidate.text +
                       " (the A operand is H, the B operand a B source, in this order)";
            }
        }
        std::string best;
        int bestDistance = 4;
        // A text far longer than any form is no slip of the keyboard (see kLongestSuggestedWord).
        const std::string joined = joinTokens(part);
        for (const AluCandidate& candidate : aluCandidates()) {
            if (joined.size() > kLongestSuggestedWord)
                break;
            const int distance = editDistance(joined, joinTokens(tokenize(candidate.text)));
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate.text;
            }
        }
        return "the machine has no ALU text " + written + didYouMean(best) + "; the forms are " + aluFormList();
    }

    static constexpr int kBranchOffsetHex = 0x100;

    const StatementText& s_;
    std::vector<Diagnostic>& diagnostics_;
    std::vector<Token> tokens_;
    size_t at_ = 0;
    int suffixColumn_ = 0;
};

} // namespace

std::optional<Microinstruction> parseStatement(const StatementText& statement, std::vector<Diagnostic>& diagnostics) {
    return StatementParser(statement, diagnostics).parse();
}

std::vector<std::string> lineFields(const Microinstruction& mi, int address, int next) {
    if (mi.kind == Microinstruction::Kind::Raw)
        return mi.raw;
    return {hexText(address), hexText(next), std::string(jumpFieldFor(mi.jump)), mi.alu, mi.c, mi.memory, mi.b};
}

bool isLabelName(std::string_view word) {
    if (word.empty() || isHexWord(word))
        return false;
    const auto first = static_cast<unsigned char>(word.front());
    return std::isalpha(first) || word.front() == '_';
}

std::optional<std::string> lostMdrValue(std::string_view cField, std::string_view memoryField) {
    const MemoryOperation* operation = memoryOperationOf(memoryField);
    const auto mdrBit = std::find(kDestinationsByBit.rbegin(), kDestinationsByBit.rend(), Register::MDR);
    const uint16_t mdr = static_cast<uint16_t>(1U << (mdrBit - kDestinationsByBit.rbegin()));
    if (operation == nullptr || !operation->addressesSP || (destinationBits(cField) & mdr) == 0)
        return std::nullopt;
    const std::string word(operation->word);
    std::string message = "MDR gets the C-bus value, and then the " + word +
                          " copies MBR into MDR in the same step, so the value is lost";
    if (operation->writes)
        message += " and the write stores MBR; to store the value, start the write first (MAR=SP;" + word +
                   ", or 0;" + word + ") and set MDR in the next statement with ... as its memory word (MDR=TOS;...), "
                   "which keeps the write pending: the Trace after it stores the new MDR";
    else
        message += "; set MDR in a statement without " + word;
    return message;
}

} // namespace orvik::assembler
