#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace platform {

// Every file dialog and message box of both programs goes through here, so
// that tests can answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // `filter` is a list of description|pattern pairs, such as
    // "Wave Files *.wav|*.wav"; `fileName` is the name shown at first.
    // Nothing comes back when the user cancels.
    virtual std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &fileName) = 0;
    virtual std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &fileName) = 0;
    // A folder, the chooser opening at `folder`; nothing when the user cancels.
    virtual std::optional<QString> folderName(QWidget *, const QString &) { return std::nullopt; }

    // A box with one OK button; an empty caption means the program's title.
    // The text is shown as it is, never as markup.
    virtual void message(QWidget *parent, const QString &text, const QString &caption) = 0;

    enum class Answer {
        Yes,
        No,
        Cancel
    };
    enum class Buttons {
        YesNo,
        YesNoCancel
    };
    // A question; closing the box counts as No, or as Cancel where there is one.
    virtual Answer question(QWidget *parent, const QString &text, const QString &caption, Buttons buttons) = 0;
};

// The real dialogs. Message boxes without a caption of their own carry the
// program's title.
class StandardDialogs final : public Dialogs
{
public:
    explicit StandardDialogs(QString title) : m_title(std::move(title)) {}

    std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &fileName) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &fileName) override;
    std::optional<QString> folderName(QWidget *parent, const QString &folder) override;
    void message(QWidget *parent, const QString &text, const QString &caption) override;
    Answer question(QWidget *parent, const QString &text, const QString &caption, Buttons buttons) override;

private:
    QString m_title;
};

// "Wave Files *.wav|*.wav" in the form Qt's dialogs take.
QString qtFilter(const QString &filter);

// One file dialog shared by several commands: each use sets its own filter,
// and the last chosen name carries over, so every use opens with it.
class CommonDialog
{
public:
    explicit CommonDialog(Dialogs &dialogs) : m_dialogs(dialogs) {}

    QString filter;
    QString fileName;

    // True when the user chose a file; fileName then holds it.
    bool showOpen(QWidget *parent);
    bool showSave(QWidget *parent);

private:
    bool take(const std::optional<QString> &chosen);

    Dialogs &m_dialogs;
};

} // namespace platform
