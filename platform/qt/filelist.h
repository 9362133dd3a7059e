#pragma once

#include <QListWidget>
#include <QString>

#include "localtext.h"

#include <string>

namespace platform {

// A file list: the files of one directory whose names match a pattern,
// without regard to letter case.
class FileList final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileList)

public:
    explicit FileList(QWidget *parent = nullptr);

    QString path() const { return fromLocal(m_path); }
    void setPath(const QString &path) { setLocalPath(toLocal(path)); }
    // The folder listed, as the bytes of its path.
    void setLocalPath(const std::string &path);
    void setPattern(const QString &pattern);

    // The name of the file selected, without its directory, as shown.
    QString fileName() const;
    // The same as the bytes of its path, directory included; empty when no
    // file is selected.
    std::string localFilePath() const;

Q_SIGNALS:
    void clicked(); // the user clicked a file

private:
    void refresh();

    std::string m_path;
    QString m_pattern = QStringLiteral("*.*");
};

} // namespace platform
