#pragma once

#include <QApplication>

// The application object. An error that reaches the event dispatch is shown to the
// user and the program goes on, instead of ending and losing every board.
class ZanvoApplication : public QApplication {
    Q_OBJECT

public:
    ZanvoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
