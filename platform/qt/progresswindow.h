#pragma once

#include "progress.h"

#include <QElapsedTimer>
#include <QProgressDialog>

namespace platform {

// The progress of long work over `parent`: shown once the work has run half
// a second, with the file at hand, a bar and Cancel. Until it shows, the
// windows repaint but take no input; once it shows it is modal. So the
// command that started the work cannot start again meanwhile.
class ProgressWindow final : public vesk::Progress
{
public:
    // `label` says what the work is until it names a file.
    ProgressWindow(QWidget *parent, const QString &title, const QString &label = QString());
    bool advance(const std::string &file, double done) override;

private:
    QProgressDialog m_dialog;
};

} // namespace platform
