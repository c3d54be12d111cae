#include "platform/exclusivo.h"

namespace velix {
namespace {
QString g_emCurso;
bool g_cancelar = false;
} // namespace

ComandoExclusivo::ComandoExclusivo(const QString &descricao)
{
    recusaSeAtivo();
    g_emCurso = descricao.isEmpty() ? QStringLiteral("outra operação") : descricao;
    g_cancelar = false;
}

ComandoExclusivo::~ComandoExclusivo()
{
    g_emCurso.clear();
    g_cancelar = false;
}

bool ComandoExclusivo::ativo()
{
    return !g_emCurso.isEmpty();
}

QString ComandoExclusivo::emCurso()
{
    return g_emCurso;
}

QString ComandoExclusivo::mensagemRecusa()
{
    return QStringLiteral("Aguarde: %1 está em andamento.").arg(g_emCurso);
}

void ComandoExclusivo::recusaSeAtivo()
{
    if (ativo())
        throw ComandoEmCurso(mensagemRecusa());
}

void ComandoExclusivo::pedeCancelamento()
{
    if (ativo())
        g_cancelar = true;
}

bool ComandoExclusivo::cancelamentoPedido()
{
    return g_cancelar;
}

void ComandoExclusivo::verificaCancelamento()
{
    if (g_cancelar)
        throw Cancelado();
}

} // namespace velix
