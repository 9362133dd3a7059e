#include "frmabout.h"

#include "version.h"

#include "controls.h"
#include "maker.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::control;
using platform::ControlRow;
using platform::Kind;

namespace {

const std::vector<ControlRow> kControls = {
    {Kind::Label, "Label1", nullptr, 1200, 0, 2175, 495, vesk::kMakerName},
    {Kind::TextBox, "Text1", nullptr, 1200, 600, 2055, 285, vesk::kMakerWebPage},
    {Kind::TextBox, "Text2", nullptr, 1380, 960, 1695, 285, vesk::kMakerEmail},
    {Kind::Label, "Label2", nullptr, 1800, 1320, 975, 255, "Version " VESK_VERSION},
    {Kind::Button, "Command1", nullptr, 1800, 1560, 855, 255, "OK"},
};

} // namespace

frmabout::frmabout(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmabout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setFixedSize(platform::pixels(4680), platform::pixels(1905));
    platform::buildControls(this, kControls);

    auto *title = control<QLabel>(this, QStringLiteral("Label1"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(18);
    font.setBold(true);
    title->setFont(font);
    for (const char *name : {"Text1", "Text2"}) {
        auto *box = control<QLineEdit>(this, QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setCursorPosition(0);
    }
    auto *ok = control<QPushButton>(this, QStringLiteral("Command1"));
    setTabOrder(control<QLineEdit>(this, QStringLiteral("Text1")), control<QLineEdit>(this, QStringLiteral("Text2")));
    setTabOrder(control<QLineEdit>(this, QStringLiteral("Text2")), ok);
    connect(ok, &QPushButton::clicked, this, &frmabout::Command1_Click);
}

void frmabout::Command1_Click()
{
    accept();
}
