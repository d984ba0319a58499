// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/BinaryPlistReader.h"

#include "plist/PlistText.h"
#include "plist/ReadBudget.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

constexpr std::uint64_t headerSize = 8;
constexpr std::uint64_t trailerSize = 32;

// Where an object's payload starts and how many units it holds.
struct Counted {
    std::uint64_t start;
    std::uint64_t count;
};

Failure<PlistError> damaged(QString message) {
    return fail(PlistError{PlistErrorKind::malformed, std::move(message)});
}

Failure<PlistError> unsupported(QString message) {
    return fail(PlistError{PlistErrorKind::unsupported, std::move(message)});
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.data()))
        , m_size(std::uint64_t(bytes.size())) {}

    Result<PlistValue, PlistError> read() {
        if (auto trailer = readTrailer(); !trailer)
            return fail(trailer.error());
        return readObject(m_topObject);
    }

private:
    // The caller has checked that [at, at + width) lies inside the file.
    std::uint64_t bigEndian(std::uint64_t at, unsigned width) const {
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i)
            value = (value << 8) | m_data[at + i];
        return value;
    }

    Result<Unit, PlistError> readTrailer() {
        if (m_size < headerSize + 1 + 1 + trailerSize)
            return damaged(PlistText::tr("the binary property list is too short to hold its trailer"));
        if (std::memcmp(m_data, "bplist00", headerSize) != 0)
            return unsupported(PlistText::tr("the binary property list has a version other than “00”"));
        const std::uint64_t trailer = m_size - trailerSize;
        m_offsetWidth = m_data[trailer + 6];
        m_refWidth = m_data[trailer + 7];
        m_objectCount = bigEndian(trailer + 8, 8);
        m_topObject = bigEndian(trailer + 16, 8);
        m_tableStart = bigEndian(trailer + 24, 8);
        if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_refWidth < 1 || m_refWidth > 8)
            return damaged(
                PlistText::tr("the trailer gives an offset or reference width outside 1 to 8 bytes"));
        if (m_tableStart <= headerSize || m_tableStart > trailer)
            return damaged(PlistText::tr("the offset table lies outside the file"));
        // Dividing rather than multiplying keeps a huge declared count from overflowing.
        if (m_objectCount == 0 || m_objectCount > (trailer - m_tableStart) / m_offsetWidth)
            return damaged(
                PlistText::tr("the trailer declares %1 objects, more than the offset table can hold")
                    .arg(m_objectCount));
        if (m_topObject >= m_objectCount)
            return damaged(PlistText::tr("the top object %1 does not exist").arg(m_topObject));
        // Without shared containers every node but the root comes from a
        // reference of at least one byte; sharing may add a bounded surplus.
        m_budget = ReadBudget(std::int64_t(m_size),
                              std::min(std::int64_t(m_tableStart - headerSize) +
                                           plistLimits::nodesPerObject * std::int64_t(m_objectCount),
                                       plistLimits::maxNodes),
                              PlistText::tr("the file's shared references expand to too many values"));
        if (auto taken = m_budget.takeBytes(std::int64_t(m_objectCount / 8)); !taken)
            return taken;
        m_seen.assign(m_objectCount, false);
        return Unit{};
    }

    Result<std::uint64_t, PlistError> offsetOf(std::uint64_t ref) const {
        if (ref >= m_objectCount)
            return damaged(
                PlistText::tr("a reference points to object %1 of %2").arg(ref).arg(m_objectCount));
        const std::uint64_t offset = bigEndian(m_tableStart + ref * m_offsetWidth, m_offsetWidth);
        if (offset < headerSize || offset >= m_tableStart)
            return damaged(PlistText::tr("object %1 starts outside the object area").arg(ref));
        return offset;
    }

    // A count in the marker's low nibble, or 0xF and a following integer object.
    Result<Counted, PlistError> countAt(std::uint64_t offset, std::uint64_t ref) const {
        const unsigned low = m_data[offset] & 0x0F;
        if (low != 0x0F)
            return Counted{offset + 1, low};
        if (offset + 2 > m_tableStart)
            return damaged(PlistText::tr("the length of object %1 runs past the object area").arg(ref));
        const unsigned marker = m_data[offset + 1];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
            return damaged(PlistText::tr("the length of object %1 is not an integer").arg(ref));
        const unsigned width = 1u << (marker & 0x0F);
        if (offset + 2 + std::uint64_t(width) > m_tableStart)
            return damaged(PlistText::tr("the length of object %1 runs past the object area").arg(ref));
        return Counted{offset + 2 + std::uint64_t(width), bigEndian(offset + 2, width)};
    }

    // Checks that `count` units of `unit` bytes fit between `start` and the offset table.
    bool fits(std::uint64_t start, std::uint64_t count, std::uint64_t unit) const {
        return start <= m_tableStart && count <= (m_tableStart - start) / unit;
    }

    Result<PlistValue, PlistError> readObject(std::uint64_t ref) {
        if (auto taken = m_budget.takeValue(); !taken)
            return fail(taken.error());
        const auto offset = offsetOf(ref);
        if (!offset)
            return fail(offset.error());
        const unsigned marker = m_data[*offset];
        const unsigned low = marker & 0x0F;
        const std::uint64_t at = *offset + 1;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return PlistValue(marker == 0x09);
            return unsupported(PlistText::tr("object %1 is a null or fill object").arg(ref));
        case 0x1:
            return readInteger(at, low, ref);
        case 0x2:
            if (low != 2 && low != 3)
                return damaged(PlistText::tr("object %1 is a real number of unknown width").arg(ref));
            if (!fits(at, 1, std::uint64_t(1) << low))
                return damaged(PlistText::tr("object %1 runs past the object area").arg(ref));
            if (low == 2)
                return PlistValue(double(std::bit_cast<float>(std::uint32_t(bigEndian(at, 4)))));
            return PlistValue(std::bit_cast<double>(bigEndian(at, 8)));
        case 0x3:
            if (marker != 0x33 || !fits(at, 1, 8))
                return damaged(PlistText::tr("object %1 is a damaged date").arg(ref));
            return PlistValue(PlistDate{std::bit_cast<double>(bigEndian(at, 8))});
        case 0x4:
        case 0x5:
        case 0x6:
            return readShared(*offset, ref);
        case 0xA:
        case 0xD:
            return readContainer(*offset, ref);
        case 0x8:
            return unsupported(PlistText::tr("object %1 is a keyed-archive UID").arg(ref));
        case 0xC:
            return unsupported(PlistText::tr("object %1 is a set").arg(ref));
        default:
            return damaged(PlistText::tr("object %1 has the unknown type marker 0x%2")
                               .arg(ref)
                               .arg(marker, 2, 16, QChar(u'0')));
        }
    }

    Result<PlistValue, PlistError> readInteger(std::uint64_t at, unsigned low, std::uint64_t ref) const {
        if (low > 4)
            return damaged(PlistText::tr("object %1 is an integer of unknown width").arg(ref));
        const unsigned width = 1u << low;
        if (!fits(at, 1, std::uint64_t(width)))
            return damaged(PlistText::tr("object %1 runs past the object area").arg(ref));
        if (width < 8)
            return PlistValue(bigEndian(at, width));
        if (width == 8)
            return PlistValue(std::int64_t(bigEndian(at, 8)));
        // Sixteen bytes, signed: only values that fit 64 bits are kept.
        const std::uint64_t high = bigEndian(at, 8);
        const std::uint64_t value = bigEndian(at + 8, 8);
        if (high == 0)
            return PlistValue(value);
        if (high == ~std::uint64_t(0) && (value >> 63) != 0)
            return PlistValue(std::int64_t(value));
        return damaged(PlistText::tr("object %1 is an integer beyond 64 bits").arg(ref));
    }

    // A text or data object that is referred to again is kept from its second
    // reference on, and every later reference shares that copy, so a file cannot
    // multiply one long string into gigabytes. Objects referred to once, such as
    // the ids of a layout, cost no cache entry.
    Result<PlistValue, PlistError> readShared(std::uint64_t offset, std::uint64_t ref) {
        if (const auto cached = m_shared.constFind(ref); cached != m_shared.cend())
            return *cached;
        auto value = readBytesOrString(offset, ref);
        if (value && m_seen[ref]) {
            if (auto taken = m_budget.takeBytes(sharedEntryBytes); !taken)
                return fail(taken.error());
            m_shared.insert(ref, *value);
        }
        m_seen[ref] = true;
        return value;
    }

    Result<PlistValue, PlistError> readBytesOrString(std::uint64_t offset, std::uint64_t ref) {
        const unsigned type = m_data[offset] >> 4;
        const auto counted = countAt(offset, ref);
        if (!counted)
            return fail(counted.error());
        const auto [start, count] = *counted;
        const std::uint64_t unit = type == 0x6 ? 2 : 1;
        if (!fits(start, count, unit))
            return damaged(PlistText::tr("object %1 runs past the object area").arg(ref));
        const std::int64_t payload =
            type == 0x4 ? ReadBudget::dataBytes(count) : ReadBudget::textBytes(count);
        if (auto taken = m_budget.takeBytes(payload); !taken)
            return fail(taken.error());
        const char* bytes = reinterpret_cast<const char*>(m_data + start);
        if (type == 0x4)
            return PlistValue(QByteArray(bytes, qsizetype(count)));
        if (type == 0x5) {
            for (std::uint64_t i = 0; i < count; ++i) {
                if (m_data[start + i] >= 0x80)
                    return damaged(
                        PlistText::tr("the ASCII string object %1 holds a byte above 127").arg(ref));
            }
            return PlistValue(QString::fromLatin1(bytes, qsizetype(count)));
        }
        QString text(qsizetype(count), Qt::Uninitialized);
        char16_t* units = reinterpret_cast<char16_t*>(text.data());
        for (std::uint64_t i = 0; i < count; ++i)
            units[i] = char16_t(bigEndian(start + 2 * i, 2));
        return PlistValue(std::move(text));
    }

    Result<PlistValue, PlistError> readContainer(std::uint64_t offset, std::uint64_t ref) {
        const bool isDictionary = (m_data[offset] >> 4) == 0xD;
        const auto counted = countAt(offset, ref);
        if (!counted)
            return fail(counted.error());
        const auto [start, count] = *counted;
        const std::uint64_t refCount = isDictionary ? 2 * count : count;
        if (count > m_tableStart || !fits(start, refCount, std::uint64_t(m_refWidth)))
            return damaged(PlistText::tr("the references of object %1 run past the object area").arg(ref));
        if (m_depth >= plistLimits::maxDepth)
            return fail(PlistError{
                PlistErrorKind::tooDeep,
                PlistText::tr("containers are nested deeper than %1 levels").arg(plistLimits::maxDepth)});
        for (int i = 0; i < m_depth; ++i) {
            if (m_path[std::size_t(i)] == ref)
                return fail(
                    PlistError{PlistErrorKind::cyclic, PlistText::tr("object %1 contains itself").arg(ref)});
        }
        m_path[std::size_t(m_depth++)] = ref;
        auto result = isDictionary ? readDictionary(start, count, ref) : readArray(start, count);
        --m_depth;
        return result;
    }

    // Room is made only for as many values as the budget still allows, so that a
    // declared count cannot claim memory that reading would never fill.
    std::uint64_t reservable(std::uint64_t count) const {
        return std::min(count, std::uint64_t(m_budget.valuesLeft()));
    }

    std::uint64_t refAt(std::uint64_t start, std::uint64_t i) const {
        return bigEndian(start + i * m_refWidth, m_refWidth);
    }

    Result<PlistValue, PlistError> readArray(std::uint64_t start, std::uint64_t count) {
        PlistArray array;
        array.reserve(reservable(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            auto item = readObject(refAt(start, i));
            if (!item)
                return item;
            array.push_back(std::move(*item));
        }
        return PlistValue(std::move(array));
    }

    Result<PlistValue, PlistError> readDictionary(std::uint64_t start, std::uint64_t count,
                                                  std::uint64_t ref) {
        PlistDictionary dictionary;
        dictionary.reserve(qsizetype(reservable(count)));
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto key = readKey(refAt(start, i), ref);
            if (!key)
                return fail(key.error());
            auto value = readObject(refAt(start, count + i));
            if (!value)
                return value;
            dictionary.insert(*key, std::move(*value));
        }
        return PlistValue(std::move(dictionary));
    }

    Result<QString, PlistError> readKey(std::uint64_t keyRef, std::uint64_t ref) {
        // Every dictionary of a layout repeats the same few keys: those are found
        // in the cache before anything else is looked at.
        if (const auto cached = m_shared.constFind(keyRef);
            cached != m_shared.cend() && cached->is<QString>()) {
            if (auto taken = m_budget.takeValue(); !taken)
                return fail(taken.error());
            return *cached->get<QString>();
        }
        const auto keyOffset = offsetOf(keyRef);
        if (!keyOffset)
            return fail(keyOffset.error());
        const unsigned keyType = m_data[*keyOffset] >> 4;
        if (keyType != 0x5 && keyType != 0x6)
            return damaged(PlistText::tr("a key of dictionary object %1 is not a string").arg(ref));
        auto key = readObject(keyRef);
        if (!key)
            return fail(key.error());
        return *key->get<QString>();
    }

    // A cached text's entry: its key, a value sharing the text, and the hash's own links.
    static constexpr std::int64_t sharedEntryBytes = std::int64_t(sizeof(PlistValue)) + 32;

    const unsigned char* m_data;
    std::uint64_t m_size;
    unsigned m_offsetWidth = 0;
    unsigned m_refWidth = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_tableStart = 0;
    ReadBudget m_budget{0, 0, {}};
    std::array<std::uint64_t, plistLimits::maxDepth> m_path{};
    int m_depth = 0;
    std::vector<bool> m_seen;
    QHash<std::uint64_t, PlistValue> m_shared;
};

} // namespace

Result<PlistValue, PlistError> readBinaryPropertyList(QByteArrayView bytes) {
    return Reader(bytes).read();
}

} // namespace pexlora
