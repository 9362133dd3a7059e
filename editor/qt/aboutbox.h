#pragma once

#include <QDialog>

// The about box: the maker, its addresses and the version.
class AboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutBox)

public:
    explicit AboutBox(QWidget *owner);

private:
    void onOk();
};
