// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/BinaryPlistWriter.h"

#include "plist/ObjectNumberTable.h"

#include <QHashFunctions>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>

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

    // Where each block was seen, and the one object of each distinct contents.
    struct Tables {
        ObjectNumberTable blocks;
        ObjectNumberTable contents;
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
        std::size_t strings = 0;
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
        m_strings.blocks.reserve(strings + 64);
        m_strings.contents.reserve(strings + 64);
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

    // One object per distinct value of a scalar kind, each kind in its table.
    std::pair<std::uint64_t, bool> unique(ObjectNumberTable& table, const PlistValue& value) {
        const std::uint64_t bits = scalarBits(value);
        const auto same = [&](std::uint64_t id) { return scalarBits(*m_objects[id].value) == bits; };
        const std::uint64_t key = qHash(bits, m_seed);
        if (const std::optional<std::uint64_t> seen = table.find(key, same))
            return {*seen, false};
        const auto result = newObject(&value, nullptr);
        table.insert(key, result.first);
        return result;
    }

    // The bits that tell two integers, reals or dates of one kind apart.
    static std::uint64_t scalarBits(const PlistValue& value) {
        if (const auto* i = value.get<std::int64_t>())
            return std::uint64_t(*i);
        if (const auto* u = value.get<std::uint64_t>())
            return *u;
        if (const auto* r = value.get<double>())
            return std::bit_cast<std::uint64_t>(*r);
        return std::bit_cast<std::uint64_t>(value.get<PlistDate>()->secondsSinceReferenceDate);
    }

    // Texts and data are often one shared block repeated: the keys of every
    // dictionary, a value read once from a file and referred to from many
    // places. Such a block is recognised by its address, so it is hashed once
    // however often it occurs, and equal contents in blocks of their own are
    // still written once, so the file is the same however the tree's blocks
    // happen to be shared in memory: a file read and written again comes out
    // byte for byte as it went in. The tree is not modified while it is
    // written, so equal address and length mean equal contents.
    template <typename Text>
    std::pair<std::uint64_t, bool> sharedObject(Tables& tables, const Text& text, const PlistValue* value,
                                                const QString* keyText) {
        // A block that nothing else holds cannot be met again by its address.
        const bool shared = !text.isDetached();
        const auto address = std::uint64_t(reinterpret_cast<std::uintptr_t>(text.constData()));
        const auto sameLength = [&](std::uint64_t id) { return textOf<Text>(id).size() == text.size(); };
        if (shared) {
            if (const std::optional<std::uint64_t> seen = tables.blocks.find(address, sameLength))
                return {*seen, false};
        }
        const std::uint64_t hash =
            qHashBits(text.constData(), std::size_t(text.size()) * sizeof(*text.constData()), m_seed);
        const auto sameContents = [&](std::uint64_t id) { return textOf<Text>(id) == text; };
        std::pair<std::uint64_t, bool> result;
        if (const std::optional<std::uint64_t> equal = tables.contents.find(hash, sameContents)) {
            result = {*equal, false};
        } else {
            result = newObject(value, keyText);
            tables.contents.insert(hash, result.first);
        }
        if (shared)
            tables.blocks.insert(address, result.first);
        return result;
    }

    template <typename Text> const Text& textOf(std::uint64_t id) const {
        const Object& object = m_objects[id];
        if constexpr (std::is_same_v<Text, QString>) {
            if (object.key)
                return *object.key;
        }
        return *object.value->get<Text>();
    }

    std::pair<std::uint64_t, bool> stringObject(const QString& text, const PlistValue* value = nullptr) {
        return sharedObject(m_strings, text, value, value ? nullptr : &text);
    }

    std::pair<std::uint64_t, bool> objectFor(const PlistValue& value) {
        if (const auto* b = value.get<bool>()) {
            std::optional<std::uint64_t>& id = m_booleans[*b ? 1 : 0];
            if (id)
                return {*id, false};
            id = m_objects.size();
            return newObject(&value, nullptr);
        }
        if (value.is<std::int64_t>())
            return unique(m_integers, value);
        if (value.is<std::uint64_t>())
            return unique(m_unsigned, value);
        if (value.is<double>())
            return unique(m_reals, value);
        if (value.is<PlistDate>())
            return unique(m_dates, value);
        if (const auto* s = value.get<QString>())
            return stringObject(*s, &value);
        if (const auto* data = value.get<QByteArray>())
            return sharedObject(m_data, *data, &value, nullptr);
        return newObject(&value, nullptr);
    }

    QByteArray serialise() {
        m_refWidth = byteWidth(m_objects.size() - 1);
        m_out.resize(qsizetype(64 + m_objects.size() * 24 + m_refs.size() * std::size_t(m_refWidth)));
        appendBytes("bplist00", 8);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(m_objects.size());
        for (const Object& object : m_objects) {
            offsets.push_back(std::uint64_t(m_length));
            if (object.key)
                appendString(*object.key);
            else
                appendValue(*object.value, object.refStart);
        }
        const auto tableStart = std::uint64_t(m_length);
        const int offsetWidth = byteWidth(tableStart);
        char* table = room(qsizetype(offsets.size()) * offsetWidth);
        for (const std::uint64_t offset : offsets) {
            putBigEndian(table, offset, offsetWidth);
            table += offsetWidth;
        }
        // Trailer: five unused bytes, the sort version, the two widths, then the
        // object count, the top object and where the offset table starts.
        std::memset(room(6), 0, 6);
        append(char(offsetWidth));
        append(char(m_refWidth));
        appendBigEndian(m_objects.size(), 8);
        appendBigEndian(0, 8);
        appendBigEndian(tableStart, 8);
        m_out.truncate(m_length);
        return std::move(m_out);
    }

    void appendValue(const PlistValue& value, std::size_t refStart) {
        if (const auto* b = value.get<bool>()) {
            append(*b ? '\x09' : '\x08');
        } else if (const auto* i = value.get<std::int64_t>()) {
            appendInteger(*i);
        } else if (const auto* u = value.get<std::uint64_t>()) {
            // Beyond the signed range: sixteen bytes, the upper eight zero.
            append('\x14');
            appendBigEndian(0, 8);
            appendBigEndian(*u, 8);
        } else if (const auto* r = value.get<double>()) {
            append('\x23');
            appendBigEndian(std::bit_cast<std::uint64_t>(*r), 8);
        } else if (const auto* d = value.get<PlistDate>()) {
            append('\x33');
            appendBigEndian(std::bit_cast<std::uint64_t>(d->secondsSinceReferenceDate), 8);
        } else if (const auto* s = value.get<QString>()) {
            appendString(*s);
        } else if (const auto* data = value.get<QByteArray>()) {
            appendMarker(0x40, std::uint64_t(data->size()));
            appendBytes(data->constData(), data->size());
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
        append(char(0x10 | std::countr_zero(unsigned(width))));
        appendBigEndian(std::uint64_t(value), width);
    }

    void appendMarker(int type, std::uint64_t count) {
        if (count < 15) {
            append(char(type | int(count)));
            return;
        }
        append(char(type | 0x0F));
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
        char* out = room(qsizetype(ascii ? count : 2 * count));
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
        char* out = room(qsizetype(count) * m_refWidth);
        for (std::size_t i = 0; i < count; ++i, out += m_refWidth)
            putBigEndian(out, m_refs[start + i], m_refWidth);
    }

    void appendBigEndian(std::uint64_t value, int width) { putBigEndian(room(width), value, width); }

    // `width` is one of byteWidth()'s.
    static void putBigEndian(char* out, std::uint64_t value, int width) {
        switch (width) {
        case 1:
            *out = char(value);
            break;
        case 2:
            qToBigEndian(quint16(value), out);
            break;
        case 4:
            qToBigEndian(quint32(value), out);
            break;
        default:
            qToBigEndian(quint64(value), out);
        }
    }

    // The next `count` bytes of the output, to be written by the caller. The
    // output grows by doubling and is cut to length at the end: appending
    // through QByteArray cost more than the encoding itself.
    char* room(qsizetype count) {
        if (m_length + count > m_out.size())
            m_out.resize(std::max(2 * m_out.size(), m_length + count));
        char* at = m_out.data() + m_length;
        m_length += count;
        return at;
    }

    void append(char byte) { *room(1) = byte; }

    void appendBytes(const char* bytes, qsizetype count) {
        if (count > 0)
            std::memcpy(room(count), bytes, std::size_t(count));
    }

    // Seeded per process, so that no file can be made of texts that all collide.
    const std::size_t m_seed = QHashSeed::globalSeed();
    std::vector<Object> m_objects;
    std::vector<std::uint64_t> m_refs;
    Tables m_strings;
    Tables m_data;
    std::optional<std::uint64_t> m_booleans[2];
    ObjectNumberTable m_integers;
    ObjectNumberTable m_unsigned;
    ObjectNumberTable m_reals;
    ObjectNumberTable m_dates;
    // Written in place and handed out as it is: a document is megabytes.
    QByteArray m_out;
    qsizetype m_length = 0;
    int m_refWidth = 1;
};

} // namespace

QByteArray writeBinaryPropertyList(const PlistValue& root) {
    return Writer().write(root);
}

} // namespace pexlora
