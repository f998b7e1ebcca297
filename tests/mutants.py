# Realistic faults of the product code, one per entry: id, layer, file, the (old, new)
# replacements (each `old` occurs exactly once in its file), and what the change means.
# ../shared/mutation/run --mutants tests/mutants.py applies them one at a time and says which
# the tests catch. A sample, kept true to the code: a suite tuned to it proves little alone.
M = []


def m(id, layer, file, reps, what):
    M.append(dict(id=id, layer=layer, file=file, reps=reps, what=what))


m('R01', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kStart = {{{{H, H}, {L, H}, {L, L}}}, 3};', 'constexpr Run kStart = {{{{H, H}, {H, L}, {L, L}}}, 3};')],
  'START: SCL falls before SDA (no start condition)')
m('R02', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kStop = {{{{L, H}, {H, H}, {H, H}}}, 3};', 'constexpr Run kStop = {{{{H, L}, {H, H}, {H, H}}}, 3};')],
  'STOP: SDA released while SCL low (no stop condition)')
m('R03', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kOneAt1 = {{{{L, L}, {H, L}, {H, H}, {H, L}}}, 4};', 'constexpr Run kOneAt1 = {{{{L, L}, {H, L}, {H, H}, {H, L}}}, 3};')],
  'ONE at address bit 1: run length 4 -> 3 (last write dropped)')
m('R04', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kOneAt0 = {{{{H, L}, {H, H}, {H, L}, {L, L}}}, 4};', 'constexpr Run kOneAt0 = {{{{H, L}, {H, H}, {H, L}, {H, L}}}, 4};')],
  'ONE at address bit 0: ends with SDA released instead of low')
m('R05', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kZeroAt1 = {{{{L, L}, {L, L}, {L, H}, {L, L}}}, 4};', 'constexpr Run kZeroAt1 = {{{{L, L}, {L, H}, {L, L}, {L, L}}}, 4};')],
  'ZERO at address bit 1: clock high in 2nd write instead of 3rd')
m('R06', 'i2c-runs', 'bus/i2c.cpp', [('constexpr Run kZeroAt0 = {{{{L, L}, {L, H}, {L, L}, {L, L}}}, 4};', 'constexpr Run kZeroAt0 = {{{{L, L}, {H, H}, {L, L}, {L, L}}}, 4};')],
  'ZERO at address bit 0: SDA high during the clock')
m('R07', 'i2c-runs', 'bus/i2c.cpp', [('put(states(addressBit == 1 ? kOneAt1 : kOneAt0), addressBit);', 'put(states(addressBit != 0 ? kOneAt1 : kOneAt0), addressBit);')],
  'ONE picks bit-1 run for any nonzero address bit')
m('R08', 'i2c-runs', 'bus/i2c.cpp', [('put(states(addressBit == 1 ? kZeroAt1 : kZeroAt0), addressBit);', 'put(states(addressBit == 1 ? kZeroAt0 : kZeroAt1), addressBit);')],
  'ZERO variants swapped between address bits')
m('R09', 'i2c-runs', 'bus/i2c.cpp', [('put(states(kStart), m_addressBit);', 'put(states(kStart), 0);')],
  'START always written with address-select low')
m('W01', 'port-wiring', 'bus/lines.h', [('kSdaLowBit = 0x80;', 'kSdaLowBit = 0x40;'), ('kSclLowBit = 0x40;', 'kSclLowBit = 0x80;')],
  'SDA/SCL data bits swapped (D6<->D7)')
m('W02', 'port-wiring', 'bus/lines.h', [('if (s.sda == Level::Low)', 'if (s.sda == Level::High)')],
  'SDA not inverted')
m('W03', 'port-wiring', 'bus/lines.h', [('if (s.scl == Level::Low)', 'if (s.scl == Level::High)')],
  'SCL not inverted')
m('W04', 'port-wiring', 'bus/lines.h', [('kAddressSelectBit = 0x20;', 'kAddressSelectBit = 0x10;')],
  'address select on D4 instead of D5')
m('W05', 'port-wiring', 'bus/lines.h', [('    if (addressBit == 1)\n        b |= kAddressSelectBit;', '    if (addressBit != 0)\n        b |= kAddressSelectBit;')],
  'any nonzero address bit raises D5')
m('W06', 'port-wiring', 'bus/lines.h', [('constexpr std::uint8_t idleByte(std::int16_t addressBit) {\n    return portByte({Level::High, Level::High}, addressBit);', 'constexpr std::uint8_t idleByte(std::int16_t) {\n    return portByte({Level::High, Level::High}, 0);')],
  'idle byte ignores the address bit (always 0x1F)')
m('W08', 'port-wiring', 'bus/lines.h', [('return portByte({Level::High, Level::High}, addressBit);', 'return portByte({Level::High, Level::Low}, addressBit);')],
  'idle byte holds SCL low')
m('W07', 'port-wiring', 'bus/lines.h', [('kUnusedLines = 0x1F;', 'kUnusedLines = 0x00;')],
  'unused lines D4..D0 written 0')
m('P01', 'pport', 'bus/i2c.cpp', [('    for (std::int16_t slot : Bin) {\n        if (slot == 1)', '    for (std::int16_t slot : Bin) {\n        if (slot != 0)')],
  'any nonzero slot is a one bit')
m('P02', 'pport', 'bus/i2c.cpp', [('    for (std::int16_t slot : Bin) {\n', '    for (auto it = Bin.rbegin(); it != Bin.rend(); ++it) {\n        const std::int16_t slot = *it;\n')],
  'slots sent last-first (bit order reversed)')
m('P03', 'pport', 'bus/i2c.cpp', [('    for (std::int16_t slot : Bin) {\n', '    for (std::size_t i = 0; i + 1 < Bin.size(); ++i) {\n        const std::int16_t slot = Bin[i];\n')],
  'second ACK clock (slot 17) not sent')
m('P04', 'pport', 'bus/i2c.cpp', [('    for (std::int16_t slot : Bin) {\n', '    for (int i = 0; i < kFrameSlots; ++i) {\n        const std::int16_t slot = (i == 8 || i == 17) ? 0 : Bin[i];\n')],
  'master drives SDA low during ACK clocks')
m('F01', 'frames', 'regs/frames.cpp', [('    return 16 - bit;', '    return 9 + bit;')],
  'dataSlot LSB first')
m('F02', 'frames', 'regs/frames.cpp', [('kAddressBitSlot = 6;', 'kAddressBitSlot = 7;')],
  'address bit in slot 7 (R/W slot)')
m('F03', 'frames', 'regs/frames.cpp', [('Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 1};', 'Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 0};')],
  'first ACK slot defaults to 0 (master pulls SDA)')
m('F04', 'frames', 'regs/frames.cpp', [('    f[17] = 1;', '    f[17] = 0;')],
  'second ACK slot defaults to 0')
m('F05', 'frames', 'regs/frames.cpp', [('for (int bit = 7; bit >= 0; --bit)', 'for (int bit = 7; bit > 0; --bit)')],
  'defaultFrame never writes data bit 0')
m('F06', 'frames', 'regs/frames.cpp', [('    0x40, // 01: 3D', '    0x60, // 01: 3D')],
  'effect default 0x60 (input code 2)')
m('F07', 'frames', 'regs/frames.cpp', [('    for (int r = 0; r < kRegisterCount; ++r)\n        send(static_cast<Register>(r));', '    for (int r = kRegisterCount - 1; r >= 0; --r)\n        send(static_cast<Register>(r));')],
  'sendAll: registers in reverse order')
m('A01', 'address', 'regs/frames.cpp', [('    for (Frame& f : m_frames)\n        f[kAddressBitSlot] = value;', '    for (int r = 0; r < kRegisterCount - 1; ++r)\n        m_frames[r][kAddressBitSlot] = value;')],
  "selectAddress forgets the effect frame's slot 6")
m('A02', 'address', 'regs/frames.cpp', [('    m_bus.setAddressBit(value);\n    for (Frame& f', '    m_bus.writeIdle();\n    m_bus.setAddressBit(value);\n    for (Frame& f')],
  'idle byte written before the address bit changes (and again after)')
m('A03', 'address', 'regs/frames.cpp', [('void ControlFrames::writeDefaults() {\n', 'void ControlFrames::writeDefaults() {\n    m_bus.setAddressBit(0);\n')],
  'writeDefaults also resets the address bit')
m('H01', 'handlers', 'regs/frames.h', [('kLoudspeakerVolume{Register::Loudspeaker, 4, 5};', 'kLoudspeakerVolume{Register::Loudspeaker, 3, 4};')],
  'loudspeaker volume code loses bit 4')
m('H02', 'handlers', 'regs/frames.cpp', [('    for (int i = 0; i < field.width; ++i)', '    for (int i = 0; i < field.width && value < 31; ++i)')],
  'position 31 not coded')
m('H05', 'handlers', 'regs/frames.h', [('kLevel3DCode{Register::Effect, 3, 2};', 'kLevel3DCode{Register::Effect, 2, 2};')],
  '3D level field one bit low')
m('H08', 'handlers', 'panel/qx5180.cpp', [('    {"L+R", "MUTE", "MUTE"},', '    {"R+L", "MUTE", "MUTE"},')],
  'mode 3 text R+L (crossed with mode 7)')
m('H09', 'handlers', 'panel/qx5180.cpp', [('    {"SHUTDOWN", "L+P", "R+P"},', '    {"SHUTDOWN", "R+P", "L+P"},')],
  'mode 6 headphone texts swapped')
m('H10', 'handlers', 'regs/frames.h', [('kModeNumber{Register::ModeControl, 2, 3};', 'kModeNumber{Register::ModeControl, 1, 2};')],
  'mode bit 2 never written')
m('H11', 'handlers', 'panel/layout.cpp', [('         .handler = &Q::mode5_Click,\n         .id = 5},', '         .handler = &Q::mode5_Click,\n         .id = 4},')],
  'mode5 stands for mode 4')
m('H12', 'handlers', 'panel/layout.cpp', [('         .handler = &Q::narrow_Click,\n         .id = 0,', '         .handler = &Q::narrow_Click,\n         .id = 1,')],
  'narrow stands for the wide bit')
m('H13', 'handlers', 'regs/frames.h', [('kCapacitorFlag{Register::ModeControl, 3, 1};', 'kCapacitorFlag{Register::ModeControl, 4, 1};')],
  'capacitor flag in bit 4, not bit 3')
m('H14', 'handlers', 'regs/frames.h', [('kHeadphone3DFlag{Register::Effect, 0, 1};', 'kHeadphone3DFlag{Register::ModeControl, 0, 1};')],
  'headphone 3D flag in the mode register')
m('H15', 'handlers', 'panel/qx5180.cpp', [('m_frames.set({{regs::kDifferentialFlag, 0}, {regs::kInputCode, m_c.inputs->checkedId()}});', 'm_frames.set({{regs::kInputCode, m_c.inputs->checkedId()}});')],
  'single-ended input leaves differential bit set')
m('H16', 'handlers', 'regs/frames.cpp', [('    for (int r = 0; r < kRegisterCount; ++r)\n        if (touched[r])', '    for (int r = kRegisterCount - 1; r >= 0; --r)\n        if (touched[r])')],
  "a control's registers sent in reverse order (effect before mode)")
m('H17', 'handlers', 'panel/qx5180.cpp', [('{regs::kInputCode, m_c.inputs->checkedId()}}', '{regs::kInputCode, (m_c.inputs->checkedId() >> 1) | (m_c.inputs->checkedId() & 1) << 1}}')],
  'input code bits swapped')
m('H18', 'handlers', 'panel/qx5180.cpp', [('    m_frames.set({{regs::kDifferentialFlag, 1}});', '    m_frames.set({{regs::kDifferentialFlag, 1}, {regs::kHeadphone3DFlag, 0}});')],
  'Diff also sends the effect frame (and clears headphone 3D)')
m('H19', 'handlers', 'panel/qx5180.cpp', [('    m_frames.set({{regs::kDifferentialFlag, 1}});', '    m_frames.set({{regs::kDifferentialFlag, 1}, {regs::kInputCode, 0}});')],
  'Diff clears the input code')
m('H20', 'handlers', 'panel/layout.cpp', [('         .handler = &Q::l1l2r1r2_Click,\n         .id = 0b11,', '         .handler = &Q::l1l2r1r2_Click,\n         .id = 0b10,')],
  'L1+L2/R1+R2 stands for the l2r2 code')
m('B04', 'backends', 'bus/backends.cpp', [('failure->kind == PortError::Kind::Open && failure->error == ENOENT;', 'failure->kind == PortError::Kind::Open;')],
  'any open failure counts as device missing (direct I/O tried)')
m('B05', 'backends', 'bus/backends.cpp', [('if ((first == 0 && last == 0) || (first', 'if ((first')],
  'zeroed /proc/ioports ranges not accepted')
m('B06', 'backends', 'bus/backends.cpp', [('kPortAddress <= last', 'kPortAddress < last')],
  'range end exclusive')
m('B08', 'backends', 'bus/backends.cpp', [('        m_system.ioctl(m_fd, PPRELEASE, nullptr);\n', '')],
  'device not released')
m('B11', 'backends', 'bus/backends.cpp', [('    if (error != 0) {\n        system.close(fd);\n', '    if (error != 0) {\n')],
  'descriptor leaked on failed claim')
m('B13', 'backends', 'bus/backends.cpp', [('if (std::from_chars(text, text + dash, first, 16).ptr != text + dash)', 'if (std::from_chars(text, text + dash, first, 10).ptr != text + dash)')],
  '/proc/ioports range parsed as decimal')
m('E02', 'errors', 'bus/i2c.cpp', [('        if (m_error != 0)\n            return;\n        if (g_abandoned', '        if (g_abandoned')],
  'a failed write does not cut the transaction (later writes overwrite the error)')
m('E04', 'errors', 'bus/i2c.cpp', [('        m_error = m_port.write(portByte(s, addressBit));\n', '        m_error = m_port.write(portByte(s, addressBit));\n        if (m_error != 0)\n            finish("a register write");\n')],
  'reported per failed byte, not once per transaction')
m('K01', 'board', 'sim/board.cpp', [('kChipAddress = 0x7C;', 'kChipAddress = 0x7E;')],
  'chip address 0x7E')
m('K02', 'board', 'sim/board.cpp', [('const bool write = (m_shift & 1) == 0;\n            m_ack = write && (m_shift >> 1)', 'm_ack = (m_shift >> 1)')],
  'read/write flag ignored when acking')
m('K03', 'board', 'sim/board.cpp', [('kChipAddress + (m_pin ? 1 : 0)', 'kChipAddress + 0')],
  'address-select pin ignored')
m('K04', 'board', 'sim/board.cpp', [('(data & 0x20) == 0 ? Register::LeftHeadphone : Register::RightHeadphone', '(data & 0x20) == 0 ? Register::RightHeadphone : Register::LeftHeadphone')],
  'left/right registers swapped')
m('K05', 'board', 'sim/board.cpp', [('"ACK loudspeaker volume %d", bits(d, 0, 5)', '"ACK loudspeaker volume %d", bits(d, 0, 4)')],
  'loudspeaker volume described from 4 bits')
m('K06', 'board', 'sim/board.cpp', [('bits(d, 5, 1), bits(d, 3, 1)', 'bits(d, 4, 1), bits(d, 3, 1)')],
  'differential read from bit 4')
m('K07', 'board', 'sim/board.cpp', [('    if (sdaMoves && !sda)\n        sdaMoved(false);\n    if (sclMoves)\n        sclMoved(scl);\n    if (sdaMoves && sda)\n        sdaMoved(true);', '    if (sdaMoves)\n        sdaMoved(sda);\n    if (sclMoves)\n        sclMoved(scl);')],
  'SDA always decoded before SCL (not falls-first)')
m('K08', 'board', 'sim/board.cpp', [('if (sdaMoves && sclMoves && sda == scl) {', 'if (sdaMoves && sclMoves && sda != scl) {')],
  'opposite moves fault, same-direction moves decoded')
m('K09', 'board', 'sim/board.cpp', [('    m_phase = Phase::Idle;\n    m_faults.emplace_back(text);', '    m_faults.emplace_back(text);')],
  'a fault does not drop the transaction')
m('K10', 'board', 'sim/board.cpp', [('        fault("extra byte after the data byte");\n        return;', '        return;')],
  'extra byte silently ignored')
m('K11', 'board', 'sim/board.cpp', [('if (m_phase == Phase::Complete) {', 'if (m_phase == Phase::Complete && !isStart) {')],
  'repeated start does not finish a complete write')
m('K12', 'board', 'sim/board.cpp', [('    if (t.ack)\n        m_registers[', '    m_registers[')],
  'registers written on NACK')
m('K13', 'board', 'sim/board.cpp', [('kAddressSelectHigh = 0x20;', 'kAddressSelectHigh = 0x10;')],
  'board reads pin from D4')
m('K14', 'board', 'sim/board.cpp', [('        if (m_phase != Phase::Idle)\n            fault("address-select pin changed during a transaction");\n', '')],
  'pin change mid-transaction not faulted')
m('K15', 'board', 'sim/board.cpp', [('        if (m_clocks == kDataBits)\n', '        if (m_clocks >= kDataBits - 1)\n')],
  "7 clocks reported as 'without acknowledge clock'")
m('G07', 'panel-build', 'panel/style.cpp', [('    case SH_Slider_PageSetButtons:\n        return Qt::LeftButton;\n    case SH_Slider_AbsoluteSetButtons:\n        return Qt::MiddleButton;', '    case SH_Slider_PageSetButtons:\n        return Qt::MiddleButton;\n    case SH_Slider_AbsoluteSetButtons:\n        return Qt::LeftButton;')],
  'track click jumps to the click instead of paging')
m('G08', 'panel-build', 'panel/buttons.cpp', [('    return rect().contains(pos);', '    return QRadioButton::hitButton(pos);')],
  'option buttons answer only on indicator/text')
m('G10', 'panel-build', 'panel/layout.h', [('kClientHeight = 7275;', 'kClientHeight = 7200;')],
  'window 5 px shorter')
m('B15', 'backends', 'bus/backends.cpp', [('        if (!line.substr(colon + 3).starts_with("parport"))\n            continue;\n', '')],
  'any device listed at 0x378 counts as a parallel port')
m('B16', 'backends', 'bus/backends.cpp', [('system.geteuid() == 0};', 'false};')],
  'lockdown hint never given (root told to run as root)')
m('K16', 'board', 'sim/board.cpp', [('fault(isStart ? "start condition inside a byte" : "stop condition inside a byte");', 'fault(isStart ? "stop condition inside a byte" : "start condition inside a byte");')],
  'start/stop fault texts swapped')
m('G17', 'panel-build', 'panel/qx5180.cpp', [('        return (twips + layout::kTwipsPerPixel / 2) / layout::kTwipsPerPixel;', '        return twips / layout::kTwipsPerPixel;')],
  'twips truncated, not rounded, to pixels')
m('B18', 'backends', 'bus/backends.cpp', [('        return m_pacer.write([&] { return m_system.ioctl(m_fd, PPWDATA, &data); });', '        m_pacer.write([&] { return m_system.ioctl(m_fd, PPWDATA, &data); });\n        return 0;')],
  'device write failures not returned')
m('X07', 'panel', 'panel/slider.cpp', [('m_pointer.x() > thumb.right() ? 1 : 0;', 'm_pointer.x() >= thumb.right() ? 1 : 0;')],
  "a click on the thumb's rightmost pixel pages right instead of grabbing the thumb")
m('X11', 'panel', 'panel/access.cpp', [('QVariant maximumValue() const override { return slider()->maximum() - slider()->minimum() + 1; }', 'QVariant maximumValue() const override { return slider()->maximum() - slider()->minimum(); }')],
  'accessible maximum of a slider off by one (31 instead of 32)')
m('X12', 'panel', 'panel/access.cpp', [('        s.readOnly = true;\n', '')],
  'step/output boxes not announced read-only to a screen reader')

# ---- written for the table-built window, the simple failure rule and the process room ----
Q = "panel/qx5180.cpp"
LY = "panel/layout.cpp"
WG = "panel/style.cpp"
SL = "panel/slider.cpp"
BT = "panel/buttons.cpp"
AC = "panel/access.cpp"
FR = "regs/frames.cpp"
I2 = "bus/i2c.cpp"
MS = "wording/messages.cpp"
PV = "process/privileges.cpp"
ST = "process/startup.cpp"
DS = "process/display.cpp"
m("T01", "table", SL, [("setRange(0, (1 << field.width) - 1);", "setRange(0, (1 << field.width));")],
  "slider range one past the field's width")
m("T02", "table", Q, [("s->setPageStep(c.pageStep);", "s->setPageStep(1);")],
  "page step from the table ignored")
m("T03", "table", LY, [('''         .tab = 43,''', '''         .tab = 35,''')],
  "mode0 before the mode group's place in the Tab order")
m("T04", "table", Q, [("b->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);",
                        "b->setFocusPolicy(Qt::StrongFocus);")],
  "every option button a Tab stop, not only the selected one")
m("T05", "table", Q, [("                    if (on)\n", "                    if (!on)\n")],
  "option handlers run when a button is deselected")
m("T06", "table", LY, [('''         .handler = &Q::HP3Don_Click,''', '''         .handler = &Q::wide_Click,''')],
  "HP3Don bound to another group's handler: it sets the 3D mode bit, not headphone 3D")
m("T07", "table", LY, [('''         .caption = "WIDE",''', '''         .caption = "NARROW",'''),
                       ('''         .caption = "NARROW",''', '''         .caption = "WIDE",''')],
  "the crossed 3D mode captions 'fixed'")
m("T08", "table", LY, [('''         .id = 0b10,''', '''         .id = 0b01,''')],
  "l2r2's group id is l1r1's input code")
m("T09", "table", LY, [(".stepBox = &C::rgainbox}", ".stepBox = &C::lgainbox}")],
  "right slider shows its step in the left box")
m("T10", "table", Q, [("m_frames.set({{slider.field(), slider.value()}});",
                       "m_frames.set({{slider.field(), slider.value() + 1}});")],
  "a slider's code one above its position")
m("T11", "reset", Q, [("    select(m_c.capacitor, 0);\n", "")], "reset leaves the capacitor button")
m("T12", "reset", Q, [("    m_frames.sendAll();\n    // What happened", "    // What happened")], "reset sends nothing at the end")
m("T13", "reset", Q, [("    m_frames.writeDefaults();\n    for (TrackSlider* slider", "    for (TrackSlider* slider")],
  "reset does not put the frames back first")
m("T14", "reset", Q, [("    select(m_c.address, 0);\n    select(m_c.inputs, 0b00);",
                       "    select(m_c.inputs, 0b00);\n    select(m_c.address, 0);")],
  "reset selects the input before the address")
m("T15", "captions", Q, [("groupSize[c->fontGroup] > size", "groupSize[c->fontGroup] < size")],
  "a caption group takes its largest size, not its smallest")
m("T16", "captions", Q, [('QFontInfo(font()).family() == QLatin1String("DejaVu Sans")', "true")],
  "captions never measured, whatever the font")
m("T17", "look", WG, [("const QColor kOutline(0x5a, 0x5a, 0x5a);", "const QColor kOutline(0x9a, 0x9a, 0x9a);")],
  "outlines too light for 3:1")
m("T18", "look", WG, [("subControlRect(CC_Slider, option, SC_SliderGroove, widget).adjusted(2, 0, -2, 0));",
                       "subControlRect(CC_Slider, option, SC_SliderGroove, widget));")],
  "groove outlines under the focus ring")
m("T19", "access", AC, [("return slider()->hasStepTexts() ? QAccessible::SpinBox : QAccessible::Slider;",
                         "return QAccessible::Slider;")],
  "3D LEVEL read as a slider with a percentage")
m("T20", "access", SL, [("if (step() == lastHeard && m_notice)", "if (step() != lastHeard && m_notice)")],
  "the skipped step not said; every other one said twice")
m("T21", "access", Q, [("QStringLiteral(\"outputs %1, %2, %3\")", "QStringLiteral(\"outputs %3, %2, %1\")")],
  "a mode's outputs heard in reverse order")
m("T22", "access", LY, [('''.description = "address 0x7D"''', '''.description = "address 0x7C"''')],
  "address one described as 0x7C")
m("T23", "failure", FR, [("        m_unconfirmed = kAllRegisters;\n", "        m_unconfirmed = 1u << 0;\n")],
  "after a failure only the loudspeaker must be written again")
m("T24", "failure", FR, [("        if (m_unconfirmed == 0)\n", "        if (m_unconfirmed != 0)\n")],
  "the failure clears at once and stays after a reset")
m("T25", "walk-back", I2, [("if (m_written < 2 || m_written >= kFrameWrites - 1)",
                            "if (m_written < 1 || m_written >= kFrameWrites - 1)")],
  "a failure before the start condition is walked back with a stop")
m("T26", "walk-back", I2, [("if (from.scl == H && from.sda == H)", "if (false)")],
  "from both lines high the walk-back starts with SDA falling: a start")
m("M01", "messages", MS, [("        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)",
                           "        if (static_cast<unsigned char>(c) < 0x20)")],
  "DEL reaches the terminal")
m("M02", "messages", MS, [('(count == 1 ? " line was" : " lines were")', '" lines were"')],
  "'1 lines were dropped'")
m("M03", "messages", MS, [('"no permission for " + device;', '"cannot open " + device;')],
  "the title does not say permission is missing")
m("V01", "privileges", PV, [("    if (system.setgid(0) == 0)\n", "    if (false)\n")],
  "regainable gid 0 not refused")
m("V02", "privileges", PV, [("    if (rgid != gid || egid != gid || sgid != gid)", "    if (rgid != gid || egid != gid)")],
  "saved gid not checked")
m("V03", "privileges", PV, [('return !isName || value.find_first_of("/%") == std::string_view::npos;',
                             'return !isName || value.find_first_of("/") == std::string_view::npos;')],
  "a '%' in LANG or TZ kept")
m("V04", "privileges", PV, [("SCMP_SYS(execve), SCMP_SYS(execveat)", "SCMP_SYS(execveat)")],
  "execve allowed to a privileged panel")
m("S11", "signals", ST, [("if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)",
                          "if (::sigaction(signal, nullptr, &now) == 0)")],
  "a signal the caller ignored (nohup) is taken over")
m("S12", "signals", ST, [("{SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,",
                          "{SIGTERM, SIGINT, SIGHUP, SIGXCPU,")],
  "SIGQUIT, SIGUSR1, SIGUSR2 and SIGALRM end the panel mid-frame")
m("Y01", "display", DS, [('system.platforms = wayland && x ? "wayland;xcb" : wayland ? "wayland" : x ? "xcb" : "";',
                          'system.platforms = wayland && x ? "xcb;wayland" : wayland ? "wayland" : x ? "xcb" : "";')],
  "X before Wayland when both are set")
m("G01", "look", WG, [("const CircleKey key{option->palette.cacheKey(), uint(option->state),",
                        "const CircleKey key{option->palette.cacheKey(), 0u,")],
  "a checked circle shown as the first state drawn: every circle looks alike")
m("G02", "look", WG, [("QRegion(r).subtracted(r.adjusted(1, 1, -1, -1))",
                        "QRegion(r).subtracted(r.adjusted(1, 1, -1, 0))")],
  "outlines lose their bottom edge")
m("G03", "look", WG, [("    drawPrimitive(PE_FrameGroupBox, option, painter, widget);\n", "")],
  "groups drawn without their frame")
m("G04", "look", WG, [("-field(22), field(18) * 4, format));", "field(22), field(18) * 4, format));")],
  "images taken as bottom-up: no logo, no icon")
m("G05", "look", WG, [("        circle.fill(option->palette.color(QPalette::Window));",
                        "        circle.fill(Qt::transparent);")],
  "circles drawn on nothing: their edges blend differently")
m("L01", "lines", "bus/backends.cpp", [("sizeof digits, kPortAddress, 16)", "sizeof digits, kPortAddress, 10)")],
  "the port's address written in decimal after 0x")
m("L02", "lines", "sim/board.cpp", [('m_log(std::string("QX5180 sim: fault: ").append(text));',
                                      'm_log(std::string("QX5180 sim: ").append(text));')],
  "a protocol fault logged like a transaction")
m("L03", "lines", "process/main.cpp", [("[&log](std::string_view line) { log.line(line); }",
                                         "[](std::string_view) {}")],
  "the program's own messages (root drop, write failures) never reach standard error")

# ---- written for the thumb that is what it looks, DEFAULT's arrows and border, the slider's field ----
m("N01", "thumb", WG, [("return control == CC_Slider && part == SC_SliderHandle ? r.adjusted(2, 0, -2, -1) : r;", "return r;"),
                       ("const QRect thumb = subControlRect(CC_Slider, option, SC_SliderHandle, widget);",
                        "const QRect thumb = subControlRect(CC_Slider, option, SC_SliderHandle, widget).adjusted(2, 0, -2, -1);")],
  "the thumb drawn 11 px wide, grabbed by Fusion's 15 px slot: a click 1 or 2 px beside it sends nothing")
m("N02", "thumb", SL, [("return m_pointer.x() < thumb.left() ? -1 : m_pointer.x() > thumb.right() ? 1 : 0;",
                        "return m_pointer.x() < thumb.left() - 1 ? -1 : m_pointer.x() > thumb.right() + 1 ? 1 : 0;")],
  "a press 1 px beside the thumb does not page by itself; a held one stops a pixel short")
m("N03", "thumb", WG, [("    painter->fillRect(thumb, option->palette.color(QPalette::Base));\n", "")],
  "the thumb hollow: the groove and its outline show through")
m("N04", "default", BT, [("    if (!isArrow(event))\n        return QPushButton::keyPressEvent(event);", "    return QPushButton::keyPressEvent(event);")],
  "an arrow on DEFAULT hands the focus on: a second Right selects address 1")
m("N05", "default", BT, [("    case Qt::Key_Down:\n    case Qt::Key_Left:", "    case Qt::Key_Left:")],
  "Down is no arrow: it leaves DEFAULT for the address bit, and in a group does what Qt does")
m("N06", "default", WG, [("    if (element == PE_PanelButtonCommand)\n        outlineButton(painter, option->rect);\n", "")],
  "DEFAULT's border left at Fusion's 2:1")
m("N07", "table", SL, [("m_stepBox->setText(QString::number(step()));", "m_stepBox->setText(QString::number(value()));")],
  "a step box shows the position, 0 to 31, not the step")
m("N08", "table", Q, [("        if (c.stepBox)\n            static_cast<TrackSlider*>(built[i])->setStepBox(m_c.*c.stepBox);\n", "")],
  "no step box follows its slider")
m("N09", "reset", Q, [("setPositionQuietly(*slider, slider->minimum());", "setPositionQuietly(*slider, slider->minimum() + 1);")],
  "the reset leaves every slider one step up while the chip has the defaults")
m("N10", "table", Q, [("        if (form()[i].tab != 0)\n", "        if (built[i]->focusPolicy() & Qt::TabFocus)\n")],
  "option buttons not selected at start left out of the Tab order: Tab misses a group once another button is selected")
m("C01", "claim", "bus/backends.cpp", [("if (attempt.claimError == ENXIO && system.readFile(kHolderFile, active) == 0) {",
                                         "if (false) {")],
  "an exclusive holder told as a node with no port behind it")
m("C02", "claim", "bus/backends.cpp", [("system.readFile(kHolderFile, active) == 0) {", "system.readFile(kHolderFile, active) >= 0) {")],
  "a node with no port behind it told as another program's exclusive hold")
m("C03", "claim", MS, [('", and the kernel lets no one share it: not waiting for it";', '"; waiting for it";')],
  "the exclusive hold promises a wait that never comes")
m("C04", "claim", MS, [('        return device + " held by another program";', '        return device + " unavailable";')],
  "the title does not say another program holds the port")
m("C05", "claim", MS, [('(failure.detail.empty() ? "" : " (" + failure.detail + ")") +\n               ", and',
                        '", and')],
  "the exclusive holder is not named")
m("C06", "claim", "tools/trace.cpp", [("std::stoul(line.substr(at + 17, 2), nullptr, 16)", "std::stoul(line.substr(at + 17, 2), nullptr, 10)")],
  "the trace decoder reads the port's bytes as decimal")
m("D01", "access", LY, [('''         .description = "input L2 and R2"},''', '''         .description = "input L1 and R1"},''')],
  "an option's spoken effect taken from another row: L2 AND R2 heard as input L1 and R1")
m("D02", "look", WG, [("return outline(painter, option->rect.adjusted(0, titleHeight, 0, 0));",
                        "return outline(painter, option->rect.adjusted(0, titleHeight - 99, 0, 0));")],
  "a group's frame drawn without its top line (it lies above the group, clipped away)")
# ---- every way out leaves the bus idle; a failure is heard where it happens ----
SY = "bus/system.cpp"
FA = "process/faults.cpp"
m("Q01", "faults", I2, [("    t->m_port.write(portByte(from, t->m_addressBit));\n", "")],
  "a fault's walk-back starts from a write that may never have reached the port")
m("Q02", "faults", I2, [("attempt(s, m_written >= 1 && m_written < kFrameWrites - 2);", "attempt(s, m_written >= 1);")],
  "a fault after the stop condition walks back again: a second stop on an idle bus, or worse")
m("Q03", "faults", FA, [("    bus::abandonTransaction();\n", "")], "a fault leaves the frame cut, the lines low")
m("Q04", "signals", ST, [("for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)", "for (int signal = SIGRTMIN; signal < SIGRTMIN; ++signal)")],
  "the real-time signals cut a frame")
m("Q05", "signals", ST, [("cpu.rlim_cur = std::min(cpu.rlim_cur, cpu.rlim_max - 1);", "cpu.rlim_cur = cpu.rlim_max;")],
  "ulimit -t ends the panel by SIGKILL mid-frame")
m("Q06", "limit", SY, [("if (error == EINTR && std::chrono::steady_clock::now() >= deadline)", "if (error == EINTR)")],
  "any signal during the claim ends the wait as if the limit had passed (SIGALRM's old fault)")
m("Q16", "limit", SY, [("        if (error == 0)\n            error = call();", "        if (error == 0)\n            do\n                error = call();\n            while (error == EINTR && std::chrono::steady_clock::now() < deadline);")],
  "a claim cut short by another signal made again: parport's wait list corrupted, the kernel oopses at the next claim")
m("Q17", "signals", "process/main.cpp", [("    if (endingSignals.arrived()) {", "    if (false && endingSignals.arrived()) {")],
  "a signal during the wait for a busy port ends the panel only after its window opened and the start-up frames went out")
m("Q08", "lock", SY, [("!S_ISREG(file.st_mode) || file.st_nlink != 1 ||", "!S_ISREG(file.st_mode) ||")],
  "a hard link at the lock's path (to /etc/shadow, say) is truncated and written")
m("Q09", "lock", SY, [("return digits ? std::string(text) : std::string();", "return digits || !text.empty() ? std::string(text) : std::string();")],
  "the lock file's text echoed to the terminal as its holder")
m("Q10", "limits", ST, [("if (files.rlim_cur - open < kDescriptors - kStandard)", "if (false)")],
  "inherited descriptors pass the check; GLib aborts later")
m("Q11", "limits", ST, [("        ::close_range(3, ~0U, 0);\n", "")],
  "a privileged start keeps the caller's descriptors")
m("Q12", "heard", Q, [("if (standing != 0 && m_heardError == 0)", "if (standing != 0)")],
  "the failure said again on every key while it stands")
m("Q13", "heard", Q, [("messages::defaultsNotice(error, failing && !error)", "messages::defaultsNotice(error * 0, failing && !error)")],
  "DEFAULT claims success while the writes fail")
m("Q14", "heard", Q, [("messages::defaultsNotice(error, failing && !error)", "messages::defaultsNotice(error, failing && !error && false)")],
  "DEFAULT does not say that the port writes work again")
m("Q15", "signals", ST, [("    if (g_loopRuns)\n        bus::startNoMoreTransactions();\n", "")],
  "a backlog of keys keeps sending frames after SIGXCPU, until SIGKILL cuts one")

# ---- from sets written blind to the tests, kept as a sample of what they first missed ----
m("Z01", "handlers", "panel/qx5180.cpp", [(".arg(m.loudspeaker, m.leftHeadphone, m.rightHeadphone)",
                                           ".arg(m.loudspeaker, m.rightHeadphone, m.leftHeadphone)")],
  "mode descriptions list the headphones right before left")
m("Z02", "handlers", "panel/qx5180.cpp", [("                connect(b, &QAbstractButton::toggled, b, tabStopWhenSelected);\n", "")],
  "Tab lands on the group's button the focus last left, not the one DEFAULT selected")
m("Z03", "slider", "panel/slider.cpp", [("    if (pagingDirection() != m_paging)\n        return m_repeat.stop();",
                                         "    if (pagingDirection() == 0)\n        return m_repeat.stop();")],
  "a held press whose pointer goes back behind the thumb keeps paging the old way")
m("Z04", "signals", "bus/i2c.cpp", [("    if (g_noMore.load() || g_abandoned.load())\n        return ECANCELED;\n    m_error = 0;",
                                    "    if (g_abandoned.load())\n        return ECANCELED;\n    m_error = 0;")],
  "frames still go out for keys queued after an ending signal")
m("Z05", "signals", "process/startup.cpp", [("    g_loopRuns = 1;\n", "")],
  "an ending signal while the loop runs stops no frame")
m("Z06", "lock", "bus/system.cpp", [("if (::ftruncate(fd, 0) != 0 ||\n            ::pwrite", "if (::pwrite")],
  "the lock file is not emptied before the number: a longer old number leaves digits behind")
m("Z07", "lock", "bus/backends.cpp", [("        system.ioperm(kPortAddress, 1, false);\n        failure = PortError{PortError::Kind::Lock",
                                       "        failure = PortError{PortError::Kind::Lock")],
  "the port permission kept when the lock fails")
m("Z08", "lines", "bus/backends.cpp", [('active == "none" ? "" : active', "active")],
  "the exclusive holder named \"none\" when the port was freed meanwhile")
m("Z09", "log", "process/linelog.cpp", [("(!takesWrites(s.fd) || --patience == 0)", "(takesWrites(s.fd) || --patience == 0)")],
  "flush waits out a stuck reader 50 times and gives up on a writable descriptor at once")
m("Z10", "lock", "bus/system.cpp", [("O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC", "O_RDWR | O_CREAT | O_CLOEXEC")],
  "a symbolic link at the lock's path followed to a file root owns, which is then emptied")
m("Z11", "style", WG, [("drawFocusRing(painter, option->rect.adjusted(1, 1, -1, -1), option->palette);",
                        "drawFocusRing(painter, option->rect, option->palette);")],
  "a focused box's ring drawn over its border, not inside it (the focus-ring rows beyond MONO VOLUME were dropped)")
