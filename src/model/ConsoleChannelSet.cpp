// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ConsoleChannelSet.h"

#include <QString>
#include <algorithm>
#include <optional>
#include <utility>

namespace pexlora {

namespace {

bool isSeparator(QChar c) {
    return c == u',' || c == u';' || c.isSpace();
}

bool isThru(QStringView token) {
    return token == u"-" || token == u">" || token.compare(u"thru", Qt::CaseInsensitive) == 0 ||
           token.compare(u"through", Qt::CaseInsensitive) == 0;
}

std::optional<Decimal> number(QStringView text) {
    return readDecimal(text.toString());
}

// One number, or two joined by "-" or ">" ("1-5"); a leading "-" is a sign.
std::optional<ConsoleChannelSet::Range> readToken(QStringView token) {
    qsizetype join = -1;
    for (qsizetype i = 1; i < token.size(); ++i) {
        if (token[i] == u'-' || token[i] == u'>') {
            join = i;
            break;
        }
    }
    if (join < 0) {
        const auto single = number(token);
        if (!single)
            return std::nullopt;
        return ConsoleChannelSet::Range{*single, *single};
    }
    const auto first = number(token.first(join));
    const auto last = number(token.sliced(join + 1));
    if (!first || !last)
        return std::nullopt;
    return ConsoleChannelSet::Range{*first, *last};
}

// Walks the tokens, joining "X Thru Y" across them.
class RangeCollector {
public:
    bool full() const { return m_ranges.size() >= ConsoleChannelSet::maxRanges; }

    void take(QStringView token) {
        if (isThru(token)) {
            m_thru = m_pending.has_value();
            return;
        }
        const auto range = readToken(token);
        if (range && m_thru && m_pending && range->first == range->last) {
            add({*std::exchange(m_pending, std::nullopt), range->first});
            m_thru = false;
            return;
        }
        flush();
        if (!range)
            return; // unreadable: skipped, and it ends a "Thru" waiting for its end
        if (range->first == range->last)
            m_pending = range->first;
        else
            add(*range);
    }

    std::vector<ConsoleChannelSet::Range> finish() {
        flush();
        return std::move(m_ranges);
    }

private:
    void flush() {
        if (m_pending)
            add({*m_pending, *m_pending});
        m_pending.reset();
        m_thru = false;
    }
    void add(ConsoleChannelSet::Range range) {
        if (full())
            return;
        if (range.last < range.first)
            std::swap(range.first, range.last);
        m_ranges.push_back(std::move(range));
    }

    std::vector<ConsoleChannelSet::Range> m_ranges;
    std::optional<Decimal> m_pending;
    bool m_thru = false;
};

} // namespace

ConsoleChannelSet::ConsoleChannelSet(std::vector<Range> ranges)
    : m_ranges(std::move(ranges)) {}

ConsoleChannelSet ConsoleChannelSet::fromActiveChannels(QStringView text) {
    // The desk follows the channels with the first one's level and, on newer desks, its
    // label and type, which hold numbers of their own ("1 [100] Front 12 Source Four @ 2/101").
    if (const qsizetype bracket = text.indexOf(u'['); bracket >= 0)
        text = text.first(bracket);
    if (text.size() > maxTextLength) {
        // Cut at the last separator within the limit, so no number is read half.
        qsizetype end = maxTextLength;
        while (end > 0 && !isSeparator(text[end]))
            --end;
        text = text.first(end);
    }
    RangeCollector collector;
    qsizetype i = 0;
    while (i < text.size() && !collector.full()) {
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        collector.take(text.sliced(start, i - start));
    }
    std::vector<Range> ranges = collector.finish();

    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    merged.reserve(ranges.size());
    for (Range& range : ranges) {
        if (!merged.empty() && !(merged.back().last < range.first)) {
            if (merged.back().last < range.last)
                merged.back().last = std::move(range.last);
        } else {
            merged.push_back(std::move(range));
        }
    }
    return ConsoleChannelSet(std::move(merged));
}

bool ConsoleChannelSet::contains(const Decimal& number) const {
    // The last range that starts at or below the number is the only one that can hold it.
    const auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), number,
                                        [](const Decimal& n, const Range& r) { return n < r.first; });
    return after != m_ranges.begin() && !(std::prev(after)->last < number);
}

} // namespace pexlora
