// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/Popover.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QRect;
class QWidget;

namespace pexlora {

// The one popover a control, a bar or the canvas shows at a time: opens it with
// its content beside an anchor, closes it, and lets it go once it has closed,
// whatever closed it. Owners hold the host as a member, so that an open popover
// is cut off from them before their own teardown can reach it.
class PopoverHost : public QObject {
    Q_OBJECT

public:
    // Popovers are windows of `owner`'s.
    explicit PopoverHost(QWidget* owner);
    // An open popover goes without telling anyone: nothing in it can call back
    // into an owner half torn down, not even as it hides.
    ~PopoverHost() override;

    bool isOpen() const { return m_popover != nullptr; }
    // The open popover, or null.
    Popover* popover() const { return m_popover; }
    // The open popover's content, or null.
    template <typename Panel> Panel* panel() const {
        return m_popover ? qobject_cast<Panel*>(m_popover->content()) : nullptr;
    }

    // Shows `content` in a new popover beside `anchor`, in `anchorWidget`'s
    // coordinates; one still open is first dismissed.
    Popover* open(std::unique_ptr<QWidget> content, QWidget* anchorWidget, const QRect& anchor,
                  Popover::Edge preferred);
    // Beside the whole of `anchorWidget`.
    Popover* open(std::unique_ptr<QWidget> content, QWidget* anchorWidget, Popover::Edge preferred);
    // Closes the open popover, as a click elsewhere does; closed() follows.
    void close();
    // Closes the open popover without closed(), for an owner that has already
    // settled what closing means.
    void dismiss();

signals:
    // After the open popover closed, by close() or by the user.
    void closed();

private:
    void popoverClosed();
    // Lets the popover go; it may be closing from within its own event handling.
    Popover* release();

    QWidget* m_owner;
    QPointer<Popover> m_popover;
};

} // namespace pexlora
