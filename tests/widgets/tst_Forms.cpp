// The form lifecycle: one load per form, names in any case, and the
// activation handlers run in order.
#include "Form.h"
#include "Forms.h"

#include <QTest>

static QStringList g_log;

class LoggingForm : public Form
{
public:
    using Form::Form;
    void Form_Load() override { g_log << objectName() + ":Load"; }
    void Form_Activate() override { g_log << objectName() + ":Activate"; }
    void Form_Deactivate() override { g_log << objectName() + ":Deactivate"; }
};

class tst_Forms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The forms are top-level windows nobody else owns.
    void cleanup()
    {
        Forms::discardAll();
        Forms::reset();
    }

    void formsLoadOnceAndActivateInOrder()
    {
        for (const QString &name : {QStringLiteral("Alfa"), QStringLiteral("Beta")})
            Forms::registerForm(name, [name] { return new LoggingForm(name); });
        QWidget *alfa = Forms::load(QStringLiteral("Alfa"));
        QVERIFY(alfa && !alfa->isVisible());
        QCOMPARE(Forms::show(QStringLiteral("ALFA")), alfa);
        QTRY_COMPARE(g_log, (QStringList{"Alfa:Load", "Alfa:Activate"}));
        g_log.clear();
        Forms::show(QStringLiteral("Beta"));
        QTRY_COMPARE(g_log, (QStringList{"Beta:Load", "Alfa:Deactivate", "Beta:Activate"}));
        g_log.clear();
        alfa->hide();
        QCOMPARE(Forms::show(QStringLiteral("Alfa")), alfa); // shown again, not loaded again
        QTRY_COMPARE(g_log, (QStringList{"Beta:Deactivate", "Alfa:Activate"}));
    }
};

QTEST_MAIN(tst_Forms)
#include "tst_Forms.moc"
