#pragma once

#include "soundediting.h"

#include <QDialog>

#include <functional>
#include <map>

class QLabel;
class QLineEdit;
class QPushButton;

// One slot's sound drawn large, the game's own under it on the same time
// and level scale, and the player's trim, fades and gain: markers dragged
// on the picture (at the nearest zero crossing, or exactly with Shift held)
// or times typed. OK keeps the edit (edit()), Cancel and Escape drop it.
class SoundWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SoundWindow)

public:
    using Play = std::function<void(const std::string &path, const vesk::SoundEdit &edit)>;
    SoundWindow(QWidget *owner, vesk::SoundEditing editing, Play play, std::function<void()> stop);

    // The edit as OK kept it.
    vesk::SoundEdit edit() const { return m_editing.kept(); }
    const vesk::SoundEditing &editing() const { return m_editing; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showEdit();
    void commit(QLineEdit *box);
    void paintPicture(QLabel *picture, const vesk::SoundAnalysis &sound, bool edited);
    vesk::Micros timeAt(int x) const;
    int xOf(vesk::Micros time) const;
    void accepted();

    vesk::SoundEditing m_editing;
    Play m_play;
    std::function<void()> m_stop;
    QLabel *m_soundPicture, *m_gamePicture, *m_note;
    std::map<QLineEdit *, vesk::SoundEditing::Field> m_fields; // the boxes
    QPushButton *m_match;
    vesk::SoundEditing::Marker m_dragged = vesk::SoundEditing::Marker::None;
};
