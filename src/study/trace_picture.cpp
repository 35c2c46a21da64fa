#include "study/trace_picture.h"

#include <algorithm>
#include <sstream>

#include "base/escaped_text.h"
#include "base/hex_text.h"
#include "study/trace_words.h"

namespace orvik::study {

namespace {

// Text for an XML element or attribute: printable first, as the tools print
// any text, then with XML's own characters as entities.
std::string xmlText(std::string_view text) {
    std::string out;
    for (const char c : escapeText(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

struct Rect {
    int x, y, w, h;
};

// The registers from top to bottom, as the data path stacks them.
constexpr std::array<Register, kRegisterCount> kStack = {Register::MAR, Register::MDR, Register::MBR, Register::PC,
                                                         Register::SP,  Register::LV,  Register::CPP, Register::TOS,
                                                         Register::OPC, Register::H};
constexpr int kRegX = 200, kRegW = 130, kRegH = 32, kRegTop = 60, kRegPitch = 42;
constexpr int kCBusX = 170, kBBusX = 360, kBottom = 585;

Rect registerRect(Register reg) {
    const auto row = static_cast<int>(std::find(kStack.begin(), kStack.end(), reg) - kStack.begin());
    return {kRegX, kRegTop + row * kRegPitch, kRegW, kRegH};
}

class Svg {
public:
    // A part: a group with its id, whether the Trace used it, and its spoken name.
    void begin(const std::string& id, bool used, const std::string& title) {
        out_ << "<g id=\"" << id << "\" class=\"part " << (used ? "used" : "idle") << "\"><title>" << xmlText(title)
             << "</title>";
    }
    void end() { out_ << "</g>\n"; }
    void rect(const Rect& r) {
        out_ << "<rect x=\"" << r.x << "\" y=\"" << r.y << "\" width=\"" << r.w << "\" height=\"" << r.h << "\"/>";
    }
    void text(int x, int y, const std::string& text, const char* cls = "label") {
        out_ << "<text x=\"" << x << "\" y=\"" << y << "\" class=\"" << cls << "\">" << xmlText(text) << "</text>";
    }
    void path(const std::string& d) { out_ << "<path d=\"" << d << "\"/>"; }
    void polygon(const std::string& points) { out_ << "<polygon points=\"" << points << "\"/>"; }
    std::ostringstream& raw() { return out_; }
    std::string str() const { return out_.str(); }

private:
    std::ostringstream out_;
};

bool isMemoryRegister(Register reg) { return reg == Register::MAR || reg == Register::MDR || reg == Register::MBR; }

// Which registers the Trace used, and how, for the title of each.
struct RegisterUse {
    bool bSource = false, aInput = false, written = false, setByMemory = false;
    bool any() const { return bSource || aInput || written || setByMemory; }
};

RegisterUse registerUse(const TraceDescription& t, Register reg) {
    RegisterUse use;
    if (t.bBus && !t.bBus->source.empty()) {
        const BSource* source = bSourceNamed(t.bBus->source);
        use.bSource = source != nullptr && source->reg == reg;
    }
    use.aInput = reg == Register::H && t.alu && t.alu->code != nullptr && t.alu->code->usesA;
    if (t.cBus && t.cBus->written)
        use.written =
            std::find(t.cBus->destinations.begin(), t.cBus->destinations.end(), reg) != t.cBus->destinations.end();
    if (t.memory && t.memory->started && t.memory->operation != nullptr && isMemoryRegister(reg)) {
        const MemoryOperation& op = *t.memory->operation;
        use.setByMemory = reg == Register::MBR ? op.fetches : op.addressesSP;
    }
    return use;
}

void drawRegister(Svg& svg, const PictureInput& in, Register reg) {
    const RegisterUse use = registerUse(in.trace, reg);
    const std::string name(registerName(reg));
    const std::string value = hexText(in.registers[static_cast<size_t>(boxIndexOf(reg))]);
    std::string title = name + " register, " + value;
    if (use.bSource)
        title += ", drives the B bus (" + in.trace.bBus->source + ")";
    if (use.aInput)
        title += ", the ALU's A input";
    if (use.written)
        title += ", written from the C bus";
    if (use.setByMemory)
        title += ", set by " + std::string(in.trace.memory->operation->word);
    svg.begin("reg-" + name, use.any(), title);
    const Rect r = registerRect(reg);
    svg.rect(r);
    svg.text(r.x + 8, r.y + 21, name);
    svg.text(r.x + r.w - 8, r.y + 21, value, "value end");
    svg.end();
}

bool drivesB(Register reg) {
    return std::any_of(kBSources.begin(), kBSources.end(), [&](const BSource& b) { return b.reg == reg; });
}
bool takesC(Register reg) { return kRegisters[static_cast<size_t>(boxIndexOf(reg))].cBit >= 0; }

std::string bStub(Register reg) {
    return " M" + std::to_string(kRegX + kRegW) + " " + std::to_string(registerRect(reg).y + 16) + " H" +
           std::to_string(kBBusX);
}
std::string cStub(Register reg) {
    return " M" + std::to_string(kCBusX) + " " + std::to_string(registerRect(reg).y + 16) + " H" +
           std::to_string(kRegX);
}

// Every register's link to the buses, grey: the buses drawn over them mark the links used.
void drawWires(Svg& svg) {
    std::string d;
    for (const Register reg : kStack) {
        if (drivesB(reg))
            d += bStub(reg);
        if (takesC(reg))
            d += cStub(reg);
    }
    svg.raw() << "<g class=\"wires\" aria-hidden=\"true\">";
    svg.path(d);
    svg.raw() << "</g>\n";
}

void drawBuses(Svg& svg, const TraceDescription& t) {
    const bool bUsed = t.bBus && !t.bBus->source.empty();
    svg.begin("b-bus", bUsed, bUsed ? "B bus, " + t.bBus->source + " = " + hexText(t.bBus->value) : "B bus, idle");
    std::string d = "M" + std::to_string(kBBusX) + " 76 V490";
    if (const BSource* source = bUsed ? bSourceNamed(t.bBus->source) : nullptr)
        d += bStub(source->reg);
    svg.path(d);
    svg.text(kBBusX + 6, 86, "B bus");
    if (bUsed)
        svg.text(kBBusX + 6, 102, hexText(t.bBus->value), "value");
    svg.end();

    const bool cUsed = t.cBus && t.cBus->written && !t.cBus->destinations.empty() && t.alu;
    std::string cTitle = "C bus, idle";
    std::string c = "M310 564 V" + std::to_string(kBottom) + " H" + std::to_string(kCBusX) + " V76";
    if (cUsed) {
        cTitle = "C bus, " + hexText(t.alu->result) + " to";
        for (const Register reg : t.cBus->destinations) {
            cTitle += " " + std::string(registerName(reg));
            c += cStub(reg);
        }
    }
    svg.begin("c-bus", cUsed, cTitle);
    svg.path(c);
    svg.text(kCBusX - 50, kBottom - 6, "C bus");
    if (cUsed)
        svg.text(kCBusX - 50, kBottom - 22, hexText(t.alu->result), "value");
    svg.end();
}

void drawAlu(Svg& svg, const TraceDescription& t) {
    const bool aUsed = t.alu && t.alu->code != nullptr && t.alu->code->usesA;
    svg.begin("a-input", aUsed, aUsed ? "A input, H = " + hexText(t.alu->a) : "A input, idle");
    svg.path("M250 " + std::to_string(registerRect(Register::H).y + kRegH) + " V490");
    svg.end();

    const bool used = t.alu.has_value();
    std::string title = "ALU, idle";
    if (used)
        title = t.alu->code == nullptr
                    ? "ALU, field " + t.alu->field + " selects nothing, result 0"
                    : "ALU, " + std::string(t.alu->code->code) + ": " + t.alu->text + " = " + hexText(t.alu->result);
    svg.begin("alu", used, title);
    svg.polygon("215,490 405,490 375,530 245,530");
    svg.text(232, 515, "ALU");
    if (used) {
        const std::string result = hexText(t.alu->result);
        svg.text(412, 515, t.alu->text == result ? result : (t.alu->text.empty() ? "0" : t.alu->text) + " = " + result,
                 "value");
    }
    svg.end();

    const bool shifts = used && t.alu->code != nullptr &&
                        (t.alu->code->op == AluOp::BTimes256 || t.alu->code->op == AluOp::BPlusATimes256);
    svg.begin("shifter", shifts, shifts ? "Shifter, left by 8 bits" : "Shifter, no shift");
    svg.rect({250, 540, 120, 24});
    svg.text(258, 557, "Shifter");
    if (shifts)
        svg.text(362, 557, "<< 8", "value");
    svg.end();
}

void drawMemory(Svg& svg, const TraceDescription& t) {
    const bool read = t.memory.has_value();
    const bool wrote = t.pendingWrite && t.pendingWrite->done;
    std::string title = "Main memory";
    if (wrote)
        title += ", line " + hexText(static_cast<int32_t>(t.pendingWrite->line)) + " written with " +
                 hexText(t.pendingWrite->value);
    if (read)
        title += ", line " + hexText16(t.memory->pcLine) + " read at PC: " + hexText(t.memory->pcValue);
    if (!read && !wrote)
        title += ", idle";
    svg.begin("memory", read || wrote, title);
    svg.rect({20, 60, 130, 150});
    std::string links;
    for (const Register reg : {Register::MAR, Register::MDR, Register::MBR})
        links += " M150 " + std::to_string(registerRect(reg).y + 10) + " H" + std::to_string(kRegX);
    svg.raw() << "<path class=\"link\" d=\"" << links << "\"/>";
    svg.text(28, 80, "Main memory");
    int y = 104;
    if (read) {
        svg.text(28, y, "PC line " + hexText16(t.memory->pcLine), "value");
        svg.text(28, y + 16, "= " + hexText(t.memory->pcValue), "value");
        y += 40;
    }
    if (wrote) {
        svg.text(28, y, "wrote line " + hexText(static_cast<int32_t>(t.pendingWrite->line)), "value");
        svg.text(28, y + 16, "= " + hexText(t.pendingWrite->value), "value");
    }
    if (read && t.memory->started && t.memory->operation != nullptr && !t.memory->operation->word.empty())
        svg.text(28, 200, std::string(t.memory->operation->word), "value");
    svg.end();
}

std::string nextAddressTitle(const TraceDescription::Jump& j) {
    switch (j.kind) {
    case JumpKind::MbrJump: return "MBR OR " + hexText16(j.nextField) + " = " + hexText16(j.next);
    case JumpKind::NBranch:
        return std::string("N branch, ") + (j.taken ? "taken: " : "not taken: ") + hexText16(j.next);
    case JumpKind::ZBranch:
        return std::string("Z branch, ") + (j.taken ? "taken: " : "not taken: ") + hexText16(j.next);
    default: return "next address " + hexText16(j.next);
    }
}

void drawControl(Svg& svg, const TraceDescription& t) {
    const bool read = !t.fields.empty();
    svg.begin("control-store", read, read ? "Control store, position " + hexText16(t.position) : "Control store, idle");
    svg.rect({600, 60, 140, 60});
    svg.text(608, 80, "Control store");
    if (read)
        svg.text(608, 104, "position " + hexText16(t.position), "value");
    svg.end();

    std::string mir;
    for (size_t i = NextAddressField; read && i <= BField; ++i)
        mir += t.fields[i] + " ";
    svg.begin("mir", read, read ? "MIR, " + mir : "MIR, idle");
    svg.rect({460, 140, 280, 50});
    svg.text(468, 160, "MIR");
    if (read)
        svg.text(468, 180, mir, "value");
    svg.end();

    const bool jumped = t.jump.has_value();
    svg.begin("next-address", jumped,
              jumped ? "Next-address logic, " + nextAddressTitle(*t.jump) : "Next-address logic, idle");
    svg.rect({460, 215, 280, 60});
    svg.text(468, 235, "Next-address logic");
    if (jumped)
        svg.text(468, 258, nextAddressTitle(*t.jump), "value");
    svg.end();

    svg.begin("mpc", jumped, jumped ? "MPC, next position " + hexText16(t.jump->next) : "MPC, idle");
    svg.rect({460, 60, 120, 60});
    svg.text(468, 80, "MPC");
    if (jumped)
        svg.text(468, 104, hexText16(t.jump->next), "value");
    svg.end();

    const bool nUsed = jumped && t.jump->kind == JumpKind::NBranch;
    svg.begin("n-flag", nUsed, nUsed ? "N flag, " + hexText16(t.jump->n) : "N flag, idle");
    svg.rect({460, 300, 80, 40});
    svg.text(468, 325, "N");
    if (nUsed)
        svg.text(530, 325, hexText16(t.jump->n), "value end");
    svg.end();

    const bool zUsed = t.zeroAluField.has_value();
    svg.begin("z-flag", zUsed, zUsed ? std::string("Z flag, ") + (*t.zeroAluField ? "1" : "0") : "Z flag, idle");
    svg.rect({560, 300, 80, 40});
    svg.text(568, 325, "Z");
    if (zUsed)
        svg.text(630, 325, *t.zeroAluField ? "1" : "0", "value end");
    svg.end();
}

constexpr std::string_view kStyle =
    "<style>"
    ".part rect,.part polygon{stroke-width:2}"
    ".part path{fill:none;stroke-width:4}"
    ".idle rect,.idle polygon{fill:#f2f2f2;stroke:#b0b0b0}.idle path{stroke:#d0d0d0}.idle text{fill:#909090}"
    ".used rect,.used polygon{fill:#fff3c4;stroke:#1d4f91}.used path{stroke:#1d4f91}.used text{fill:#111}"
    ".wires path{fill:none;stroke:#d0d0d0;stroke-width:3}.part path.link{stroke-width:2;stroke-dasharray:6 3}"
    "text{font-family:sans-serif;font-size:13px}.value{font-weight:bold}"
    ".end{text-anchor:end}"
    "</style>\n";

} // namespace

std::array<int32_t, kRegisterCount> registerValues(const frmOrvik& form) {
    std::array<int32_t, kRegisterCount> values{};
    for (const RegisterInfo& info : kRegisters)
        values[static_cast<size_t>(boxIndexOf(info.reg))] = form.registerValue(info.reg);
    return values;
}

std::string tracePicture(const PictureInput& in) {
    const TraceDescription& t = in.trace;
    Svg svg;
    const std::string heading = "Data path, Trace " + std::to_string(in.traceNumber) + ", position " +
                                hexText16(t.position) +
                                (t.reached == TraceStage::EndOfRun ? ": end of run"
                                 : t.error                         ? ": stopped with a run-time error"
                                                                   : "");
    svg.raw() << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"760\" height=\"600\" viewBox=\"0 0 760 600\""
                 " role=\"img\" aria-labelledby=\"heading words\">\n"
              << "<title id=\"heading\">" << xmlText(heading) << "</title>\n"
              << "<desc id=\"words\">" << xmlText(in.words) << "</desc>\n"
              << kStyle << "<rect width=\"760\" height=\"600\" fill=\"#ffffff\"/>\n";
    svg.text(20, 30, heading, "heading");
    svg.raw() << "\n";
    drawWires(svg);
    drawMemory(svg, t);
    drawBuses(svg, t);
    for (const Register reg : kStack)
        drawRegister(svg, in, reg);
    drawAlu(svg, t);
    drawControl(svg, t);
    if (t.error) {
        svg.begin("error", true, "Run-time error: " + *t.error);
        svg.text(460, 380, "Stopped: run-time error", "value");
        svg.text(460, 398, "while " + stageWords(t.reached));
        svg.end();
    }
    svg.raw() << "</svg>\n";
    return svg.str();
}

} // namespace orvik::study
