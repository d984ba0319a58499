// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pexlora {

// What the link knows of the console at the other end.
enum class EosConsoleHealth {
    offline,   // no link up: idle, connecting, or waiting to retry
    settling,  // link up, the framing the console reads is being found
    answering, // link up and the console answers
    silent,    // link up in SLIP, but the console never answered (its OSC output may be off)
    gone       // the console answered, then fell silent; the link was dropped and is being retried
};

} // namespace pexlora
