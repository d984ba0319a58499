// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the grid canvas on a layout file (or a small made-up rig) in a window of
// its own, so the canvas can be tried and screenshotted before it sits in the
// application window. Drags given on the command line are played in order.
#include "canvas/CellLevels.h"
#include "canvas/GridCanvasView.h"
#include "model/PexloraDocument.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace pexlora;
using namespace Qt::StringLiterals;

namespace {

void buildRig(GridViewModel& model) {
    std::vector<GridPosition> front, back;
    for (std::int64_t col = 1; col <= 12; ++col)
        front.push_back({col, 1});
    model.placeElements(front);
    for (std::int64_t col = 1; col <= 12; ++col)
        if (col != 6 && col != 7)
            back.push_back({col, 3});
    model.placeElements(back);
    for (std::int64_t row = 5; row <= 8; ++row)
        model.placeElements(std::vector<GridPosition>{{1, row}, {2, row}, {11, row}, {12, row}});
}

Qt::KeyboardModifiers modifiersNamed(const QString& names) {
    Qt::KeyboardModifiers modifiers;
    for (const QString& name : names.split(u'+', Qt::SkipEmptyParts)) {
        if (name == u"alt"_s)
            modifiers |= Qt::AltModifier;
        else if (name == u"ctrl"_s)
            modifiers |= Qt::ControlModifier;
        else if (name == u"shift"_s)
            modifiers |= Qt::ShiftModifier;
        else if (name == u"meta"_s)
            modifiers |= Qt::MetaModifier;
    }
    return modifiers;
}

QPointF point(const QString& text) {
    const QStringList xy = text.split(u',');
    return xy.size() == 2 ? QPointF(xy[0].toDouble(), xy[1].toDouble()) : QPointF();
}

void send(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
    QCoreApplication::sendEvent(target, &event);
}

// "X1,Y1:X2,Y2[:mods][:hold]" presses, drags in a few steps and lets go unless held.
void playDrag(QWidget* canvas, const QString& drag) {
    const QStringList parts = drag.split(u':');
    if (parts.size() == 2 && parts[0] == u"hover"_s) {
        send(canvas, QEvent::MouseMove, point(parts[1]), Qt::NoButton, Qt::NoModifier);
        return;
    }
    if (parts.size() == 2 && parts[0] == u"click"_s) {
        send(canvas, QEvent::MouseButtonPress, point(parts[1]), Qt::LeftButton, Qt::NoModifier);
        send(canvas, QEvent::MouseButtonRelease, point(parts[1]), Qt::NoButton, Qt::NoModifier);
        return;
    }
    if (parts.size() < 2)
        return;
    const QPointF from = point(parts[0]);
    const QPointF to = point(parts[1]);
    const Qt::KeyboardModifiers modifiers = parts.size() > 2 ? modifiersNamed(parts[2]) : Qt::NoModifier;
    send(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
    for (int step = 1; step <= 8; ++step)
        send(canvas, QEvent::MouseMove, from + (to - from) * step / 8.0, Qt::LeftButton, modifiers);
    if (!parts.contains(u"hold"_s))
        send(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton, modifiers);
}

// Levels as a desk would send them: a ramp along the front row, full and zero
// among them, the back row half up, a few channels the desk has not patched, and
// two channels selected on the desk.
void showDeskLevels(GridCanvasView& canvas, const GridViewModel& model) {
    constexpr float ramp[] = {0.0f, 0.05f,           0.1f, 0.25f, 0.4f, 0.5f,
                              0.6f, 191.0f / 255.0f, 0.9f, 0.99f, 1.0f, 1.0f};
    QHash<QUuid, float> levels;
    QSet<QUuid> unpatched;
    QSet<QUuid> deskSelection;
    for (const GridElement& cell : model.elements()) {
        if ((cell.position.row == 1 && cell.position.col == 9) ||
            (cell.position.row == 3 && cell.position.col == 2))
            deskSelection.insert(cell.id);
        if (cell.position.row == 1)
            levels.insert(cell.id, ramp[static_cast<std::size_t>(std::abs(cell.position.col - 1) % 12)]);
        else if (cell.position.row == 3)
            levels.insert(cell.id, 0.5f);
        if (cell.position.row == 5 || (cell.position.row == 3 && cell.position.col == 12))
            unpatched.insert(cell.id);
    }
    canvas.updateCellLevels(levels, {});
    canvas.setUnpatchedCells(unpatched);
    canvas.setConsoleSelection(deskSelection);
    canvas.setCellToolTip([levels](const GridElement& cell) {
        const auto level = levels.constFind(cell.id);
        return level == levels.cend()
                   ? QString()
                   : u"Chan %1 @ %2"_s.arg(cell.numberString, levelText(*levelPercent(*level)));
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Shows the Pexlora grid canvas on a layout."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"file"_s, u"A .pexlora layout; without one, a small made-up rig."_s);
    parser.addOption(
        {u"edit"_s, u"Start in edit mode with TOOL (select, add, renumber, quick)."_s, u"tool"_s});
    parser.addOption({u"zoom"_s, u"Zoom scale."_s, u"scale"_s});
    parser.addOption({u"drag"_s,
                      u"Play a drag X1,Y1:X2,Y2[:alt+ctrl+shift+meta][:hold], a hover:X,Y or a click:X,Y; "
                      u"repeatable, played in order with the canvas repainted after each."_s,
                      u"drag"_s});
    parser.addOption({u"next"_s, u"The number Quick # gives next."_s, u"number"_s});
    parser.addOption(
        {u"levels"_s, u"Show levels, full and zero cells and missing patches, as from a desk."_s});
    parser.addOption({u"dark"_s, u"Use a dark palette, as on a dark desktop."_s});
    parser.addOption({u"screenshot"_s, u"Save the window to a PNG and quit."_s, u"png"_s});
    parser.process(app);

    if (parser.isSet(u"dark"_s)) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
        dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xea));
        dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xea));
        dark.setColor(QPalette::Mid, QColor(0x5a, 0x5a, 0x60));
        dark.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        QApplication::setPalette(dark);
    }

    std::unique_ptr<PexloraDocument> document;
    if (!parser.positionalArguments().isEmpty()) {
        auto opened = PexloraDocument::open(parser.positionalArguments().front());
        if (!opened) {
            std::fprintf(stderr, "%s\n", qPrintable(opened.error().message));
            return 1;
        }
        document = std::move(opened).value();
    } else {
        document = std::make_unique<PexloraDocument>();
        buildRig(*document->viewModel());
    }
    GridViewModel& model = *document->viewModel();
    if (parser.isSet(u"zoom"_s))
        model.setZoomScale(parser.value(u"zoom"_s).toDouble());
    if (parser.isSet(u"next"_s))
        model.setQuickRenumberNext(parser.value(u"next"_s));
    if (parser.isSet(u"edit"_s)) {
        model.setMode(AppMode::edit);
        const QString tool = parser.value(u"edit"_s);
        model.setEditTool(tool == u"add"_s        ? EditTool::addElement
                          : tool == u"renumber"_s ? EditTool::renumber
                          : tool == u"quick"_s    ? EditTool::quickRenumber
                                                  : EditTool::selectElement);
    }

    GridCanvasView canvas;
    canvas.setViewModel(&model);
    canvas.resize(1100, 750);
    canvas.setWindowTitle(u"Pexlora canvas"_s);
    if (parser.isSet(u"levels"_s))
        showDeskLevels(canvas, model);
    canvas.show();
    QCoreApplication::processEvents();
    for (const QString& drag : parser.values(u"drag"_s)) {
        playDrag(&canvas, drag);
        // The repaint each step asks for reaches the screen before the next, as
        // between a user's movements.
        QCoreApplication::processEvents();
    }

    if (parser.isSet(u"screenshot"_s)) {
        // Long enough for the preview to light a few frames and leave a trail.
        QTimer::singleShot(400, &app, [&] {
            // What the screen shows (partial repaints included), not a fresh drawing.
            const QPixmap shown = canvas.screen()->grabWindow(canvas.winId());
            const bool saved = (shown.isNull() ? canvas.grab() : shown).save(parser.value(u"screenshot"_s));
            app.exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
