#pragma once

#include <QWidget>

// The modeless dialog that collects the drawn numbers.
class frmCheck : public QWidget {
    Q_OBJECT

public:
    explicit frmCheck(QWidget* parent = nullptr);
};
