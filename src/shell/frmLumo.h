#pragma once

#include "platform/QtClipboard.h"

#include <QMainWindow>

class wqzOptionPayoffs;

namespace platform {
class FlexGrid;
}

// The main window: the workbench with its numeric-values grid below it.
class frmLumo : public QMainWindow {
    Q_OBJECT
public:
    explicit frmLumo(QWidget* parent = nullptr);

    wqzOptionPayoffs* workbench() const { return ucLumo; }
    platform::FlexGrid* valuesGrid() const { return Grid1; }

private:
    platform::QtClipboard clipboard_;
    wqzOptionPayoffs* ucLumo = nullptr;
    platform::FlexGrid* Grid1 = nullptr;
};
