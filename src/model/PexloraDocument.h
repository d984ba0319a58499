// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/PersistedState.h"
#include "util/Result.h"

#include <QObject>
#include <QString>
#include <QStringView>
#include <memory>

namespace pexlora {

class GridViewModel;

// One open document: the layout of one window. It owns its model for its whole
// life and reads and writes whole files for the window's Open and Save.
class PexloraDocument : public QObject {
    Q_OBJECT

public:
    // How the desktop, the file dialogs and the MIME database know the file type.
    static constexpr QStringView typeIdentifier = u"org.pexlora.doc";
    static constexpr QStringView fileExtension = u"pexlora";
    static constexpr QStringView mimeType = u"application/x-pexlora";

    // A new, untitled document with an empty layout.
    explicit PexloraDocument(QObject* parent = nullptr);
    ~PexloraDocument() override;

    // Reads the document at `path`. The error says why in words for the user.
    static Result<std::unique_ptr<PexloraDocument>, DocumentError> open(const QString& path);

    // Writes the layout to `path` atomically: if anything fails, whatever was at
    // `path` before is still there, and the error carries the system's reason.
    // Saving leaves the model, its dirty flag included, as it is.
    Result<Unit, DocumentError> save(const QString& path) const;

    GridViewModel* viewModel() const { return m_viewModel; }

private:
    GridViewModel* m_viewModel; // a child object, created with the document and never replaced
};

} // namespace pexlora
