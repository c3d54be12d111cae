#pragma once
// The application object. Its notify() is the last line of the general error
// handler: whatever an event handler lets escape is reported there, so no
// exception ever crosses Qt's event loop and the program goes on.

#include <QApplication>
#include <QString>

namespace velix {

/// The application title: the program's name in the task bar and the title of
/// its message boxes. One blank between "Mensal" and "de", unlike the window's
/// caption.
inline QString TituloAplicacao;

class VelixApplication : public QApplication {
    Q_OBJECT
public:
    VelixApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace velix
