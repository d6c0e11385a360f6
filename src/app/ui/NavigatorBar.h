#pragma once
// The record bar under the pages: move, insert, delete, post, cancel, and
// remember a record to come back to. Every change runs the record rules of
// the table's events. Held buttons repeat.

#include <QWidget>

class QToolButton;
class TAdsTable;
class TUserInterface;

class TNavigatorBar : public QWidget {
    Q_OBJECT

public:
    TNavigatorBar(TAdsTable& table, TUserInterface& ui, QWidget* parent = nullptr);

    QToolButton* Button(const QString& name) const;
    // Enables the buttons that make sense in the table's state.
    void UpdateButtons();

signals:
    // An action ended in an error the window shows.
    void Failed(const QString& message);

private:
    TAdsTable& table_;
    TUserInterface& ui_;
    qint64 remembered_ = 0;
};
