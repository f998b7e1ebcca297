// The simulated board's own decoding of port bytes given in hex on standard input: one line
// per transaction or fault, for the tests that see the bytes from outside (tests/kernel.sh).
#include "board.h"

#include <iostream>

int main() {
    sim::Board board([](std::string_view line) { std::cout << line << '\n'; });
    for (unsigned byte = 0; std::cin >> std::hex >> byte;)
        board.write(static_cast<std::uint8_t>(byte));
}
