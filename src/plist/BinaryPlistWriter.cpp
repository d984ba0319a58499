#include "plist/BinaryPlistWriter.h"

#include <QHash>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <optional>

namespace pexlora {

namespace {

constexpr std::size_t noSlot = std::numeric_limits<std::size_t>::max();

// Smallest byte count that holds `value`, among the widths readers accept.
int byteWidth(std::uint64_t value) {
    if (value <= 0xFF)
        return 1;
    if (value <= 0xFFFF)
        return 2;
    if (value <= 0xFFFFFFFF)
        return 4;
    return 8;
}

class Writer {
public:
    QByteArray write(const PlistValue& root) {
        reserveFor(root);
        number(root);
        return serialise();
    }

private:
    // One object of the file: a value of the tree, or a dictionary key.
    struct Object {
        const PlistValue* value;
        const QString* key;
        std::size_t refStart; // first of this container's references in m_refs
    };

    struct RecentBlock {
        const void* data = nullptr;
        qsizetype size = 0;
        std::uint64_t id = 0;
    };

    struct Pending {
        const PlistValue* value;
        const QString* key;
        std::size_t slot;
    };

    // Sizes the tables up front: growing hash tables while numbering cost more
    // than this extra walk over the tree.
    void reserveFor(const PlistValue& root) {
        std::size_t nodes = 0;
        qsizetype strings = 0;
        std::vector<const PlistValue*> stack{&root};
        while (!stack.empty()) {
            const PlistValue* value = stack.back();
            stack.pop_back();
            ++nodes;
            if (value->is<QString>()) {
                ++strings;
            } else if (const auto* array = value->get<PlistArray>()) {
                for (const PlistValue& item : *array)
                    stack.push_back(&item);
            } else if (const auto* dictionary = value->get<PlistDictionary>()) {
                nodes += std::size_t(dictionary->size());
                for (qsizetype i = 0; i < dictionary->size(); ++i)
                    stack.push_back(&dictionary->valueAt(i));
            }
        }
        m_objects.reserve(nodes);
        m_refs.reserve(nodes);
        m_strings.reserve(strings + 64);
    }

    // Assigns object numbers depth first, containers before their contents, and
    // records each container's references; equal scalars share one number.
    void number(const PlistValue& root) {
        std::vector<Pending> stack{{&root, nullptr, noSlot}};
        while (!stack.empty()) {
            const Pending item = stack.back();
            stack.pop_back();
            const auto [id, isNew] = item.key ? stringObject(*item.key) : objectFor(*item.value);
            if (item.slot != noSlot)
                m_refs[item.slot] = id;
            if (!isNew || item.key)
                continue;
            if (const auto* array = item.value->get<PlistArray>()) {
                const std::size_t start = m_refs.size();
                m_objects[id].refStart = start;
                m_refs.resize(start + array->size());
                for (std::size_t i = array->size(); i-- > 0;)
                    stack.push_back({&(*array)[i], nullptr, start + i});
            } else if (const auto* dictionary = item.value->get<PlistDictionary>()) {
                const auto count = std::size_t(dictionary->size());
                const std::size_t start = m_refs.size();
                m_objects[id].refStart = start;
                m_refs.resize(start + 2 * count);
                for (std::size_t i = count; i-- > 0;)
                    stack.push_back({&dictionary->valueAt(qsizetype(i)), nullptr, start + count + i});
                for (std::size_t i = count; i-- > 0;)
                    stack.push_back({nullptr, &dictionary->keyAt(qsizetype(i)), start + i});
            }
        }
    }

    std::pair<std::uint64_t, bool> newObject(const PlistValue* value, const QString* key) {
        m_objects.push_back({value, key, 0});
        return {m_objects.size() - 1, true};
    }

    template <typename Map, typename Key>
    std::pair<std::uint64_t, bool> unique(Map& map, const Key& key, const PlistValue* value,
                                          const QString* keyText = nullptr) {
        // One lookup that inserts when absent; the tables hold object number + 1
        // so that a fresh slot reads 0.
        std::uint64_t& slot = map[key];
        if (slot != 0)
            return {slot - 1, false};
        slot = m_objects.size() + 1;
        return newObject(value, keyText);
    }

    // Texts and data are often one shared block repeated: the keys of every
    // dictionary, a value read once and referred to from many places.
    // Recognising the block by its address spares hashing the same bytes again
    // and again. The tree is not modified while it is written, so equal address
    // and length mean equal contents.
    template <typename Map, typename Text>
    std::pair<std::uint64_t, bool> sharedObject(Map& map, std::array<RecentBlock, 64>& recent,
                                                const Text& text, const PlistValue* value,
                                                const QString* keyText) {
        const void* data = text.constData();
        RecentBlock& slot = recent[(reinterpret_cast<std::uintptr_t>(data) >> 4) % recent.size()];
        if (slot.data == data && slot.size == text.size() && slot.data)
            return {slot.id, false};
        const auto result = unique(map, text, value, keyText);
        slot = {data, text.size(), result.first};
        return result;
    }

    std::pair<std::uint64_t, bool> stringObject(const QString& text, const PlistValue* value = nullptr) {
        return sharedObject(m_strings, m_recentStrings, text, value, value ? nullptr : &text);
    }

    std::pair<std::uint64_t, bool> objectFor(const PlistValue& value) {
        if (const auto* b = value.get<bool>()) {
            std::optional<std::uint64_t>& id = m_booleans[*b ? 1 : 0];
            if (id)
                return {*id, false};
            id = m_objects.size();
            return newObject(&value, nullptr);
        }
        if (const auto* i = value.get<std::int64_t>())
            return unique(m_integers, *i, &value);
        if (const auto* u = value.get<std::uint64_t>())
            return unique(m_unsigned, *u, &value);
        if (const auto* r = value.get<double>())
            return unique(m_reals, std::bit_cast<std::uint64_t>(*r), &value);
        if (const auto* d = value.get<PlistDate>())
            return unique(m_dates, std::bit_cast<std::uint64_t>(d->secondsSinceReferenceDate), &value);
        if (const auto* s = value.get<QString>())
            return stringObject(*s, &value);
        if (const auto* data = value.get<QByteArray>())
            return sharedObject(m_data, m_recentData, *data, &value, nullptr);
        return newObject(&value, nullptr);
    }

    QByteArray serialise() {
        m_refWidth = byteWidth(m_objects.size() - 1);
        m_out.reserve(qsizetype(64 + m_objects.size() * 24 + m_refs.size() * std::size_t(m_refWidth)));
        m_out.append("bplist00", 8);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(m_objects.size());
        for (const Object& object : m_objects) {
            offsets.push_back(std::uint64_t(m_out.size()));
            if (object.key)
                appendString(*object.key);
            else
                appendValue(*object.value, object.refStart);
        }
        const auto tableStart = std::uint64_t(m_out.size());
        const int offsetWidth = byteWidth(tableStart);
        for (const std::uint64_t offset : offsets)
            appendBigEndian(offset, offsetWidth);
        // Trailer: five unused bytes, the sort version, the two widths, then the
        // object count, the top object and where the offset table starts.
        m_out.append(qsizetype(6), '\0');
        m_out.push_back(char(offsetWidth));
        m_out.push_back(char(m_refWidth));
        appendBigEndian(m_objects.size(), 8);
        appendBigEndian(0, 8);
        appendBigEndian(tableStart, 8);
        return std::move(m_out);
    }

    void appendValue(const PlistValue& value, std::size_t refStart) {
        if (const auto* b = value.get<bool>()) {
            m_out.push_back(*b ? '\x09' : '\x08');
        } else if (const auto* i = value.get<std::int64_t>()) {
            appendInteger(*i);
        } else if (const auto* u = value.get<std::uint64_t>()) {
            // Beyond the signed range: sixteen bytes, the upper eight zero.
            m_out.push_back('\x14');
            appendBigEndian(0, 8);
            appendBigEndian(*u, 8);
        } else if (const auto* r = value.get<double>()) {
            m_out.push_back('\x23');
            appendBigEndian(std::bit_cast<std::uint64_t>(*r), 8);
        } else if (const auto* d = value.get<PlistDate>()) {
            m_out.push_back('\x33');
            appendBigEndian(std::bit_cast<std::uint64_t>(d->secondsSinceReferenceDate), 8);
        } else if (const auto* s = value.get<QString>()) {
            appendString(*s);
        } else if (const auto* data = value.get<QByteArray>()) {
            appendMarker(0x40, std::uint64_t(data->size()));
            m_out.append(*data);
        } else if (const auto* array = value.get<PlistArray>()) {
            appendMarker(0xA0, array->size());
            appendRefs(refStart, array->size());
        } else if (const auto* dictionary = value.get<PlistDictionary>()) {
            appendMarker(0xD0, std::uint64_t(dictionary->size()));
            appendRefs(refStart, 2 * std::size_t(dictionary->size()));
        }
    }

    void appendInteger(std::int64_t value) {
        // Readers take the 1-, 2- and 4-byte forms as unsigned, the 8-byte form as signed.
        const int width = value < 0 ? 8 : byteWidth(std::uint64_t(value));
        m_out.push_back(char(0x10 | std::countr_zero(unsigned(width))));
        appendBigEndian(std::uint64_t(value), width);
    }

    void appendMarker(int type, std::uint64_t count) {
        if (count < 15) {
            m_out.push_back(char(type | int(count)));
            return;
        }
        m_out.push_back(char(type | 0x0F));
        appendInteger(std::int64_t(count));
    }

    void appendString(const QString& text) {
        const auto count = std::size_t(text.size());
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        // No early exit: a plain loop over all units vectorises.
        char16_t all = 0;
        for (std::size_t i = 0; i < count; ++i)
            all |= units[i];
        const bool ascii = all < 0x80;
        appendMarker(ascii ? 0x50 : 0x60, count);
        const qsizetype at = m_out.size();
        m_out.resize(at + qsizetype(ascii ? count : 2 * count));
        char* out = m_out.data() + at;
        if (ascii) {
            for (std::size_t i = 0; i < count; ++i)
                out[i] = char(units[i]);
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            out[2 * i] = char(units[i] >> 8);
            out[2 * i + 1] = char(units[i] & 0xFF);
        }
    }

    void appendRefs(std::size_t start, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            appendBigEndian(m_refs[start + i], m_refWidth);
    }

    void appendBigEndian(std::uint64_t value, int width) {
        char bytes[8];
        for (int i = width - 1; i >= 0; --i) {
            bytes[i] = char(value & 0xFF);
            value >>= 8;
        }
        m_out.append(bytes, width);
    }

    std::array<RecentBlock, 64> m_recentStrings{};
    std::array<RecentBlock, 64> m_recentData{};
    std::vector<Object> m_objects;
    std::vector<std::uint64_t> m_refs;
    QHash<QString, std::uint64_t> m_strings;
    QHash<QByteArray, std::uint64_t> m_data;
    std::optional<std::uint64_t> m_booleans[2];
    QHash<std::int64_t, std::uint64_t> m_integers;
    QHash<std::uint64_t, std::uint64_t> m_unsigned;
    QHash<std::uint64_t, std::uint64_t> m_reals;
    QHash<std::uint64_t, std::uint64_t> m_dates;
    // Written in place and handed out as it is: a document is megabytes.
    QByteArray m_out;
    int m_refWidth = 1;
};

} // namespace

QByteArray writeBinaryPropertyList(const PlistValue& root) {
    return Writer().write(root);
}

} // namespace pexlora
