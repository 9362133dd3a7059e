#include "aboutbox.h"

#include "version.h"

#include "controls.h"
#include "editorlayout.h"
#include "maker.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::control;
using platform::ControlRow;
using platform::Kind;

AboutBox::AboutBox(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFixedSize(platform::pixels(vesk::kAboutClientWidth), platform::pixels(vesk::kAboutClientHeight));
    platform::buildControls(this, vesk::aboutControls());

    auto *title = control<QLabel>(this, QStringLiteral("makerLabel"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(18);
    font.setBold(true);
    title->setFont(font);
    for (const char *name : {"webPageBox", "emailBox"}) {
        auto *box = control<QLineEdit>(this, QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setCursorPosition(0);
    }
    auto *ok = control<QPushButton>(this, QStringLiteral("okButton"));
    platform::setFocusOrder(this, vesk::aboutFocusOrder());
    connect(ok, &QPushButton::clicked, this, &AboutBox::onOk);
    platform::fitToScreen(this);
}

void AboutBox::onOk()
{
    accept();
}
