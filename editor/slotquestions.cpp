#include "slotquestions.h"

#include "dialogs.h"
#include "localtext.h"
#include "wavecheck.h"

#include <QStringList>

bool mayUseNonWaveFiles(QWidget *parent, platform::Dialogs &dialogs, const vesk::SlotValues &slots)
{
    QStringList odd;
    for (int k = 1; k <= vesk::kSlotCount; ++k) {
        const std::string &file = slots[static_cast<size_t>(k - 1)];
        if (vesk::isEmptySlot(file))
            continue;
        if (const std::optional<std::string> problem = vesk::waveProblem(file))
            odd << platform::fromLocal(vesk::slotDescription(k) + " " + file + ": " + *problem);
    }
    if (odd.isEmpty())
        return true;
    return dialogs.question(parent,
                            QStringLiteral("These files are not wave files and may not play in the game:\n%1\n"
                                           "Use them anyway?")
                                .arg(odd.join(QLatin1Char('\n'))),
                            QStringLiteral("VESK"), platform::Dialogs::Buttons::YesNo)
           == platform::Dialogs::Answer::Yes;
}
