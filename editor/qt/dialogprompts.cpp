#include "dialogprompts.h"

#include "dialogs.h"
#include "localtext.h"
#include "progresswindow.h"

void DialogPrompts::message(const std::string &text, bool captioned)
{
    m_dialogs.message(m_parent, platform::fromLocal(text), captioned ? QStringLiteral("VESK") : QString());
}

vesk::Prompts::Answer DialogPrompts::ask(const std::string &text, bool withCancel)
{
    using Buttons = platform::Dialogs::Buttons;
    switch (m_dialogs.question(m_parent, platform::fromLocal(text), QStringLiteral("VESK"),
                               withCancel ? Buttons::YesNoCancel : Buttons::YesNo)) {
    case platform::Dialogs::Answer::Yes:
        return Answer::Yes;
    case platform::Dialogs::Answer::No:
        return Answer::No;
    case platform::Dialogs::Answer::Cancel:
        break;
    }
    return Answer::Cancel;
}

std::unique_ptr<vesk::Progress> DialogPrompts::startProgress(const std::string &title)
{
    return std::make_unique<platform::ProgressWindow>(m_parent, platform::fromLocal(title));
}
