#include "progresswindow.h"

#include "displaytext.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

namespace {
constexpr int kSteps = 1000;
}

ProgressWindow::ProgressWindow(QWidget *parent, const QString &title, const QString &label) : m_dialog(parent)
{
    m_dialog.setLabelText(label);
    m_dialog.setObjectName(QStringLiteral("progress"));
    m_dialog.setWindowTitle(title);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setRange(0, kSteps);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoReset(false);
    m_dialog.setAutoClose(false);
    m_dialog.setMinimumWidth(360);
}

bool ProgressWindow::advance(const std::string &file, double done)
{
    if (!file.empty()) {
        const QString name = QFileInfo(QString::fromStdString(vesk::displayText(file))).fileName();
        const QString label = QCoreApplication::translate("ProgressWindow", "Working on %1").arg(name);
        if (m_dialog.labelText() != label)
            m_dialog.setLabelText(label);
    }
    m_dialog.setValue(static_cast<int>(done * kSteps));
    QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !m_dialog.wasCanceled();
}

} // namespace platform
