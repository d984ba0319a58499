// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace pexlora {

// The Record Group popover's content: the group number to record the selection
// as. Only a number that isValidGroupNumber() accepts can be submitted, by the
// "Record Group" button or by Return in the field.
class RecGroupPopover : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 180;

    explicit RecGroupPopover(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* field() const { return m_field; }
    QPushButton* recordButton() const { return m_record; }

signals:
    // The field's text as typed.
    void textEdited(const QString& text);
    // The user asked to record a valid number.
    void submitted();

private:
    void submitIfValid();
    void updateButton();

    QLineEdit* m_field;
    QPushButton* m_record;
};

} // namespace pexlora
