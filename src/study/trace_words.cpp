#include "study/trace_words.h"

#include "base/escaped_text.h"
#include "base/hex_text.h"

namespace orvik::study {

namespace {

std::string hex(int32_t value) { return hexText(value); }
std::string hex16(int16_t value) { return hexText16(value); }

// A field or a name from a pane the user may have edited, as one printable line.
std::string shown(const std::string& text) { return escapeText(text); }

} // namespace

std::string stageWords(TraceStage stage) {
    switch (stage) {
    case TraceStage::PendingWrite: return "completing the pending write";
    case TraceStage::ReadMicroinstruction: return "reading the microinstruction";
    case TraceStage::FieldBoxes: return "reading the microinstruction's fields";
    case TraceStage::NextAddress: return "reading the next-address field";
    case TraceStage::BOperand: return "putting the B operand on the B bus";
    case TraceStage::CBus: return "reading the C field";
    case TraceStage::AOperand: return "taking the A operand";
    case TraceStage::Alu: return "computing the ALU result";
    case TraceStage::CBusWrites: return "writing the C bus";
    case TraceStage::MemoryReadAtPC: return "reading the main-memory cell at PC";
    case TraceStage::MemoryOperation: return "starting the memory operation";
    case TraceStage::Jump: return "choosing the next position";
    case TraceStage::ZFlag: return "setting Z";
    default: return "running";
    }
}

namespace {

std::string joined(const std::vector<Register>& registers) {
    std::string text;
    for (size_t i = 0; i < registers.size(); ++i) {
        if (i > 0)
            text += i + 1 == registers.size() ? " and " : ", ";
        text += registerName(registers[i]);
    }
    return text;
}

std::string pendingWriteWords(const TraceDescription::PendingWrite& write) {
    if (!write.done)
        return "First it tried the write left pending, of " + hex(write.value) + " to main-memory line MAR times 4. ";
    return "First it completed the write left pending: main-memory line " + hex(static_cast<int32_t>(write.line)) +
           " now holds " + hex(write.value) + ". ";
}

std::string microinstructionWords(const TraceDescription& trace) {
    std::string mir;
    for (size_t i = NextAddressField; i <= BField; ++i) {
        if (i > NextAddressField)
            mir += ' ';
        mir += shown(trace.fields[i]);
    }
    return "Position " + hex16(trace.position) + " holds " + mir + ". ";
}

std::string bBusWords(const TraceDescription::BBus& b, const std::string& field) {
    if (b.source.empty())
        return "The B field " + shown(field) + " selects no register, so the B bus carries 0. ";
    return "B bus: " + b.source + " drives " + hex(b.value) + ". ";
}

// The ALU's form with the operand values in place of their names.
std::string valueForm(const AluCode& code, const TraceDescription::Alu& alu) {
    return aluText(code, hex(alu.a), hex(alu.b));
}

std::string aluWords(const TraceDescription::Alu& alu) {
    if (alu.code == nullptr)
        return "The ALU field " + shown(alu.field) + " selects no function, so the result is 0. ";
    std::string words = "ALU " + std::string(alu.code->code) + ": " + alu.text;
    const std::string values = valueForm(*alu.code, alu);
    if (values != alu.text)
        words += " = " + values;
    if (values != hex(alu.result))
        words += " = " + hex(alu.result);
    words += ".";
    if (alu.code->usesA)
        words += " H is the ALU's only A input.";
    if (alu.code->op == AluOp::BTimes256 || alu.code->op == AluOp::BPlusATimes256)
        words += " The shifter moves the sum left by 8 bits.";
    return words + " ";
}

std::string cBusWords(const TraceDescription::CBus& c, int32_t result) {
    if (c.destinations.empty())
        return "C bus: no destination, the result goes nowhere. ";
    if (!c.written)
        return "C bus: " + hex(result) + " was to go to " + joined(c.destinations) + ". ";
    return "C bus: " + hex(result) + " goes to " + joined(c.destinations) + ". ";
}

std::string memoryWords(const TraceDescription::Memory& m) {
    std::string words = "Memory: the cell at PC, line " + hex16(m.pcLine) + ", holds " + hex(m.pcValue) + ". ";
    if (!m.started)
        return words;
    if (m.operation == nullptr)
        return words + "The memory field " + shown(m.field) + " starts nothing, so the memory word stays " +
               (m.word.empty() ? std::string("empty") : shown(m.word)) + ". ";
    if (m.operation->word.empty())
        return words;
    words += std::string(m.operation->word) + ":";
    if (m.operation->fetches)
        words += " MBR := " + hex(m.mbr) + " (the cell at PC)" + (m.operation->addressesSP ? ";" : ".");
    if (m.operation->addressesSP)
        words += " MAR := SP = " + hex(m.mar) + ", MDR := MBR = " + hex(m.mdr) + ".";
    if (m.operation->writes)
        words += " The next Trace writes MDR to main-memory line MAR times 4.";
    return words + " ";
}

std::string jumpWords(const TraceDescription::Jump& j) {
    const std::string b =
        "the B value, " + (j.source.empty() ? std::string("none") : j.source) + ", is " + hex(j.bValue);
    const std::string target = hex16(j.next) + ", the else target " + hex16(j.nextField) + " plus 100";
    switch (j.kind) {
    case JumpKind::MbrJump:
        return "MBR jump: MBR OR " + hex16(j.nextField) + " is " + hex16(j.next) + " (" + hex(j.mbr) + " OR " +
               hex16(j.nextField) + "), the next position. ";
    case JumpKind::NBranch:
        if (j.taken)
            return "N is 1 because " + b + " (0 or less), so the branch goes to " + target + ". ";
        return "N is 0 because " + b + " (above 0), so the branch stays at " + hex16(j.next) +
               ", the next-address field. ";
    case JumpKind::ZBranch:
        if (j.taken)
            return "Z branch: " + b + ", so the branch goes to " + target + ". ";
        return "Z branch: " + b + ", not 0, so the branch stays at " + hex16(j.next) + ", the next-address field. ";
    default: return "Next position: " + hex16(j.next) + ", the next-address field. ";
    }
}

std::string zWords(bool zeroAluField) {
    if (zeroAluField)
        return "Z is 1 because the ALU field reads 0, so the instruction box shows only the jump. ";
    return "Z is 0 because the ALU field does not read 0. ";
}

} // namespace

std::string traceWords(const TraceDescription& trace, uint64_t traceNumber) {
    std::string words = "Trace " + std::to_string(traceNumber) + ". ";
    if (trace.pendingWrite)
        words += pendingWriteWords(*trace.pendingWrite);
    if (trace.reached == TraceStage::EndOfRun)
        return words + "The run has ended: the output box shows \"End of run.\" and nothing else changes.";
    if (!trace.fields.empty())
        words += microinstructionWords(trace);
    if (trace.bBus)
        words += bBusWords(*trace.bBus, trace.fields[BField]);
    if (trace.alu)
        words += aluWords(*trace.alu);
    if (trace.cBus && trace.alu)
        words += cBusWords(*trace.cBus, trace.alu->result);
    if (trace.memory)
        words += memoryWords(*trace.memory);
    if (trace.jump)
        words += jumpWords(*trace.jump);
    if (trace.zeroAluField)
        words += zWords(*trace.zeroAluField);
    if (trace.haltSeen)
        words += "Its next address is its own position: from now on the run ends once the position reaches "
                 "the end-of-run bound. ";
    if (trace.error) {
        const std::string message = shown(*trace.error);
        words += "It stopped with a run-time error while " + stageWords(trace.reached) + ": " + message +
                 (message.ends_with('.') ? "" : ".") + " What it had done stays. ";
    }
    while (!words.empty() && words.back() == ' ')
        words.pop_back();
    return words;
}

} // namespace orvik::study
