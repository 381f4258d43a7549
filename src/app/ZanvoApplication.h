// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTemporaryDir>

// The application object. An error that reaches the event dispatch is shown to the
// user and the program goes on, instead of ending and losing every board.
class ZanvoApplication : public QApplication {
    Q_OBJECT

public:
    ZanvoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTemporaryDir m_settings; // Qt's user settings while the program runs (see the constructor)
};
