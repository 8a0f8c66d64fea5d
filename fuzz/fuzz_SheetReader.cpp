// Any bytes as a scanned page: as the text of a sheet's QR code, then as an
// image (only the formats the marking accepts reach OpenCV) or a PDF read as
// a sheet. A refusal or a reading, never a crash or a
// sanitizer report.
#include "ScanFile.h"
#include "SheetCode.h"
#include "SheetReader.h"

#include <QGuiApplication>
#include <QImage>

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <poppler-qt6.h>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_SheetReader";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
        return new QGuiApplication(argc, argv);
    }();
    (void)application;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<SheetCode> code = SheetCode::parse(QString::fromUtf8(bytes)))
        (void)code->text();

    cv::Mat grey;
    if (bytes.startsWith("%PDF-")) {
        const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
        if (document && !document->isLocked() && document->numPages() > 0)
            if (const std::unique_ptr<Poppler::Page> page = document->page(0)) {
                const QImage image =
                    page->renderToImage(20, 20).convertToFormat(QImage::Format_Grayscale8);
                if (!image.isNull() && image.width() < 4000 && image.height() < 4000)
                    grey = cv::Mat(image.height(), image.width(), CV_8UC1,
                                   const_cast<uchar *>(image.constBits()),
                                   size_t(image.bytesPerLine()))
                               .clone();
            }
    } else if (scanFile::isScanImage(bytes.left(4))) {
        try {
            grey = cv::imdecode(cv::Mat(1, int(size), CV_8UC1, const_cast<uint8_t *>(data)),
                                cv::IMREAD_GRAYSCALE);
        } catch (const cv::Exception &) {
        }
    }
    const sheetReader::PageReading reading = sheetReader::read(
        grey, [](const SheetCode &, QString *) { return std::optional<int>(40); });
    (void)reading.answers.size();
    return 0;
}
