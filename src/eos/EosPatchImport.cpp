#include "eos/EosPatchImport.h"

#include "eos/EosConnectionManager.h"

#include <QTimer>

namespace pexlora {

EosPatchImport::EosPatchImport(EosConnectionManager& link, QObject* parent)
    : QObject(parent)
    , m_link(&link) {}

EosPatchImport::~EosPatchImport() = default;

void EosPatchImport::start() {
    QTimer::singleShot(0, this, [this] { emit finished(EosPatchResult{{}, 0, false, true}); });
}

void EosPatchImport::cancel() {
    emit finished(EosPatchResult{{}, 0, true, false});
}

} // namespace pexlora
