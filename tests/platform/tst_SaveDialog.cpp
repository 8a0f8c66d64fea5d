// The save dialog kept by a window: Qt's own dialog with one filter, no
// default suffix, no overwrite question, and a second use that starts from
// the name chosen the first time.
#include "SaveDialog.h"
#include "SaveDialogResponder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class tst_SaveDialog : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<SaveDialog> m_dialog;

private Q_SLOTS:
    void initTestCase()
    {
        // Qt's file dialog keeps a settings file; tests keep theirs apart.
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCurrent); }

    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->show();
        m_dialog = std::make_unique<SaveDialog>(QStringLiteral("CD1"), m_window.get());
        m_dialog->setFilter(QStringLiteral("Texto (*.TXT)"));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_window.reset();
    }

    void firstUseStartsInTheWorkingFolderAndReturnsTheTypedNameAsIs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::newRow("with extension") << QStringLiteral("examen.TXT") << false;
        QTest::newRow("without extension") << QStringLiteral("examen") << false;
        QTest::newRow("lower-case extension") << QStringLiteral("examen.txt") << false;
        QTest::newRow("an existing file, no question") << QStringLiteral("viejo.TXT") << true;
    }
    void firstUseStartsInTheWorkingFolderAndReturnsTheTypedNameAsIs()
    {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        if (exists) {
            QFile file(m_dir.filePath(typed));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        SaveDialogResponder responder;
        responder.answerNext(SaveDialogResponder::Answer::Save, typed);
        const std::optional<QString> path = m_dialog->showSave();
        QVERIFY(responder.answered);
        QCOMPARE(responder.dialogName, QStringLiteral("CD1"));
        QCOMPARE(responder.title, QStringLiteral("Guardar como"));
        QCOMPARE(responder.shownFilters, QStringList{QStringLiteral("Texto (*.TXT)")});
        QCOMPARE(responder.shownButtons,
                 (QStringList{QStringLiteral("Guardar"), QStringLiteral("Cancelar")}));
        QCOMPARE(responder.shownName, QString());
        QCOMPARE(QDir(responder.shownDirectory).canonicalPath(),
                 QDir(m_dir.path()).canonicalPath());
        QVERIFY(path.has_value());
        QCOMPARE(QFileInfo(*path).fileName(), typed);
        QCOMPARE(QFileInfo(*path).absoluteDir().canonicalPath(),
                 QDir(m_dir.path()).canonicalPath());
    }

    void cancelGivesNoPathOnFirstAndLaterUses()
    {
        SaveDialogResponder responder;
        responder.answerNext(SaveDialogResponder::Answer::Cancel);
        QVERIFY(!m_dialog->showSave().has_value());
        QVERIFY(responder.answered);

        responder.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("uno.TXT"));
        QVERIFY(m_dialog->showSave().has_value());
        responder.answerNext(SaveDialogResponder::Answer::Cancel);
        QVERIFY(!m_dialog->showSave().has_value());
        QVERIFY(responder.answered);
    }

    void aNewDialogStartsInTheWorkingFolderNotWhereTheLastOneEnded()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("otra")));
        SaveDialogResponder responder;
        responder.answerNext(SaveDialogResponder::Answer::Save, QStringLiteral("otra/x.TXT"));
        QVERIFY(m_dialog->showSave().has_value());

        SaveDialog fresh(QStringLiteral("CD1"), m_window.get());
        responder.answerNext(SaveDialogResponder::Answer::Cancel);
        QVERIFY(!fresh.showSave().has_value());
        QVERIFY(responder.answered);
        QCOMPARE(QDir(responder.shownDirectory).canonicalPath(),
                 QDir(m_dir.path()).canonicalPath());
        QCOMPARE(responder.shownName, QString());
    }

    void aSecondUseStartsFromThePreviousName()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("examenes")));
        SaveDialogResponder responder;
        responder.answerNext(SaveDialogResponder::Answer::Save,
                             QStringLiteral("examenes/parcial.TXT"));
        const std::optional<QString> first = m_dialog->showSave();
        QVERIFY(first.has_value());

        responder.answerNext(SaveDialogResponder::Answer::Save); // keep what it shows
        const std::optional<QString> second = m_dialog->showSave();
        QVERIFY(responder.answered);
        QCOMPARE(responder.shownName, QStringLiteral("parcial.TXT"));
        QCOMPARE(QDir(responder.shownDirectory).canonicalPath(),
                 QDir(m_dir.filePath(QStringLiteral("examenes"))).canonicalPath());
        QCOMPARE(second, first);
    }
};

QTEST_MAIN(tst_SaveDialog)
#include "tst_SaveDialog.moc"
