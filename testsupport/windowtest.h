#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtTest>

// Controls are found by their names, as the windows name them; a missing one
// stops the test with its name.
template<typename T>
T *findControl(const QObject *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

inline void clickButton(const QObject *root, const QString &name)
{
    QTest::mouseClick(findControl<QAbstractButton>(root, name), Qt::LeftButton);
}

inline void clickRow(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

inline QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The same for a list that shows one column of a model.
inline QModelIndex rowIndex(const QListView *list, int row)
{
    return list->model()->index(row, list->modelColumn());
}

inline void clickRow(QListView *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(rowIndex(list, row)).center());
}

inline QStringList listTexts(const QListView *list)
{
    QStringList texts;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        texts << rowIndex(list, i).data().toString();
    return texts;
}

inline int currentRow(const QListView *list)
{
    return list->currentIndex().isValid() ? list->currentIndex().row() : -1;
}

inline bool nothingSelected(const QListView *list)
{
    return !list->selectionModel()->hasSelection();
}

// Types into a window's text box and presses one of its buttons, as the
// player does in the settings window: typeAndPress(settings, "pathBox", dir, "okButton").
inline void typeAndPress(const QObject *window, const QString &box, const QString &text, const QString &button)
{
    findControl<QLineEdit>(window, box)->setText(text);
    clickButton(window, button);
}

// Does what opens a modal window (a click, a menu command) and, once that
// window is up, hands it to `answer`, which must close it. Gives the window
// that was answered, or null when none opened; either way the modal loop has
// ended when this returns.
template<typename Open, typename Answer>
QPointer<QWidget> answerModal(Open open, Answer answer)
{
    QPointer<QWidget> answered;
    QTimer::singleShot(0, [&] {
        answered = QApplication::activeModalWidget();
        if (answered)
            answer(answered.data());
    });
    open();
    QCoreApplication::processEvents();
    return answered;
}

// While it lives, a modal window is driven from inside its own loop; when it
// goes (a check that failed returns early too) the window is closed, so that
// the loop ends and the test goes on.
class ClosesWhenDone
{
public:
    explicit ClosesWhenDone(QDialog *window) : m_window(window) {}
    ~ClosesWhenDone()
    {
        if (m_window && m_window->isVisible())
            QTimer::singleShot(0, m_window.data(), [window = m_window] { window->done(QDialog::Rejected); });
    }
    ClosesWhenDone(const ClosesWhenDone &) = delete;
    ClosesWhenDone &operator=(const ClosesWhenDone &) = delete;

private:
    QPointer<QDialog> m_window;
};
