// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosReconnectPolicy.h"

#include <algorithm>

namespace pexlora {

std::chrono::milliseconds EosReconnectPolicy::delayAfter(int consecutiveFailures) const {
    std::chrono::milliseconds delay = initial;
    for (int failure = 1; failure < consecutiveFailures && delay < maximum; ++failure)
        delay *= 2;
    return std::min(delay, maximum);
}

} // namespace pexlora
