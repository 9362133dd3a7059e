#pragma once

#include <QDialog>

// The about box: the maker, its addresses and the version.
class frmabout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmabout)

public:
    explicit frmabout(QWidget *owner);

private:
    void Command1_Click();
};
