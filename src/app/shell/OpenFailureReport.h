// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

namespace pexlora {

class DocumentDialogs;

// Tells the user of the files that could not be opened, one box at a time and never
// from inside another box's event loop: another Pexlora may hand over files at any
// moment, thousands of them, and a box each (let alone a box opened inside the last
// one) would bury the window or overflow the stack. Failures that come while a box is
// open wait, and are told together in one box once it is closed.
class OpenFailureReport : public QObject {
    Q_OBJECT

public:
    // Names listed in one box; the rest are counted.
    static constexpr int listedNames = 12;

    explicit OpenFailureReport(DocumentDialogs& dialogs, QObject* parent = nullptr);

    // A file that could not be opened, and why, as a sentence.
    void add(const QString& name, const QString& reason);
    // Shows what has been added, over `parent`'s window, unless a box is open already.
    void tell(QWidget* parent);

private:
    struct Failure {
        QString name;
        QString reason;
    };

    DocumentDialogs& m_dialogs;
    std::vector<Failure> m_waiting;
    QPointer<QWidget> m_parent;
    bool m_showing = false;
};

} // namespace pexlora
