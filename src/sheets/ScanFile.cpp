#include "ScanFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <poppler-qt6.h>

#include <memory>

namespace scanFile {

bool isScanImage(const QByteArray &head)
{
    return head.startsWith("\x89PNG") || head.startsWith("\xFF\xD8\xFF") ||
           head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4));
}

namespace {

bool isPdf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

// OpenCV picks a decoder by the file's first bytes and would hand other
// formats to libraries that abort the whole program on a malformed file (a
// stray "DICM" at byte 128 sends it to the medical-image reader, which
// asserts). Scans come as PNG, JPEG or TIFF, so only those reach OpenCV.
bool isImage(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && isScanImage(file.read(4));
}

std::unique_ptr<Poppler::Document> openPdf(const QString &path)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked())
        return nullptr;
    return document;
}

} // namespace

int pageCount(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        *error = QStringLiteral("no se puede leer el fichero");
        return -1;
    }
    if (isPdf(path)) {
        const std::unique_ptr<Poppler::Document> document = openPdf(path);
        if (!document) {
            *error = QStringLiteral("no es un PDF que se pueda leer");
            return -1;
        }
        return document->numPages();
    }
    const std::string name = QFile::encodeName(path).toStdString();
    if (!isImage(path) || !cv::haveImageReader(name)) {
        *error = QStringLiteral("no es un PDF ni una imagen PNG, JPEG o TIFF");
        return -1;
    }
    return int(cv::imcount(name, cv::IMREAD_GRAYSCALE));
}

cv::Mat page(const QString &path, int page)
{
    if (isPdf(path)) {
        const std::unique_ptr<Poppler::Document> document = openPdf(path);
        if (!document || page >= document->numPages())
            return {};
        document->setRenderHint(Poppler::Document::Antialiasing);
        const std::unique_ptr<Poppler::Page> pdfPage = document->page(page);
        if (!pdfPage)
            return {};
        const QImage image =
            pdfPage->renderToImage(kPdfDpi, kPdfDpi).convertToFormat(QImage::Format_Grayscale8);
        if (image.isNull())
            return {};
        return cv::Mat(image.height(), image.width(), CV_8UC1,
                       const_cast<uchar *>(image.constBits()), size_t(image.bytesPerLine()))
            .clone();
    }
    if (!isImage(path))
        return {};
    std::vector<cv::Mat> pages;
    const std::string name = QFile::encodeName(path).toStdString();
    if (page == 0)
        pages.push_back(cv::imread(name, cv::IMREAD_GRAYSCALE));
    else
        cv::imreadmulti(name, pages, page, 1, cv::IMREAD_GRAYSCALE);
    if (pages.empty() || pages.front().empty())
        return {};
    cv::Mat grey = pages.front();
    if (grey.depth() != CV_8U)
        grey.convertTo(grey, CV_8U, 1.0 / 256);
    return grey;
}

} // namespace scanFile
