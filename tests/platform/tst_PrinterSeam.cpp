// Where print jobs go: the factory tests install, and back to the system's
// default printer when it is removed.
#include "PrinterSeam.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QtTest>

class tst_PrinterSeam : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anInstalledFactoryReceivesTheJobsUntilRemoved()
    {
        int made = 0;
        PrinterSeam::setFactory([&made] {
            ++made;
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QStringLiteral("seam.pdf"));
            return printer;
        });
        std::unique_ptr<QPrinter> printer = PrinterSeam::defaultPrinter();
        QVERIFY(printer);
        QCOMPARE(printer->outputFileName(), QStringLiteral("seam.pdf"));
        QCOMPARE(made, 1);

        PrinterSeam::setFactory({});
        printer = PrinterSeam::defaultPrinter();
        QCOMPARE(made, 1);
        const QPrinterInfo system = QPrinterInfo::defaultPrinter();
        if (system.isNull()) {
            QVERIFY(!printer);
        } else {
            QVERIFY(printer);
            QCOMPARE(printer->printerName(), system.printerName());
        }
    }
};

QTEST_MAIN(tst_PrinterSeam)
#include "tst_PrinterSeam.moc"
