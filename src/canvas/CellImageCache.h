#pragma once

#include "widgets/SystemColors.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QSizeF>
#include <QString>
#include <optional>

namespace pexlora {

// Number labels laid out once for one font, split at the first point into the
// two lines a cell shows; a new font starts afresh.
class LabelCache {
public:
    struct Line {
        QStaticText text;
        QSizeF size;
    };
    struct Label {
        Line upper;
        std::optional<Line> lower; // from the point on, when there is one
    };

    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    const Label& label(const QString& numberString);

private:
    Line line(const QString& text) const;

    QFont m_font;
    QHash<QString, Label> m_labels;
};

// Ready-made images of the few ways a cell can look, at the current cell size
// and device pixel ratio: drawing thousands of cells then costs one image each
// instead of an anti-aliased path. Everything is dropped when the size, the ratio or the colours change.
class CellImageCache {
public:
    enum class Fill { ordinary, selected, editSelected, groupDrag };
    static constexpr int glowLevels = 32;

    // How far the glow reaches beyond a cell's square, in points.
    static constexpr double glowMargin = 12.0;

    void prepare(double cellSize, qreal devicePixelRatio, const SystemColors& colors, QRgb paletteKey);

    // A cell with its fill and outline; with glow > 0, its orange glow too (the
    // image then reaches glowMargin beyond the square).
    const QImage& cell(Fill fill, double glow);
    // The badge disc, `diameter` points wide.
    const QImage& badge(double diameter);

    static int glowLevel(double glow);

private:
    QImage render(Fill fill, int level) const;

    double m_cellSize = 0;
    qreal m_ratio = 0;
    QRgb m_paletteKey = 0;
    SystemColors m_colors;
    QHash<int, QImage> m_cells;
    QImage m_badge;
    double m_badgeDiameter = 0;
};

} // namespace pexlora
