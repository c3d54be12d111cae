#include "access/login.h"

#include "access/UChKProt.h"
#include "access/estacao.h"
#include "data/sqltext.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/paths.h"
#include "platform/programa.h"

#include <QDate>
#include <QDir>

namespace velix {
namespace {

QString naoAutorizado(const LoginView &view)
{
    return QStringLiteral("Usuário ") + view.nome() + QStringLiteral(" não autorizado");
}

/// The 14th character of the access value grants this program: its code must be
/// the code of the name's first character plus 15 (modulo 256).
bool acessoPermitido(const QString &acesso, QChar primeiraLetra)
{
    if (acesso.size() < 14)
        return false;
    const unsigned esperado = (cp1252Code(primeiraLetra) + 15u) % 256u;
    return cp1252Code(acesso.at(13)) == esperado;
}

struct Fecha {
    ClientDataSet &ds;
    ~Fecha() { ds.close(); }
};

} // namespace

QString preparaArquivoLog()
{
    // The folder sits beside the executable whatever the length of its path;
    // in the user's data folder when the program's folder is not writable.
    const QString base = programWriteDir();
    if (base != programDir())
        QDir().mkpath(base);
    const QString pasta = base + QStringLiteral("LOG");
    QDir().mkdir(pasta);
    return pasta + QStringLiteral("/LOG") + QDate::currentDate().toString(QStringLiteral("MMdd"))
        + QStringLiteral(".TXT");
}

bool ValidaUsuario(LoginView &view)
{
    ArquivoLog = preparaArquivoLog();

    if (view.nome().isEmpty()) {
        ShowMessage(QStringLiteral("Não foi informado o Nome do Usuário."));
        view.focusNome();
        return false;
    }

    const QString nome = cut(upperAZ(view.nome()), 60);
    const QChar primeiraLetra = nome.at(0);
    const QString nomeCodificado = cut(CodificaTexto(nome), 60);

    ClientDataSet &usuarios = DM().Usuarios;
    Fecha fecha{usuarios};
    usuarios.close();
    DM().SQLDS_Usuarios.setCommandText(QStringLiteral("Select ") + Campos_USUARIOS
                                       + QStringLiteral(" from USUARIOS where USUARIO = '") + sqlQuote(nomeCodificado)
                                       + QStringLiteral("'"));
    usuarios.open();

    const QString usuario = usuarios.isEmpty() ? QString() : usuarios.fieldByName(QStringLiteral("USUARIO")).asString();
    if (usuario != nomeCodificado) {
        ShowMessage(naoAutorizado(view));
        view.focusNome();
        return false;
    }

    const QString senhaGravada = cut(usuarios.fieldByName(QStringLiteral("SENHA")).asString(), 20);
    if (senhaGravada != CodificaTexto(upperAZ(view.senha()))) {
        ShowMessage(QStringLiteral("Senha incorreta. Tente novamente."));
        view.focusSenha();
        return false;
    }

    AcessoUsuario = cut(usuarios.fieldByName(QStringLiteral("ACESSO")).asString(), 20);
    usuarios.close();
    if (!acessoPermitido(AcessoUsuario, primeiraLetra)) {
        ShowMessage(naoAutorizado(view));
        view.focusNome();
        return false;
    }

    view.loginAccepted();
    NomeUsuario = nome;
    const QString datbasnam = SelecionaEstacao(view);
    if (datbasnam.isEmpty()) {
        ShowMessage(QStringLiteral("Não foi identificada uma área de trabalho para o usuáro ") + upperAZ(view.nome()));
        view.closeMainWindow();
        return true;
    }

    DM().AbreDadosGer();
    return true;
}

} // namespace velix
