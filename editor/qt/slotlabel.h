#pragma once

#include "soundanalyses.h"

#include <QLabel>

#include <string>
#include <vector>

// A slot's row beside its button: the slot's value (its text, a path or
// "none"), and for a sound its length and a small picture of it at its true
// level, full scale being the row's height. A long path is shortened in its
// middle to leave them room. A sound with something wrong carries a mark,
// and its tooltip says what.
class SlotLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SlotLabel)

public:
    explicit SlotLabel(const QString &text, QWidget *parent = nullptr);

    // Nothing: no sound, or not measured yet.
    void showSound(vesk::SoundAnalyses::Entry sound, const std::vector<std::string> &marks);
    bool marked() const { return m_marked; }
    // What the row shows of the sound as text: "2.1 s", or "" when nothing.
    QString lengthShown() const { return m_length; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    vesk::SoundAnalyses::Entry m_sound;
    QString m_length;
    bool m_marked = false;
};
