# Hand-chosen mutants of the product code. Each: id, layer, file, list of (old, new)
# replacements (each `old` must occur exactly once in the file), and what the change means.
M = []
def m(id, layer, file, reps, what):
    M.append(dict(id=id, layer=layer, file=file, reps=reps, what=what))

# ---------------- I2C line-state runs (bus/i2c.cpp) ----------------
I = "bus/i2c.cpp"
PRT = "panel/portreport.cpp"
m("R01", "i2c-runs", I, [("constexpr Run kStart = {{{{H, H}, {L, H}, {L, L}}}, 3};",
                          "constexpr Run kStart = {{{{H, H}, {H, L}, {L, L}}}, 3};")],
  "START: SCL falls before SDA (no start condition)")
m("R02", "i2c-runs", I, [("constexpr Run kStop = {{{{L, H}, {H, H}, {H, H}}}, 3};",
                          "constexpr Run kStop = {{{{H, L}, {H, H}, {H, H}}}, 3};")],
  "STOP: SDA released while SCL low (no stop condition)")
m("R03", "i2c-runs", I, [("constexpr Run kOneAt1 = {{{{L, L}, {H, L}, {H, H}, {H, L}}}, 4};",
                          "constexpr Run kOneAt1 = {{{{L, L}, {H, L}, {H, H}, {H, L}}}, 3};")],
  "ONE at address bit 1: run length 4 -> 3 (last write dropped)")
m("R04", "i2c-runs", I, [("constexpr Run kOneAt0 = {{{{H, L}, {H, H}, {H, L}, {L, L}}}, 4};",
                          "constexpr Run kOneAt0 = {{{{H, L}, {H, H}, {H, L}, {H, L}}}, 4};")],
  "ONE at address bit 0: ends with SDA released instead of low")
m("R05", "i2c-runs", I, [("constexpr Run kZeroAt1 = {{{{L, L}, {L, L}, {L, H}, {L, L}}}, 4};",
                          "constexpr Run kZeroAt1 = {{{{L, L}, {L, H}, {L, L}, {L, L}}}, 4};")],
  "ZERO at address bit 1: clock high in 2nd write instead of 3rd")
m("R06", "i2c-runs", I, [("constexpr Run kZeroAt0 = {{{{L, L}, {L, H}, {L, L}, {L, L}}}, 4};",
                          "constexpr Run kZeroAt0 = {{{{L, L}, {H, H}, {L, L}, {L, L}}}, 4};")],
  "ZERO at address bit 0: SDA high during the clock")
m("R07", "i2c-runs", I, [("put(states(addressBit == 1 ? kOneAt1 : kOneAt0), addressBit);",
                          "put(states(addressBit != 0 ? kOneAt1 : kOneAt0), addressBit);")],
  "ONE picks bit-1 run for any nonzero address bit")
m("R08", "i2c-runs", I, [("put(states(addressBit == 1 ? kZeroAt1 : kZeroAt0), addressBit);",
                          "put(states(addressBit == 1 ? kZeroAt0 : kZeroAt1), addressBit);")],
  "ZERO variants swapped between address bits")
m("R09", "i2c-runs", I, [("put(states(kStart), m_addressBit);", "put(states(kStart), 0);")],
  "START always written with address-select low")

# ---------------- port byte wiring (bus/lines.h) ----------------
L = "bus/lines.h"
m("W01", "port-wiring", L, [("kSdaLowBit = 0x80;", "kSdaLowBit = 0x40;"),
                            ("kSclLowBit = 0x40;", "kSclLowBit = 0x80;")],
  "SDA/SCL data bits swapped (D6<->D7)")
m("W02", "port-wiring", L, [("if (s.sda == Level::Low)", "if (s.sda == Level::High)")],
  "SDA not inverted")
m("W03", "port-wiring", L, [("if (s.scl == Level::Low)", "if (s.scl == Level::High)")],
  "SCL not inverted")
m("W04", "port-wiring", L, [("kAddressSelectBit = 0x20;", "kAddressSelectBit = 0x10;")],
  "address select on D4 instead of D5")
m("W05", "port-wiring", L, [("    if (addressBit == 1)\n        b |= kAddressSelectBit;",
                             "    if (addressBit != 0)\n        b |= kAddressSelectBit;")],
  "any nonzero address bit raises D5")
m("W06", "port-wiring", L, [("constexpr std::uint8_t idleByte(std::int16_t addressBit) {\n    return portByte({Level::High, Level::High}, addressBit);",
                             "constexpr std::uint8_t idleByte(std::int16_t) {\n    return portByte({Level::High, Level::High}, 0);")],
  "idle byte ignores the address bit (always 0x1F)")
m("W08", "port-wiring", L, [("return portByte({Level::High, Level::High}, addressBit);",
                             "return portByte({Level::High, Level::Low}, addressBit);")],
  "idle byte holds SCL low")
m("W07", "port-wiring", L, [("kUnusedLines = 0x1F;", "kUnusedLines = 0x00;")],
  "unused lines D4..D0 written 0")

# ---------------- PPort bit order / ACK clocking (bus/i2c.cpp) ----------------
m("P01", "pport", I, [("    for (std::int16_t slot : Bin) {\n        if (slot == 1)",
                       "    for (std::int16_t slot : Bin) {\n        if (slot != 0)")],
  "any nonzero slot is a one bit")
m("P02", "pport", I, [("    for (std::int16_t slot : Bin) {\n",
                       "    for (auto it = Bin.rbegin(); it != Bin.rend(); ++it) {\n        const std::int16_t slot = *it;\n")],
  "slots sent last-first (bit order reversed)")
m("P03", "pport", I, [("    for (std::int16_t slot : Bin) {\n",
                       "    for (std::size_t i = 0; i + 1 < Bin.size(); ++i) {\n        const std::int16_t slot = Bin[i];\n")],
  "second ACK clock (slot 17) not sent")
m("P04", "pport", I, [("    for (std::int16_t slot : Bin) {\n",
                       "    for (int i = 0; i < kFrameSlots; ++i) {\n        const std::int16_t slot = (i == 8 || i == 17) ? 0 : Bin[i];\n")],
  "master drives SDA low during ACK clocks")

# ---------------- frame defaults, slot/bit positions (regs/) ----------------
FH, FC = "regs/frames.h", "regs/frames.cpp"
m("F01", "frames", FC, [("    return 16 - bit;", "    return 9 + bit;")], "dataSlot LSB first")
m("F02", "frames", FC, [("kAddressBitSlot = 6;", "kAddressBitSlot = 7;")], "address bit in slot 7 (R/W slot)")
m("F03", "frames", FC, [("Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 1};", "Frame f = {1, 1, 1, 1, 1, 0, 0, 0, 0};")],
  "first ACK slot defaults to 0 (master pulls SDA)")
m("F04", "frames", FC, [("    f[17] = 1;", "    f[17] = 0;")], "second ACK slot defaults to 0")
m("F05", "frames", FC, [("for (int bit = 7; bit >= 0; --bit)", "for (int bit = 7; bit > 0; --bit)")],
  "defaultFrame never writes data bit 0")
m("F06", "frames", FC, [("    0x40, // 01: 3D", "    0x60, // 01: 3D")], "effect default 0x60 (input code 2)")
m("F07", "frames", FC, [("    for (int r = 0; r < kRegisterCount; ++r)\n        send(static_cast<Register>(r));",
                         "    for (int r = kRegisterCount - 1; r >= 0; --r)\n        send(static_cast<Register>(r));")],
  "sendAll: registers in reverse order")

# ---------------- address select (regs/frames.cpp) ----------------
m("A01", "address", FC, [("    for (Frame& f : m_frames)\n        f[kAddressBitSlot] = value;",
                          "    for (int r = 0; r < kRegisterCount - 1; ++r)\n        m_frames[r][kAddressBitSlot] = value;")],
  "selectAddress forgets the effect frame's slot 6")
m("A02", "address", FC, [("    m_bus.setAddressBit(value);\n    for (Frame& f", "    m_bus.writeIdle();\n    m_bus.setAddressBit(value);\n    for (Frame& f")],
  "idle byte written before the address bit changes (and again after)")
m("A03", "address", FC, [("void ControlFrames::writeDefaults() {\n", "void ControlFrames::writeDefaults() {\n    m_bus.setAddressBit(0);\n")],
  "writeDefaults also resets the address bit")
m("A04", "address", FC, [("    settle(kLineSlot, m_bus.writeIdle());", "    settle(kLineSlot, 0);")], "selectAddress writes no idle byte")

# ---------------- handlers (panel/qx5180.cpp) ----------------
Q = "panel/qx5180.cpp"
m("H01", "handlers", FH, [("kLoudspeakerVolume{Register::Loudspeaker, 4, 5};", "kLoudspeakerVolume{Register::Loudspeaker, 3, 4};")],
  "loudspeaker volume code loses bit 4")
m("H02", "handlers", FC, [("    for (int i = 0; i < field.width; ++i)", "    for (int i = 0; i < field.width && value < 31; ++i)")],
  "position 31 not coded")
m("H03", "handlers", Q, [("stepBox.setText(QString::number(slider.value() + 1));", "stepBox.setText(QString::number(slider.value()));")],
  "step text is position, not position+1")
m("H04", "handlers", Q, [("m_frames.set({{regs::kLevel3DCode, m_vol3d->value()}});",
                          "m_frames.set({{regs::kLevel3DCode, (m_vol3d->value() >> 1) | (m_vol3d->value() & 1) << 1}});")],
  "3D level bits swapped")
m("H05", "handlers", FH, [("kLevel3DCode{Register::Effect, 3, 2};", "kLevel3DCode{Register::Effect, 2, 2};")],
  "3D level field one bit low")
m("H06", "handlers", Q, [("setVolume(regs::kRightVolume, *m_rightvol, *m_rgainbox);", "setVolume(regs::kRightVolume, *m_rightvol, *m_lgainbox);")],
  "right slider shows its step in the left box")
m("H07", "handlers", Q, [("setVolume(regs::kLeftVolume, *m_leftvol, *m_lgainbox);", "setVolume(regs::kRightVolume, *m_leftvol, *m_lgainbox);")],
  "left slider writes the right register")
m("H08", "handlers", Q, [('    {"L+R", "MUTE", "MUTE"},', '    {"R+L", "MUTE", "MUTE"},')], "mode 3 text R+L (crossed with mode 7)")
m("H09", "handlers", Q, [('    {"SHUTDOWN", "L+P", "R+P"},', '    {"SHUTDOWN", "R+P", "L+P"},')], "mode 6 headphone texts swapped")
m("H10", "handlers", FH, [("kModeNumber{Register::ModeControl, 2, 3};", "kModeNumber{Register::ModeControl, 1, 2};")],
  "mode bit 2 never written")
m("H11", "handlers", Q, [("void QX5180::mode5_Click() {\n    setMode(5);", "void QX5180::mode5_Click() {\n    setMode(4);")], "mode5 sends mode 4")
m("H12", "handlers", Q, [("    m_frames.set({{regs::k3DModeFlag, 0}});", "    m_frames.set({{regs::k3DModeFlag, 1}});")], "narrow sets the wide bit")
m("H13", "handlers", FH, [("kCapacitorFlag{Register::ModeControl, 3, 1};", "kCapacitorFlag{Register::ModeControl, 4, 1};")],
  "capacitor flag in bit 4, not bit 3")
m("H14", "handlers", FH, [("kHeadphone3DFlag{Register::Effect, 0, 1};", "kHeadphone3DFlag{Register::ModeControl, 0, 1};")],
  "headphone 3D flag in the mode register")
m("H15", "handlers", Q, [("m_frames.set({{regs::kDifferentialFlag, 0}, {regs::kInputCode, code}});", "m_frames.set({{regs::kInputCode, code}});")],
  "single-ended input leaves differential bit set")
m("H16", "handlers", FC, [("    for (int r = 0; r < kRegisterCount; ++r)\n        if (touched[r])", "    for (int r = kRegisterCount - 1; r >= 0; --r)\n        if (touched[r])")],
  "a control's registers sent in reverse order (effect before mode)")
m("H17", "handlers", Q, [("{regs::kInputCode, code}}", "{regs::kInputCode, (code >> 1) | (code & 1) << 1}}")],
  "input code bits swapped")
m("H18", "handlers", Q, [("    m_frames.set({{regs::kDifferentialFlag, 1}});", "    m_frames.set({{regs::kDifferentialFlag, 1}, {regs::kHeadphone3DFlag, 0}});")],
  "Diff also sends the effect frame (and clears headphone 3D)")
m("H19", "handlers", Q, [("    m_frames.set({{regs::kDifferentialFlag, 1}});", "    m_frames.set({{regs::kDifferentialFlag, 1}, {regs::kInputCode, 0}});")],
  "Diff clears the input code")
m("H20", "handlers", Q, [("void QX5180::l1l2r1r2_Click() {\n    setInput(0b11);", "void QX5180::l1l2r1r2_Click() {\n    setInput(0b10);")],
  "L1+L2/R1+R2 sends the l2r2 code")
m("H21", "handlers", Q, [("if (selected)\n                        (this->*handler)();", "(void)selected;\n                    (this->*handler)();")],
  "option handlers also run when a button is deselected")
m("H22", "handlers", Q, [('{"HP3Don", &QX5180::HP3Don_Click},', '{"HP3Don", &QX5180::HP3Doff_Click},')], "HP3Don bound to HP3Doff handler")

# crossed captions (panel/layout.cpp)
LY = "panel/layout.cpp"
m("C01", "captions", LY, [('{"narrow", K::Option, "Frame4", "WIDE",', '{"narrow", K::Option, "Frame4", "NARROW",'),
                          ('{"wide", K::Option, "Frame4", "NARROW",', '{"wide", K::Option, "Frame4", "WIDE",')],
  "narrow/wide captions 'fixed'")
m("C02", "captions", LY, [('{"ocl", K::Option, "oclse", "SE",', '{"ocl", K::Option, "oclse", "OCL",'),
                          ('{"se", K::Option, "oclse", "OCL",', '{"se", K::Option, "oclse", "SE",')],
  "ocl/se captions 'fixed'")
m("C03", "captions", LY, [('{"l2r2", K::Option, "Frame2", "L1 AND R1        SINGLE ENDED STEREO PAIR",',
                           '{"l2r2", K::Option, "Frame2", "L2 AND R2 SINGLE ENDED STEREO PAIR",'),
                          ('{"l1r1", K::Option, "Frame2", "L2 AND R2 SINGLE ENDED STEREO PAIR",',
                           '{"l1r1", K::Option, "Frame2", "L1 AND R1        SINGLE ENDED STEREO PAIR",')],
  "l2r2/l1r1 captions 'fixed'")

# ---------------- reset sequence (panel/qx5180.cpp RESET_Click) ----------------
m("S01", "reset", Q, [("    m_frames.writeDefaults();\n    setPositionQuietly(*m_monovol, 0);", "    setPositionQuietly(*m_monovol, 0);"),
                      ("    m_frames.sendAll();\n}", "    m_frames.writeDefaults();\n    m_frames.sendAll();\n}")],
  "defaults written after the selections, not before")
m("S02", "reset", Q, [("{m_narrow, m_HP3Doff, m_addrzero, m_mute}", "{m_addrzero, m_narrow, m_HP3Doff, m_mute}")],
  "address 0 selected before narrow/HP3Doff")
m("S03", "reset", Q, [("    m_frames.sendAll();\n}", "}")], "no final sendAll")
m("S04", "reset", Q, [('    m_rgainbox->setText("1");\n', "")], "right step box not reset")
m("S05", "reset", Q, [("    setPositionQuietly(*m_vol3d, 0);\n", "")], "3D slider not reset")
m("S06", "reset", Q, [("    setPositionQuietly(*m_monovol, 0);", "    m_monovol->setValue(0);")], "mono slider reset loudly (sends)")
m("S07", "reset", Q, [("    m_ocl->setChecked(true);\n", "")], "ocl not reselected")
m("S08", "reset", Q, [("    m_mode0->setChecked(true);\n    m_ocl->setChecked(true);", "    m_ocl->setChecked(true);\n    m_mode0->setChecked(true);")],
  "ocl selected before mode0")

# ---------------- back-end selection and messages (bus/backends.cpp) ----------------
B = "bus/backends.cpp"
m("B01", "backends", B, [("                 << durationText(limit) << \" for it to be free\" << std::endl;\n        attempt = claim(system, false, limit);\n",
                          "                 << durationText(limit) << \" for it to be free\" << std::endl;\n")], "no shared fallback after ENXIO")
m("B02", "backends", B, [("    if (attempt.claimError == ENXIO) {\n        messages << \"qx5180: exclusive access", "    if (attempt.claimError == EBUSY) {\n        messages << \"qx5180: exclusive access")],
  "shared fallback on EBUSY instead of ENXIO")
m("B03", "backends", PRT, [("const bool denied = e == EACCES || e == EPERM;", "const bool denied = e == EACCES;")], "no group-lp hint on EPERM")
m("B04", "backends", B, [("failure->kind == PortError::Kind::Open && failure->error == ENOENT;", "failure->kind == PortError::Kind::Open;")],
  "any open failure counts as device missing (direct I/O tried)")
m("B05", "backends", B, [("if ((first == 0 && last == 0) || (first", "if ((first")], "zeroed /proc/ioports ranges not accepted")
m("B06", "backends", B, [("kPortAddress <= last", "kPortAddress < last")], "range end exclusive")
m("B07", "backends", PRT, [("(failure.asRoot ? \" (the kernel", "(!failure.asRoot ? \" (the kernel")],
  "lockdown and not-root hints swapped")
m("B08", "backends", B, [("        m_system.ioctl(m_fd, PPRELEASE, nullptr);\n", "")], "device not released")
m("B09", "backends", B, [("~DirectPort() override { m_system.ioperm(kPortAddress, 1, false); }", "~DirectPort() override {}")],
  "port permission not given back")
m("B10", "backends", B, [("        messages << \"qx5180: using \" << kParportDevice << '\\n';\n", "")], "no 'using /dev/parport0' line")
m("B11", "backends", B, [("    if (error != 0) {\n        system.close(fd);\n", "    if (error != 0) {\n")], "descriptor leaked on failed claim")
m("B12", "backends", PRT, [("        if (e == ENXIO)\n            return {\"qx5180: cannot claim", "        if (e == EBUSY)\n            return {\"qx5180: cannot claim")],
  "claim hint on wrong errno")
m("B13", "backends", B, [("if (std::from_chars(text, text + dash, first, 16).ptr != text + dash)",
                          "if (std::from_chars(text, text + dash, first, 10).ptr != text + dash)")],
  "/proc/ioports range parsed as decimal")

# ---------------- privilege dropping (bus/privileges.cpp) ----------------
PR = "bus/privileges.cpp"
m("D01", "privileges", PR, [('''    if (const int error = system.setgid(gid); error != 0)
        return fail(messages, "setgid(" + std::to_string(gid) + ")", error);
    if (const int error = system.setuid(uid); error != 0)
        return fail(messages, "setuid(" + std::to_string(uid) + ")", error);''',
'''    if (const int error = system.setuid(uid); error != 0)
        return fail(messages, "setuid(" + std::to_string(uid) + ")", error);
    if (const int error = system.setgid(gid); error != 0)
        return fail(messages, "setgid(" + std::to_string(gid) + ")", error);''')], "setuid before setgid")
m("D02", "privileges", PR, [('''    if (system.setuid(0) == 0)
        return refuse(messages, "root could be regained after setuid(" + std::to_string(uid) + ")");
''', "")], "no check that root cannot be regained")
m("D03", "privileges", PR, [("value >= std::numeric_limits<Id>::max()", "value > std::numeric_limits<Id>::max()")], "(uid_t)-1 accepted")
m("D04", "privileges", PR, [("    if (system.getuid() != 0)\n", "    if (system.getuid() != 0 && !system.getenv(\"SUDO_UID\"))\n")],
  "set-uid install trusts SUDO_UID")
m("D05", "privileges", PR, [('''    if (*uid == 0)
        return refuse(messages, "SUDO_UID is 0, so there is no unprivileged user to become");
''', "")], "SUDO_UID=0 not refused")
m("D06", "privileges", PR, [('own account, through sudo if the port needs root)\\n";\n        return true;',
                             'own account, through sudo if the port needs root)\\n";\n        return false;')],
  "root login makes the program exit")
m("D07", "privileges", PR, [("system.setgroups({gid})", "system.setgroups({})")], "setgroups clears all groups")
m("D08", "privileges", PR, [("    if (system.geteuid() != 0)\n        return true;", "    if (system.getuid() != 0 && system.geteuid() != 0)\n        return true;")],
  "early exit tests uid too (harmless-looking)")

# ---------------- error reporting on failed writes (bus/i2c.cpp) ----------------
m("E01", "errors", I, [("        m_port.write(portByte(steps[i], m_addressBit));", "        if (const int e = m_port.write(portByte(steps[i], m_addressBit)); e != 0)\n            m_error = e;")],
  "last error, not first, is reported")
m("E02", "errors", I, [("        if (m_error != 0)\n            return;\n        m_error = m_port.write", "        m_error = m_port.write")],
  "a failed write does not cut the transaction (later writes overwrite the error)")
m("E03", "errors", I, [("    m_error = m_port.write(idleByte(m_addressBit));\n", "    m_port.write(idleByte(m_addressBit));\n    m_error = 0;\n")],
  "failed idle write not reported")
m("E04", "errors", I, [("        m_error = m_port.write(portByte(s, addressBit));\n", "        m_error = m_port.write(portByte(s, addressBit));\n        if (m_error != 0)\n            finish(\"a register write\");\n")],
  "reported per failed byte, not once per transaction")
m("E05", "errors", I, [("    const bool delivered = m_written >= kFrameWrites - 1;", "    const bool delivered = m_written >= kFrameWrites - 2;")],
  "a frame whose stop never completed counts as delivered")

# ---------------- simulated board decoder (sim/board.cpp) ----------------
SB = "sim/board.cpp"
m("K01", "board", SB, [("kChipAddress = 0x7C;", "kChipAddress = 0x7E;")], "chip address 0x7E")
m("K02", "board", SB, [("const bool write = (m_shift & 1) == 0;\n            m_ack = write && (m_shift >> 1)", "m_ack = (m_shift >> 1)")],
  "read/write flag ignored when acking")
m("K03", "board", SB, [("kChipAddress + (m_pin ? 1 : 0)", "kChipAddress + 0")], "address-select pin ignored")
m("K04", "board", SB, [("(data & 0x20) == 0 ? Register::LeftHeadphone : Register::RightHeadphone",
                        "(data & 0x20) == 0 ? Register::RightHeadphone : Register::LeftHeadphone")], "left/right registers swapped")
m("K05", "board", SB, [('"ACK loudspeaker volume %d", bits(d, 0, 5)', '"ACK loudspeaker volume %d", bits(d, 0, 4)')],
  "loudspeaker volume described from 4 bits")
m("K06", "board", SB, [("bits(d, 5, 1), bits(d, 3, 1)", "bits(d, 4, 1), bits(d, 3, 1)")], "differential read from bit 4")
m("K07", "board", SB, [('''    if (sdaMoves && !sda)
        sdaMoved(false);
    if (sclMoves)
        sclMoved(scl);
    if (sdaMoves && sda)
        sdaMoved(true);''', '''    if (sdaMoves)
        sdaMoved(sda);
    if (sclMoves)
        sclMoved(scl);''')], "SDA always decoded before SCL (not falls-first)")
m("K08", "board", SB, [("if (sdaMoves && sclMoves && sda == scl) {", "if (sdaMoves && sclMoves && sda != scl) {")],
  "opposite moves fault, same-direction moves decoded")
m("K09", "board", SB, [("    m_phase = Phase::Idle;\n    m_faults.emplace_back(text);", "    m_faults.emplace_back(text);")],
  "a fault does not drop the transaction")
m("K10", "board", SB, [('        fault("extra byte after the data byte");\n        return;', "        return;")], "extra byte silently ignored")
m("K11", "board", SB, [("if (m_phase == Phase::Complete) {", "if (m_phase == Phase::Complete && !isStart) {")],
  "repeated start does not finish a complete write")
m("K12", "board", SB, [("    if (t.ack)\n        m_registers[", "    m_registers[")], "registers written on NACK")
m("K13", "board", SB, [("kAddressSelectHigh = 0x20;", "kAddressSelectHigh = 0x10;")], "board reads pin from D4")
m("K14", "board", SB, [('''        if (m_phase != Phase::Idle)
            fault("address-select pin changed during a transaction");
''', "")], "pin change mid-transaction not faulted")
m("K15", "board", SB, [("        if (m_clocks == kDataBits)\n", "        if (m_clocks >= kDataBits - 1)\n")],
  "7 clocks reported as 'without acknowledge clock'")

# ---------------- main.cpp ----------------
MN = "panel/main.cpp"
m("N01", "main", MN, [("    if (!bus::dropRoot(bus::realCredentials(), messages))\n        return 1;", "    bus::dropRoot(bus::realCredentials(), messages);")], "failed root drop ignored")
DP = "panel/display.cpp"
m("N02", "main", DP, [('            name == "xcb" || ((name', '            true || name == "xcb" || ((name')], "any platform in QT_QPA_PLATFORM accepted")
m("N03", "main", MN, [("std::make_unique<sim::Board>(&messages)", "std::make_unique<sim::Board>()")], "simulated board without a log")
m("N04", "main", DP, [("    QGuiApplication::setDesktopSettingsAware(false);\n", "")], "the desktop's platform theme (GTK on GNOME) loaded")
m("N05", "main", MN, [("        endingSignals.watch();\n", "")], "ending signals never read: SIGTERM waits forever")
m("N06", "main", "panel/startup.cpp", [('::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)', "false)")], "closed standard descriptors left closed")

# ---------------- panel build and layout table (added to judge test_panel) ----------------
W_ = "panel/widgets.cpp"
m("G01", "panel-build", Q, [("QPoint(px(c.left + c.width) - 1, px(c.top + c.height) - 1)",
                             "QPoint(px(c.left) + px(c.width) - 1, px(c.top) + px(c.height) - 1)")],
  "sizes, not edges, rounded to pixels")
m("G02", "panel-build", Q, [("slider->setPageStep(s.pageStep);", "slider->setPageStep(1);")], "slider page step from the table ignored")
m("G03", "panel-build", LY, [('{"vol3d", 3, 5},', '{"vol3d", 3, 1},')], "3D slider page step 1 in the table")
m("G04", "panel-build", Q, [("    const Built built = build();\n    setTabOrder(built);\n", "    const Built built = build();\n")], "tab order never set")
m("G05", "panel-build", LY, [('"MODE 0", 120, 360, 1095, 255, 43, On},', '"MODE 0", 120, 360, 1095, 255, 35, On},')],
  "mode0 tab index 43 -> 35 in the table")
m("G06", "panel-build", Q, [("    m_monovol->setFocus();\n", "")], "no initial focus on the mono slider")
m("G07", "panel-build", W_, [("    case SH_Slider_PageSetButtons:\n        return Qt::LeftButton;\n    case SH_Slider_AbsoluteSetButtons:\n        return Qt::MiddleButton;",
                              "    case SH_Slider_PageSetButtons:\n        return Qt::MiddleButton;\n    case SH_Slider_AbsoluteSetButtons:\n        return Qt::LeftButton;")],
  "track click jumps to the click instead of paging")
m("G08", "panel-build", W_, [("    return rect().contains(pos);", "    return QRadioButton::hitButton(pos);")], "option buttons answer only on indicator/text")
m("G09", "panel-build", LY, [('"STEREO INPUT CONFIGURATIONS", 120, 6120, 9015, 975, 62},', '"STEREO INPUT CONFIGURATIONS", 120, 6000, 9015, 975, 62},')],
  "Frame2 moved up 120 twips in the table")
m("G10", "panel-build", "panel/layout.h", [("kClientHeight = 7275;", "kClientHeight = 7200;")], "window 5 px shorter")
m("G11", "panel-build", LY, [('{"HP3Doff", K::Option, "Frame1", "OFF", 1320, 360, 735, 255, 48, On},', '{"HP3Doff", K::Option, "Frame1", "OFF", 1320, 360, 735, 255, 48},'),
                             ('{"HP3Don", K::Option, "Frame1", "ON", 240, 360, 735, 255, 47},', '{"HP3Don", K::Option, "Frame1", "ON", 240, 360, 735, 255, 47, On},')],
  "HP3Don shown selected at start")
m("G12", "panel-build", LY, [('{"hfgainbox", K::TextBox, W, "1",', '{"hfgainbox", K::TextBox, W, "0",')], "mono step box starts at 0")
m("G13", "panel-build", Q, [("            auto* b = new OptionButton(text, container);", "            auto* b = new OptionButton(text, this);")],
  "option buttons parented to the window (groups merge)")
m("G14", "panel-build", W_, [("    for (; size >= 8; --size) {", "    for (; size >= 11; --size) {")],
  "captions never shrink below 11 px")

# ---------------- second round: branches guarded only by rows that killed nothing above ----------------
m("B14", "backends", B, [('''    if (const int error = system.readFile(kIoportsFile, ioports); error != 0) {
        messages << "qx5180: direct port I/O not tried: cannot read " << kIoportsFile << ": "
                 << std::strerror(error) << '\\n';
        return nullptr;
    }''', '''    system.readFile(kIoportsFile, ioports);''')], "unreadable /proc/ioports treated as empty (no reason given)")
m("B15", "backends", B, [('        if (!line.substr(colon + 3).starts_with("parport"))\n            continue;\n', "")],
  "any device listed at 0x378 counts as a parallel port")
m("B16", "backends", B, [("system.geteuid() == 0};", "false};")], "lockdown hint never given (root told to run as root)")
m("B17", "backends", B, [("    if (attempt.claimError == ENXIO) {\n        messages << \"qx5180: exclusive access", "    if (attempt.claimError != 0) {\n        messages << \"qx5180: exclusive access")],
  "any claim failure retried as shared")
m("D09", "privileges", PR, [("ec != std::errc{} || ptr != end ||", "ec != std::errc{} ||")], "trailing text after an id accepted")
m("D10", "privileges", PR, [('''    if (!gidText)
        return refuse(messages, "SUDO_UID is set but SUDO_GID is not");
    const auto gid = parseId<gid_t>(*gidText);''', '''    const auto gid = gidText ? parseId<gid_t>(*gidText) : std::optional<gid_t>(system.getgid());''')],
  "missing SUDO_GID falls back to the current gid (root's)")
m("D11", "privileges", PR, [("        if (const int error = system.initgroups(account->name, gid); error != 0)\n",
                             "        if (const int error = system.initgroups(account->name, gid); error != 0 && false)\n")],
  "initgroups failure ignored (root's groups kept)")
m("K16", "board", SB, [('fault(isStart ? "start condition inside a byte" : "stop condition inside a byte");',
                        'fault(isStart ? "stop condition inside a byte" : "start condition inside a byte");')], "start/stop fault texts swapped")
m("G15", "panel-build", Q, [("            auto* e = new ReadOnlyBox(text, container);", "            auto* e = new ReadOnlyBox({}, container);")],
  "text boxes built without their starting text")
m("G16", "panel-build", Q, [('            l->setPixmap(QPixmap(":/logo.bmp"));\n', "")], "logo picture not loaded")
m("G17", "panel-build", Q, [("        return (twips + layout::kTwipsPerPixel / 2) / layout::kTwipsPerPixel;",
                             "        return twips / layout::kTwipsPerPixel;")], "twips truncated, not rounded, to pixels")

# ---------------- third round: branches whose only guard may be a single row ----------------
m("B18", "backends", B, [("        return m_pacer.write([&] { return m_system.ioctl(m_fd, PPWDATA, &data); });", "        m_pacer.write([&] { return m_system.ioctl(m_fd, PPWDATA, &data); });\n        return 0;")],
  "device write failures not returned")
m("B19", "backends", B, [("        messages << \"qx5180: exclusive access to \" << kParportDevice", "        if (false)\n        messages << \"qx5180: exclusive access to \" << kParportDevice")], "no message that the port is shared")
m("D12", "privileges", PR, [('''    if (system.setuid(0) == 0)
        return refuse(''', '''    if (system.setuid(0) == 0 && false)
        return refuse(''')], "regained root detected but ignored")
m("D13", "privileges", PR, [('''    if (const int error = system.setgid(gid); error != 0)
        return fail(''', '''    if (const int error = system.setgid(gid); error != 0 && false)
        return fail(''')], "setgid failure ignored")
m("H23", "handlers", Q, [('        {"addrzero", &QX5180::addrzero_Click},\n', '        {"addrzero", &QX5180::addrzero_Click},\n        {"digloop", &QX5180::mode1_Click},\n')],
  "a codec test button wired to a handler")
m("D14", "privileges", PR, [("    if (system.geteuid() != 0)\n        return true;\n\n", "")], "no early return when not root")
m("D15", "privileges", PR, [("    if (*gid == 0)\n", "    if (*gid == 0 && false)\n")], "SUDO_GID=0 not refused")
m("D16", "privileges", PR, [("        return keepOnlyWhatAWindowNeeds(system, messages) &&\n               becomeUser(",
                             "        return becomeUser(")],
  "set-user-ID environment kept whole")
m("D17", "privileges", PR, [('{{"HOME", account->home}, ', "{")], "HOME stays root's after the drop")
m("D18", "privileges", PR, [("system.forbidNewPrivileges(); error != 0)", "system.forbidNewPrivileges(); error != 0 && false)")],
  "no-new-privileges failure ignored")
m("D19", "privileges", PR, [('"DISPLAY", "XAUTHORITY", ', '"DISPLAY", "XAUTHORITY", "XDG_CURRENT_DESKTOP", "XDG_CONFIG_HOME", ')],
  "the desktop's name and GTK's settings folder kept under set-user-ID")
m("D20", "privileges", PR, [("    return keepOnlyWhatAWindowNeeds(system, messages) && becomeUser(system, messages, *uid, *gid);",
                             "    return becomeUser(system, messages, *uid, *gid);")], "sudo environment kept whole")
m("B20", "backends", PRT, [("const bool denied = e == EACCES || e == EPERM;", "const bool denied = e == EPERM;")], "no group-lp hint on EACCES")
m("B21", "backends", PRT, [("        if (denied)\n", "        if (true)\n")], "group-lp hint for every open error")

# ---------------- faults written blind that once slipped through ----------------
m('X01', 'panel', 'panel/display.cpp',
  [('    else if (system.platforms == "xcb" && !x)\n        system.platforms.clear(), system.refusal = kNoDisplay;\n', '')],
  'QT_QPA_PLATFORM=xcb without DISPLAY is not refused up front; it fails later in Qt with another message')
m('X02', 'panel', 'panel/startup.cpp',
  [('    ::sigaction(SIGPIPE, &ignore, nullptr);\n', '')],
  'SIGPIPE not ignored: a reader of standard error that goes away kills the panel')
m('X03', 'panel', 'panel/main.cpp',
  [("messages << panel::explain(failure).line << '\\n';", "messages << panel::explain(failure).reason << '\\n';")],
  'standard error gets the short title reason instead of the full explained line for each port failure')
m('X04', 'bus', 'bus/system.cpp',
  [('return Account{found->pw_name, found->pw_dir};', 'return Account{found->pw_dir, found->pw_name};')],
  'passwd entry fields swapped: name gets the home directory and home the user name')
m('X05', 'regs', 'regs/frames.cpp',
  [('    if (outcome.error == 0)\n        m_failed[kLineSlot] = 0;', '    if (outcome.delivered)\n        m_failed[kLineSlot] = 0;')],
  'address-select line failure cleared only by a delivered frame, so a frame delivered with only its trailing idle byte failed now clears a standing address-select failure')
m('X06', 'regs', 'regs/frames.cpp',
  [('    if (outcome.delivered)\n        m_failed[index(r)] = 0;', '    if (outcome.error == 0)\n        m_failed[index(r)] = 0;')],
  'a register whose frame was delivered but whose trailing idle byte failed keeps its old failure standing')
m('X07', 'panel', 'panel/widgets.cpp',
  [('m_pointer.x() > thumb.right() ? 1 : 0;', 'm_pointer.x() >= thumb.right() ? 1 : 0;')],
  "a click on the thumb's rightmost pixel pages right instead of grabbing the thumb")
m('X08', 'panel', 'panel/display.cpp',
  [('if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)', 'if (static_cast<unsigned char>(c) < 0x20)')],
  'DEL (0x7f) from the environment passes through to the terminal')
m('X09', 'panel', 'panel/display.cpp',
  [("entry.section(':', 0, 0).toLower().toStdString();", "entry.section(':', 0, 0).toStdString();")],
  'QT_QPA_PLATFORM names compared case-sensitively, so XCB is refused')
m('X10', 'panel', 'panel/linelog.cpp',
  [('(s.dropped == 1 ? " line was" : " lines were")', '" lines were"')],
  "dropped-lines notice says '1 lines were dropped'")
m('X11', 'panel', 'panel/access.cpp',
  [('QVariant maximumValue() const override { return slider()->maximum() - slider()->minimum() + 1; }', 'QVariant maximumValue() const override { return slider()->maximum() - slider()->minimum(); }')],
  'accessible maximum of a slider off by one (31 instead of 32)')
m('X12', 'panel', 'panel/access.cpp',
  [('        s.readOnly = true;\n', '')],
  'step/output boxes not announced read-only to a screen reader')
m('X13', 'panel', 'panel/display.cpp',
  [('    qunsetenv("QT_QPA_PLATFORMTHEME");\n', '')],
  'QT_QPA_PLATFORMTHEME no longer removed, so a platform theme plugin can load')
m('X14', 'panel', 'panel/linelog.cpp',
  [('        if (!s.written.wait_for(lock, quiet, [&] { return s.progress != before || s.idle(); }))\n            return;\n', '        s.written.wait(lock, [&] { return s.progress != before || s.idle(); });\n')],
  'flush never gives up on a stuck reader (exit hangs)')
