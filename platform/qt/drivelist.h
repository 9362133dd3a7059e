#pragma once

#include <QComboBox>
#include <QString>

class QWidget;

namespace platform {

class Dialogs;
class DirList;

// A drive list: the machine's drives, or on systems without drive letters its
// mounted volumes. It starts at the drive of the working directory.
class DriveList final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DriveList)

public:
    explicit DriveList(QWidget *parent = nullptr);

    // The root of the drive shown.
    QString drive() const;

    // The directory a directory list opens when pointed at the drive shown:
    // the working directory when it lies on that drive, otherwise its root.
    QString currentDirectory() const;

    // Points the directory list at the drive shown. A drive that cannot be
    // read puts the list back on the drive shown before, with a notice.
    void steer(DirList *dirList, Dialogs &dialogs);

Q_SIGNALS:
    void changed(); // the user picked another drive

private:
    void fill();

    int m_previous = 0;
};

} // namespace platform
