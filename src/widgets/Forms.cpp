#include "Forms.h"

#include "Form.h"
#include "MainWindowServices.h"

#include <QApplication>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWindow>

namespace {

struct Entry
{
    QString name;
    Forms::Factory factory;
    QPointer<QWidget> widget;
};

// Follows the program's active form and calls the activation handlers. Every
// notification only schedules an evaluation; the handlers run from the event
// loop, where they are free to open modal boxes.
class ActivationTracker : public QObject
{
public:
    ActivationTracker();

    void schedule();
    void evaluate();
    void watch(QMdiArea *area);
    void forget(QWidget *widget);
    QWidget *active() const { return m_active; }

private:
    QWidget *currentForm() const;
    QWidget *mainForm() const;

    QPointer<QWidget> m_active;
    // The form that was active before m_active, and the one that takes the
    // activation back when m_active unloads (a help window closing hands it
    // back to the window that opened it).
    QPointer<QWidget> m_before;
    QPointer<QWidget> m_returnTo;
    bool m_scheduled = false;
    bool m_dispatching = false;
    bool m_pending = false;
};

QHash<QString, Entry> &registry()
{
    static QHash<QString, Entry> entries;
    return entries;
}

QString s_mainName;

QString keyOf(const QString &name)
{
    return name.toLower();
}

Entry *entryFor(const QString &name)
{
    auto it = registry().find(keyOf(name));
    return it == registry().end() ? nullptr : &it.value();
}

bool isLoaded(const QWidget *widget)
{
    if (!widget)
        return false;
    for (const Entry &e : std::as_const(registry()))
        if (e.widget == widget)
            return true;
    return false;
}

FormHandlers *handlersOf(QWidget *widget)
{
    if (!widget)
        return nullptr;
    if (auto *form = qobject_cast<Form *>(widget); form && form->isUnloading())
        return nullptr;
    return dynamic_cast<FormHandlers *>(widget);
}

ActivationTracker *tracker()
{
    static QPointer<ActivationTracker> instance;
    if (!instance && qApp) {
        instance = new ActivationTracker;
        instance->setParent(qApp);
    }
    return instance;
}

ActivationTracker::ActivationTracker()
{
    connect(qApp, &QApplication::focusChanged, this, [this] { schedule(); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { schedule(); });
}

void ActivationTracker::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_scheduled = false;
            evaluate();
        },
        Qt::QueuedConnection);
}

void ActivationTracker::watch(QMdiArea *area)
{
    if (area->property("orvalisWatched").toBool())
        return;
    area->setProperty("orvalisWatched", true);
    connect(area, &QMdiArea::subWindowActivated, this, [this] { schedule(); });
}

void ActivationTracker::forget(QWidget *widget)
{
    if (m_active != widget)
        return;
    // An unloaded form is not deactivated; the next form is activated. The
    // form that was active before it comes back, as the window system would
    // bring back the window under a closing one: otherwise nothing would be
    // active until the teacher clicks somewhere, and that click would not
    // count as leaving the window that is in front.
    m_active = nullptr;
    QWidget *back = m_before;
    m_before = nullptr;
    if (back && back != widget && back->isVisible() && handlersOf(back)) {
        m_returnTo = back;
        back->window()->raise();
        back->activateWindow();
    }
    schedule();
}

QWidget *ActivationTracker::mainForm() const
{
    MainWindowServices *services = MainWindowServices::instance();
    return services && services->mainWidget() ? services->mainWidget()->window() : nullptr;
}

QWidget *ActivationTracker::currentForm() const
{
    QWidget *window = QApplication::activeWindow();
    if (!window)
        return nullptr; // another application: nothing changes
    MainWindowServices *services = MainWindowServices::instance();
    QWidget *main = services && services->mainWidget() ? services->mainWidget()->window() : nullptr;
    if (main && window == main) {
        if (QMdiArea *area = services->mdiArea()) {
            QMdiSubWindow *sub = area->currentSubWindow();
            if (sub && sub->isVisible() && isLoaded(sub->widget()))
                return sub->widget();
        }
        return main;
    }
    if (isLoaded(window))
        return window;
    return nullptr; // a message box, a dialog, a menu: not a form
}

void ActivationTracker::evaluate()
{
    if (m_dispatching) {
        m_pending = true;
        return;
    }
    QWidget *now = currentForm();
    // While a form is taking the activation back, the window system may
    // report no window or the main window (under the one that closed) first.
    if (m_returnTo && (!now || now->window() == mainForm()))
        now = m_returnTo;
    m_returnTo = nullptr;
    if (!now || now == m_active)
        return;
    m_dispatching = true;
    QPointer<QWidget> previous = m_active;
    QPointer<QWidget> next = now;
    m_active = now;
    m_before = previous;
    if (FormHandlers *h = handlersOf(previous))
        h->Form_Deactivate();
    if (next && m_active == next)
        if (FormHandlers *h = handlersOf(next))
            h->Form_Activate();
    m_dispatching = false;
    if (m_pending) {
        m_pending = false;
        schedule();
    }
}

QMdiArea *mdiAreaLoadingMain()
{
    MainWindowServices *services = MainWindowServices::instance();
    if (!services && !s_mainName.isEmpty()) {
        Forms::load(s_mainName);
        services = MainWindowServices::instance();
    }
    return services ? services->mdiArea() : nullptr;
}

void placeInArea(Form *form, QMdiArea *area)
{
    auto *frame = new QMdiSubWindow(nullptr, form->childFrameHints());
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->setObjectName(form->objectName() + QStringLiteral("_frame"));
    frame->setWidget(form);
    area->addSubWindow(frame);
    frame->hide();
    form->setContainer(frame);
    if (ActivationTracker *t = tracker())
        t->watch(area);
}

void destroyWidget(QWidget *widget)
{
    auto *form = qobject_cast<Form *>(widget);
    QWidget *shown = form ? form->container() : widget;
    delete shown;
}

} // namespace

namespace Forms {

void registerForm(const QString &name, Factory factory)
{
    Entry &e = registry()[keyOf(name)];
    e.name = name;
    e.factory = std::move(factory);
}

void registerMainForm(const QString &name, Factory factory)
{
    registerForm(name, std::move(factory));
    s_mainName = name;
}

QWidget *find(const QString &name)
{
    const Entry *e = entryFor(name);
    return e ? e->widget.data() : nullptr;
}

QWidget *load(const QString &name)
{
    Entry *e = entryFor(name);
    if (!e || !e->factory)
        return nullptr;
    if (e->widget)
        return e->widget;
    tracker();
    QWidget *widget = e->factory();
    if (!widget)
        return nullptr;
    if (widget->objectName().isEmpty())
        widget->setObjectName(e->name);
    auto *form = qobject_cast<Form *>(widget);
    if (form && form->placement() == Form::Placement::MdiChild) {
        // A child window needs its frame: loading the main window may load
        // this same form from the main window's own load step.
        QMdiArea *area = mdiAreaLoadingMain();
        e = entryFor(name);
        if (e->widget) {
            delete widget;
            return e->widget;
        }
        if (area)
            placeInArea(form, area);
    }
    e->widget = widget;
    QPointer<QWidget> guard(widget);
    if (FormHandlers *h = handlersOf(widget))
        h->Form_Load();
    return guard.data();
}

QWidget *show(const QString &name)
{
    QWidget *widget = load(name);
    if (!widget)
        return nullptr;
    QPointer<QWidget> guard(widget);
    auto *form = qobject_cast<Form *>(widget);
    if (form && form->container() != form) {
        MainWindowServices *services = MainWindowServices::instance();
        QWidget *main = services ? services->mainWidget() : nullptr;
        if (main && !main->isVisible()) {
            if (!s_mainName.isEmpty() && find(s_mainName) == main)
                show(s_mainName);
            else
                main->show();
        }
        if (!guard)
            return nullptr;
        form->show();
        auto *frame = qobject_cast<QMdiSubWindow *>(form->container());
        if (frame && frame->mdiArea())
            frame->mdiArea()->setActiveSubWindow(frame);
        if (main) {
            main->raise();
            main->activateWindow();
        }
    } else {
        widget->show();
        widget->raise();
        widget->activateWindow();
    }
    if (ActivationTracker *t = tracker())
        t->schedule();
    return guard.data();
}

void unload(const QString &name)
{
    QWidget *widget = find(name);
    if (!widget)
        return;
    if (auto *form = qobject_cast<Form *>(widget)) {
        form->unload();
        return;
    }
    forget(widget);
    if (FormHandlers *h = handlersOf(widget))
        h->Form_Unload();
    widget->hide();
    widget->deleteLater();
}

void unloadAll(QWidget *except)
{
    for (const QString &name : loadedNames())
        if (find(name) != except)
            unload(name);
}

void discardAll()
{
    QList<QPointer<QWidget>> widgets;
    for (Entry &e : registry()) {
        if (e.widget)
            widgets.append(e.widget);
        e.widget = nullptr;
    }
    for (const QPointer<QWidget> &w : widgets)
        if (w)
            destroyWidget(w);
    if (ActivationTracker *t = tracker())
        t->forget(t->active());
}

void reset()
{
    discardAll();
    registry().clear();
    s_mainName.clear();
}

QStringList loadedNames()
{
    QStringList names;
    for (const Entry &e : std::as_const(registry()))
        if (e.widget)
            names.append(e.name);
    names.sort();
    return names;
}

QWidget *activeForm()
{
    ActivationTracker *t = tracker();
    return t ? t->active() : nullptr;
}

void forget(QWidget *form)
{
    for (Entry &e : registry())
        if (e.widget == form)
            e.widget = nullptr;
    if (qApp)
        if (ActivationTracker *t = tracker())
            t->forget(form);
}

} // namespace Forms
