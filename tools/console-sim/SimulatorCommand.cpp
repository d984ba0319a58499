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
    // The desk's "@" key is its At key.
    std::ranges::replace(words, std::string("@"), std::string("at"));
    return words;
}

std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i)
        text += words[i] + " ";
    return text;
}

std::optional<int> namedLevel(const std::string& word) {
    if (word == "full")
        return 100;
    if (word == "out")
        return 0;
    return std::nullopt;
}

// "Full", "Out", "At Full", "At Out" or "At <percent>" from `at` on.
std::optional<int> levelOf(const std::vector<std::string>& words, std::size_t at) {
    if (at >= words.size())
        return std::nullopt;
    if (const auto named = namedLevel(words[at]))
        return named;
    if (words[at] != "at" || at + 1 >= words.size())
        return std::nullopt;
    if (const auto named = namedLevel(words[at + 1]))
        return named;
    int value = 0;
    const std::string& text = words[at + 1];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return std::clamp(value, 0, 100);
}

} // namespace

std::optional<std::string> keyText(std::string_view line, std::string_view key) {
    std::string name;
    for (const char c : key)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Digits and the decimal point build a number together.
    if (name.size() == 1 && (std::isdigit(static_cast<unsigned char>(name[0])) || name == "."))
        return name;
    static constexpr std::pair<std::string_view, std::string_view> words[] = {
        {"chan", "Chan"}, {"group", "Group"}, {"record", "Record"}, {"thru", "Thru"},
        {"at", "At"},     {"@", "At"},        {"full", "Full"},     {"out", "Out"},
        {"+", "+"},       {"plus", "+"},      {"and", "+"},         {"enter", "Enter"}};
    for (const auto& [known, word] : words)
        if (name == known) {
            const bool spaced = line.empty() || line.ends_with(' ');
            return (spaced ? "" : " ") + std::string(word) + " ";
        }
    return std::nullopt;
}

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
        return word == "at" || namedLevel(word).has_value();
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
