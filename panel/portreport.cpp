#include "portreport.h"

#include <cerrno>
#include <cstring>

namespace panel {

Explained explain(const bus::PortError& failure) {
    using Kind = bus::PortError::Kind;
    const std::string device = bus::kParportDevice;
    const std::string ioPort = "I/O port " + bus::portAddressText();
    const int e = failure.error;
    const std::string what = std::strerror(e);
    const bool denied = e == EACCES || e == EPERM;
    switch (failure.kind) {
    case Kind::Open:
        if (e == ENOENT)
            return {"qx5180: cannot open " + device + ": " + what +
                        " (load the ppdev module: sudo modprobe ppdev)",
                    "no parallel port"};
        if (denied)
            return {"qx5180: cannot open " + device + ": " + what +
                        " (add your user to group lp, then log in again)",
                    "no permission for " + device};
        return {"qx5180: cannot open " + device + ": " + what,
                e == ENODEV || e == ENXIO ? "no port behind " + device : "cannot open " + device};
    case Kind::Claim:
        // The kernel answers ENXIO both when no port stands behind the node and when another
        // program registered on it exclusively; the user needs to know it may be either.
        if (e == ENXIO)
            return {"qx5180: cannot claim " + device + ": " + what +
                        " (no port behind it, or another program holds it exclusively)",
                    device + " unavailable"};
        return {"qx5180: cannot claim " + device + ": " + what, "cannot claim " + device};
    case Kind::Busy: {
        const std::string gaveUp =
            "qx5180: gave up waiting for " + device + " after " + bus::durationText(failure.waited);
        if (failure.detail.starts_with("lp"))
            return {gaveUp + ": the printer driver (" + failure.detail + ") is printing",
                    device + " busy printing"};
        if (failure.detail.starts_with("ppdev"))
            return {gaveUp + ": another program is using the port (" + failure.detail + ")",
                    device + " used by another program"};
        return {gaveUp + ": the printer driver is printing, or another program is using the port",
                device + " busy"};
    }
    case Kind::DirectIo:
        if (e != EPERM)
            return {"qx5180: cannot reach " + ioPort + ": " + what, "cannot reach " + ioPort};
        return {"qx5180: cannot reach " + ioPort + ": " + what +
                    (failure.asRoot ? " (the kernel forbids direct port access; load ppdev and use "
                                    : " (run as root, or load ppdev and use ") +
                    device + ")",
                "no permission for " + ioPort};
    }
    return {};
}

} // namespace panel
