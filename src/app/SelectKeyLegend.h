#pragma once

#include <QWidget>

namespace pexlora {

class KeyChip;

// Tells, in select mode, which modifier key orders a marquee how. The chips take
// the marquee's colours for the same keys.
class SelectKeyLegend : public QWidget {
    Q_OBJECT

public:
    explicit SelectKeyLegend(QWidget* parent = nullptr);

    QList<KeyChip*> chips() const;
};

} // namespace pexlora
