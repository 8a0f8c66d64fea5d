// The form lifecycle: one load per form, showing brings it forward, and the
// activation handlers run in order, untouched by message boxes.
#include "Form.h"
#include "Forms.h"
#include "MessageBox.h"
#include "MessageBoxResponder.h"

#include <QTest>

static QStringList g_log;

class LoggingForm : public Form
{
public:
    using Form::Form;
    void Form_Load() override { g_log << objectName() + ":Load"; }
    void Form_Activate() override { g_log << objectName() + ":Activate"; }
    void Form_Deactivate() override
    {
        g_log << objectName() + ":Deactivate";
        if (askOnDeactivate)
            answeredCancel = MessageBox::askCancelled(QStringLiteral("¿Salir?"), this);
    }
    bool askOnDeactivate = false;
    bool answeredCancel = false;
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
        auto *alfa = static_cast<LoggingForm *>(Forms::load(QStringLiteral("Alfa")));
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

        // A message box does not deactivate the form.
        g_log.clear();
        MessageBoxResponder responder;
        responder.expect(QStringLiteral("Aviso"), {"Aceptar"}, QStringLiteral("Aceptar"));
        MessageBox::inform(QStringLiteral("Aviso"));
        // Checked below: the log then holds the switch to Beta and nothing
        // before it.

        // A deactivation handler may open a modal box; Esc answers Cancelar.
        alfa->askOnDeactivate = true;
        responder.expect(QStringLiteral("¿Salir?"), {"Aceptar", "Cancelar"},
                         MessageBoxResponder::kEscape);
        Forms::show(QStringLiteral("Beta"));
        QTRY_COMPARE(g_log, (QStringList{"Alfa:Deactivate", "Beta:Activate"}));
        QVERIFY(alfa->answeredCancel);
        QCOMPARE(responder.failures(), QStringList());
    }
};

QTEST_MAIN(tst_Forms)
#include "tst_Forms.moc"
