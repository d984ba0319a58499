// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosLink.h"

#include "eos/EosTcpLink.h"

namespace pexlora {

EosLink::~EosLink() = default;

EosLinkFactory tcpLinkFactory(std::shared_ptr<EosClock> clock, std::chrono::milliseconds connectTimeout) {
    return [clock = std::move(clock), connectTimeout](EosFraming framing) -> std::unique_ptr<EosLink> {
        return std::make_unique<EosTcpLink>(framing, clock, connectTimeout);
    };
}

} // namespace pexlora
