#include "model/Decimal.h"
#include "model/GridViewModel.h"

#include <algorithm>

namespace pexlora {

void GridViewModel::setNumberAt(std::size_t index, const QString& text) {
    GridElement& element = m_elements[index];
    m_numbers.remove(element.numberString);
    element.numberString = text;
    m_numbers.add(element.numberString);
    emit elementsChanged();
}

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
    const auto index = indexOf(id);
    if (!index)
        return;
    // The text goes in as typed: "0012" stays "0012".
    setNumberAt(*index, text);
    markDirty();
}

std::optional<QUuid> GridViewModel::nextElementID(const QUuid& id) const {
    std::vector<const GridElement*> order;
    order.reserve(m_elements.size());
    for (const GridElement& element : m_elements)
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

void GridViewModel::applyQuickRenumber(const QUuid& id) {
    const auto index = indexOf(id);
    if (!index)
        return;
    const Decimal next = readDecimal(m_quickRenumberNext).value_or(Decimal(1));
    const Decimal step = readDecimal(m_quickRenumberIncrement).value_or(Decimal(1));
    const QString text = formatDecimal(next);
    if (isValidNumberString(text))
        setNumberAt(*index, text);
    // The Next value moves on even past a number that could not be given, so the
    // user sees where the run stands.
    setQuickRenumberNext(formatDecimal(Decimal(next + step)));
    markDirty();
}

} // namespace pexlora
