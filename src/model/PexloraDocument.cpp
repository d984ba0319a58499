// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PexloraDocument.h"

#include "model/GridViewModel.h"
#include "plist/PlistError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace pexlora {

using namespace Qt::StringLiterals;

PexloraDocument::PexloraDocument(QObject* parent)
    : QObject(parent)
    , m_viewModel(new GridViewModel(this)) {}

PexloraDocument::~PexloraDocument() = default;

Result<std::unique_ptr<PexloraDocument>, DocumentError> PexloraDocument::open(const QString& path) {
    const QFileInfo info(path);
    // A folder, a pipe or a device has no whole-file contents to decode.
    if (info.exists() && !info.isFile())
        return fail(
            DocumentError{tr("the file is not in the correct format: it is a folder or a special file")});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(DocumentError{tr("the file could not be read: %1").arg(file.errorString())});
    if (file.size() > plistLimits::maxFileSize)
        return fail(DocumentError{tr("the file is larger than 256 MiB")});
    // Read in pieces up to the limit rather than trusting the size the file system
    // reported, which a file still being written can outgrow.
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(file.size(), plistLimits::maxFileSize)));
    for (;;) {
        char chunk[64 * 1024];
        const qint64 count = file.read(chunk, sizeof chunk);
        if (count < 0)
            return fail(DocumentError{tr("the file could not be read: %1").arg(file.errorString())});
        if (count == 0)
            break;
        if (bytes.size() + count > plistLimits::maxFileSize)
            return fail(DocumentError{tr("the file is larger than 256 MiB")});
        bytes.append(chunk, qsizetype(count));
    }
    auto document = std::make_unique<PexloraDocument>();
    const auto restored = document->viewModel()->restore(bytes);
    if (!restored)
        return fail(restored.error());
    return document;
}

Result<Unit, DocumentError> PexloraDocument::save(const QString& path) const {
    const QByteArray bytes = encodePersistedState(m_viewModel->persistedState());
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk, a size limit) shows here:
    // Qt 6.4's buffered flush lets such a write pass and commit() then succeeds
    // with a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(DocumentError{tr("the file could not be saved: %1").arg(file.errorString())});
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return fail(DocumentError{tr("the file could not be saved: %1").arg(reason)});
        }
        written += count;
    }
    if (!file.commit())
        return fail(DocumentError{tr("the file could not be saved: %1").arg(file.errorString())});
    return Unit{};
}

} // namespace pexlora
