#pragma once

#include <QDialog>

// The about box: the maker, its addresses and the version.
class frmabout : public QDialog
{
    Q_OBJECT

public:
    explicit frmabout(QWidget *owner);

private:
    void Command1_Click();
};
