// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosSettings.h"

#include <QString>
#include <optional>

namespace pexlora {

// The console named on the command line as HOST or HOST:PORT ("[::1]:3038" for
// an IPv6 address with a port; a bare IPv6 address takes the default port).
// Nothing when the host is empty or the port is not a number from 1 to 65535.
std::optional<EosConsoleAddress> parseConsoleArgument(const QString& text);

} // namespace pexlora
