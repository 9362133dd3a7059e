#include "slotquestions.h"

#include "dialogs.h"
#include "editorprocedures.h"
#include "localtext.h"

bool mayUseNonWaveFiles(QWidget *parent, platform::Dialogs &dialogs, const vesk::SlotValues &slots)
{
    const std::optional<std::string> question = vesk::nonWaveQuestion(slots);
    return !question
           || dialogs.question(parent, platform::fromLocal(*question), QStringLiteral("VESK"),
                               platform::Dialogs::Buttons::YesNo)
                  == platform::Dialogs::Answer::Yes;
}
