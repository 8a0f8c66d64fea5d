#pragma once
// The report of a marked exam as a PDF ("Guardar informe…"): the exam's
// figures, the chart of its grades and every question with its facility,
// its discrimination and its text, those that discriminate negatively
// flagged in words, and the pages the marking refused. Laid out from the
// figures, not from the window: A4 portrait, 20 mm margins, text at 10 pt,
// flowing over as many pages as it takes.

#include "FiguresTable.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

namespace figuresReport {

// `heading`: the report's title ("Examen 12. Parcial"); `questionTexts`: the
// questions' texts in the exam's order; `chart`: the grades' chart as shown,
// scaled to the page's width (none when null); `refusedPages`: one line a
// page refused ("página 3 de pila.pdf: no es una hoja de respuestas", as
// Refusal::line() gives it), listed under "Páginas rechazadas" when any.
QByteArray pdf(const QString &heading, const figuresTable::Table &table,
               const QStringList &questionTexts, const QImage &chart,
               const QStringList &refusedPages = {});

} // namespace figuresReport
