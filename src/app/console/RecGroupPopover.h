// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pexlora {

class EosGroupDirectory;

// The Record Group popover's content: the group number to record the selection
// as. Only a number that isValidGroupNumber() accepts can be submitted, by the
// "Record Group" button or by Return in the field. As the number is typed, a line
// says whether the desk has that group; a group the desk has is only replaced by a
// second Return or click, once the button reads "Replace Group N".
class RecGroupPopover : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 180;

    // `groups` may be null: there is no desk to ask then.
    explicit RecGroupPopover(EosGroupDirectory* groups = nullptr, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* field() const { return m_field; }
    QPushButton* recordButton() const { return m_record; }
    // What the desk holds at the number typed.
    QLabel* groupLine() const { return m_line; }

signals:
    // The field's text as typed.
    void textEdited(const QString& text);
    // The user asked to record a valid number.
    void submitted();

private:
    void submitIfValid();
    void updateButton();
    void showGroup();

    QPointer<EosGroupDirectory> m_groups;
    QLineEdit* m_field;
    QLabel* m_line;
    QPushButton* m_record;
    // The number whose group the user has been told is replaced, once asked to record it.
    QString m_replacing;
};

} // namespace pexlora
