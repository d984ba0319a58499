// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SystemColors.h"

#include <algorithm>

namespace pexlora {

namespace {

QColor pick(bool dark, QRgb light, QRgb darkVariant) {
    return QColor::fromRgb(dark ? darkVariant : light);
}

} // namespace

QColor SystemColors::withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

QColor SystemColors::over(QColor top, QColor bottom) {
    const float a = top.alphaF();
    const auto mix = [a](float t, float b) { return t * a + b * (1.0f - a); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()));
}

SystemColors SystemColors::fromPalette(const QPalette& palette) {
    SystemColors c;
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::Text);
    c.dark = window.lightnessF() < text.lightnessF();

    c.controlBackground = palette.color(QPalette::Base);
    c.windowBackground = window;
    c.separator = palette.color(QPalette::Mid);
    c.label = text;
    c.secondaryLabel = palette.color(QPalette::PlaceholderText);
    c.accent = palette.color(QPalette::Highlight);
    // The highlight itself is too loud for a fill behind a number; the selected
    // text colour stays readable on it in both appearances.
    c.selectedControl = withAlpha(c.accent, c.dark ? 0.6 : 0.75);
    c.selectedControlText = palette.color(QPalette::HighlightedText);

    c.orange = pick(c.dark, 0xFF9500, 0xFF9F0A);
    c.green = pick(c.dark, 0x28CD41, 0x32D74B);
    c.purple = pick(c.dark, 0xAF52DE, 0xBF5AF2);
    c.cyan = pick(c.dark, 0x55BEF0, 0x5AC8F5);
    c.yellow = pick(c.dark, 0xFFCC00, 0xFFD60A);
    c.blue = pick(c.dark, 0x007AFF, 0x0A84FF);
    c.grey = pick(c.dark, 0x8E8E93, 0x98989D);
    c.red = pick(c.dark, 0xFF3B30, 0xFF453A);
    c.pink = pick(c.dark, 0xFF2D55, 0xFF375F);
    return c;
}

} // namespace pexlora
