#pragma once

#include "editorprocedures.h"

class QWidget;

namespace platform {
class Dialogs;
}

// The editor procedures' message boxes and questions, through the dialogs
// seam, over `parent`; "VESK" is their caption where they have one.
class DialogPrompts : public vesk::Prompts
{
public:
    DialogPrompts(platform::Dialogs &dialogs, QWidget *parent) : m_dialogs(dialogs), m_parent(parent) {}

    void message(const std::string &text, bool captioned) override;
    Answer ask(const std::string &text, bool withCancel) override;
    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override;

private:
    platform::Dialogs &m_dialogs;
    QWidget *m_parent;
};
