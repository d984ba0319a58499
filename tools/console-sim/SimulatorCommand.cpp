// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorCommand.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>
#include <vector>

namespace pexlora::sim {

namespace {

std::vector<std::string> lowerWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(std::exchange(word, {}));
            continue;
        }
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i)
        text += words[i] + " ";
    return text;
}

std::optional<int> levelOf(const std::vector<std::string>& words, std::size_t at) {
    if (at >= words.size())
        return std::nullopt;
    if (words[at] == "full")
        return 100;
    if (words[at] == "out")
        return 0;
    if (words[at] != "at" || at + 1 >= words.size())
        return std::nullopt;
    if (words[at + 1] == "full")
        return 100;
    int value = 0;
    const std::string& text = words[at + 1];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return std::clamp(value, 0, 100);
}

} // namespace

bool isTerminated(std::string_view line) {
    while (line.ends_with(' '))
        line.remove_suffix(1);
    if (line.ends_with('#'))
        return true;
    const auto words = lowerWords(line);
    return !words.empty() && words.back() == "enter";
}

CommandEffect interpretCommand(std::string_view line, const SimulatorGroups& groups) {
    CommandEffect effect;
    if (!isTerminated(line))
        return effect;
    std::vector<std::string> words = lowerWords(line);
    if (!words.empty() && (words.back() == "enter" || words.back() == "#"))
        words.pop_back();
    else if (!words.empty() && words.back().ends_with('#'))
        words.back().pop_back();
    if (words.size() >= 3 && words[0] == "record" && words[1] == "group") {
        effect.recordGroup = groupNumber(words[2]);
        return effect;
    }
    const auto levelAt = std::find_if(words.begin(), words.end(), [](const std::string& word) {
        return word == "at" || word == "full" || word == "out";
    });
    const std::size_t split = static_cast<std::size_t>(levelAt - words.begin());
    effect.level = levelOf(words, split);
    if (split == 0)
        return effect;
    if (words[0] == "group" && split == 2) {
        const auto number = groupNumber(words[1]);
        const auto group = number ? groups.find(*number) : groups.end();
        if (group != groups.end())
            effect.select = group->second.channels;
        return effect;
    }
    const bool named = words[0] == "chan" || words[0] == "channel";
    if (named || std::isdigit(static_cast<unsigned char>(words[0][0])))
        effect.select = channelRun(joined(words, named ? 1 : 0, split));
    return effect;
}

} // namespace pexlora::sim
