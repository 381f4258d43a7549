// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <memory>

class EndSignals;

// The application object. An error that reaches the event dispatch is shown to the
// user and the program goes on, instead of ending and losing every board.
class ZanvoApplication : public QApplication {
    Q_OBJECT

public:
    ZanvoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Each signal caught by `endSignals` ends the program as "Exit" does, once the
    // command in hand has run to its end. `endSignals` must outlive the application.
    void EndOn(EndSignals& endSignals);

private:
    std::unique_ptr<QSocketNotifier> m_endNotifier;
    QTemporaryDir m_settings; // Qt's user settings while the program runs (see the constructor)
};
