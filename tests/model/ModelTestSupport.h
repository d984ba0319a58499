// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/GridViewModel.h"
#include "model/PersistedState.h"

#include <QObject>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace pexlora::test {

inline GridElement cell(std::int64_t col, std::int64_t row, const char* number = "1") {
    return {QUuid::createUuid(), {col, row}, QString::fromUtf8(number)};
}

inline std::string text(const GridPosition& p) {
    return "(" + std::to_string(p.col) + "," + std::to_string(p.row) + ")";
}

// Places cells by position on a fresh model and names each by its position, so
// that expectations can be written as "(col,row)" lists.
inline void placeAll(GridViewModel& model, std::initializer_list<GridPosition> positions) {
    for (const GridPosition& p : positions)
        model.placeElement(p);
}

// Saves and reopens the layout in place: the only way the flag goes back to false.
inline void clearDirty(GridViewModel& model) {
    const auto edit = model.editSelectedIDs();
    if (!model.restore(encodePersistedState(model.persistedState())).ok())
        throw std::runtime_error("round trip failed");
    model.setEditSelectedIDs(edit);
}

// The position index holds exactly one entry per cell, pointing at it.
inline void expectIndexMatchesElements(const GridViewModel& model) {
    ASSERT_EQ(model.positionIndex().size(), static_cast<qsizetype>(model.elements().size()));
    for (const GridElement& e : model.elements())
        EXPECT_EQ(model.positionIndex().value(e.position), e.id) << text(e.position);
}

inline QUuid idAt(const GridViewModel& model, GridPosition p) {
    return model.elementAt(p).value_or(QUuid());
}

// Counts every change signal of a model, by signal name.
class SignalCounter {
public:
    explicit SignalCounter(GridViewModel& model) {
        const QMetaObject* meta = model.metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() != QMetaMethod::Signal)
                continue;
            const std::string name = method.name().toStdString();
            m_spies[name] = std::make_unique<QSignalSpy>(&model, method);
        }
    }
    int count(const std::string& signal) const { return static_cast<int>(m_spies.at(signal)->count()); }
    int total() const {
        int sum = 0;
        for (const auto& [name, spy] : m_spies)
            sum += static_cast<int>(spy->count());
        return sum;
    }

private:
    std::map<std::string, std::unique_ptr<QSignalSpy>> m_spies;
};

} // namespace pexlora::test
