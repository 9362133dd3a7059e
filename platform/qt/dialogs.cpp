#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace platform {

QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that shows its patterns already keeps them in place.
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description.truncate(open);
        entries << QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> StandardDialogs::openFileName(QWidget *parent, const QString &filter, const QString &fileName)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, QString(), fileName, qtFilter(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> StandardDialogs::folderName(QWidget *parent, const QString &folder)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, QString(), folder);
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

std::optional<QString> StandardDialogs::saveFileName(QWidget *parent, const QString &filter, const QString &fileName)
{
    const QString chosen = QFileDialog::getSaveFileName(parent, QString(), fileName, qtFilter(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

void StandardDialogs::message(QWidget *parent, const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption.isEmpty() ? m_title : caption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Dialogs::Answer StandardDialogs::question(QWidget *parent, const QString &text, const QString &caption, Buttons buttons)
{
    const bool withCancel = buttons == Buttons::YesNoCancel;
    QMessageBox box(QMessageBox::Question, caption.isEmpty() ? m_title : caption, text,
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

bool CommonDialog::showOpen(QWidget *parent)
{
    return take(m_dialogs.openFileName(parent, filter, fileName));
}

bool CommonDialog::showSave(QWidget *parent)
{
    return take(m_dialogs.saveFileName(parent, filter, fileName));
}

bool CommonDialog::take(const std::optional<QString> &chosen)
{
    if (!chosen)
        return false;
    fileName = *chosen;
    return true;
}

} // namespace platform
