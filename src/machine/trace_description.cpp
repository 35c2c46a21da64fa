#include "machine/trace_description.h"

#include "base/split_text.h"

namespace orvik {

namespace {

void describeMemory(const frmOrvik& after, TraceDescription& d) {
    TraceDescription::Memory memory;
    memory.pcLine = after.mintMem;
    memory.pcValue = after.mintMPos;
    memory.started = passedStage(d.reached, TraceStage::MemoryOperation);
    memory.field = d.fields[MemoryField];
    memory.operation = memoryOperationOf(memory.field);
    memory.word = after.mstrMem;
    memory.mbr = after.mlngMBR;
    memory.mar = after.mlngMAR;
    memory.mdr = after.mlngMDR;
    d.memory = std::move(memory);
}

void describeJump(const frmOrvik& after, TraceDescription& d) {
    TraceDescription::Jump jump;
    jump.field = d.fields[JumpField];
    jump.kind = jumpKindOf(jump.field);
    jump.nextField = after.mintNext;
    jump.next = after.mintPos;
    jump.source = after.mstrB;
    jump.bValue = after.mlngBIdx;
    jump.mbr = after.mlngMBR;
    jump.n = after.mintN;
    // The step moved the position off the next-address field only for a taken branch.
    jump.taken = (jump.kind == JumpKind::NBranch || jump.kind == JumpKind::ZBranch) && jump.next != jump.nextField;
    d.jump = std::move(jump);
}

} // namespace

bool passedStage(TraceStage reached, TraceStage stage) {
    if (reached == TraceStage::Done)
        return true;
    if (reached == TraceStage::EndOfRun)
        return stage == TraceStage::PendingWrite;
    return reached > stage;
}

TraceBefore traceBefore(const frmOrvik& form) {
    TraceBefore before;
    for (const RegisterInfo& info : kRegisters)
        before.registers[static_cast<size_t>(boxIndexOf(info.reg))] = form.registerValue(info.reg);
    before.position = form.mintPos;
    before.noClks = form.mNoClks;
    before.memoryWord = form.mstrMem;
    return before;
}

TraceDescription describeTrace(const TraceBefore& before, const frmOrvik& after,
                               const std::optional<std::string>& error) {
    TraceDescription d;
    d.position = before.position;
    d.reached = after.traceStage();
    d.error = error;
    const auto reg = [&](Register r) { return before.registers[static_cast<size_t>(boxIndexOf(r))]; };
    if (isPendingWrite(before.memoryWord))
        d.pendingWrite = {int64_t{reg(Register::MAR)} * 4, reg(Register::MDR),
                          passedStage(d.reached, TraceStage::PendingWrite)};
    if (!passedStage(d.reached, TraceStage::FieldBoxes))
        return d;
    d.fields = after.mintFields;
    if (passedStage(d.reached, TraceStage::BOperand)) {
        d.bBus = {after.mstrB, after.mlngBIdx};
        d.haltSeen = before.noClks == 0 && after.mNoClks != 0;
    }
    if (passedStage(d.reached, TraceStage::CBus)) {
        TraceDescription::CBus cBus;
        // mstrLH is split only by the writes, so the destination text is read here.
        const std::vector<std::string> names = splitText(after.mstrC, "=");
        for (int i = 0; i < after.mintLH && i < static_cast<int>(names.size()); ++i)
            if (const std::optional<Register> destination = registerNamed(names[static_cast<size_t>(i)]))
                cBus.destinations.push_back(*destination);
        cBus.written = passedStage(d.reached, TraceStage::CBusWrites);
        d.cBus = std::move(cBus);
    }
    if (passedStage(d.reached, TraceStage::Alu)) {
        const std::string& field = d.fields[AluField];
        // Every code that uses A takes H, which no step before the ALU changes.
        d.alu = {field, aluCodeOf(field), after.mstrALU, reg(Register::H), after.mlngBIdx, after.mlngtemp};
    }
    if (passedStage(d.reached, TraceStage::MemoryReadAtPC))
        describeMemory(after, d);
    if (passedStage(d.reached, TraceStage::Jump))
        describeJump(after, d);
    if (passedStage(d.reached, TraceStage::ZFlag))
        d.zeroAluField = after.mintZ == 1;
    return d;
}

} // namespace orvik
