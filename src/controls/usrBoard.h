#pragma once

#include <QWidget>

#include <memory>

class clsBoard;

// The board editor control: a header, 25 number cells and a delete button "X".
class usrBoard : public QWidget {
    Q_OBJECT

public:
    explicit usrBoard(QWidget* parent = nullptr);

    // The board shown; assigned by the host only.
    std::shared_ptr<clsBoard> Board;

Q_SIGNALS:
    void DeleteBoard();
};
