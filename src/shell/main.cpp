// VELIX6: the monthly list of list-"B2" controlled-substance dispensings.

#include "shell/application.h"
#include "shell/startup.h"
#include "shell/widgetmodal.h"
#include "platform/sinais.h"

int main(int argc, char *argv[])
{
    // Before any thread exists, so that every thread inherits it.
    velix::bloqueiaSinaisDeEncerramento();
    velix::VelixApplication app(argc, argv);
    velix::WidgetModal dialogos;
    velix::setModal(&dialogos);
    int resultado = 0;
    {
        velix::Programa programa;
        resultado = programa.executa();
    }
    velix::setModal(nullptr);
    return resultado;
}
