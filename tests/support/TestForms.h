#pragma once
// Forms of classes of their own, for the automation's window search.

#include <QDialog>

class TFormA : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
};

class TFormB : public TFormA {
    Q_OBJECT
public:
    using TFormA::TFormA;
};
