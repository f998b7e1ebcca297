// Any byte stream at all, fed to the simulated board one port write at a time. The board
// may report whatever faults it likes; what must never happen is a register moving without
// an acknowledged write that carries exactly that value.
#include "board.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

using Registers = std::array<std::optional<std::uint8_t>, sim::kRegisterCount>;

Registers snapshot(const sim::Board& board) {
    Registers r;
    for (int i = 0; i < sim::kRegisterCount; ++i)
        r[static_cast<std::size_t>(i)] = board.reg(static_cast<sim::Register>(i));
    return r;
}

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::Board board;
    Registers before = snapshot(board);
    std::size_t transactions = 0;
    std::size_t faults = 0;

    for (std::size_t i = 0; i < size; ++i) {
        check(board.write(data[i]) == 0);
        const Registers after = snapshot(board);
        const auto& ts = board.transactions();
        const std::size_t newTransactions = ts.size() - transactions;
        const std::size_t newFaults = board.faults().size() - faults;
        check(ts.size() >= transactions && board.faults().size() >= faults);
        // One write holds at most one start or stop condition, so it can end at most one
        // transaction, and a write that faults ends none.
        check(newTransactions <= 1 && !(newTransactions == 1 && newFaults > 0));

        int changed = 0;
        for (int r = 0; r < sim::kRegisterCount; ++r) {
            const auto idx = static_cast<std::size_t>(r);
            if (after[idx] == before[idx])
                continue;
            ++changed;
            check(newTransactions == 1 && ts.back().ack && after[idx] == ts.back().data &&
                  sim::Board::registerFor(ts.back().data) == static_cast<sim::Register>(r));
        }
        check(changed <= 1);
        if (newTransactions == 1) {
            const sim::Transaction& t = ts.back();
            // An acknowledged write was addressed to the chip at the pin's current level and
            // always lands somewhere, even when it rewrites the value already held.
            if (t.ack) {
                check(t.address == 0x7C + (board.addressSelect() ? 1 : 0));
                check(after[static_cast<std::size_t>(sim::Board::registerFor(t.data))] == t.data);
            }
            check(sim::Board::describe(t).starts_with("QX5180 sim: address 0x"));
        }

        before = after;
        transactions = ts.size();
        faults = board.faults().size();
    }
    return 0;
}
