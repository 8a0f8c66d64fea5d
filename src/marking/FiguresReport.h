#pragma once
// The report of a marked exam as a PDF ("Guardar informe…"): the exam's
// figures, the chart of its grades and every question with its facility,
// its discrimination and its text, those that discriminate negatively
// flagged in words. Laid out from the figures, not from the window.

#include "FiguresTable.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

namespace figuresReport {

QByteArray pdf(const QString &heading, const figuresTable::Table &table,
               const QStringList &questionTexts, const QImage &chart);

} // namespace figuresReport
