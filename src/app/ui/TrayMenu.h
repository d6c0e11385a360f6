#pragma once
// The menu of the notification-area icon: a 30-pixel margin at its left
// painted as a green gradient with the word "DVD" written upwards on it.

#include <QMenu>

class TTrayMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr int MarginWidth = 30;
    explicit TTrayMenu(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
