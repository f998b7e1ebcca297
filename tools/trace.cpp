// Reads QEMU's trace of the parallel port's register writes (scripts/kernel-vm writes it to
// OUT/port-trace) and hands the data-register writes, in order, to the simulated board, which
// prints what it decodes: one line per register write, one per protocol fault. So a developer
// who ran the panel on the real drivers sees what the board would have made of the bytes.
// Usage: qx5180-trace < OUT/port-trace
#include "board.h"

#include <iostream>
#include <string>

int main() {
    sim::Board board([](std::string_view line) { std::cout << line << '\n'; });
    // "parallel_ioport_write write [SW] addr 0x00 val 0xaa": address 0 is the data register.
    for (std::string line; std::getline(std::cin, line);) {
        const auto at = line.find(" addr 0x00 val 0x");
        if (line.starts_with("parallel_ioport_write ") && at != std::string::npos)
            board.write(
                static_cast<std::uint8_t>(std::stoul(line.substr(at + 17, 2), nullptr, 16)));
    }
}
