#include "ReviewRun.h"

#include "DurableFile.h"
#include "ReviewPdf.h"

ReviewRun::~ReviewRun()
{
    if (m_thread)
        m_thread->wait();
}

void ReviewRun::start(MarkingResult sheets, AnswerKey key, const QString &path)
{
    if (m_thread)
        return;
    m_thread = QThread::create([this, sheets = std::move(sheets), key = std::move(key),
                                path]() mutable {
        const int total = int(sheets.sheets.size());
        int done = 0;
        for (MarkedSheet &sheet : sheets.sheets) {
            for (int page = 0; page < sheet.pages.size(); ++page)
                sheet.pages[page].straight = markedPage(sheet, page, key.questions());
            QMetaObject::invokeMethod(
                this, [this, d = ++done, total] { Q_EMIT progress(d, total); },
                Qt::QueuedConnection);
        }
        const QString failed = DurableFile::write(path, reviewPdf::pdf(sheets, key));
        QMetaObject::invokeMethod(
            this, [this, path, failed] { Q_EMIT finished(path, failed); }, Qt::QueuedConnection);
    });
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    m_thread->start();
}
