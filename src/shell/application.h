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

/// Loads Qt's own Brazilian Portuguese translations (qtbase_pt_BR, as the
/// system installs them) so that Qt's dialogs, the print and the file-save
/// dialogs among them, speak Portuguese. False, and Qt's English kept, when
/// they are not installed. The application object's constructor calls it.
bool carregaTraducoesQt();

class VelixApplication : public QApplication {
    Q_OBJECT
public:
    VelixApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace velix
