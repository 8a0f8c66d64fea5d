#pragma once
// The program-wide collection of forms, by name. A window is opened by
// showing it: it is created and its Form_Load runs only if it does not exist,
// then it is displayed modeless and brought forward. Child windows (Form with
// Placement::MdiChild) go into the main window's multiple-document area; the
// main window is created first when it does not exist yet.
//
// The registry also tracks which form is the program's active one and calls
// Form_Activate / Form_Deactivate, always from a queued call, never from
// inside Qt's focus-change notification, so that the handlers may open modal
// boxes. Only forms count: message boxes, dialogs, menus and other
// applications leave the active form unchanged. When the active form closes,
// the form that was active before it becomes active again. The main window
// counts as a form; while it is active, the active form is its current child
// window.
//
// app/main.cpp registers a factory for every window, so that no folder needs
// to include the windows of another. Names are matched without regard to case.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class Form;
class FormHandlers;

namespace Forms {

using Factory = std::function<QWidget *()>;

// The factory builds the window without loading it; the widget must be a Form
// or implement FormHandlers. Registering a name again replaces its factory.
void registerForm(const QString &name, Factory factory);
// The main window (a multiple-document frame that installs itself as the
// MainWindowServices); it is loaded and shown before any child window.
void registerMainForm(const QString &name, Factory factory);

// The loaded window of that name, or null.
QWidget *find(const QString &name);
template <class T> T *findAs(const QString &name)
{
    return qobject_cast<T *>(find(name));
}

// Creates the window and runs its Form_Load if it is not loaded; does not
// show it. Returns null when no factory is registered for the name.
QWidget *load(const QString &name);
// load(), then display modeless and bring forward. Does nothing (returns
// null) when no factory is registered for the name.
QWidget *show(const QString &name);
// Unloads the loaded window of that name (Form_Unload runs); no question asked.
void unload(const QString &name);
// Unloads every loaded window except `except` (when given).
void unloadAll(QWidget *except = nullptr);
// Destroys every loaded window without running any handler (the program
// ending at once, and test clean-up). Factories stay registered.
void discardAll();
// Forgets every factory too (test clean-up).
void reset();

QStringList loadedNames();

// The program's active form as last reported to the handlers, or null.
QWidget *activeForm();

// For Form: drops a form from the registry when it unloads or dies.
void forget(QWidget *form);

} // namespace Forms
