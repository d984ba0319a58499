#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>

namespace pexlora {

class EosConnectionManager;

// What a patch import brought back.
struct EosPatchResult {
    QList<int> channels; // ascending, unique (the parts of one channel are one channel)
    int missing = 0;     // indices that never got an answer, after one retry
    bool cancelled = false;
    bool failed = false; // no link, or the count was never answered

    friend bool operator==(const EosPatchResult&, const EosPatchResult&) = default;
};

// Reads the console's patch: the number of patch entries, then every entry, with a
// bounded number of questions in flight and one more try for each that is not answered.
class EosPatchImport : public QObject {
    Q_OBJECT

public:
    explicit EosPatchImport(EosConnectionManager& link, QObject* parent = nullptr);
    ~EosPatchImport() override;

    void start();
    // Ends the import at once; `finished` reports what had arrived, marked cancelled.
    void cancel();

signals:
    void progressChanged(int answered, int total);
    void finished(const pexlora::EosPatchResult& result);

private:
    QPointer<EosConnectionManager> m_link;
};

} // namespace pexlora

Q_DECLARE_METATYPE(pexlora::EosPatchResult)
