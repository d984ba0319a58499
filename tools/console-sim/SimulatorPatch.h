// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace pexlora::sim {

// The channels of a patch list such as "1-48,101-110": numbers and ascending ranges
// separated by commas, each channel 1–99999 and at most 100,000 in all. Nothing for
// any other text.
std::optional<std::vector<int>> patchChannels(std::string_view list);

} // namespace pexlora::sim
