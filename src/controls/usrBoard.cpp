#include "usrBoard.h"

usrBoard::usrBoard(QWidget* parent) : QWidget(parent)
{
    resize(177, 209);
}
