// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorPatch.h"

#include "SimulatorChannels.h"

#include <charconv>
#include <cstdio>

namespace pexlora::sim {

namespace {

constexpr std::size_t maxChannels = 100000;
constexpr int unitsPerPipe = 12;

std::optional<int> channel(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > maxChannel)
        return std::nullopt;
    return value;
}

struct Pipe {
    std::string name;
    float depth;  // metres from the setting line, downstage negative
    float height; // metres
    std::string model;
    int footprint;
    std::string gel;
    bool fineIntensity;
};

Pipe pipe(std::size_t number) {
    if (number == 0)
        return {"FOH", -6.0f, 8.0f, "Source Four 19deg", 1, "L201", false};
    const std::string ordinal = std::to_string(number);
    const bool led = number % 2 == 0;
    // Every other pipe of conventionals runs on 16-bit dimmers: two addresses, coarse and
    // fine, which is how a patch tells a 16-bit intensity.
    const bool fine = !led && number % 4 == 3;
    return {ordinal +
                (number == 1   ? "st"
                 : number == 2 ? "nd"
                 : number == 3 ? "rd"
                               : "th") +
                " Electric",
            -1.0f + 2.5f * static_cast<float>(number - 1),
            6.5f,
            led ? "ColorSource PAR" : "Source Four 26deg",
            led ? 5 : fine ? 2 : 1,
            led ? "N/C" : "R02",
            fine};
}

} // namespace

std::optional<std::vector<int>> patchChannels(std::string_view list) {
    std::vector<int> channels;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        const std::size_t dash = item.find('-');
        const auto first = channel(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : channel(item.substr(dash + 1));
        if (!first || !last || *last < *first ||
            channels.size() + static_cast<std::size_t>(*last - *first) >= maxChannels)
            return std::nullopt;
        for (int number = *first; number <= *last; ++number)
            channels.push_back(number);
    }
    return channels;
}

std::vector<PatchEntry> rigPatch(const std::vector<int>& channels) {
    std::vector<PatchEntry> entries;
    entries.reserve(channels.size());
    int next = 1;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const Pipe hung = pipe(i / unitsPerPipe);
        const int unit = static_cast<int>(i % unitsPerPipe) + 1;
        PatchEntry entry;
        entry.channel = channels[i];
        entry.uid = simulatorUid(1, channels[i]);
        entry.label = hung.name + " " + std::to_string(unit);
        entry.manufacturer = "ETC";
        entry.model = hung.model;
        entry.footprint = hung.footprint;
        entry.fineIntensity = hung.fineIntensity;
        // A fixture starts in the next universe rather than straddle two.
        if ((next - 1) % 512 + hung.footprint > 512)
            next += 512 - (next - 1) % 512;
        entry.address = next;
        next += hung.footprint;
        entry.gel = hung.gel;
        // Texts as long as a production's paperwork makes them: the list takes more than one packet.
        entry.texts = {"Position " + hung.name + ", hung from the pipe's downstage side",
                       "Unit " + std::to_string(unit) + " counted from stage left",
                       "Dimmer/driver " + dmxText(entry.address),
                       "Colour " + hung.gel + ", frame " + std::to_string(unit),
                       "Focus area " + std::to_string((unit - 1) / 3 + 1) +
                           " of the stage, shuttered off the set",
                       "Accessory: top hat, safety cable and a colour frame",
                       "Circuit " + std::to_string(100 + static_cast<int>(i)),
                       "Purpose: " + std::string(i % 3 == 0   ? "key light"
                                                 : i % 3 == 1 ? "fill"
                                                              : "wash"),
                       "Checked at the focus call on the first technical day",
                       "Hung by the day crew; cable run along the pipe to the rack"};
        entry.notes = "Lamp hours logged; re-gel after the run if it fades.";
        entry.position = {(static_cast<float>(unit) - 6.5f) * 1.0f, hung.depth, hung.height};
        entry.rotation = {hung.depth < 0 ? 45.0f : -30.0f, 0.0f, 0.0f};
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string dmxText(int address) {
    return std::to_string((address - 1) / 512 + 1) + "/" + std::to_string((address - 1) % 512 + 1);
}

std::string simulatorUid(int kind, long long number) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-0000-4000-8000-%012llX", static_cast<unsigned>(kind), number);
    return text;
}

} // namespace pexlora::sim
