#include "frmCheck.h"

frmCheck::frmCheck(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Select numbers to check"));
}
