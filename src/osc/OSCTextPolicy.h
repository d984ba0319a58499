// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pexlora {

// How a decoder reads received text: addresses, tag strings and string values.
enum class OSCTextPolicy {
    // Non-lossy ASCII, all the codec's own encoder writes: a byte of 0x80 or above, or an
    // escape that stands for a character beyond ASCII, leaves the packet undecodable.
    strictASCII,
    // UTF-8, as an Eos console writes its labels and command lines: an ill-formed sequence
    // reads as U+FFFD and an escape beyond ASCII as its character, so that text never costs
    // a packet. Text that strictASCII reads comes out the same. An address stays ASCII:
    // what is not ASCII in it is replaced by its stand-in, as OSCAddressPattern does.
    lenientUTF8,
};

} // namespace pexlora
