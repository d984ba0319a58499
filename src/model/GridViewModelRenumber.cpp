// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Decimal.h"
#include "model/GridViewModel.h"

#include <algorithm>

namespace pexlora {

namespace {

// Next and Increment texts that do not read as decimals count as 1.
Decimal quickRenumberValue(const QString& text) {
    return readDecimal(text).value_or(Decimal(1));
}

} // namespace

void GridViewModel::beginRenumber(const QUuid& id) {
    const GridElement* target = element(id);
    if (!target)
        return;
    const QString text = target->numberString;
    setEditingElementID(id);
    setEditingElementText(text);
}

void GridViewModel::commitRenumber() {
    if (!m_editingElementID)
        return;
    applyNumber(*m_editingElementID, m_editingElementText);
    setEditingElementID(std::nullopt);
    setEditingElementText(QString());
}

void GridViewModel::applyNumber(const QUuid& id, const QString& text) {
    if (!isValidNumberString(text))
        return;
    const auto index = m_layout.indexOf(id);
    if (!index)
        return;
    // The text goes in as typed: "0012" stays "0012".
    const QString& old = m_layout.elements()[*index].numberString;
    LayoutEdit renumber(LayoutEdit::Kind::renumber);
    renumber.renumbered.push_back({*index, old, text});
    const bool changed = old != text;
    m_layout.apply(renumber);
    emit elementsChanged();
    markDirty();
    if (changed)
        emit layoutEdited(renumber);
}

std::optional<QUuid> GridViewModel::nextElementID(const QUuid& id) const {
    std::vector<const GridElement*> order;
    order.reserve(elements().size());
    for (const GridElement& element : elements())
        order.push_back(&element);
    std::stable_sort(order.begin(), order.end(), [](const GridElement* a, const GridElement* b) {
        if (a->position.row != b->position.row)
            return a->position.row < b->position.row;
        return a->position.col < b->position.col;
    });
    const auto found =
        std::find_if(order.begin(), order.end(), [&](const GridElement* e) { return e->id == id; });
    if (found == order.end())
        return std::nullopt;
    const auto next = std::next(found) == order.end() ? order.begin() : std::next(found);
    return (*next)->id;
}

QString GridViewModel::quickRenumberNumber(const QString& next) {
    return formatDecimal(quickRenumberValue(next));
}

void GridViewModel::applyQuickRenumber(const QUuid& id) {
    const auto index = m_layout.indexOf(id);
    if (!index)
        return;
    const Decimal next = quickRenumberValue(m_quickRenumberNext);
    const Decimal step = quickRenumberValue(m_quickRenumberIncrement);
    const QString text = quickRenumberNumber(m_quickRenumberNext);
    const QString& old = m_layout.elements()[*index].numberString;
    const bool valid = isValidNumberString(text);
    LayoutEdit click(LayoutEdit::Kind::quickRenumber);
    if (valid && old != text)
        click.renumbered.push_back({*index, old, text});
    // The Next value moves on even past a number that could not be given, so the
    // user sees where the run stands.
    const QString following = formatDecimal(Decimal(next + step));
    if (following != m_quickRenumberNext)
        click.quickRenumberNext = LayoutEdit::TextChange{m_quickRenumberNext, following};
    m_layout.apply(click);
    if (valid)
        emit elementsChanged();
    setQuickRenumberNext(following);
    markDirty();
    if (!click.isEmpty())
        emit layoutEdited(click);
}

} // namespace pexlora
