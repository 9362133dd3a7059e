#pragma once

#include <QListWidget>
#include <QString>

namespace platform {

// A file list: the files of one directory whose names match a pattern,
// without regard to letter case.
class FileList final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)

public:
    explicit FileList(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString &path);
    void setPattern(const QString &pattern);

    // The name of the file selected, without its directory.
    QString fileName() const;

Q_SIGNALS:
    void clicked(); // the user clicked a file

private:
    void refresh();

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace platform
