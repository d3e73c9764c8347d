#include "frmLumo.h"

#include "platform/FlexGrid.h"
#include "platform/Twips.h"
#include "workbench/wqzOptionPayoffs.h"

frmLumo::frmLumo(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmLumo"));
    setWindowTitle(QStringLiteral("WQZ Option Payoffs Tutorial"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    ucLumo = new wqzOptionPayoffs(clipboard_, client);
    Grid1 = new platform::FlexGrid(client);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setRows(2);
    Grid1->setCols(2);
    Grid1->setFixedRows(1);
    Grid1->setFixedCols(1);
    ucLumo->setGrddisplay(Grid1);

    const int width = ucLumo->ucWidth;
    const int height = ucLumo->ucHeight;
    twips::setGeometry(ucLumo, {120, 120, width, height});
    twips::setGeometry(Grid1, {120, 240 + height, width, 2400});
    client->setMinimumSize(twips::toPixels(width + 240), twips::toPixels(height + 2760));
}
