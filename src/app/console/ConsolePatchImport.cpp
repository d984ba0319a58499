// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/ConsolePatchImport.h"

#include "app/document/DocumentDialogs.h"
#include "eos/EosConnectionManager.h"
#include "model/GridViewModel.h"
#include "model/HungLayout.h"
#include "model/PatchLayout.h"
#include "widgets/PlainMessage.h"

#include <QMessageBox>
#include <QProgressDialog>

namespace pexlora {

ConsolePatchImport::ConsolePatchImport(EosConnectionManager& link, DocumentDialogs& dialogs,
                                       LayoutWindow newWindow, PatchArrangement arrangement, QObject* owner,
                                       QWidget* parent)
    : QObject(owner)
    , m_dialogs(dialogs)
    , m_newWindow(std::move(newWindow))
    , m_arrangement(arrangement)
    , m_parent(parent)
    , m_import(new EosPatchImport(link, this)) {
    connect(m_import, &EosPatchImport::finished, this, &ConsolePatchImport::finish);
}

ConsolePatchImport::~ConsolePatchImport() {
    if (m_progress)
        m_progress->deleteLater();
}

QString ConsolePatchImport::missingText(int missing) {
    // Both forms spelt out: the English text must read right without a translation loaded.
    if (missing == 1)
        return tr("1 channel of the console's patch did not answer and is missing from this layout.");
    return tr("%1 channels of the console's patch did not answer and are missing from this layout.")
        .arg(missing);
}

QString ConsolePatchImport::failureReason(const EosPatchResult& result) {
    if (result.failed)
        return result.total > 0 ? tr("The link to the console was lost while its patch was being read.")
                                : tr("The console did not tell how many channels it has.");
    if (result.total == 0)
        return tr("The console has no channels patched.");
    if (result.total == 1)
        return tr("The console's only patch entry did not answer.");
    return tr("None of the console's %1 patch entries answered.").arg(result.total);
}

GridElements ConsolePatchImport::cellsFor(const EosPatchResult& result, const PatchArrangement& arrangement,
                                          bool* unplaced) {
    if (unplaced)
        *unplaced = false;
    if (!arrangement.asHung)
        return patchLayout(result.channels);
    // A channel hangs where its first part with a position does.
    std::vector<HungChannel> hung;
    bool anyPlaced = false;
    for (const EosPatchPart& part : result.parts) {
        if (hung.empty() || hung.back().channel != part.channel)
            hung.push_back({part.channel, std::nullopt});
        if (part.position && !hung.back().position) {
            hung.back().position = QPointF(part.position->x, part.position->y);
            anyPlaced = true;
        }
    }
    if (!anyPlaced) {
        if (unplaced)
            *unplaced = true;
        return patchLayout(result.channels);
    }
    return hungLayout(std::move(hung), arrangement.spacing);
}

void ConsolePatchImport::start() {
    m_progress = new QProgressDialog(tr("Reading the console's patch…"), tr("Cancel"), 0, 0, m_parent);
    m_progress->setWindowTitle(tr("New Layout from Console Patch"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(progressDelayMs);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, m_import, &EosPatchImport::cancel);
    // Queued: once the dialog shows, setValue runs the event loop, and progress is
    // told from inside the link's read.
    connect(
        m_import, &EosPatchImport::progressChanged, m_progress,
        [this](int answered, int total) {
            if (!m_progress || m_finished)
                return;
            m_progress->setMaximum(total);
            m_progress->setValue(answered);
        },
        Qt::QueuedConnection);
    m_import->start();
}

void ConsolePatchImport::finish(const EosPatchResult& result) {
    if (m_finished)
        return;
    m_finished = true;
    if (m_progress) {
        m_progress->disconnect(this);
        m_progress->disconnect(m_import);
        m_progress->hide();
    }
    deleteLater();

    QWidget* window = nullptr;
    if (!result.cancelled) {
        // A link lost halfway still leaves the channels that came: they make the layout.
        if (result.channels.isEmpty()) {
            // Without waiting: the result may come from inside the link's read.
            m_dialogs.openError(m_parent, tr("No layout could be made from the console's patch."),
                                failureReason(result), {});
        } else {
            GridViewModel* model = nullptr;
            std::tie(window, model) = m_newWindow();
            bool unplaced = false;
            model->placeCells(cellsFor(result, m_arrangement, &unplaced));
            QStringList notes;
            if (unplaced)
                notes.append(tr("The console sent no rig positions, so the channels are laid out in channel "
                                "order."));
            if (result.missing > 0)
                notes.append(missingText(result.missing));
            if (!notes.isEmpty()) {
                // A note, not a question: the window stays usable behind it.
                auto note = plainMessageBox(QMessageBox::Information, notes.join(u' '), QString(),
                                            QMessageBox::Ok, window);
                note->setWindowTitle(result.missing > 0 ? tr("Some channels are missing")
                                                        : tr("Laid out in channel order"));
                note->setAttribute(Qt::WA_DeleteOnClose);
                note->setObjectName(QStringLiteral("patchMissingNote"));
                note.release()->open();
            }
        }
    }
    emit done(window);
}

} // namespace pexlora
