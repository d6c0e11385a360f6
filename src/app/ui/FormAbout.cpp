#include "app/ui/FormAbout.h"

#include "platform/Translate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Talmer-Movarix 1.01"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Movarix"), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 2.2);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* text = new QLabel(Tr("Katalog für DVDs und CDs") + QStringLiteral("\n\nTalmer-Movarix 1.01\n") +
                                QStringLiteral("Revision: 1.25.001 (29.09.03)"),
                            this);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void TFormAbout::CloseAfter(int milliseconds) {
    QTimer::singleShot(milliseconds, this, &QDialog::close);
}

void TFormAbout::mouseDoubleClickEvent(QMouseEvent*) {
    close();
}
