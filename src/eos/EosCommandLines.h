// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/ModelTypes.h"

#include <QString>
#include <QStringList>

namespace pexlora {

// Joins number texts with " ", folding each run of numbers that step by exactly +1
// or exactly −1 (in exact decimals) into "first > last". Texts are copied as given;
// a text that is not a number stands alone.
QString rangeListText(const QStringList& numbers);

// The channel list of a selection: a lone group as its range list; with several
// groups each one as its single number or "(" + range list + ")", joined with " ".
// Identifiers without an element are skipped; empty when nothing is left.
QString channelListText(const SelectionGroups& selectionGroups, const GridElements& elements);

// The selection as the selection bar shows it: "No selection" when empty; read as
// one sequence (no modifier, Shift) with runs folded to "first>last", else one
// "(a,b,…)" per group; tokens joined with " + ". IDs without an element are skipped.
QString selectionBarText(const SelectionGroups& selectionGroups, const GridElements& elements,
                         MarqueeModifier selectionModifier);

// A group number as the user may type it: ASCII digits with at most one "." (no
// blanks, signs or exponents, since the text goes into an OSC address as typed),
// at most three characters after the ".", and a value from 1 to 99999.999.
bool isValidGroupNumber(const QString& text);

// The two messages that record a selection as a group on the console.
struct EosCommand {
    QString address;
    QString argument;

    friend bool operator==(const EosCommand&, const EosCommand&) = default;
};
// The selection's channel numbers, group after group, in order; identifiers without
// an element are skipped.
QStringList selectedChannelNumbers(const SelectionGroups& selectionGroups, const GridElements& elements);
// Selects `channels` in order as the user that records: "Chan 1 Thru 3 + 7 Enter".
EosCommand selectChannelsCommandLine(const QStringList& channels);
EosCommand recordGroupCommandLine(const QString& groupNumber);
EosCommand groupChannelsCommand(const QString& groupNumber, const QString& channelList);

} // namespace pexlora
