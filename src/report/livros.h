#pragma once
// The book commands: the official book, the detailed book, the print at the
// end of a preparation, the opening of the book rows in book order, and the
// printer setup. They work on the data module DM() and the report module RM.
//
// The window is reached through LivroView: the book order setting
// (ordemVelix6) and its routine Habilita_Botoes_Relatorios.
// Errors (missing definition file, database errors) are not caught here: they
// end the command and reach the general error handler of the caller.

#include "book/livroview.h"

#include <QString>

namespace velix {

/// True when the book is ordered by DATA alone: `ordemVelix6` in capitals is
/// exactly "DATA".
bool ordenaLivroPorData(const QString &ordemVelix6);

/// The columns the book is ordered by: "DATA" when ordenaLivroPorData,
/// else "DCB,DATA,NUMERONOTIFICACAO".
QString ordemDoLivro(const QString &ordemVelix6);

/// The statement of Abre_Livro for the pharmacy `cnpj`: its rows
/// ("... WHERE CNPJ = '<cnpj>'") ordered by ordemDoLivro().
QString livroSelect(const QString &cnpj, const QString &ordemVelix6);

/// Opens DM().VELIX6 with the pharmacy's book rows (CNPJLoja) in the book
/// order of janela.ordemVelix6().
void Abre_Livro(const LivroView &janela);

/// The official book: "vazio" when the book holds only the empty-book row,
/// "rptOficial" otherwise. Returns when the preview is closed.
void LivroOficial1Click(LivroView &janela);

/// The detailed book "rptDetalha".
void LivroNsdosPedidos1Click(LivroView &janela);

/// The pop-up "Mostrar Livro" of "Preparar Livro": the official book.
void MostrarLivro1Click(LivroView &janela);

/// The print that ends a preparation: the official book, or for a month
/// without rows the stored empty-book row and "vazio". Leaves DM().DadosGer
/// open; does not call Habilita_Botoes_Relatorios (the preparation does).
void ImprimeLivroPreparado(LivroView &janela);

/// "Configurar Impressora": the print-setup dialog for the books' printer.
void actConfImpressoraExecute();

} // namespace velix
