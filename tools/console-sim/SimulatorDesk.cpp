// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorDesk.h"

#include "SimulatorAnswers.h"
#include "SimulatorCommand.h"
#include "SimulatorOutput.h"
#include "SimulatorReplies.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace pexlora::sim {

namespace {

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> numberValue(const OSCMessage& message, std::size_t position) {
    if (message.values.size() <= position)
        return std::nullopt;
    const OSCValue& value = message.values[position];
    if (const auto* i32 = std::get_if<std::int32_t>(&value))
        return *i32;
    if (const auto* f = std::get_if<float>(&value); f && std::isfinite(*f) && std::fabs(*f) < 1e6f)
        return static_cast<int>(std::lround(*f));
    if (const auto* text = std::get_if<std::string>(&value))
        return wholeNumber(*text);
    return std::nullopt;
}

std::string textOf(const OSCValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* i32 = std::get_if<std::int32_t>(&value))
        return std::to_string(*i32);
    if (const auto* f = std::get_if<float>(&value))
        return std::to_string(*f);
    return {};
}

// "%1", "%2"… replaced by the message's arguments after the text.
std::string substituted(std::string text, const OSCMessage& message) {
    for (std::size_t i = std::min<std::size_t>(message.values.size(), 10) - 1; i >= 1; --i)
        for (std::size_t at = 0; (at = text.find("%" + std::to_string(i), at)) != std::string::npos;) {
            const std::string value = textOf(message.values[i]);
            text.replace(at, 2, value);
            at += value.size();
        }
    return text;
}

} // namespace

SimulatorDesk::SimulatorDesk(DeskOptions options, SimulatorShow show)
    : m_options(options)
    , m_show(std::move(show)) {}

DeskOutput SimulatorDesk::take(const OSCMessage& message) {
    DeskOutput out;
    std::string_view address = message.addressPattern.rawAddress();
    int user = m_options.oscUser;
    std::string rest;
    // "/eos/user/<n>/…" is any command as user n.
    if (constexpr std::string_view prefix = "/eos/user/"; address.starts_with(prefix)) {
        const std::string_view tail = address.substr(prefix.size());
        const std::size_t slash = tail.find('/');
        const auto number = wholeNumber(tail.substr(0, slash));
        if (!number || *number < 0 || *number > 99 || slash == std::string_view::npos)
            return out;
        user = *number;
        rest = "/eos" + std::string(tail.substr(slash));
    } else {
        rest = std::string(address);
    }
    const std::string_view path = rest;
    if (path == "/eos/ping") {
        out.reply.emplace_back("/eos/out/ping", message.values);
    } else if (path == "/eos/subscribe") {
        out.subscribe = numberValue(message, 0).value_or(1) != 0;
    } else if (path == "/eos/reset") {
        out.reply.emplace_back("/eos/out/user", OSCValues{static_cast<std::int32_t>(m_options.oscUser)});
        out.reply.emplace_back("/eos/out/cmd", OSCValues{"LIVE: " + m_users[operatorUser].commandLine});
        out.reply.push_back(activeChannels());
        out.reply.emplace_back("/eos/out/show/name", OSCValues{m_show.name});
    } else if (path.starts_with("/eos/get/")) {
        answerGet(path.substr(9), out);
    } else if ((path == "/eos/cmd" || path == "/eos/newcmd") && !message.values.empty()) {
        command(user, substituted(textOf(message.values[0]), message), path == "/eos/newcmd", out);
    } else if (path == "/eos/chan") {
        const auto channel = numberValue(message, 0);
        if (channel && *channel >= 1 && *channel <= maxChannel && select(user, {*channel}))
            out.everyone.push_back(activeChannels());
    } else if (path.starts_with("/eos/chan/")) {
        const auto channel = wholeNumber(path.substr(10));
        const auto level = numberValue(message, 0);
        if (channel && *channel >= 1 && *channel <= maxChannel && level) {
            const bool selected = select(user, {*channel});
            if (setLevel(user, *level) || selected)
                out.everyone.push_back(activeChannels());
        }
    } else if (path == "/eos/at") {
        if (const auto level = numberValue(message, 0); level && setLevel(user, *level))
            out.everyone.push_back(activeChannels());
    } else if (path.starts_with("/eos/key/")) {
        // 1 or nothing presses the key, 0 lets it go: only the press types.
        if (numberValue(message, 0).value_or(1) != 0) {
            const std::string& line = m_users[user].commandLine;
            if (const auto text = keyText(isTerminated(line) ? "" : line, path.substr(9)))
                command(user, *text, false, out);
        }
    } else if (path.starts_with("/eos/set/group/")) {
        setGroup(path.substr(15), message, out);
    }
    return out;
}

DeskOutput SimulatorDesk::load(SimulatorShow show) {
    DeskOutput out;
    std::set<std::string, GroupNumberOrder> numbers;
    for (const auto* each : {&m_show.groups, &show.groups})
        for (const auto& [number, group] : *each)
            numbers.insert(number);
    OSCValues groups;
    for (const std::string& number : numbers)
        groups.push_back(groupNumberValue(number));
    std::set<int> channels;
    for (const auto* each : {&m_show.patch, &show.patch})
        for (const PatchEntry& entry : *each)
            channels.insert(entry.channel);
    m_show = std::move(show);
    m_users.clear();
    m_levels.clear();
    printLine("Show loaded: \"" + m_show.name + "\", " + std::to_string(m_show.patch.size()) +
              " patch entries, " + std::to_string(m_show.groups.size()) + " groups");
    out.everyone.emplace_back("/eos/out/event/show/loaded", OSCValues{});
    out.everyone.emplace_back("/eos/out/show/name", OSCValues{m_show.name});
    out.everyone.emplace_back("/eos/out/cmd", OSCValues{"LIVE: "});
    out.everyone.push_back(activeChannels());
    out.subscribers = notifyReplies("group", ++m_sequence, groups);
    const ChannelList patched(channels.begin(), channels.end());
    for (OSCMessage& notice : notifyReplies("patch", ++m_sequence, channelValues(patched)))
        out.subscribers.push_back(std::move(notice));
    return out;
}

void SimulatorDesk::command(int user, std::string text, bool fresh, DeskOutput& out) {
    User& state = m_users[user];
    // A terminated line is done: what comes next starts a new one.
    if (fresh || isTerminated(state.commandLine))
        state.commandLine.clear();
    state.commandLine = (state.commandLine + text).substr(0, 256);
    const std::string echo = "LIVE: " + state.commandLine;
    out.everyone.emplace_back(OSCAddressPattern("/eos/out/user/" + std::to_string(user) + "/cmd"),
                              OSCValues{echo});
    if (user == operatorUser)
        out.everyone.emplace_back("/eos/out/cmd", OSCValues{echo});
    const CommandEffect effect = interpretCommand(state.commandLine, m_show.groups);
    if (effect.recordGroup && recordGroup(user, *effect.recordGroup))
        groupChanged(*effect.recordGroup, out);
    bool shown = false;
    if (effect.select)
        shown = select(user, *effect.select);
    if (effect.level)
        shown = setLevel(user, *effect.level) || shown;
    if (shown)
        out.everyone.push_back(activeChannels());
}

bool SimulatorDesk::select(int user, ChannelList channels) {
    m_users[user].selection = std::move(channels);
    return user == operatorUser;
}

bool SimulatorDesk::setLevel(int user, int level) {
    const ChannelList& selection = m_users[user].selection;
    for (const int channel : selection)
        m_levels[channel] = std::clamp(level, 0, 100);
    // The operator's line shows the level of its first channel, whoever changed it.
    const ChannelList& shown = m_users[operatorUser].selection;
    return !shown.empty() && std::ranges::find(selection, shown.front()) != selection.end();
}

bool SimulatorDesk::recordGroup(int user, const std::string& number) {
    const ChannelList& selection = m_users[user].selection;
    if (selection.empty()) {
        printLine("Record Group " + number + " as user " + std::to_string(user) + ": nothing selected");
        return false;
    }
    m_show.groups[number].channels = selection;
    printLine("Group " + number + ": " + channelRunText(selection) + " (recorded by user " +
              std::to_string(user) + ")");
    return true;
}

void SimulatorDesk::setGroup(std::string_view rest, const OSCMessage& message, DeskOutput& out) {
    const std::size_t slash = rest.find('/');
    const auto number = groupNumber(rest.substr(0, slash));
    const std::string_view field = slash == std::string_view::npos ? "" : rest.substr(slash + 1);
    if (!number || message.values.empty())
        return;
    if (field == "label") {
        m_show.groups[*number].label = textOf(message.values[0]).substr(0, 64);
        printLine("Group " + *number + " label: " + m_show.groups[*number].label);
    } else if (field == "chans" && !m_options.setChans) {
        printLine("Group " + *number + ": /chans is not in this desk's dictionary, ignored");
        return;
    } else if (field == "chans") {
        std::string run;
        for (const OSCValue& value : message.values)
            run += textOf(value) + " ";
        const auto channels = channelRun(run);
        if (!channels)
            return;
        m_show.groups[*number].channels = *channels;
        printLine("Group " + *number + ": " + channelRunText(*channels));
    } else {
        return;
    }
    groupChanged(*number, out);
}

void SimulatorDesk::groupChanged(const std::string& number, DeskOutput& out) {
    for (OSCMessage& notice : notifyReplies("group", ++m_sequence, {groupNumberValue(number)}))
        out.subscribers.push_back(std::move(notice));
}

void SimulatorDesk::answerGet(std::string_view what, DeskOutput& out) const {
    if (what == "version") {
        out.reply.emplace_back("/eos/out/get/version",
                               OSCValues{"3.2.8.26", "3.2.8.3 Fixture Library", std::int32_t{1}});
    } else if (what == "chans") {
        const auto user = m_users.find(m_options.oscUser);
        const std::string text = user == m_users.end() ? "" : channelRunText(user->second.selection, ",");
        out.reply.emplace_back("/eos/out/get/chans", OSCValues{boundedRunText(text, 400)});
    } else if (what.starts_with("patch/")) {
        answerPatch(what.substr(6), out);
    } else if (what.starts_with("group/")) {
        answerGroup(what.substr(6), out);
    }
}

void SimulatorDesk::answerPatch(std::string_view what, DeskOutput& out) const {
    if (what == "count") {
        out.reply.emplace_back("/eos/out/get/patch/count",
                               OSCValues{static_cast<std::int32_t>(m_show.patch.size())});
        return;
    }
    if (what.starts_with("index/")) {
        const auto index = wholeNumber(what.substr(6));
        if (!index || *index < 0 || static_cast<std::size_t>(*index) >= m_show.patch.size())
            return;
        if (index == m_options.losePatchReply) {
            printLine("Patch index " + std::to_string(*index) + ": reply lost");
            return;
        }
        const PatchEntry& entry = m_show.patch[static_cast<std::size_t>(*index)];
        out.reply = patchReplies(entry, *index, levelOf(entry.channel));
        return;
    }
    // "<channel>" or "<channel>/<part>": every part asked for, the first value no index.
    const std::size_t slash = what.find('/');
    const auto channel = wholeNumber(what.substr(0, slash));
    const auto part =
        slash == std::string_view::npos ? std::optional<int>() : wholeNumber(what.substr(slash + 1));
    for (const PatchEntry& entry : m_show.patch)
        if (channel && entry.channel == *channel && (!part || entry.part == *part))
            for (OSCMessage& reply : patchReplies(entry, -1, levelOf(entry.channel)))
                out.reply.push_back(std::move(reply));
}

void SimulatorDesk::answerGroup(std::string_view what, DeskOutput& out) const {
    if (what == "count") {
        out.reply.emplace_back("/eos/out/get/group/count",
                               OSCValues{static_cast<std::int32_t>(m_show.groups.size())});
        return;
    }
    if (what.starts_with("index/")) {
        const auto index = wholeNumber(what.substr(6));
        if (!index || *index < 0 || static_cast<std::size_t>(*index) >= m_show.groups.size())
            return;
        const auto group = std::next(m_show.groups.begin(), *index);
        out.reply = groupReplies(group->first, group->second, *index);
        return;
    }
    // An unknown group is no target: nothing is said of it.
    const auto number = groupNumber(what);
    const auto group = number ? m_show.groups.find(*number) : m_show.groups.end();
    if (group != m_show.groups.end())
        out.reply = groupReplies(group->first, group->second, -1);
}

OSCMessage SimulatorDesk::activeChannels() const {
    const auto user = m_users.find(operatorUser);
    if (user == m_users.end() || user->second.selection.empty())
        return OSCMessage("/eos/out/active/chan", OSCValues{std::string()});
    const ChannelList& selection = user->second.selection;
    const int first = selection.front();
    std::string text =
        boundedRunText(channelRunText(selection), 400) + " [" + std::to_string(levelOf(first)) + "]";
    if (selection.size() == 1)
        for (const PatchEntry& entry : m_show.patch)
            if (entry.channel == first) {
                text += " " + entry.label + " " + entry.model + " @ " + dmxText(entry.address);
                break;
            }
    return OSCMessage("/eos/out/active/chan", OSCValues{text});
}

int SimulatorDesk::levelOf(int channel) const {
    const auto level = m_levels.find(channel);
    return level == m_levels.end() ? 0 : level->second;
}

} // namespace pexlora::sim
