#include "plist/BinaryPlistReader.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

constexpr std::uint64_t headerSize = 8;
constexpr std::uint64_t trailerSize = 32;

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.data()))
        , m_size(std::uint64_t(bytes.size())) {}

    Result<PlistValue, PlistError> read() {
        if (!readTrailer())
            return fail(std::move(*m_error));
        std::optional<PlistValue> root = readObject(m_topObject);
        if (!root)
            return fail(std::move(*m_error));
        return std::move(*root);
    }

private:
    std::nullopt_t failWith(PlistErrorKind kind, QString message) {
        if (!m_error)
            m_error = PlistError{kind, std::move(message)};
        return std::nullopt;
    }

    std::nullopt_t damaged(QString message) {
        return failWith(PlistErrorKind::malformed, std::move(message));
    }

    // The caller has checked that [at, at + width) lies inside the file.
    std::uint64_t bigEndian(std::uint64_t at, unsigned width) const {
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i)
            value = (value << 8) | m_data[at + i];
        return value;
    }

    bool readTrailer() {
        if (m_size < headerSize + 1 + 1 + trailerSize) {
            damaged(u"the binary property list is too short to hold its trailer"_s);
            return false;
        }
        if (std::memcmp(m_data, "bplist00", headerSize) != 0) {
            failWith(PlistErrorKind::unsupported,
                     u"the binary property list has a version other than “00”"_s);
            return false;
        }
        const std::uint64_t trailer = m_size - trailerSize;
        m_offsetWidth = m_data[trailer + 6];
        m_refWidth = m_data[trailer + 7];
        m_objectCount = bigEndian(trailer + 8, 8);
        m_topObject = bigEndian(trailer + 16, 8);
        m_tableStart = bigEndian(trailer + 24, 8);
        if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_refWidth < 1 || m_refWidth > 8) {
            damaged(u"the trailer gives an offset or reference width outside 1 to 8 bytes"_s);
            return false;
        }
        if (m_tableStart <= headerSize || m_tableStart > trailer) {
            damaged(u"the offset table lies outside the file"_s);
            return false;
        }
        // Dividing rather than multiplying keeps a huge declared count from overflowing.
        if (m_objectCount == 0 || m_objectCount > (trailer - m_tableStart) / m_offsetWidth) {
            damaged(
                u"the trailer declares %1 objects, more than the offset table can hold"_s.arg(m_objectCount));
            return false;
        }
        if (m_topObject >= m_objectCount) {
            damaged(u"the top object %1 does not exist"_s.arg(m_topObject));
            return false;
        }
        // Without shared containers every node but the root comes from a
        // reference of at least one byte; sharing may add a bounded surplus.
        m_nodeBudget = std::min(std::int64_t(m_tableStart - headerSize) +
                                    plistLimits::nodesPerObject * std::int64_t(m_objectCount),
                                plistLimits::maxNodes);
        return true;
    }

    std::optional<std::uint64_t> offsetOf(std::uint64_t ref) {
        if (ref >= m_objectCount)
            return damaged(u"a reference points to object %1 of %2"_s.arg(ref).arg(m_objectCount));
        const std::uint64_t offset = bigEndian(m_tableStart + ref * m_offsetWidth, m_offsetWidth);
        if (offset < headerSize || offset >= m_tableStart)
            return damaged(u"object %1 starts outside the object area"_s.arg(ref));
        return offset;
    }

    // A count in the marker's low nibble, or 0xF and a following integer object.
    // Returns where the payload starts and how many units it holds.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> countAt(std::uint64_t offset, std::uint64_t ref) {
        const unsigned low = m_data[offset] & 0x0F;
        if (low != 0x0F)
            return std::pair{offset + 1, std::uint64_t(low)};
        if (offset + 2 > m_tableStart)
            return damaged(u"the length of object %1 runs past the object area"_s.arg(ref));
        const unsigned marker = m_data[offset + 1];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
            return damaged(u"the length of object %1 is not an integer"_s.arg(ref));
        const unsigned width = 1u << (marker & 0x0F);
        if (offset + 2 + std::uint64_t(width) > m_tableStart)
            return damaged(u"the length of object %1 runs past the object area"_s.arg(ref));
        return std::pair{offset + 2 + std::uint64_t(width), bigEndian(offset + 2, width)};
    }

    // Checks that `count` units of `unit` bytes fit between `start` and the offset table.
    bool fits(std::uint64_t start, std::uint64_t count, std::uint64_t unit) const {
        return start <= m_tableStart && count <= (m_tableStart - start) / unit;
    }

    std::optional<PlistValue> readObject(std::uint64_t ref) {
        if (--m_nodeBudget < 0)
            return failWith(PlistErrorKind::tooManyNodes,
                            u"the file's shared references expand to too many values"_s);
        const std::optional<std::uint64_t> offset = offsetOf(ref);
        if (!offset)
            return std::nullopt;
        const unsigned marker = m_data[*offset];
        const unsigned low = marker & 0x0F;
        const std::uint64_t at = *offset + 1;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09)
                return PlistValue(marker == 0x09);
            return failWith(PlistErrorKind::unsupported, u"object %1 is a null or fill object"_s.arg(ref));
        case 0x1:
            return readInteger(at, low, ref);
        case 0x2:
            if (low != 2 && low != 3)
                return damaged(u"object %1 is a real number of unknown width"_s.arg(ref));
            if (!fits(at, 1, std::uint64_t(1) << low))
                return damaged(u"object %1 runs past the object area"_s.arg(ref));
            if (low == 2)
                return PlistValue(double(std::bit_cast<float>(std::uint32_t(bigEndian(at, 4)))));
            return PlistValue(std::bit_cast<double>(bigEndian(at, 8)));
        case 0x3:
            if (marker != 0x33 || !fits(at, 1, 8))
                return damaged(u"object %1 is a damaged date"_s.arg(ref));
            return PlistValue(PlistDate{std::bit_cast<double>(bigEndian(at, 8))});
        case 0x4:
        case 0x5:
        case 0x6:
            return readBytesOrString(*offset, ref);
        case 0xA:
        case 0xD:
            return readContainer(*offset, ref);
        case 0x8:
            return failWith(PlistErrorKind::unsupported, u"object %1 is a keyed-archive UID"_s.arg(ref));
        case 0xC:
            return failWith(PlistErrorKind::unsupported, u"object %1 is a set"_s.arg(ref));
        default:
            return damaged(
                u"object %1 has the unknown type marker 0x%2"_s.arg(ref).arg(marker, 2, 16, QChar(u'0')));
        }
    }

    std::optional<PlistValue> readInteger(std::uint64_t at, unsigned low, std::uint64_t ref) {
        if (low > 4)
            return damaged(u"object %1 is an integer of unknown width"_s.arg(ref));
        const unsigned width = 1u << low;
        if (!fits(at, 1, std::uint64_t(width)))
            return damaged(u"object %1 runs past the object area"_s.arg(ref));
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
        return damaged(u"object %1 is an integer beyond 64 bits"_s.arg(ref));
    }

    std::optional<PlistValue> readBytesOrString(std::uint64_t offset, std::uint64_t ref) {
        const unsigned type = m_data[offset] >> 4;
        const auto counted = countAt(offset, ref);
        if (!counted)
            return std::nullopt;
        const auto [start, count] = *counted;
        const std::uint64_t unit = type == 0x6 ? 2 : 1;
        if (!fits(start, count, unit))
            return damaged(u"object %1 runs past the object area"_s.arg(ref));
        const char* bytes = reinterpret_cast<const char*>(m_data + start);
        if (type == 0x4)
            return PlistValue(QByteArray(bytes, qsizetype(count)));
        if (type == 0x5) {
            for (std::uint64_t i = 0; i < count; ++i) {
                if (m_data[start + i] >= 0x80)
                    return damaged(u"the ASCII string object %1 holds a byte above 127"_s.arg(ref));
            }
            return PlistValue(QString::fromLatin1(bytes, qsizetype(count)));
        }
        QString text(qsizetype(count), Qt::Uninitialized);
        char16_t* units = reinterpret_cast<char16_t*>(text.data());
        for (std::uint64_t i = 0; i < count; ++i)
            units[i] = char16_t(bigEndian(start + 2 * i, 2));
        return PlistValue(std::move(text));
    }

    std::optional<PlistValue> readContainer(std::uint64_t offset, std::uint64_t ref) {
        const bool isDictionary = (m_data[offset] >> 4) == 0xD;
        const auto counted = countAt(offset, ref);
        if (!counted)
            return std::nullopt;
        const auto [start, count] = *counted;
        const std::uint64_t refCount = isDictionary ? 2 * count : count;
        if (count > m_tableStart || !fits(start, refCount, std::uint64_t(m_refWidth)))
            return damaged(u"the references of object %1 run past the object area"_s.arg(ref));
        if (m_depth >= plistLimits::maxDepth)
            return failWith(PlistErrorKind::tooDeep,
                            u"containers are nested deeper than %1 levels"_s.arg(plistLimits::maxDepth));
        for (int i = 0; i < m_depth; ++i) {
            if (m_path[std::size_t(i)] == ref)
                return failWith(PlistErrorKind::cyclic, u"object %1 contains itself"_s.arg(ref));
        }
        m_path[std::size_t(m_depth++)] = ref;
        std::optional<PlistValue> result =
            isDictionary ? readDictionary(start, count, ref) : readArray(start, count);
        --m_depth;
        return result;
    }

    // Room is made only for as many values as the budget still allows, so that a
    // declared count cannot claim memory that reading would never fill.
    std::uint64_t reservable(std::uint64_t count) const {
        return std::min(count, std::uint64_t(std::max<std::int64_t>(m_nodeBudget, 0)));
    }

    std::uint64_t refAt(std::uint64_t start, std::uint64_t i) const {
        return bigEndian(start + i * m_refWidth, m_refWidth);
    }

    std::optional<PlistValue> readArray(std::uint64_t start, std::uint64_t count) {
        PlistArray array;
        array.reserve(reservable(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            std::optional<PlistValue> item = readObject(refAt(start, i));
            if (!item)
                return std::nullopt;
            array.push_back(std::move(*item));
        }
        return PlistValue(std::move(array));
    }

    std::optional<PlistValue> readDictionary(std::uint64_t start, std::uint64_t count, std::uint64_t ref) {
        PlistDictionary dictionary;
        dictionary.reserve(qsizetype(reservable(count)));
        for (std::uint64_t i = 0; i < count; ++i) {
            std::optional<QString> key = readKey(refAt(start, i), ref);
            if (!key)
                return std::nullopt;
            std::optional<PlistValue> value = readObject(refAt(start, count + i));
            if (!value)
                return std::nullopt;
            dictionary.insert(*key, std::move(*value));
        }
        return PlistValue(std::move(dictionary));
    }

    // Writers share each distinct key among all dictionaries; decoding it once
    // and sharing the text spares an allocation per key of a large document.
    std::optional<QString> readKey(std::uint64_t keyRef, std::uint64_t ref) {
        if (const auto cached = m_keys.constFind(keyRef); cached != m_keys.cend()) {
            if (--m_nodeBudget < 0)
                return failWith(PlistErrorKind::tooManyNodes,
                                u"the file's shared references expand to too many values"_s);
            return *cached;
        }
        const std::optional<std::uint64_t> keyOffset = offsetOf(keyRef);
        if (!keyOffset)
            return std::nullopt;
        const unsigned keyType = m_data[*keyOffset] >> 4;
        if (keyType != 0x5 && keyType != 0x6)
            return damaged(u"a key of dictionary object %1 is not a string"_s.arg(ref));
        std::optional<PlistValue> key = readObject(keyRef);
        if (!key)
            return std::nullopt;
        QString text = std::move(*key->get<QString>());
        if (m_keys.size() < maxCachedKeys)
            m_keys.insert(keyRef, text);
        return text;
    }

    static constexpr qsizetype maxCachedKeys = 1024;

    const unsigned char* m_data;
    std::uint64_t m_size;
    unsigned m_offsetWidth = 0;
    unsigned m_refWidth = 0;
    std::uint64_t m_objectCount = 0;
    std::uint64_t m_topObject = 0;
    std::uint64_t m_tableStart = 0;
    std::int64_t m_nodeBudget = 0;
    std::array<std::uint64_t, plistLimits::maxDepth> m_path{};
    int m_depth = 0;
    std::optional<PlistError> m_error;
    QHash<std::uint64_t, QString> m_keys;
};

} // namespace

Result<PlistValue, PlistError> readBinaryPropertyList(QByteArrayView bytes) {
    return Reader(bytes).read();
}

} // namespace pexlora
